#include "tax/auftragU.h"

#include <cmath>
#include <string>

#include "db/uDB.h"
#include "tax/FieldRead.h"
#include "util/uFormat.h"

namespace vorlex {

namespace {

// An empty sum (an order without lines) counts as 0.
double SumField(const TDBTable& sums, std::string_view column, int64_t orderId) {
  if (sums.FieldText(column).empty()) return 0;
  return FloatField(sums, column,
                    [orderId] { return "Positionen von " + OrderPlace(std::to_string(orderId)); });
}

}  // namespace

LineSums OrderLineSums(TDBase& db, int64_t orderId, const EvaluationSettings& settings) {
  const char* vatExpression = settings.BruttoPreise
                                  ? "SUM(anzahl*(preis-(preis/(1.0+(mwst/100.0)))))"
                                  : "SUM(anzahl*(preis*(mwst/100.0)))";
  const std::string sql = std::string("SELECT ") + vatExpression +
                          " AS mwst_sum, SUM(anzahl*preis) AS betrag_sum FROM verbindauftrag"
                          " WHERE auftragindex=" +
                          std::to_string(orderId);
  const std::unique_ptr<TDBTable> sums = db.Query(sql);
  LineSums result;
  if (!sums->AtEnd()) {
    result.vat = SumField(*sums, "mwst_sum", orderId);
    result.net = SumField(*sums, "betrag_sum", orderId);
  }
  return result;
}

double OrderAmount(TDBase& db, const TDBTable& order, int64_t orderId, bool gross,
                   const EvaluationSettings& settings) {
  const auto where = [orderId] { return OrderPlace(std::to_string(orderId)); };
  const LineSums lines = OrderLineSums(db, orderId, settings);
  const double skonto = FloatField(order, "skonto", where);
  const double mwst = FloatField(order, "mwst", where);
  const bool carriesVat = mwst != 0;
  const bool negative = IntField(order, "auftragstyp", where) == -99;

  // A credit note with VAT takes its amount from the invoice total, not from
  // its lines.
  const double base = carriesVat && negative ? -FloatField(order, "rechbetrag", where) : lines.net;
  const double sign = negative ? -1 : 1;
  const double factor = 1 + mwst / 100;
  const auto r = [&settings](double x) { return CentRound(x, settings.Rundungsmodus); };

  if (!settings.BruttoPreise) {
    if (!gross) return carriesVat ? sign * r(base + skonto) : sign * base;
    return carriesVat ? r(base * factor) : sign * r(r(base + lines.vat) - skonto);
  }
  if (!gross) return carriesVat ? r(base + skonto) / factor : sign * (r(base) - lines.vat);
  return sign * r(r(base) - skonto);
}

double CentRound(double amount, int8_t rundungsmodus) {
  if (rundungsmodus != 1 && rundungsmodus != 2) return amount;
  // The cents are counted up from the next lower whole euro, also below zero.
  const int cents = static_cast<int>(RoundHalfEven((amount - std::floor(amount)) * 100));
  if (rundungsmodus == 1) {
    if (cents == 1) return amount - 0.01;
    if (cents == 99) return amount + 0.01;
    return amount;
  }
  switch (cents % 10) {
    case 1:
    case 6:
      return amount - 0.01;
    case 2:
    case 7:
      return amount - 0.02;
    case 3:
    case 8:
      return amount + 0.02;
    case 4:
    case 9:
      return amount + 0.01;
    default:
      return amount;
  }
}

}  // namespace vorlex
