#include "util/DateText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "util/FormatTest.h"
#include "util/uDatum.h"

namespace vorlex {
namespace {

TEST(FormatTest, DateText) {
  struct Row {
    double day;
    const char* pattern;
    const char* expected;
  };
  const Row rows[] = {
      {45292, "dd.MM.yyyy", "01.01.2024"},
      {45382.5, "dd.MM.yyyy", "31.03.2024"},
      {45382.999, "dd.MM.yyyy", "31.03.2024"},
      {45292, "d.M.yyyy", "1.1.2024"},
      {45577, "d.M.yyyy", "12.10.2024"},
      {45292, "M/d/yyyy", "1/1/2024"},
      {45292, "yyyy-MM-dd", "2024-01-01"},
      {45292, "dd.MM.yy", "01.01.24"},
      {45292, "'Tag' d", "Tag 1"},
      {45292, "d 'o''clock'", "1 o'clock"},
      {45292, "''d''", "'1'"},
      {45292, "'dd.MM.yyyy' dd", "dd.MM.yyyy 01"},
      {45292, "d. MMMM", "1. 0101"},  // month names are not ours: runs read two at a time
      {-1, "dd.MM.yyyy", "29.12.1899"},
      {-0.5, "dd.MM.yyyy", "29.12.1899"},
      {0, "dd.MM.yyyy", "30.12.1899"},
      {-693593, "dd.MM.yyyy", "01.01.0001"},
      {2958465, "dd.MM.yyyy", "31.12.9999"},
      {45292, "'unclosed d", "unclosed d"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(FormatDate(r.day, FormatSettings{',', r.pattern}), r.expected) << r.pattern;
  }
  EXPECT_EQ(FormatDate(45292, kGerman), "01.01.2024");
  EXPECT_THROW(FormatDate(1e9, kGerman), EDateError);
}

// Typed dates in the pattern's order; partial and impossible ones are none.
TEST(FormatTest, TypedDateText) {
  struct Row {
    const char* text;
    const char* pattern;
    std::optional<CalendarDate> expected;
  };
  const Row rows[] = {
      {"15.07.2026", "dd.MM.yyyy", CalendarDate{2026, 7, 15}},
      {"5.7.2026", "dd.MM.yyyy", CalendarDate{2026, 7, 5}},
      {" 14082026 ", "dd.MM.yyyy", CalendarDate{2026, 8, 14}},
      {"7/15/2026", "M/d/yyyy", CalendarDate{2026, 7, 15}},
      {"2026-07-15", "yyyy-MM-dd", CalendarDate{2026, 7, 15}},
      {"20260715", "yyyy-MM-dd", CalendarDate{2026, 7, 15}},
      {"15.07.", "dd.MM.yyyy", std::nullopt},
      {"15.07.202", "dd.MM.yyyy", std::nullopt},
      {"15.07.26", "dd.MM.yyyy", std::nullopt},
      {"1507202", "dd.MM.yyyy", std::nullopt},
      {"0.04.0000", "dd.MM.yyyy", std::nullopt},
      {"31.02.2026", "dd.MM.yyyy", std::nullopt},
      {"15.13.2026", "dd.MM.yyyy", std::nullopt},
      {"15.Juli.2026", "dd.MM.yyyy", std::nullopt},
      {"1.1.1.2026", "dd.MM.yyyy", std::nullopt},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ParseDate(r.text, FormatSettings{',', r.pattern}), r.expected) << r.text;
  }
}

}  // namespace
}  // namespace vorlex
