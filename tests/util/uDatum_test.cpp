#include "util/uDatum.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorlex {
namespace {

TEST(IsLeapYear, GregorianRule) {
  struct Row {
    uint16_t year;
    bool leap;
  };
  for (const Row& r : {Row{2000, true}, Row{2024, true}, Row{1600, true}, Row{4, true},
                       Row{1900, false}, Row{2023, false}, Row{2100, false}, Row{1, false}}) {
    EXPECT_EQ(IsLeapYear(r.year), r.leap) << r.year;
  }
}

TEST(DaysInMonth, MonthLengthsWithLeapDay) {
  struct Row {
    uint16_t year, month;
    int days;
  };
  for (const Row& r : {Row{2024, 2, 29}, Row{2100, 2, 28}, Row{2000, 2, 29}, Row{2023, 2, 28},
                       Row{2025, 4, 30}, Row{2025, 1, 31}, Row{1999, 12, 31}, Row{2024, 12, 31},
                       Row{2024, 6, 30}, Row{2024, 9, 30}, Row{2024, 11, 30}, Row{2024, 8, 31}}) {
    EXPECT_EQ(DaysInMonth(r.year, r.month), r.days) << r.year << "-" << r.month;
  }
  // Not a month: no out-of-range read, just no days.
  EXPECT_EQ(DaysInMonth(2024, 0), 0);
  EXPECT_EQ(DaysInMonth(2024, 13), 0);
}

TEST(DayNumber, KnownDatesBothWays) {
  struct Row {
    CalendarDate date;
    double number;
  };
  const Row rows[] = {
      {{1899, 12, 30}, 0},    {{1899, 12, 31}, 1},       {{1900, 1, 1}, 2},
      {{1900, 3, 1}, 61},     {{2012, 1, 1}, 40909},     {{2024, 1, 1}, 45292},
      {{2024, 2, 29}, 45351}, {{2024, 3, 31}, 45382},    {{1899, 12, 29}, -1},
      {{1, 1, 1}, -693593},   {{9999, 12, 31}, 2958465}, {{2000, 2, 29}, 36585},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(EncodeDate(r.date.year, r.date.month, r.date.day), r.number) << r.number;
    EXPECT_EQ(DecodeDate(r.number), r.date) << r.number;
  }
}

TEST(DayNumber, DecodeTakesTheFloorAlsoBelowZero) {
  EXPECT_EQ(DecodeDate(45382.5), (CalendarDate{2024, 3, 31}));
  EXPECT_EQ(DecodeDate(45382.999999), (CalendarDate{2024, 3, 31}));
  EXPECT_EQ(DecodeDate(-0.5), (CalendarDate{1899, 12, 29}));
  EXPECT_EQ(DecodeDate(-1.25), (CalendarDate{1899, 12, 28}));
}

TEST(DayNumber, EveryDayOfFourCenturiesRoundTrips) {
  double expected = EncodeDate(1800, 1, 1);
  for (int y = 1800; y < 2200; ++y) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= DaysInMonth(static_cast<uint16_t>(y), static_cast<uint16_t>(m)); ++d) {
        ASSERT_EQ(EncodeDate(y, m, d), expected) << y << "-" << m << "-" << d;
        ASSERT_EQ(DecodeDate(expected), (CalendarDate{y, m, d}));
        expected += 1;
      }
    }
  }
}

TEST(DayNumber, ImpossibleDatesRaise) {
  struct Row {
    int y, m, d;
  };
  for (const Row& r : {Row{2024, 0, 1}, Row{2024, 13, 1}, Row{2024, 2, 30}, Row{2023, 2, 29},
                       Row{0, 1, 1}, Row{10000, 1, 1}, Row{2024, 4, 31}, Row{2024, 1, 0}}) {
    EXPECT_FALSE(IsValidDate(r.y, r.m, r.d));
    EXPECT_THROW(EncodeDate(r.y, r.m, r.d), EDateError) << r.y << "-" << r.m << "-" << r.d;
  }
  EXPECT_THROW(DecodeDate(-693594), EDateError);
  EXPECT_THROW(DecodeDate(2958466), EDateError);
  EXPECT_THROW(DecodeDate(0.0 / 0.0), EDateError);
  EXPECT_THROW(DecodeDate(1e300), EDateError);
}

TEST(Calendar, DayOfWeekAndEasterSunday) {
  EXPECT_EQ(DayOfWeek(0), 6);     // 30 December 1899, a Saturday
  EXPECT_EQ(DayOfWeek(-1.5), 4);  // floor, as everywhere
  EXPECT_THROW(DayOfWeek(std::nan("")), EDateError);
  // The earliest and latest Easter, and 1954 and 1981, where shorter rules slip.
  for (const CalendarDate& easter :
       {CalendarDate{2285, 3, 22}, CalendarDate{2038, 4, 25}, CalendarDate{1954, 4, 18},
        CalendarDate{1981, 4, 19}, CalendarDate{2000, 4, 23}, CalendarDate{2026, 4, 5}}) {
    EXPECT_EQ(EasterSunday(easter.year), easter) << easter.year;
  }
}

}  // namespace
}  // namespace vorlex
