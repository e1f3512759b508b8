#include "output/SummaryList.h"

#include <algorithm>
#include <string>

#include "tax/FormFields.h"
#include "util/DateText.h"
#include "util/MoneyText.h"
#include "util/ProgramText.h"
#include "util/uString.h"

namespace vorlex {

namespace {

// A foreign customer's name is followed by " (A, UStID=ATU12345678)".
bool ForeignCustomer(const RunEntry& entry) {
  return !entry.country().empty() && entry.country() != "D";
}

LineKind KindOf(EntryKind kind) {
  switch (kind) {
    case EntryKind::Order:
    case EntryKind::Receipt: return LineKind::Receipt;
    case EntryKind::Expense: return LineKind::Expense;
    case EntryKind::OtherCash: return LineKind::Other;
    case EntryKind::Separator:
    case EntryKind::Undated:
      break;
  }
  return LineKind::Rule;
}

const char* Marker(EntryKind kind) {
  switch (kind) {
    case EntryKind::Order:
    case EntryKind::Receipt: return "E";
    case EntryKind::Expense: return "A";
    default: return "?";
  }
}

}  // namespace

ListLine EntryLine(const RunEntry& entry, int32_t index, const FormatSettings& format) {
  ListLine line;
  line.kind = KindOf(entry.kind);
  line.entry = index;
  if (entry.kind == EntryKind::Separator) {
    line.text = SeparatorLine;
    return line;
  }
  const std::string_view sep = ColumnSeparator;
  const std::string date = FormatDate(entry.date, format);
  const std::string text = TruncateText(entry.description(), 40);
  if (entry.kind == EntryKind::Order) {
    const std::string net = FormatMoney(entry.net, format);
    const std::string gross = FormatMoney(entry.gross, format);
    line.foreignCustomer = ForeignCustomer(entry);
    line.text =
        line.foreignCustomer
            ? Concat({"E", sep, date, sep, text, sep, entry.customer(), " (", entry.country(),
                      ", UStID=", entry.vatId(), ")", sep, net, sep, gross})
            : Concat({"E", sep, date, sep, text, sep, entry.customer(), sep, net, sep, gross});
  } else {
    line.text = Concat({Marker(entry.kind), sep, date, sep, text, sep, entry.customer(), sep,
                        FormatMoney(entry.net, format), sep, entry.rateText(), "%"});
  }
  return line;
}

std::vector<ListLine> SummaryLines(const TaxTotals& totals, const FormatSettings& format) {
  std::vector<ListLine> lines;
  const auto line = [&lines, &format](const char* label, long double value) {
    lines.push_back({std::string("     ") + label + ":  " + FormatMoneyExtended(value, format)});
  };
  // The output VAT and the whole input tax are derived here, in extended
  // precision, and not stored.
  const long double outputVat = 0.19L * totals.Umsatz19 + 0.07L * totals.Umsatz7;
  long double inputTax = static_cast<long double>(totals.Vorsteuer7) + totals.Vorsteuer19;
  // Only the exact classification has input tax at other rates.
  if (totals.VorsteuerAndere != 0) inputTax += totals.VorsteuerAndere;

  lines.push_back({SeparatorLine, LineKind::Rule});
  line("Nicht EU", totals.NichtEU);
  line("Innergem. Lief. mit USt-IdNr", totals.InnergemMitUStId);
  line("Innergem. Lief. ohne USt-IdNr", totals.InnergemOhneUStId);
  line("Umsatz St.satz 19 v.H", totals.Umsatz19);
  line("Umsatz St.satz  7 v.H", totals.Umsatz7);
  line("Umsatzsteuer", outputVat);
  lines.push_back({""});
  line("Vorst. 7%", totals.Vorsteuer7);
  line("Vorst. 19%", totals.Vorsteuer19);
  line("Vorsteuer", inputTax);
  // The figures only the exact classification fills, where they are not 0.
  if (totals.VorsteuerAndere != 0) line("Vorst. and. St.sätze"_cp1252, totals.VorsteuerAndere);
  for (const FormField& field : kFurtherFields) {
    const double value = FigureOf(field, totals);
    if (value == 0) continue;
    const std::string label = field.number != 0 ? std::string(field.label) + " (" +
                                                      FieldTag(field.number) + ")"
                                                : std::string(field.label);
    line(label.c_str(), value);
  }
  if (totals.field39 != 0) lines.push_back(Field39Line(totals.field39, format));
  return lines;
}

ListLine Field39Line(int64_t cents, const FormatSettings& format) {
  return {"     Sondervorauszahlung (" + FieldTag(39) + "):  " + FormatCents(cents, format)};
}

std::vector<int32_t> FieldLineRows(const std::vector<ListLine>& lines,
                                   const std::vector<RunEntry>& entries, int field) {
  std::vector<int32_t> rows;
  for (size_t row = 0; row < lines.size(); ++row) {
    const int32_t entry = lines[row].entry;
    const bool total = entry < 0;
    if (total || (static_cast<size_t>(entry) < entries.size() &&
                  GoesIntoField(entries[static_cast<size_t>(entry)], field))) {
      rows.push_back(static_cast<int32_t>(row));
    }
  }
  return rows;
}

std::string FieldFilterNote(int field, size_t entries) {
  return "Nur Einträge zu "_cp1252 + FigureTag(field) + " (" + std::to_string(entries) + ")";
}

void TRunList::ProgressStart(int maximum) {
  const size_t more = static_cast<size_t>(std::max(0, maximum)) + 1;  // and a divider
  entries.reserve(entries.size() + more);
  // Room for the most total lines a run can have (the divider and ten lines,
  // the other input tax, the further figures, field 39 by the totals or
  // deducted afterwards), so that a year's list is not moved into one of
  // twice its size for its last few lines.
  constexpr size_t kMostTotalLines = 11 + 1 + kFurtherFields.size() + 2;
  lines.reserve(lines.size() + more + kMostTotalLines);
}

void TRunList::AppendEntry(RunEntry entry) {
  // An entry no period selects has no line; only its hint names it.
  if (entry.kind != EntryKind::Undated) {
    lines.push_back(EntryLine(entry, static_cast<int32_t>(entries.size()), format_));
  }
  entries.push_back(std::move(entry));
}

void TRunList::RunComplete(const TaxTotals& runTotals) {
  totals = runTotals;
  complete = true;
  std::vector<ListLine> summary = SummaryLines(totals, format_);
  lines.insert(lines.end(), std::make_move_iterator(summary.begin()),
               std::make_move_iterator(summary.end()));
}

void TRunList::DeductSpecialPrepayment(int64_t field39) {
  totals.field39 = field39;
  if (field39 != 0) lines.push_back(Field39Line(field39, format_));
}

}  // namespace vorlex
