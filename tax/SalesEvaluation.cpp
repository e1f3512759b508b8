#include "tax/SalesEvaluation.h"

#include <cmath>
#include <string>

#include "db/uDB.h"
#include "tax/FieldRead.h"
#include "tax/PeriodBounds.h"
#include "tax/PeriodLineSums.h"
#include "tax/auftragU.h"
#include "util/uFormat.h"
#include "util/uString.h"

namespace vorlex {

namespace {

const char* DateColumn(int versteuerung) {
  return versteuerung == 0 ? "bezahltam" : "termin";
}

// " (A, UStID=ATU12345678)" after the name of a foreign customer.
std::string CountryNote(const std::string& land, const std::string& ustId) {
  if (land.empty() || land == "D") return {};
  return " (" + land + ", UStID=" + ustId + ")";
}

void AddToTotals(const std::string& land, const std::string& ustId, double net, TaxTotals& totals) {
  // Only the customer's country and VAT identification number decide; the
  // order's VAT rate does not.
  if (land == "CH") {
    totals.NichtEU += net;
  } else if (land == "A" || land == "E" || land == "LUX") {
    (ustId.empty() ? totals.InnergemOhneUStId : totals.InnergemMitUStId) += net;
  } else {
    totals.Umsatz19 += net;
  }
}

}  // namespace

std::string SalesFromWhere(double firstDay, double lastDay, int versteuerung) {
  const std::string column = DateColumn(versteuerung);
  std::string sql = " FROM (auftrag LEFT JOIN besitzer ON auftrag.besitzerindex=besitzer.id)";
  sql += versteuerung == 0
             ? " WHERE (auftrag.papierkorb = 0) AND ((bezahlt = -1) OR(davonbezahlt IS NOT 0))"
             : " WHERE (auftrag.papierkorb = 0)";
  // The whole last day belongs to the period, a time of day included.
  sql += "AND (" + column + " >= " + SQLFirstDay(firstDay) + ") AND (" + column + " < " +
         SQLDayAfter(lastDay) + ") ";
  return sql;
}

std::string SalesQuery(double firstDay, double lastDay, int versteuerung) {
  std::string sql =
      "SELECT DISTINCT auftrag.*, besitzer.name AS b_name,besitzer.vorname AS b_vor, "
      "besitzer.kundennr AS b_kdnr, besitzer.land, ust_id";
  sql += SalesFromWhere(firstDay, lastDay, versteuerung);
  sql += " ORDER BY besitzer.land,";
  sql += DateColumn(versteuerung);
  return sql;
}

void SalesEvaluation(TDBase& db, double firstDay, double lastDay, int versteuerung,
                     TaxTotals& totals, IEvaluationSink& sink) {
  // Every column read below, and only those, is held.
  const std::unique_ptr<TDBTable> orders =
      db.Query(SalesQuery(firstDay, lastDay, versteuerung),
               {"land", "ust_id", "id", DateColumn(versteuerung), "bezeichnung", "b_name", "skonto",
                "mwst", "auftragstyp", "rechbetrag"});
  sink.ProgressStart(orders->RowCount());
  if (orders->AtEnd()) return;
  // The lines of all these orders in one pass rather than a query per order.
  const TDBField id("id");
  PeriodLineSums lineSums(db, SalesFromWhere(firstDay, lastDay, versteuerung), *orders, id);
  const TDBField land("land");
  const TDBField ustIdField("ust_id");
  const TDBField date(DateColumn(versteuerung));
  const TDBField bezeichnung("bezeichnung");
  const TDBField bName("b_name");
  const OrderFields amountFields;
  while (!orders->AtEnd()) {
    sink.ProgressStep();
    const std::string landText = orders->FieldValue(land).Text();
    const std::string ustId = orders->FieldValue(ustIdField).Text();
    const std::string note = CountryNote(landText, ustId);

    const auto where = [&orders, &id] { return OrderPlace(orders->FieldValue(id).Text()); };
    const int64_t orderId = IntField(*orders, id, where);
    const LineSums lines = lineSums.Of(*orders, id, orderId);
    const OrderAmounts amounts = OrderAmountsOf(*orders, amountFields, orderId, lines);

    const std::string dateText = FormatDate(FloatField(*orders, date, where));
    const std::string text = TruncateText(orders->FieldValue(bezeichnung).Text(), 40);
    const std::string name = orders->FieldValue(bName).Text();
    const std::string_view sep = ColumnSeparator;
    std::string line = Concat({"E", sep, dateText, sep, text, sep, name, note, sep,
                               FormatMoney(amounts.net), sep, FormatMoney(amounts.gross)});

    AddToTotals(landText, ustId, amounts.net, totals);
    sink.AppendLine(std::move(line));
    orders->MoveNext();
  }
}

}  // namespace vorlex
