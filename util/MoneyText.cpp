#include "util/MoneyText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "util/NumberText.h"

namespace vorlex {

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
    text += fs.decimalSeparator;
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
  if (point != std::string::npos) text[point] = fs.decimalSeparator;
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
  out += fs.decimalSeparator;
  out += cents.substr(cents.size() - 2);
  return out;
}

std::optional<int64_t> ShownCents(double value) {
  if (!std::isfinite(value) || std::fabs(value) >= 1e15) return std::nullopt;
  // Read back from the text itself, so that the cents are those shown
  // whatever rounding the text took.
  const std::string text = FormatMoney(value, FormatSettings{.decimalSeparator = '.'});
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
  *--begin = fs.decimalSeparator;
  do {
    *--begin = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude > 0);
  if (cents < 0) *--begin = '-';
  return std::string(begin, buffer + sizeof buffer);
}

}  // namespace vorlex
