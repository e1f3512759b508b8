// The filing calendar as text: due dates, the special prepayment of a year and
// the figures as the tax office's portal takes them. Texts are Windows-1252;
// money is written with the format settings' decimal separator, days always as
// DD.MM.YYYY, as the tax office writes them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tax/SpecialPrepayment.h"
#include "tax/TaxPeriod.h"
#include "tax/TaxTotals.h"
#include "util/FormatSettings.h"

namespace vorlex {

// An amount the trader types: euros with up to two decimals after a comma or a
// point, no sign, no grouping, below a trillion ("500", "500,5", "1234.56"),
// blanks around it ignored. Cents, or empty for anything else.
std::optional<int64_t> ParseEuroAmount(std::string_view text);

// "11.01.2027".
std::string DueDateText(double day);

// The due dates of a month's or a quarter's run: its pre-return, with the
// extension or without, and the EC sales list where the run has turnover in
// field 41 or 21. Empty for a year or a free range.
struct RunDueDates {
  std::optional<double> preReturn;
  std::optional<double> ecSalesList;
};
RunDueDates DueDatesOf(const TTaxPeriod& period, bool extensionGranted, const TaxTotals& totals);

// "Abgabe bis 11.01.2027" and, where due, "ZM bis 25.01.2027"; with separator
// between the label and the day (" " in the window, ": " in the reporter).
std::vector<std::string> DueDateLines(const RunDueDates& due, const std::string& separator);

// "Sondervorauszahlung 2027: 194,15, anzumelden bis 10.02.2027", or the
// sentence why none is paid.
std::string SpecialPrepaymentLine(const SpecialPrepaymentOfYear& prepayment,
                                  const FormatSettings& format);
// The reporter's lines: "Sondervorauszahlung 2027: 194,15", "Anzumelden bis:
// 10.02.2027" and what it is the eleventh of; or the sentence why none is paid.
std::vector<std::string> SpecialPrepaymentLines(const SpecialPrepaymentOfYear& prepayment,
                                                const FormatSettings& format);

// One figure as the portal's form takes it: a turnover in whole euros, cents
// dropped; its tax, fields 66, 39 and 83 in euros and cents.
struct PortalFigure {
  int field = 0;
  bool tax = false;  // the tax of the turnover in field
  int64_t cents = 0;
  bool wholeEuros = false;
};
// The figures that are not 0, in the form's order: 21, 35, 36, 41, 43, 44, 45,
// 81 and its tax, 86 and its tax, 66, 39, 83. Empty when the totals cannot be shown in cents.
std::vector<PortalFigure> PortalFigures(const TaxTotals& totals);
// "Kz 81" or "Steuer zu Kz 81".
std::string PortalLabel(const PortalFigure& figure);
// The value as the portal's field accepts it: "1234", "1234,56", "-12,40"; no
// thousands separator, always a decimal comma.
std::string PortalValue(const PortalFigure& figure);
// Every figure as "label: value", one a line, each ending in "\n".
std::string PortalText(const std::vector<PortalFigure>& figures);

}  // namespace vorlex
