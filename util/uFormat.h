// Locale-dependent text of numbers and dates, from explicit format settings.
// Nothing here goes through the C library's global locale.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "util/uDatum.h"

namespace vorlex {

struct FormatSettings {
  char DecimalSeparator = ',';
  // Qt-style pattern: d, dd, M, MM, yy, yyyy; 'quoted' text and other characters
  // stand as they are. The front end sets it from the user's locale, always with
  // a four-digit year.
  std::string ShortDatePattern = "dd.MM.yyyy";
};

// The program-wide format settings, filled by the front end at start.
FormatSettings& Format();

// Raised when a text does not convert to a number. The message begins with
// "Typkonvertierung von Variant ungültig" (Windows-1252) and names the text.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

extern const char* const kConvertErrorText;  // "Typkonvertierung von Variant ungültig"

// "%.2f": two decimals, the locale's separator, no grouping, leading minus.
// Exact binary ties (12.125) round half away from zero; "-0,00" never appears.
std::string FormatMoney(double value, const FormatSettings& fs = Format());
// The same for a value computed in extended precision: its 18 significant
// decimal digits are rounded half away from zero, so a product that is a half
// cent by hand (0.19 x 1234.50 = 234.555) shows 234,56.
std::string FormatMoneyExtended(long double value, const FormatSettings& fs = Format());

// The whole cents that FormatMoney shows for value, exactly: 1.005 (a trace
// below the half cent) gives 100, 0.125 gives 13. Empty for a value that is
// not finite or of a trillion euros or more.
std::optional<int64_t> ShownCents(double value);
// Cents as FormatMoney writes euros: -1240 gives "-12,40".
std::string FormatCents(int64_t cents, const FormatSettings& fs = Format());

// General format: 15 significant digits, no trailing zeros, the locale's
// separator, exponent notation only for very large or small values (1E20, 1,5E-7).
std::string FormatFloat(double value, const FormatSettings& fs = Format());

// What the general text of value reads back as: StrToFloat(FormatFloat(value)),
// the value rounded to 15 significant digits, without building the text where
// it need not be built. Raises as StrToFloat does for INF and NAN.
double FloatTextValue(double value);

// The date part of a day number in the short date pattern.
std::string FormatDate(double dayNumber, const FormatSettings& fs = Format());

// A date as typed, day, month and year in the order of the short date
// pattern: the three numbers with any ASCII but letters between them
// ("15.7.2026", "15.07.2026"), or eight digits without them ("15072026"). The
// year has four digits. Empty for anything else: a partial date ("15.07.",
// "1507202", "15.07.26") or one that does not exist ("31.02.2026").
std::optional<CalendarDate> ParseDate(std::string_view text, const FormatSettings& fs = Format());

// Text to number: optional blanks, optional sign, digits with at most one
// decimal separator (the locale's or "."), an optional exponent, optional
// blanks. Anything else, the empty text included, raises EConvertError.
double StrToFloat(std::string_view text, const FormatSettings& fs = Format());
// The same, rounded to a whole number (halves to the even neighbour); raises
// EConvertError when out of the 64-bit range.
int64_t StrToInt(std::string_view text, const FormatSettings& fs = Format());

// Nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

}  // namespace vorlex
