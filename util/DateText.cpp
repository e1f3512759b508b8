#include "util/DateText.h"

#include <cmath>
#include <vector>

#include "util/NumberText.h"
#include "util/uDatum.h"

namespace vorlex {

std::string FormatDate(double dayNumber, const FormatSettings& fs) {
  // A run lists many entries of a day one after another: the last day's text
  // is kept.
  thread_local struct {
    double day = -1e300;
    std::string pattern;
    std::string text;
  } last;
  const double day = std::floor(dayNumber);
  if (day == last.day && fs.shortDatePattern == last.pattern) return last.text;
  const CalendarDate date = DecodeDate(dayNumber);
  const std::string& pattern = fs.shortDatePattern;
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
  for (const char c : fs.shortDatePattern) {
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

}  // namespace vorlex
