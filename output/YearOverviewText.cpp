#include "output/YearOverviewText.h"

#include <algorithm>

#include "tax/FormFields.h"
#include "tax/Prepayment.h"
#include "util/MoneyText.h"
#include "util/ProgramText.h"

namespace vorlex {

const std::array<const char*, 12> FullMonthNames = {
    "Januar", "Februar", "März"_cp1252, "April",   "Mai",      "Juni",
    "Juli",   "August",  "September",   "Oktober", "November", "Dezember"};

namespace {

constexpr const char* kPeriodHead = "Zeitraum";

std::string PadLeft(const std::string& text, size_t width) {
  return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string PadRight(const std::string& text, size_t width) {
  return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

bool AnyRow(const YearOverview& overview, const auto& has) {
  return std::any_of(overview.rows.begin(), overview.rows.end(),
                     [&has](const OverviewRow& r) { return has(r.totals); });
}

// The head (row nullptr) or the cells of a row: the six fields, and before
// field 83 field 39 where a row of the year deducts it; after them each
// further figure of the exact classification that a row of the year holds.
std::vector<std::string> RowCells(const YearOverview& overview, const OverviewRow* row,
                                  const FormatSettings& fs) {
  const bool field39 = AnyRow(overview, [](const TaxTotals& t) { return t.field39 != 0; });
  std::vector<std::string> cells;
  const std::array<std::string, 6> figures =
      row ? OverviewCells(row->totals, fs) : std::array<std::string, 6>{};
  for (size_t i = 0; i < kOverviewFields.size(); ++i) {
    if (kOverviewFields[i] == 83 && field39) {
      cells.push_back(row ? FormatCents(row->totals.field39, fs) : FieldTag(39));
    }
    cells.push_back(row ? figures[i] : FieldTag(kOverviewFields[i]));
  }
  for (const FormField& field : kFurtherFields) {
    if (!AnyRow(overview, [&field](const TaxTotals& t) { return FigureOf(field, t) != 0; })) {
      continue;
    }
    cells.push_back(row ? FormatMoney(FigureOf(field, row->totals), fs) : FurtherFieldTag(field));
  }
  return cells;
}

}  // namespace

std::string OverviewRowLabel(const OverviewRow& row) {
  switch (row.span) {
    case OverviewSpan::Month:
      return FullMonthNames.at(static_cast<size_t>(row.number - 1));
    case OverviewSpan::Quarter:
      return std::to_string(row.number) + ". Quartal";
    case OverviewSpan::Year:
      break;
  }
  return "Jahr " + std::to_string(row.period.Year);
}

std::string OverviewCaption(const YearOverview& overview) {
  // Only the exact classification is named: the simple one's caption stays as it was.
  const std::string rules =
      overview.classification == Classification::Exact ? ", Zuordnung genau" : "";
  return "Jahresübersicht "_cp1252 +
         std::to_string(overview.year) + "  (" + BasisDateName(overview.basis) + rules + ")";
}

std::array<std::string, 6> OverviewCells(const TaxTotals& totals, const FormatSettings& fs) {
  std::array<std::string, 6> cells;
  const std::optional<Prepayment> due = PrepaymentOf(totals);
  for (size_t i = 0; i < kFormFields.size(); ++i) {
    if (HasEntries(kFormFields[i])) {
      cells[i] = FormatMoney(FigureOf(kFormFields[i], totals), fs);
    } else if (due) {  // field 83
      cells[i] = FormatCents(due->due, fs);
    }
  }
  return cells;
}

std::vector<std::string> OverviewHeads(const YearOverview& overview) {
  return RowCells(overview, nullptr, FormatSettings{});  // heads hold no figures
}

std::vector<std::string> OverviewRowCells(const YearOverview& overview, const OverviewRow& row,
                                          const FormatSettings& fs) {
  return RowCells(overview, &row, fs);
}

std::vector<std::string> OverviewTextLines(const YearOverview& overview, const FormatSettings& fs) {
  std::vector<std::vector<std::string>> table;
  table.push_back({kPeriodHead});
  for (std::string& cell : OverviewHeads(overview)) table[0].push_back(std::move(cell));
  for (const OverviewRow& row : overview.rows) {
    std::vector<std::string>& line = table.emplace_back();
    line.push_back(OverviewRowLabel(row));
    for (std::string& cell : OverviewRowCells(overview, row, fs)) line.push_back(std::move(cell));
  }
  std::vector<size_t> widths(table[0].size());
  for (const auto& line : table) {
    for (size_t i = 0; i < line.size(); ++i) widths[i] = std::max(widths[i], line[i].size());
  }
  std::vector<std::string> lines{OverviewCaption(overview)};
  for (const auto& line : table) {
    std::string text = PadRight(line[0], widths[0]);
    for (size_t i = 1; i < line.size(); ++i) text += "  " + PadLeft(line[i], widths[i]);
    lines.push_back(std::move(text));
  }
  return lines;
}

std::string OverviewCsv(const YearOverview& overview, const FormatSettings& fs) {
  std::string bytes = kPeriodHead;
  for (const std::string& head : OverviewHeads(overview)) {
    bytes += ';';
    bytes += head;
  }
  bytes += "\r\n";
  for (const OverviewRow& row : overview.rows) {
    bytes += OverviewRowLabel(row);
    for (const std::string& cell : OverviewRowCells(overview, row, fs)) {
      bytes += ';';
      bytes += cell;
    }
    bytes += "\r\n";
  }
  return bytes;
}

ChartFigures ChartFiguresOf(const TaxTotals& totals) {
  ChartFigures chart;
  int64_t turnover = 0;
  bool shown = true;
  const auto add = [&](const FormField& field) {
    const std::optional<int64_t> cents = ShownCents(FigureOf(field, totals));
    if (!cents) shown = false;
    if (cents) turnover += *cents;
  };
  for (const FormField& field : kFormFields) {
    if (IsTurnover(field)) add(field);
  }
  // The further figures of the exact classification are turnover too, but
  // for field 36, the tax of field 35; under the simple one they are 0.
  for (const FormField& field : kFurtherFields) {
    if (field.total != TotalKind::Steuer36) add(field);
  }
  if (shown) chart.turnover = turnover;
  if (const std::optional<Prepayment> due = PrepaymentOf(totals)) chart.due = due->due;
  return chart;
}

}  // namespace vorlex
