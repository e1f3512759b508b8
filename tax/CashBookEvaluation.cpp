#include "tax/CashBookEvaluation.h"

#include <cmath>
#include <memory>
#include <string>

#include "db/uDB.h"
#include "tax/FieldRead.h"
#include "tax/PeriodBounds.h"
#include "util/DateText.h"
#include "util/NumberText.h"
#include "util/uString.h"

namespace vorlex {

namespace {

// The entry named as in an error message; a date that is no number is named
// as it is stored.
std::string EntryPlace(const TDBTable& entry) {
  const TVariant termin = entry.FieldValue("termin");
  std::string date;
  try {
    date = FormatDate(termin.ToFloat(), entry.Format());
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

const char* const kCashBookFrom =
    " FROM (kasse LEFT JOIN besitzer ON (besitzer.id = kasse.besitzerindex)) LEFT JOIN "
    "lieferant ON (lieferant.id = kasse.lieferantindex)";

// Whose name an entry shows: a receipt its customer's, an expense its
// supplier's, any other entry whichever it has.
std::string_view Counterpart(int64_t direction, std::string_view kName, std::string_view lName) {
  if (direction == 0) return kName;
  if (direction == 1) return lName;
  return kName.empty() ? lName : kName;
}

}  // namespace

std::string CashBookQuery(double firstDay, double lastDay) {
  std::string sql = std::string(
                        "SELECT DISTINCT kasse.*, besitzer.name AS k_name, besitzer.vorname, "
                        "besitzer.kundennr, lieferant.name as l_name") +
                    kCashBookFrom + " WHERE (kasse.papierkorb = 0)";
  // The whole last day belongs to the period, a time of day included.
  sql +=
      " AND (termin >= " + SQLFirstDay(firstDay) + ") AND (termin < " + SQLDayAfter(lastDay) + ") ";
  sql += " ORDER BY kasse.neinaus, kasse.bezeichnung,";
  sql += "termin";
  return sql;
}

void CashBookEvaluation(TDBase& db, double firstDay, double lastDay, TaxTotals& totals,
                        IEvaluationSink& sink, ClassificationChoice choice) {
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
    // An entry that is neither receipt nor expense counts nowhere.
    entry.kind = direction == 0   ? EntryKind::Receipt
                 : direction == 1 ? EntryKind::Expense
                                  : EntryKind::OtherCash;
    const std::string_view customer = Counterpart(direction, row.FieldView(kNameField, kNameText),
                                                  row.FieldView(lNameField, lNameText));

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
      if (choice.Exact()) ClassifyOtherCashRate(entry);
      totals.Add(entry);
    }

    sink.AppendEntry(std::move(entry));
    entries->MoveNext();
  }
}

void ClassifyOtherCashRate(RunEntry& entry) {
  if (entry.total != TotalKind::None || !(entry.rate > 0)) return;
  if (entry.kind == EntryKind::Receipt) {
    // Turnover at another rate, its tax computed as an expense's.
    entry.total = TotalKind::Umsatz35;
    const EntryShare split[] = {{TotalKind::Umsatz35, entry.added},
                                {TotalKind::Steuer36, entry.net * RateFraction(entry.rate)}};
    entry.SetShareList(split);
  } else if (entry.kind == EntryKind::Expense) {
    entry.total = TotalKind::VorsteuerAndere;
  }
}

void UndatedCashEntries(TDBase& db, std::vector<RunEntry>& undated) {
  const std::unique_ptr<TDBTable> entries =
      db.Query(std::string("SELECT kasse.neinaus, kasse.bezeichnung, besitzer.name AS k_name, "
                           "lieferant.name AS l_name, kasse.termin") +
               kCashBookFrom + " WHERE " + DateHeldAsText("kasse.termin") +
               " AND (kasse.papierkorb = 0) ORDER BY kasse.neinaus, kasse.bezeichnung");
  const TDBField termin("termin");
  const TDBField neinaus("neinaus");
  for (; !entries->AtEnd(); entries->MoveNext()) {
    if (!DateIsNoNumber(*entries, termin)) continue;
    int64_t direction = -1;
    try {
      direction = entries->FieldInt(neinaus);
    } catch (const EConvertError&) {
      // Named by whichever name it has.
    }
    RunEntry entry;
    entry.kind = EntryKind::Undated;
    entry.missingDate = MissingDate::Cash;
    const std::string kName = entries->FieldValue("k_name").Text();
    const std::string lName = entries->FieldValue("l_name").Text();
    entry.SetTexts({.description = entries->FieldValue("bezeichnung").Text(),
                    .customer = Counterpart(direction, kName, lName),
                    .dateText = entries->FieldValue(termin).Text()});
    undated.push_back(std::move(entry));
  }
}

}  // namespace vorlex
