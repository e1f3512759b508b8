#include "tax/FilingCalendar.h"

#include <gtest/gtest.h>

namespace vorlex {
namespace {

double Day(int year, int month, int day) {
  return EncodeDate(year, month, day);
}

TEST(FilingCalendar, NationwideHolidaysOnly) {
  struct Row {
    CalendarDate date;
    bool holiday;
  };
  const Row rows[] = {
      {{2026, 1, 1}, true},   {{2027, 1, 1}, true},     // Neujahr
      {{2020, 4, 10}, true},  {{2016, 3, 25}, true},    // Karfreitag
      {{2023, 4, 10}, true},  {{2011, 4, 25}, true},    // Ostermontag
      {{2026, 5, 1}, true},   {{2027, 5, 1}, true},     // 1. Mai
      {{2018, 5, 10}, true},  {{2017, 5, 25}, true},    // Christi Himmelfahrt
      {{2019, 6, 10}, true},  {{2026, 5, 25}, true},    // Pfingstmontag
      {{2026, 10, 3}, true},  {{2027, 10, 3}, true},    // 3. Oktober
      {{2018, 12, 25}, true}, {{2020, 12, 26}, true},   // Weihnachten
      {{2017, 10, 31}, true}, {{2018, 10, 31}, false},  // Reformationstag: once nationwide
      {{2026, 4, 5}, false},  {{2026, 6, 4}, false},    // Ostersonntag; Fronleichnam (regional)
      {{2026, 1, 6}, false},  {{2026, 12, 24}, false}, {{2026, 12, 31}, false},
      {{2025, 4, 17}, false}, {{2025, 4, 22}, false},  // around Easter 2025
  };
  for (const Row& r : rows) {
    EXPECT_EQ(IsNationwideHoliday(Day(r.date.year, r.date.month, r.date.day) + 0.75), r.holiday)
        << r.date.year << "-" << r.date.month << "-" << r.date.day;
  }
}

TEST(FilingCalendar, DueDatesMoveToTheNextWorkingDay) {
  enum Which { PreReturn, WithExtension, EcSalesList };
  struct Row {
    const char* name;
    Which which;
    TTaxPeriod period;
    CalendarDate due;
  };
  const Row rows[] = {
      {"10th on a weekday", PreReturn, MonthPeriod(2025, 2), {2025, 3, 10}},
      {"10th on a Sunday", PreReturn, MonthPeriod(2026, 12), {2027, 1, 11}},
      {"10th on a Saturday", PreReturn, MonthPeriod(2024, 1), {2024, 2, 12}},
      {"quarter", PreReturn, QuarterPeriod(2025, 1), {2025, 4, 10}},
      {"Karfreitag, weekend, Ostermontag", PreReturn, MonthPeriod(2020, 3), {2020, 4, 14}},
      {"Ostermontag", PreReturn, QuarterPeriod(2023, 1), {2023, 4, 11}},
      {"Christi Himmelfahrt 2018", PreReturn, MonthPeriod(2018, 4), {2018, 5, 11}},
      {"Christi Himmelfahrt 2029", PreReturn, MonthPeriod(2029, 4), {2029, 5, 11}},
      {"Pfingstmontag", PreReturn, MonthPeriod(2019, 5), {2019, 6, 11}},
      {"extension: a month later", WithExtension, MonthPeriod(2026, 12), {2027, 2, 10}},
      {"extension of a quarter", WithExtension, QuarterPeriod(2024, 4), {2025, 2, 10}},
      {"extension onto a Sunday", WithExtension, MonthPeriod(2024, 1), {2024, 3, 11}},
      {"extension onto Pfingstmontag", WithExtension, MonthPeriod(2019, 4), {2019, 6, 11}},
      {"EC sales list on the 25th", EcSalesList, MonthPeriod(2026, 12), {2027, 1, 25}},
      {"EC sales list of a quarter, Sunday", EcSalesList, QuarterPeriod(2025, 4), {2026, 1, 26}},
      {"EC sales list: Karfreitag to Ostermontag",
       EcSalesList,
       MonthPeriod(2016, 2),
       {2016, 3, 29}},
      {"EC sales list: Ostermontag", EcSalesList, QuarterPeriod(2011, 1), {2011, 4, 26}},
      {"EC sales list: Christi Himmelfahrt", EcSalesList, MonthPeriod(2017, 4), {2017, 5, 26}},
      {"EC sales list: Pfingstmontag", EcSalesList, MonthPeriod(2026, 4), {2026, 5, 26}},
      {"EC sales list: both Weihnachtstage", EcSalesList, MonthPeriod(2018, 11), {2018, 12, 27}},
      {"EC sales list: Weihnachten and weekend",
       EcSalesList,
       MonthPeriod(2020, 11),
       {2020, 12, 28}},
  };
  for (const Row& r : rows) {
    const std::optional<double> due = r.which == EcSalesList
                                          ? EcSalesListDue(r.period)
                                          : PreReturnDue(r.period, r.which == WithExtension);
    ASSERT_TRUE(due) << r.name;
    EXPECT_EQ(DecodeDate(*due), r.due) << r.name;
  }
  // The special prepayment: 10 February, moved like the rest.
  EXPECT_EQ(DecodeDate(SpecialPrepaymentDue(2027)), (CalendarDate{2027, 2, 10}));
  EXPECT_EQ(DecodeDate(SpecialPrepaymentDue(2024)), (CalendarDate{2024, 2, 12}));
  EXPECT_EQ(DecodeDate(SpecialPrepaymentDue(2019)), (CalendarDate{2019, 2, 11}));

  // No return is due for a year or a free range, nor after the calendar ends.
  EXPECT_FALSE(PreReturnDue(YearPeriod(2026), false));
  EXPECT_FALSE(EcSalesListDue(RangePeriod({2026, 1, 1}, {2026, 1, 31})));
  EXPECT_FALSE(PreReturnDue(MonthPeriod(9999, 12), false));
  EXPECT_FALSE(PreReturnDue(MonthPeriod(9999, 11), true));
  EXPECT_TRUE(PreReturnDue(MonthPeriod(9999, 11), false));
}

TEST(FilingCalendar, ReturnOfAPeriodFollowsTheYearsRhythm) {
  const FilingSettings monthly{FilingRhythm::Monthly, true, std::nullopt};
  const FilingSettings quarterly{};
  struct Row {
    const char* name;
    FilingSettings settings;
    TTaxPeriod period;
    ReturnKind kind;
    std::optional<CalendarDate> due;
  };
  const Row rows[] = {
      {"month of a monthly filer", monthly, MonthPeriod(2026, 12), ReturnKind::MonthReturn,
       CalendarDate{2027, 2, 10}},
      {"quarter of a quarterly filer", quarterly, QuarterPeriod(2026, 4), ReturnKind::QuarterReturn,
       CalendarDate{2027, 1, 11}},
      {"quarter of a monthly filer", monthly, QuarterPeriod(2026, 4), ReturnKind::None, {}},
      {"month of a quarterly filer", quarterly, MonthPeriod(2026, 12), ReturnKind::None, {}},
      {"year", monthly, YearPeriod(2026), ReturnKind::None, {}},
  };
  for (const Row& r : rows) {
    const FilingReturn filed = ReturnOf(r.settings, r.period);
    EXPECT_EQ(filed.kind, r.kind) << r.name;
    ASSERT_EQ(filed.due.has_value(), r.due.has_value()) << r.name;
    if (r.due) {
      EXPECT_EQ(DecodeDate(*filed.due), *r.due) << r.name;
    }
  }

  const std::vector<TTaxPeriod> months = ReturnPeriods(monthly, 2026);
  ASSERT_EQ(months.size(), 12u);
  EXPECT_EQ(months[11], MonthPeriod(2026, 12));
  const std::vector<TTaxPeriod> quarters = ReturnPeriods(quarterly, 2026);
  ASSERT_EQ(quarters.size(), 4u);
  EXPECT_EQ(quarters[0], QuarterPeriod(2026, 1));
}

}  // namespace
}  // namespace vorlex
