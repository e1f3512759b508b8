#include "tax/CashBookEvaluation.h"

#include <cmath>
#include <string>

#include "db/uDB.h"
#include "tax/FieldRead.h"
#include "tax/PeriodBounds.h"
#include "util/uFormat.h"
#include "util/uString.h"

namespace vorlex {

namespace {

// The entry named as in an error message; a date that is no number is named
// as it is stored.
std::string EntryPlace(const TDBTable& entry) {
  const TVariant termin = entry.FieldValue("termin");
  std::string date;
  try {
    date = FormatDate(termin.ToFloat());
  } catch (const EConvertError&) {
    date = termin.Text();
  }
  return CashEntryPlace(date, entry.FieldValue("bezeichnung").Text());
}

// The rate as a fixed-point number with four decimals, as a fraction.
double RateFraction(double mwst) {
  const long double scaled = RoundHalfEven(mwst * 10000);
  return static_cast<double>(scaled / 10000.0L / 100.0L);
}

}  // namespace

std::string CashBookQuery(double firstDay, double lastDay) {
  std::string sql =
      "SELECT DISTINCT kasse.*, besitzer.name AS k_name, besitzer.vorname, besitzer.kundennr, "
      "lieferant.name as l_name FROM (kasse LEFT JOIN besitzer ON (besitzer.id = "
      "kasse.besitzerindex)) LEFT JOIN lieferant ON (lieferant.id = kasse.lieferantindex) WHERE "
      "(kasse.papierkorb = 0)";
  // The whole last day belongs to the period, a time of day included.
  sql +=
      " AND (termin >= " + SQLFirstDay(firstDay) + ") AND (termin < " + SQLDayAfter(lastDay) + ") ";
  sql += " ORDER BY kasse.neinaus, kasse.bezeichnung,";
  sql += "termin";
  return sql;
}

void CashBookEvaluation(TDBase& db, double firstDay, double lastDay, TaxTotals& totals,
                        IEvaluationSink& sink) {
  // Every column read below, and only those, is held.
  const std::unique_ptr<TDBTable> entries =
      db.Query(CashBookQuery(firstDay, lastDay),
               {"neinaus", "k_name", "l_name", "termin", "bezeichnung", "betrag", "mwst"});
  sink.ProgressStart(entries->RowCount());
  const TDBField neinaus("neinaus");
  const TDBField kNameField("k_name");
  const TDBField lNameField("l_name");
  const TDBField termin("termin");
  const TDBField bezeichnung("bezeichnung");
  const TDBField betragField("betrag");
  const TDBField mwstField("mwst");
  int64_t previousDirection = 0;
  // The texts are read in place and copied once, into the entry.
  std::string kNameText, lNameText, descriptionText, rateText;
  while (!entries->AtEnd()) {
    sink.ProgressStep();
    const TDBTable& row = *entries;
    const auto place = [&row] { return EntryPlace(row); };
    const int64_t direction = IntField(row, neinaus, place);
    // Receipts follow the sales lines directly; one divider stands before the
    // expenses.
    if (direction != previousDirection) sink.AppendEntry(RunEntry{});
    previousDirection = direction;

    RunEntry entry;
    const std::string_view kName = row.FieldView(kNameField, kNameText);
    const std::string_view lName = row.FieldView(lNameField, lNameText);
    // An entry that is neither receipt nor expense is listed with whichever
    // name it has, and counts nowhere.
    std::string_view customer;
    if (direction == 0) {
      entry.kind = EntryKind::Receipt;
      customer = kName;
    } else if (direction == 1) {
      entry.kind = EntryKind::Expense;
      customer = lName;
    } else {
      entry.kind = EntryKind::OtherCash;
      customer = kName.empty() ? lName : kName;
    }

    entry.date = FloatField(row, termin, place);
    const std::string_view description = row.FieldView(bezeichnung, descriptionText);
    entry.net = entry.gross = FloatField(row, betragField, place);
    entry.SetTexts({.description = description,
                    .customer = customer,
                    .rateText = row.FieldView(mwstField, rateText)});

    if (direction == 0 || direction == 1) {
      const double mwst = FloatField(row, mwstField, place);
      const double rate = RoundHalfEven(mwst);
      entry.rate = mwst;
      if (direction == 0) {
        // A receipt adds its whole amount; no tax is split off.
        entry.added = entry.net;
        if (rate == 7) entry.total = TotalKind::Umsatz7;
        if (rate == 19) entry.total = TotalKind::Umsatz19;
      } else {
        // The input tax of an expense is computed with its exact rate, even
        // when the rate only rounds to 7 or 19.
        entry.added = entry.net * RateFraction(mwst);
        if (rate == 7) entry.total = TotalKind::Vorsteuer7;
        if (rate == 19) entry.total = TotalKind::Vorsteuer19;
      }
      if (double* total = totals.Of(entry.total)) *total += entry.added;
    }

    sink.AppendEntry(std::move(entry));
    entries->MoveNext();
  }
}

}  // namespace vorlex
