#include "db/uDB_Help.h"

#include <gtest/gtest.h>

#include "util/uDatum.h"

namespace vorlex {
namespace {

TEST(SQLHelpTest, ReplaceAll) {
  struct Row {
    const char *source, *find, *replacement, *expected;
  };
  const Row rows[] = {
      {"1,5,0", ",", ".", "1.5.0"}, {"aaa", "aa", "b", "ba"}, {"", ",", ".", ""},
      {"45292", ",", ".", "45292"}, {"a|b", "|", ";", "a;b"}, {"ab", "abc", "x", "ab"},
  };
  for (const Row& r : rows) EXPECT_EQ(ReplaceAll(r.source, r.find, r.replacement), r.expected);
}

TEST(SQLHelpTest, SQLDateIsTheDayNumberWithAPoint) {
  struct Row {
    uint16_t y, m, d;
    const char* expected;
  };
  const Row rows[] = {
      {2024, 1, 1, "45292"},  {1899, 12, 30, "0"},       {2012, 1, 1, "40909"},
      {2024, 3, 31, "45382"}, {2024, 2, 29, "45351"},    {1899, 12, 29, "-1"},
      {1, 1, 1, "-693593"},   {9999, 12, 31, "2958465"},
  };
  for (const Row& r : rows) EXPECT_EQ(SQLDate(r.y, r.m, r.d), r.expected) << r.expected;
}

TEST(SQLHelpTest, SQLDateOfImpossibleDatesRaises) {
  struct Row {
    uint16_t y, m, d;
  };
  for (const Row& r : {Row{2024, 0, 1}, Row{2024, 13, 1}, Row{2024, 2, 30}, Row{0, 1, 1},
                       Row{2023, 2, 29}, Row{2024, 6, 31}}) {
    EXPECT_THROW(SQLDate(r.y, r.m, r.d), EDateError) << r.y << "-" << r.m << "-" << r.d;
  }
}

TEST(SQLHelpTest, SQLDateOfADayNumberDropsTheTimeOfDay) {
  EXPECT_EQ(SQLDateOf(45382.5), "45382");
  EXPECT_EQ(SQLDateOf(45292.0), "45292");
  EXPECT_EQ(SQLDateOf(-0.5), "-1");
  EXPECT_THROW(SQLDateOf(1e12), EDateError);
}

}  // namespace
}  // namespace vorlex
