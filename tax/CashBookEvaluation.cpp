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

// "Kassenbuch-Eintrag vom 05.03.2024 "Porto"": how an entry is named in an
// error message; a date that is no number is named as it is stored, the
// description as the list shows it, so that a long one cannot swamp the
// message.
std::string EntryPlace(const TDBTable& entry) {
  const TVariant termin = entry.FieldValue("termin");
  std::string date;
  try {
    date = FormatDate(termin.ToFloat());
  } catch (const EConvertError&) {
    date = termin.Text();
  }
  return "Kassenbuch-Eintrag vom " + date + " \"" +
         TruncateText(entry.FieldValue("bezeichnung").Text(), 40) + "\"";
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
  while (!entries->AtEnd()) {
    sink.ProgressStep();
    const TDBTable& entry = *entries;
    const auto place = [&entry] { return EntryPlace(entry); };
    const int64_t direction = IntField(entry, neinaus, place);
    // Receipts follow the sales lines directly; one divider stands before the
    // expenses.
    if (direction != previousDirection) sink.AppendLine(SeparatorLine);
    previousDirection = direction;

    const std::string kName = entry.FieldValue(kNameField).Text();
    const std::string lName = entry.FieldValue(lNameField).Text();
    // An entry that is neither receipt nor expense is listed under "?" with
    // whichever name it has, and counts nowhere.
    const char* marker = "?";
    std::string name = kName.empty() ? lName : kName;
    if (direction == 0) {
      marker = "E";
      name = kName;
    } else if (direction == 1) {
      marker = "A";
      name = lName;
    }

    const std::string date = FormatDate(FloatField(entry, termin, place));
    const std::string text = TruncateText(entry.FieldValue(bezeichnung).Text(), 40);
    const double betrag = FloatField(entry, betragField, place);
    const std::string_view sep = ColumnSeparator;
    std::string line = Concat({marker, sep, date, sep, text, sep, name, sep, FormatMoney(betrag),
                               sep, entry.FieldValue(mwstField).Text(), "%"});

    if (direction == 0 || direction == 1) {
      const double mwst = FloatField(entry, mwstField, place);
      const double rate = RoundHalfEven(mwst);
      if (direction == 0) {
        // A receipt adds its whole amount; no tax is split off.
        if (rate == 7) totals.Umsatz7 += betrag;
        if (rate == 19) totals.Umsatz19 += betrag;
      } else {
        // The input tax of an expense is computed with its exact rate, even
        // when the rate only rounds to 7 or 19.
        const double inputTax = betrag * RateFraction(mwst);
        if (rate == 7) totals.Vorsteuer7 += inputTax;
        if (rate == 19) totals.Vorsteuer19 += inputTax;
      }
    }

    sink.AppendLine(std::move(line));
    entries->MoveNext();
  }
}

}  // namespace vorlex
