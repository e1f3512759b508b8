#include "util/uFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <vector>

#include "util/uDatum.h"
#include "util/uString.h"

namespace vorlex {

const char* const kConvertErrorText = "Typkonvertierung von Variant ung\xFCltig";

FormatSettings& Format() {
  static FormatSettings settings;
  return settings;
}

namespace {

[[noreturn]] void RaiseConvertError(std::string_view text) {
  std::string message(kConvertErrorText);
  message += ": \"";
  // A long text (a whole description) is named by its beginning.
  message += TruncateText(text, 100);
  message += '"';
  throw EConvertError(message);
}

std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

void AppendTwoDigits(std::string& out, int n) {
  out += static_cast<char>('0' + n / 10 % 10);
  out += static_cast<char>('0' + n % 10);
}

}  // namespace

std::string FormatMoney(double value, const FormatSettings& fs) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  // A value that lies exactly halfway between two cents is a multiple of 1/8
  // that is not a multiple of 1/4 (x.125, x.375, ...). Those go away from zero,
  // as commercial rounding does, counted exactly in whole cents: m/8 euros are
  // 25m/2 cents.
  const double eighths = value * 8.0;
  if (std::fabs(eighths) < 9007199254740992.0 && eighths == std::trunc(eighths) &&
      std::fmod(eighths, 2.0) != 0.0) {
    const int64_t m = static_cast<int64_t>(eighths);
    const int64_t cents = (25 * (m < 0 ? -m : m) + 1) / 2;
    std::string text = m < 0 ? "-" : "";
    text += std::to_string(cents / 100);
    text += fs.DecimalSeparator;
    AppendTwoDigits(text, static_cast<int>(cents % 100));
    return text;
  }
  // Away from half a cent the value shows the cents of value * 100 rounded:
  // below 1e11 that product is off by less than a thousandth of a cent, so
  // the value itself rounds to the same cents.
  if (std::fabs(value) < 1e11) {
    const double scaled = value * 100;
    const double cents = std::round(scaled);
    if (std::fabs(scaled - cents) < 0.49) return FormatCents(static_cast<int64_t>(cents), fs);
  }
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  std::string text(buffer, result.ptr);
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  const auto point = text.find('.');
  if (point != std::string::npos) text[point] = fs.DecimalSeparator;
  return text;
}

std::string FormatMoneyExtended(long double value, const FormatSettings& fs) {
  if (!std::isfinite(value)) return FormatMoney(static_cast<double>(value), fs);
  // The value is taken with the 18 significant digits that an extended number
  // carries in decimal, and those digits are rounded half away from zero. So
  // 0.19 x 1234.50 shows 234,56, as computed by hand, even though the binary
  // product lies a trace below the half cent.
  char buffer[64];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                     std::chars_format::scientific, 17);
  const std::string_view text(buffer, static_cast<size_t>(written.ptr - buffer));
  const size_t e = text.find('e');
  std::string digits(1, text[0]);
  digits += text.substr(2, e - 2);  // 18 digits: d.ddd... without the point
  int exponent = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                  exponent);
  // Digits that stand for whole cents: those before the point and two after it.
  const int keep = exponent + 3;
  std::string cents;
  if (keep >= static_cast<int>(digits.size())) {
    cents = digits + std::string(static_cast<size_t>(keep) - digits.size(), '0');
  } else if (keep >= 0) {
    cents = digits.substr(0, static_cast<size_t>(keep));
    if (digits[static_cast<size_t>(keep)] >= '5') {
      size_t i = cents.size();
      while (i > 0 && cents[i - 1] == '9') cents[--i] = '0';
      if (i == 0) {
        cents.insert(cents.begin(), '1');
      } else {
        ++cents[i - 1];
      }
    }
  }
  cents.erase(0, std::min(cents.find_first_not_of('0'), cents.size()));
  if (cents.size() < 3) cents.insert(0, 3 - cents.size(), '0');
  std::string out = value < 0 && cents.find_first_not_of('0') != std::string::npos ? "-" : "";
  out += cents.substr(0, cents.size() - 2);
  out += fs.DecimalSeparator;
  out += cents.substr(cents.size() - 2);
  return out;
}

std::optional<int64_t> ShownCents(double value) {
  if (!std::isfinite(value) || std::fabs(value) >= 1e15) return std::nullopt;
  // Read back from the text itself, so that the cents are those shown
  // whatever rounding the text took.
  const std::string text = FormatMoney(value, FormatSettings{.DecimalSeparator = '.'});
  int64_t cents = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') cents = cents * 10 + (c - '0');
  }
  return text[0] == '-' ? -cents : cents;
}

std::string FormatCents(int64_t cents, const FormatSettings& fs) {
  // The magnitude as unsigned, so that the most negative value has one too.
  uint64_t magnitude = cents < 0 ? 0 - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
  // From the last digit backwards: two cents, the separator, the euros.
  char buffer[32];
  char* begin = buffer + sizeof buffer;
  for (int digit = 0; digit < 2; ++digit, magnitude /= 10) {
    *--begin = static_cast<char>('0' + magnitude % 10);
  }
  *--begin = fs.DecimalSeparator;
  do {
    *--begin = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude > 0);
  if (cents < 0) *--begin = '-';
  return std::string(begin, buffer + sizeof buffer);
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
  for (char c : text.substr(0, e)) out += c == '.' ? fs.DecimalSeparator : c;
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
  return StrToFloat(FormatFloat(value));
}

std::string FormatDate(double dayNumber, const FormatSettings& fs) {
  // A run lists many entries of a day one after another: the last day's text
  // is kept.
  thread_local struct {
    double day = -1e300;
    std::string pattern;
    std::string text;
  } last;
  const double day = std::floor(dayNumber);
  if (day == last.day && fs.ShortDatePattern == last.pattern) return last.text;
  const CalendarDate date = DecodeDate(dayNumber);
  const std::string& pattern = fs.ShortDatePattern;
  std::string out;
  size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    if (c == '\'') {
      // 'text' stands as it is; '' is one quote, inside or outside quoted text.
      if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
        out += '\'';
        i += 2;
        continue;
      }
      ++i;
      while (i < pattern.size()) {
        if (pattern[i] == '\'') {
          if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
            out += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        out += pattern[i++];
      }
      continue;
    }
    size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    if (c == 'd' || c == 'M') {
      // Runs are read two letters at a time: d / dd, M / MM.
      const int part = c == 'd' ? date.day : date.month;
      for (size_t left = run; left > 0;) {
        if (left >= 2) {
          AppendTwoDigits(out, part);
          left -= 2;
        } else {
          out += std::to_string(part);
          left -= 1;
        }
      }
      i += run;
    } else if (c == 'y' && run >= 4) {
      const int year = date.year;
      out += static_cast<char>('0' + year / 1000 % 10);
      out += static_cast<char>('0' + year / 100 % 10);
      AppendTwoDigits(out, year % 100);
      i += 4;
    } else if (c == 'y' && run >= 2) {
      AppendTwoDigits(out, date.year % 100);
      i += 2;
    } else {
      out += c;
      i += 1;
    }
  }
  last.day = day;
  last.pattern = pattern;
  last.text = out;
  return out;
}

std::optional<CalendarDate> ParseDate(std::string_view text, const FormatSettings& fs) {
  // The order of day, month and year in the pattern, outside quoted text.
  std::string order;
  bool quoted = false;
  for (const char c : fs.ShortDatePattern) {
    if (c == '\'') quoted = !quoted;
    if (!quoted && (c == 'd' || c == 'M' || c == 'y') && order.find(c) == std::string::npos) {
      order += c;
    }
  }
  if (order.size() != 3) order = "dMy";

  std::vector<std::string_view> numbers;
  size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c & 0x80) != 0) return std::nullopt;
    if (c < '0' || c > '9') {
      ++pos;
      continue;
    }
    const size_t from = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
    numbers.push_back(text.substr(from, pos - from));
  }
  // Eight digits in one: two each for day and month, four for the year.
  if (numbers.size() == 1 && numbers[0].size() == 8) {
    const std::string_view digits = numbers[0];
    numbers.clear();
    size_t at = 0;
    for (const char part : order) {
      const size_t width = part == 'y' ? 4 : 2;
      numbers.push_back(digits.substr(at, width));
      at += width;
    }
  }
  if (numbers.size() != 3) return std::nullopt;
  CalendarDate date;
  for (size_t i = 0; i < 3; ++i) {
    const std::string_view number = numbers[i];
    const bool year = order[i] == 'y';
    if (year ? number.size() != 4 : number.size() > 2) return std::nullopt;
    int value = 0;
    for (const char digit : number) value = value * 10 + (digit - '0');
    (year ? date.year : order[i] == 'M' ? date.month : date.day) = value;
  }
  if (!IsValidDate(date.year, date.month, date.day)) return std::nullopt;
  return date;
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
    } else if (!separator && (c == fs.DecimalSeparator || c == '.')) {
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
