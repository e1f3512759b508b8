// Amounts of money as text: euros with two decimals.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "util/FormatSettings.h"

namespace vorlex {

// "%.2f": two decimals, the locale's separator, no grouping, leading minus.
// Exact binary ties (12.125) round half away from zero; "-0,00" never appears.
std::string FormatMoney(double value, const FormatSettings& fs);
// The same for a value computed in extended precision: its 18 significant
// decimal digits are rounded half away from zero, so a product that is a half
// cent by hand (0.19 x 1234.50 = 234.555) shows 234,56.
std::string FormatMoneyExtended(long double value, const FormatSettings& fs);

// The whole cents that FormatMoney shows for value, exactly: 1.005 (a trace
// below the half cent) gives 100, 0.125 gives 13. Empty for a value that is
// not finite or of a trillion euros or more.
std::optional<int64_t> ShownCents(double value);
// Cents as FormatMoney writes euros: -1240 gives "-12,40".
std::string FormatCents(int64_t cents, const FormatSettings& fs);

}  // namespace vorlex
