// How the library reads text as a number and writes a number as text, as far
// as the layer must know it to read every value as the program always read it.
#pragma once

#include <string>
#include <string_view>

namespace vorlex {

// True when the library reads text as a number in a numeric column: a decimal
// number, optionally signed, with fraction and exponent, blanks around it.
bool IsNumberText(std::string_view text);

// Blank as a number cell takes it: nothing but control characters and blanks.
// The library makes 0 of such text.
bool IsBlankText(std::string_view text);

// The text of a REAL in text context as the library wrote it up to version
// 3.42 (its printf's "%!.15g"): 15 significant digits, a point, at least one
// digit after it, an exponent as "e+20" or "e-07" beyond 15 digits or below
// 1e-4 ("45840.0", "3643.125", "1.0e+20", "1.5e-07", "Inf"). Later versions
// write up to 17 digits, which a reader of the text would take for another
// value; made here, the text is the same on every version.
std::string RealText(double value);

// The library's rule from a declared type to a column's affinity: true for the
// numeric ones (INTEGER, REAL, NUMERIC), where numbers compare as numbers and
// text is greater than any number.
bool NumericAffinity(std::string_view declaredType);

}  // namespace vorlex
