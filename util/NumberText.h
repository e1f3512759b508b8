// Numbers as text and text as numbers, in the user's format settings.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "util/FormatSettings.h"

namespace vorlex {

// Raised when a text does not convert to a number. The message begins with
// "Typkonvertierung von Variant ungültig" (Windows-1252) and names the text.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

extern const char* const kConvertErrorText;  // "Typkonvertierung von Variant ungültig"

// General format: 15 significant digits, no trailing zeros, the locale's
// separator, exponent notation only for very large or small values (1E20, 1,5E-7).
std::string FormatFloat(double value, const FormatSettings& fs);

// What the general text of value reads back as: StrToFloat(FormatFloat(value)),
// the value rounded to 15 significant digits, without building the text where
// it need not be built. Raises as StrToFloat does for INF and NAN.
double FloatTextValue(double value);

// Text to number: optional blanks, optional sign, digits with at most one
// decimal separator (the locale's or "."), an optional exponent, optional
// blanks. Anything else, the empty text included, raises EConvertError.
double StrToFloat(std::string_view text, const FormatSettings& fs);
// The same, rounded to a whole number (halves to the even neighbour); raises
// EConvertError when out of the 64-bit range.
int64_t StrToInt(std::string_view text, const FormatSettings& fs);

// Nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

// "NAN", "INF" or "-INF": what a value that is not finite shows as.
std::string NonFiniteText(double value);

// The last two decimal digits of n, appended.
void AppendTwoDigits(std::string& out, int n);

}  // namespace vorlex
