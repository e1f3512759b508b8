#include "util/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "util/ProgramText.h"
#include "util/uString.h"

namespace vorlex {

const char* const kConvertErrorText = "Typkonvertierung von Variant ungültig"_cp1252;

namespace {

[[noreturn]] void RaiseConvertError(std::string_view text) {
  std::string message(kConvertErrorText);
  message += ": \"";
  // A long text (a whole description) is named by its beginning.
  message += TruncateText(text, 100);
  message += '"';
  throw EConvertError(message);
}

}  // namespace

std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

void AppendTwoDigits(std::string& out, int n) {
  out += static_cast<char>('0' + n / 10 % 10);
  out += static_cast<char>('0' + n % 10);
}

std::string FormatFloat(double value, const FormatSettings& fs) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  if (value == 0.0) return "0";  // also -0
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
  // "1.5e-07" becomes "1,5E-7", "1e+20" becomes "1E20".
  std::string out;
  const auto e = text.find('e');
  for (char c : text.substr(0, e)) out += c == '.' ? fs.decimalSeparator : c;
  if (e != std::string_view::npos) {
    out += 'E';
    std::string_view exponent = text.substr(e + 1);
    if (exponent.front() == '-') out += '-';
    if (exponent.front() == '-' || exponent.front() == '+') exponent.remove_prefix(1);
    while (exponent.size() > 1 && exponent.front() == '0') exponent.remove_prefix(1);
    out += exponent;
  }
  return out;
}

namespace {

__extension__ typedef unsigned __int128 U128;

constexpr U128 PowerOfTen(int n) {
  U128 power = 1;
  for (int i = 0; i < n; ++i) power *= 10;
  return power;
}

// What the 15 significant digits of magnitude (at least 1e-7, below 1e15)
// read back as, without their text. magnitude is m / 2^s exactly, so
// magnitude x 10^k is m x 10^k / 2^s, which 128 bits hold whole for the k that
// leaves 15 digits before the point. Rounded to a whole number N as the text's
// last digit is (halves to the even neighbour), N / 10^k is the double nearest
// to the text's value: both are exact doubles and the division rounds once.
double FifteenDigitsValue(double magnitude) {
  static constexpr auto kPowers = [] {
    std::array<U128, 23> powers{};
    for (int i = 0; i < 23; ++i) powers[static_cast<size_t>(i)] = PowerOfTen(i);
    return powers;
  }();
  // A normal double: 52 bits and the hidden one, and the exponent.
  uint64_t bits = 0;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const U128 mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  const int binaryExponent = static_cast<int>(bits >> 52) - 1022;  // as frexp gives it
  const int shift = 53 - binaryExponent;
  const U128 limit = kPowers[15] << shift;  // 15 digits before the point: below it
  // From an estimate of the digits before the point to the exact count.
  int k = std::clamp(14 - static_cast<int>(std::floor((binaryExponent - 1) * 0.3010299956639812)),
                     0, 22);
  while (k < 22 && mantissa * kPowers[static_cast<size_t>(k) + 1] < limit) ++k;
  while (k > 0 && mantissa * kPowers[static_cast<size_t>(k)] >= limit) --k;
  const U128 exact = mantissa * kPowers[static_cast<size_t>(k)];
  U128 whole = exact >> shift;
  const U128 rest = exact - (whole << shift);
  const U128 half = U128{1} << (shift - 1);
  if (rest > half || (rest == half && (whole & 1) != 0)) ++whole;
  return static_cast<double>(static_cast<uint64_t>(whole)) /
         static_cast<double>(kPowers[static_cast<size_t>(k)]);
}

}  // namespace

double FloatTextValue(double value) {
  if (value == 0.0) return 0.0;  // also -0, whose text is "0"
  const double magnitude = std::fabs(value);
  // A whole number of up to 15 digits is its own text.
  if (magnitude < 1e15 && value == std::trunc(value)) return value;
  // So is the double nearest to a whole number of cents of up to 15 digits
  // (amounts and rates mostly are): its 15 digits are those cents.
  if (magnitude < 1e13) {
    const double cents = std::round(value * 100);
    if (cents / 100 == value) return value;
  }
  if (magnitude >= 1e-7 && magnitude < 1e15) {
    return std::copysign(FifteenDigitsValue(magnitude), value);
  }
  // Far from the ends of the double range the 15 digits always read back; near
  // them (and for INF and NAN) the text itself decides, errors included.
  if (magnitude >= 1e-290 && magnitude <= 1e290) {
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    double result = 0.0;
    std::from_chars(buffer, written.ptr, result, std::chars_format::general);
    return result;
  }
  // The separator does not matter: the text is read back as it was written.
  const FormatSettings any;
  return StrToFloat(FormatFloat(value, any), any);
}

double StrToFloat(std::string_view text, const FormatSettings& fs) {
  // Grammar: blanks, sign, digits with at most one decimal separator (the
  // locale's or "."), an optional exponent, blanks. No digit grouping.
  size_t pos = 0;
  const size_t n = text.size();
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  while (pos < n && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < n && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  std::string normal;  // "digits.digits" for the conversion
  size_t digits = 0;
  bool separator = false;
  int64_t leadingExponent = 0;  // decimal position of the first significant digit
  bool significant = false;
  for (; pos < n; ++pos) {
    const char c = text[pos];
    if (isDigit(c)) {
      ++digits;
      normal += c;
      if (c != '0') significant = true;
      if (!separator && significant) ++leadingExponent;
      if (separator && !significant) --leadingExponent;
    } else if (!separator && (c == fs.decimalSeparator || c == '.')) {
      separator = true;
      normal += '.';
    } else {
      break;
    }
  }
  if (digits == 0) RaiseConvertError(text);
  int64_t exponent = 0;
  if (pos < n && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    bool negativeExponent = false;
    if (pos < n && (text[pos] == '+' || text[pos] == '-')) negativeExponent = text[pos++] == '-';
    size_t exponentDigits = 0;
    for (; pos < n && isDigit(text[pos]); ++pos, ++exponentDigits) {
      if (exponent < 100000) exponent = exponent * 10 + (text[pos] - '0');
    }
    if (exponentDigits == 0) RaiseConvertError(text);
    if (negativeExponent) exponent = -exponent;
    normal += 'e';
    normal += std::to_string(exponent);
  }
  while (pos < n && text[pos] == ' ') ++pos;
  if (pos != n) RaiseConvertError(text);

  double value = 0.0;
  const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), value,
                                      std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // Too small for a double: zero. Too large: no number.
    if (!significant || leadingExponent + exponent < 0) {
      value = 0.0;
    } else {
      RaiseConvertError(text);
    }
  } else if (result.ec != std::errc() || result.ptr != normal.data() + normal.size()) {
    RaiseConvertError(text);
  }
  if (!std::isfinite(value)) RaiseConvertError(text);
  return negative ? -value : value;
}

int64_t StrToInt(std::string_view text, const FormatSettings& fs) {
  // Whole numbers are read exactly, so that keys above 2^53 stay what they are;
  // everything else goes through the float conversion and is rounded.
  std::string_view digits = text;
  while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
  while (!digits.empty() && digits.back() == ' ') digits.remove_suffix(1);
  const size_t sign = !digits.empty() && (digits[0] == '-' || digits[0] == '+') ? 1 : 0;
  if (digits.size() > sign &&
      digits.find_first_not_of("0123456789", sign) == std::string_view::npos) {
    if (digits[0] == '+') digits.remove_prefix(1);
    int64_t whole = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), whole);
    if (result.ec == std::errc() && result.ptr == digits.data() + digits.size()) return whole;
    if (result.ec == std::errc::result_out_of_range) RaiseConvertError(text);
  }
  const double value = RoundHalfEven(StrToFloat(text, fs));
  if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0)) {
    RaiseConvertError(text);
  }
  return static_cast<int64_t>(value);
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double lower = std::floor(value);
  const double fraction = value - lower;
  if (fraction < 0.5) return lower;
  if (fraction > 0.5) return lower + 1.0;
  return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

}  // namespace vorlex
