#include "tax/FilingCalendar.h"

#include <gtest/gtest.h>

#include <map>

namespace vorlex {
namespace {

CalendarDate DateOf(std::optional<double> day) {
  return day ? DecodeDate(*day) : CalendarDate{};
}

TEST(FilingCalendar, NationwideHolidaysOnly) {
  // Every nationwide holiday, the Easter ones in two years; then days that are
  // holidays in some states only, or in none.
  const CalendarDate holidays[] = {{2026, 1, 1},   {2020, 4, 10}, {2016, 3, 25}, {2023, 4, 10},
                                   {2011, 4, 25},  {2026, 5, 1},  {2018, 5, 10}, {2017, 5, 25},
                                   {2019, 6, 10},  {2026, 5, 25}, {2026, 10, 3}, {2018, 12, 25},
                                   {2020, 12, 26}, {2017, 10, 31}};
  const CalendarDate others[] = {{2026, 4, 5},   {2026, 6, 4},   {2026, 1, 6}, {2026, 12, 24},
                                 {2026, 12, 31}, {2018, 10, 31}, {2025, 4, 17}};
  for (const CalendarDate& d : holidays) {
    EXPECT_TRUE(IsNationwideHoliday(EncodeDate(d.year, d.month, d.day) + 0.75))
        << d.year << d.month;
  }
  for (const CalendarDate& d : others) {
    EXPECT_FALSE(IsNationwideHoliday(EncodeDate(d.year, d.month, d.day))) << d.year << d.month;
  }
}

TEST(FilingCalendar, DueDatesMoveToTheNextWorkingDay) {
  enum Which { PreReturn, Extended, EcSalesList };
  struct Row {
    const char* name;
    Which which;
    TTaxPeriod period;
    CalendarDate due;
  };
  const Row rows[] = {
      {"weekday", PreReturn, MonthPeriod(2025, 2), {2025, 3, 10}},
      {"Sunday", PreReturn, MonthPeriod(2026, 12), {2027, 1, 11}},
      {"Saturday", PreReturn, MonthPeriod(2024, 1), {2024, 2, 12}},
      {"Karfreitag, weekend, Ostermontag", PreReturn, MonthPeriod(2020, 3), {2020, 4, 14}},
      {"Ostermontag, a quarter", PreReturn, QuarterPeriod(2023, 1), {2023, 4, 11}},
      {"Christi Himmelfahrt", PreReturn, MonthPeriod(2018, 4), {2018, 5, 11}},
      {"Pfingstmontag", PreReturn, MonthPeriod(2019, 5), {2019, 6, 11}},
      {"extension", Extended, MonthPeriod(2026, 12), {2027, 2, 10}},
      {"extension of a quarter", Extended, QuarterPeriod(2024, 4), {2025, 2, 10}},
      {"extension onto a Sunday", Extended, MonthPeriod(2024, 1), {2024, 3, 11}},
      {"EC sales list", EcSalesList, MonthPeriod(2026, 12), {2027, 1, 25}},
      {"EC sales list, quarter, Sunday", EcSalesList, QuarterPeriod(2025, 4), {2026, 1, 26}},
      {"EC sales list, Karfreitag", EcSalesList, MonthPeriod(2016, 2), {2016, 3, 29}},
      {"EC sales list, Ostermontag", EcSalesList, QuarterPeriod(2011, 1), {2011, 4, 26}},
      {"EC sales list, Himmelfahrt", EcSalesList, MonthPeriod(2017, 4), {2017, 5, 26}},
      {"EC sales list, Pfingstmontag", EcSalesList, MonthPeriod(2026, 4), {2026, 5, 26}},
      {"EC sales list, Weihnachten", EcSalesList, MonthPeriod(2018, 11), {2018, 12, 27}},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(DateOf(r.which == EcSalesList ? EcSalesListDue(r.period)
                                            : PreReturnDue(r.period, r.which == Extended)),
              r.due)
        << r.name;
  }
  EXPECT_EQ(DecodeDate(SpecialPrepaymentDue(2027)), (CalendarDate{2027, 2, 10}));
  EXPECT_EQ(DecodeDate(SpecialPrepaymentDue(2024)), (CalendarDate{2024, 2, 12}));
  // None for a year or a free range, nor past the calendar's end.
  EXPECT_FALSE(PreReturnDue(YearPeriod(2026), false));
  EXPECT_FALSE(EcSalesListDue(RangePeriod({2026, 1, 1}, {2026, 1, 31})));
  EXPECT_FALSE(PreReturnDue(MonthPeriod(9999, 11), true));
}

TEST(FilingCalendar, ReturnOfAPeriodFollowsTheYearsRhythm) {
  const FilingSettings monthly{FilingRhythm::Monthly, true, std::nullopt};
  const FilingSettings quarterly{};
  EXPECT_EQ(ReturnOf(monthly, MonthPeriod(2026, 12)),
            (FilingReturn{ReturnKind::MonthReturn, EncodeDate(2027, 2, 10)}));
  EXPECT_EQ(ReturnOf(quarterly, QuarterPeriod(2026, 4)),
            (FilingReturn{ReturnKind::QuarterReturn, EncodeDate(2027, 1, 11)}));
  EXPECT_EQ(ReturnOf(monthly, QuarterPeriod(2026, 4)), FilingReturn{});
  EXPECT_EQ(ReturnOf(quarterly, MonthPeriod(2026, 12)), FilingReturn{});
  EXPECT_EQ(ReturnOf(monthly, YearPeriod(2026)), FilingReturn{});
  EXPECT_EQ(ReturnPeriods(monthly, 2026).size(), 12u);
  EXPECT_EQ(ReturnPeriods(quarterly, 2026).back(), QuarterPeriod(2026, 4));
}

TEST(FilingCalendar, AYearWithoutSettingsTakesTheRhythmOfTheYearBefore) {
  const FilingSettings monthly{FilingRhythm::Monthly, true, 120000};
  const FilingSettings quarterly{FilingRhythm::Quarterly, false, std::nullopt};
  const std::map<int, FilingSettings> stored{{2024, monthly}, {2026, quarterly}};
  EXPECT_EQ(SettingsOfYear(stored, 2023), FilingSettings{});
  EXPECT_EQ(SettingsOfYear(stored, 2024), monthly);
  // The assessed amount was 2024's alone.
  EXPECT_EQ(SettingsOfYear(stored, 2025), (FilingSettings{FilingRhythm::Monthly, true, {}}));
  EXPECT_EQ(SettingsOfYear(stored, 2026), quarterly);
  EXPECT_EQ(SettingsOfYear(stored, 2030), quarterly);
  EXPECT_EQ(SettingsOfYear({}, 2026), FilingSettings{});
  // The year before the first one stored is taken in that year's rhythm.
  EXPECT_EQ(SettingsOfYearBefore(stored, 2024), (FilingSettings{FilingRhythm::Monthly, true, {}}));
  EXPECT_EQ(SettingsOfYearBefore(stored, 2025), monthly);
  EXPECT_EQ(SettingsOfYearBefore(stored, 2027), quarterly);
  EXPECT_EQ(SettingsOfYearBefore({}, 2027), FilingSettings{});
}

}  // namespace
}  // namespace vorlex
