#include "tax/auftragU.h"

#include <cmath>
#include <string>

#include "db/uDB.h"
#include "tax/FieldRead.h"
#include "util/NumberText.h"

namespace vorlex {

namespace {

// An empty sum (an order without lines) counts as 0.
double SumField(const TDBTable& sums, std::string_view column, int64_t orderId) {
  if (sums.FieldText(column).empty()) return 0;
  return FloatField(sums, column, [orderId] { return OrderLinesPlace(orderId); });
}

}  // namespace

std::string LineVatExpression(const EvaluationSettings& settings, bool readCells) {
  const std::string anzahl = LineCell("anzahl", readCells);
  const std::string preis = LineCell("preis", readCells);
  const std::string mwst = LineCell("mwst", readCells);
  return settings.BruttoPreise
             ? anzahl + "*(" + preis + "-(" + preis + "/(1.0+(" + mwst + "/100.0))))"
             : anzahl + "*(" + preis + "*(" + mwst + "/100.0))";
}

LineVat LineVatOf(const EvaluationSettings& settings) {
  return {LineVatExpression(settings, false), LineVatExpression(settings, true)};
}

LineSums OrderLineSums(TDBase& db, int64_t orderId, const EvaluationSettings& settings,
                       bool readCells) {
  LineSums result;
  try {
    const std::unique_ptr<TDBTable> sums = db.Query(
        LineSumsSql({.where = "auftragindex=" + std::to_string(orderId), .readCells = readCells},
                    LineVatOf(settings)));
    if (!sums->AtEnd()) {
      result.vat = SumField(*sums, "mwst_sum", orderId);
      result.net = SumField(*sums, "betrag_sum", orderId);
    }
  } catch (const ECellConvertError& e) {
    RaiseConvertErrorAt(e, e.Column(), OrderLinesPlace(orderId));
  }
  return result;
}

LineSums PeriodOrderLineSums(TDBase& db, TPeriodLineSums& period, const TDBTable& orders,
                             const TDBField& idField, int64_t orderId,
                             const EvaluationSettings& settings) {
  LineSumsAnswer answer;
  try {
    answer = period.Of(orders, idField, orderId);
  } catch (const ECellConvertError& e) {
    RaiseConvertErrorAt(e, e.Column(), OrderLinesPlace(orderId));
  }
  if (answer.sums) return *answer.sums;
  return OrderLineSums(db, orderId, settings, answer.readCells);
}

namespace {

struct OrderValues {
  double skonto = 0;
  double mwst = 0;
  int64_t orderType = 0;
  bool negative = false;
  double rechbetrag = 0;  // read only for a credit note with VAT
};

OrderValues ReadOrder(const TDBTable& order, const OrderFields& fields, int64_t orderId) {
  const auto where = [orderId] { return OrderPlace(std::to_string(orderId)); };
  OrderValues v;
  v.skonto = FloatField(order, fields.skonto, where);
  v.mwst = FloatField(order, fields.mwst, where);
  v.orderType = IntField(order, fields.auftragstyp, where);
  v.negative = v.orderType == -99;
  // A credit note with VAT takes its amount from the invoice total, not from
  // its lines; for every other order that field is not read at all.
  if (v.mwst != 0 && v.negative) v.rechbetrag = FloatField(order, fields.rechbetrag, where);
  return v;
}

double Amount(const OrderValues& v, const LineSums& lines, bool gross,
              const EvaluationSettings& settings) {
  const bool carriesVat = v.mwst != 0;
  const double base = carriesVat && v.negative ? -v.rechbetrag : lines.net;
  const double sign = v.negative ? -1 : 1;
  const double factor = 1 + v.mwst / 100;
  const auto r = [&settings](double x) { return CentRound(x, settings.Rundungsmodus); };

  if (!settings.BruttoPreise) {
    if (!gross) return carriesVat ? sign * r(base + v.skonto) : sign * base;
    return carriesVat ? r(base * factor) : sign * r(r(base + lines.vat) - v.skonto);
  }
  if (!gross) return carriesVat ? r(base + v.skonto) / factor : sign * (r(base) - lines.vat);
  return sign * r(r(base) - v.skonto);
}

}  // namespace

OrderAmounts OrderAmountsOf(const TDBTable& order, const OrderFields& fields, int64_t orderId,
                            const LineSums& lines, const EvaluationSettings& settings) {
  const OrderValues values = ReadOrder(order, fields, orderId);
  return OrderAmounts{Amount(values, lines, false, settings),
                      Amount(values, lines, true, settings), values.mwst, values.orderType};
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
