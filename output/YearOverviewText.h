// The year overview as text: a table for the terminal, CSV bytes in the style
// of the list's export, and the figures the chart draws. Texts are
// Windows-1252; money is written with the format settings' decimal separator.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tax/FormFields.h"
#include "tax/YearOverview.h"
#include "util/FormatSettings.h"

namespace vorlex {

// "Januar" ... "Dezember".
extern const std::array<const char*, 12> FullMonthNames;

// The six columns of a row, in this order: every form field.
inline constexpr std::array<int, 6> kOverviewFields = [] {
  std::array<int, kFormFields.size()> numbers{};
  for (size_t i = 0; i < numbers.size(); ++i) numbers[i] = kFormFields[i].number;
  return numbers;
}();

// "März", "2. Quartal", "Jahr 2026".
std::string OverviewRowLabel(const OverviewRow& row);
// "Jahresübersicht 2026  (Zahlungsdatum)" or "(Rechnungsdatum)"; under the
// exact classification "(Zahlungsdatum, Zuordnung genau)".
std::string OverviewCaption(const YearOverview& overview);
// The figures of fields 41, 44, 81, 86, 66 and 83 as a run shows them, in
// the table's order; field 83 is empty where it cannot be computed.
std::array<std::string, 6> OverviewCells(const TaxTotals& totals, const FormatSettings& fs);

// The heads of the figures' columns ("Kz 41" ...) and a row's cells: the six
// fields, and field 39 before field 83 where a row of the year deducts it;
// then each further figure that a row of the year holds ("Kz 43", ...).
std::vector<std::string> OverviewHeads(const YearOverview& overview);
std::vector<std::string> OverviewRowCells(const YearOverview& overview, const OverviewRow& row,
                                          const FormatSettings& fs);

// The caption, a head line and one line per row, columns aligned.
std::vector<std::string> OverviewTextLines(const YearOverview& overview, const FormatSettings& fs);
// A head line and one line per row, ";" between the fields, CR LF after every
// line.
std::string OverviewCsv(const YearOverview& overview, const FormatSettings& fs);

// What the chart draws for a month, in cents as the table shows them: the
// turnover (fields 81 + 86 + 41 + 44, and the further turnover of the exact
// classification) and field 83. Empty where a figure
// cannot be shown in cents.
struct ChartFigures {
  std::optional<int64_t> turnover;
  std::optional<int64_t> due;
};
ChartFigures ChartFiguresOf(const TaxTotals& totals);

}  // namespace vorlex
