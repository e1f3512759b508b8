#include "db/SQLiteText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "util/uString.h"

namespace vorlex {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool IsBlankText(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

bool IsNumberText(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  const auto digits = [&] {
    const size_t from = i;
    while (i < n && IsDigit(text[i])) ++i;
    return i > from;
  };
  while (i < n && IsBlank(text[i])) ++i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  bool mantissa = digits();
  if (i < n && text[i] == '.') {
    ++i;
    mantissa = digits() || mantissa;
  }
  if (!mantissa) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    if (!digits()) return false;
  }
  while (i < n && IsBlank(text[i])) ++i;
  return i == n;
}

std::string RealText(double value) {
  // The library's own steps, in extended precision as it takes them (its
  // constants are doubles): the value scaled into [1, 10), rounded at the
  // 15th digit by adding half of it, then digit by digit.
  if (std::isnan(value)) return "NaN";
  long double v = value;
  std::string text;
  if (v < 0) {
    text += '-';
    v = -v;
  }
  constexpr int kPrecision = 14;  // digits after the first
  long double rounder = 0.5;
  for (int i = 0; i < kPrecision; ++i) rounder *= 0.1;
  int exponent = 0;
  if (v > 0) {
    long double scale = 1.0;
    while (v >= 1e100 * scale && exponent <= 350) {
      scale *= 1e100;
      exponent += 100;
    }
    while (v >= 1e10 * scale && exponent <= 350) {
      scale *= 1e10;
      exponent += 10;
    }
    while (v >= 10.0 * scale && exponent <= 350) {
      scale *= 10.0;
      ++exponent;
    }
    v /= scale;
    while (v < 1e-8) {
      v *= 1e8;
      exponent -= 8;
    }
    while (v < 1.0) {
      v *= 10.0;
      --exponent;
    }
    if (exponent > 350) return text + "Inf";
  }
  v += rounder;
  if (v >= 10.0) {
    v *= 0.1;
    ++exponent;
  }
  const bool scientific = exponent < -4 || exponent > kPrecision;
  int decimals = scientific ? kPrecision : kPrecision - exponent;
  int integerDigits = scientific ? 0 : exponent;  // less one
  // Beyond 26 significant digits the library writes zeros.
  int significant = 26;
  const auto digit = [&v, &significant] {
    if (significant <= 0) return '0';
    --significant;
    const int d = static_cast<int>(v);
    v = (v - d) * 10.0;
    return static_cast<char>('0' + d);
  };
  if (integerDigits < 0) {
    text += '0';
  } else {
    for (; integerDigits >= 0; --integerDigits) text += digit();
  }
  text += '.';
  for (++integerDigits; integerDigits < 0; --decimals, ++integerDigits) text += '0';
  while (decimals-- > 0) text += digit();
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text += '0';
  if (scientific) {
    text += 'e';
    text += exponent < 0 ? '-' : '+';
    int magnitude = std::abs(exponent);
    if (magnitude >= 100) {
      text += static_cast<char>('0' + magnitude / 100);
      magnitude %= 100;
    }
    text += static_cast<char>('0' + magnitude / 10);
    text += static_cast<char>('0' + magnitude % 10);
  }
  return text;
}

bool NumericAffinity(std::string_view declaredType) {
  const std::string upper = AsciiUpper(declaredType);
  const auto contains = [&upper](const char* word) {
    return upper.find(word) != std::string::npos;
  };
  if (contains("INT")) return true;
  if (contains("CHAR") || contains("CLOB") || contains("TEXT")) return false;
  if (contains("BLOB") || upper.empty()) return false;
  return true;  // REAL, FLOA, DOUB, or anything else: NUMERIC
}

}  // namespace vorlex
