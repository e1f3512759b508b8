#include "output/TableExport.h"

#include <algorithm>
#include <array>
#include <vector>

#include "output/YearOverviewText.h"
#include "tax/FormFields.h"
#include "util/DateText.h"
#include "util/MoneyText.h"
#include "util/NumberText.h"
#include "util/uString.h"

namespace vorlex {

namespace {

// Whatever the user's locale: a spreadsheet set to German reads these.
const FormatSettings kTableFormat{',', "dd.MM.yyyy"};

const char* KindText(const RunEntry& entry) {
  switch (entry.kind) {
    case EntryKind::Order: return entry.orderType == -99 ? "Gutschrift" : "Rechnung";
    case EntryKind::Receipt: return "Einnahme";
    case EntryKind::Expense: return "Ausgabe";
    case EntryKind::OtherCash: return "Kasse";
    case EntryKind::Separator:
    case EntryKind::Undated:
      break;
  }
  return "";
}

void AppendRow(std::string& bytes, std::initializer_list<std::string_view> cells) {
  bool first = true;
  for (std::string_view cell : cells) {
    if (!first) bytes += ';';
    first = false;
    bytes += TableCell(cell);
  }
  bytes += "\r\n";
}

void AppendEntry(std::string& bytes, const RunEntry& entry) {
  const bool order = entry.kind == EntryKind::Order;
  // A cash entry that is neither receipt nor expense keeps its rate as stored:
  // it was never read as a number.
  const std::string rate = entry.kind == EntryKind::OtherCash
                               ? StoredTextAsUtf8(entry.rateText())
                               : FormatFloat(entry.rate, kTableFormat);
  // An order that the exact classification split names every field it went
  // into ("81, 86"); the 0 % share has no field.
  std::vector<int> numbers;
  entry.ForEachShare([&numbers](TotalKind total, double) {
    const int field = FormFieldOf(total);
    if (field != 0 && std::find(numbers.begin(), numbers.end(), field) == numbers.end()) {
      numbers.push_back(field);
    }
  });
  std::string fields;
  for (const int number : numbers) fields += (fields.empty() ? "" : ", ") + std::to_string(number);
  // The cash book stores amounts before VAT and no gross amount.
  AppendRow(bytes, {KindText(entry), FormatDate(entry.date, kTableFormat),
                    StoredTextAsUtf8(entry.description()), StoredTextAsUtf8(entry.customer()),
                    StoredTextAsUtf8(entry.country()), StoredTextAsUtf8(entry.vatId()), rate,
                    FormatMoney(entry.net, kTableFormat),
                    order ? FormatMoney(entry.gross, kTableFormat) : std::string(),
                    fields});
}

void AppendFigure(std::string& bytes, const char* kind, const char* label,
                  const std::string& value, const std::string& field) {
  AppendRow(bytes, {kind, "", label, "", "", "", "", value, "", field});
}

}  // namespace

std::string TableCell(std::string_view text) {
  if (text.find_first_of(";\"\r\n") == std::string_view::npos) return std::string(text);
  std::string cell = "\"";
  for (char c : text) {
    if (c == '"') cell += '"';
    cell += c;
  }
  cell += '"';
  return cell;
}

std::string TableBytes(const std::vector<RunEntry>& entries, const TaxTotals& totals) {
  std::string bytes = "\xEF\xBB\xBF";
  bytes.reserve(entries.size() * 120);
  std::string header;
  for (const char* column : kTableColumns) {
    if (!header.empty()) header += ';';
    header += column;
  }
  bytes += header + "\r\n";
  for (const RunEntry& entry : entries) {
    if (entry.kind != EntryKind::Separator && entry.kind != EntryKind::Undated) {
      AppendEntry(bytes, entry);
    }
  }
  const std::array<std::string, 6> figures = OverviewCells(totals, kTableFormat);
  for (size_t i = 0; i < kFormFields.size(); ++i) {
    if (kFormFields[i].number == 83 && totals.field39 != 0) {
      AppendFigure(bytes, "Kennzahl", kField39Label, FormatCents(totals.field39, kTableFormat),
                   "39");
    }
    AppendFigure(bytes, "Kennzahl", kFormFields[i].label, figures[i],
                 std::to_string(kFormFields[i].number));
  }
  // The further figures of the exact classification, where they are not 0.
  for (const FormField& field : kFurtherFields) {
    const double value = FigureOf(field, totals);
    if (value == 0 || field.number == 0) continue;
    AppendFigure(bytes, "Kennzahl", Windows1252ToUtf8(field.label).c_str(),
                 FormatMoney(value, kTableFormat), std::to_string(field.number));
  }
  AppendFigure(bytes, "Summe", "Nicht EU", FormatMoney(totals.NichtEU, kTableFormat), "");
  // The 0 % figure has no field of the form.
  if (const double zero = FigureOf(kFurtherFields.back(), totals); zero != 0) {
    AppendFigure(bytes, "Summe", kFurtherFields.back().label, FormatMoney(zero, kTableFormat), "");
  }
  return bytes;
}

}  // namespace vorlex
