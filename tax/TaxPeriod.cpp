#include "tax/TaxPeriod.h"

#include <cmath>
#include <stdexcept>

namespace vorlex {

namespace {

TTaxPeriod Period(TPeriodKind kind, const CalendarDate& first, const CalendarDate& last) {
  TTaxPeriod period;
  period.PeriodKind = kind;
  period.First = first;
  period.Last = last;
  period.FirstDay = EncodeDate(first.year, first.month, first.day);
  period.LastDay = EncodeDate(last.year, last.month, last.day);
  return period;
}

}  // namespace

bool PeriodReversed(double firstDay, double lastDay) {
  return std::floor(firstDay) > std::floor(lastDay);
}

bool TTaxPeriod::Reversed() const {
  return PeriodReversed(FirstDay, LastDay);
}

TTaxPeriod YearPeriod(int year) {
  TTaxPeriod period = Period(TPeriodKind::Jahr, {year, 1, 1}, {year, 12, 31});
  period.Year = year;
  return period;
}

TTaxPeriod QuarterPeriod(int year, int quarter) {
  if (quarter < 1 || quarter > 4) throw std::out_of_range("quarter " + std::to_string(quarter));
  const int lastMonth = quarter * 3;
  const auto kind = static_cast<TPeriodKind>(static_cast<int>(TPeriodKind::Quartal1) + quarter - 1);
  TTaxPeriod period = Period(kind, {year, lastMonth - 2, 1},
                             {year, lastMonth, DaysInMonth(year, lastMonth)});
  period.Year = year;
  return period;
}

TTaxPeriod MonthPeriod(int year, int month) {
  TTaxPeriod period =
      Period(TPeriodKind::Monat, {year, month, 1}, {year, month, DaysInMonth(year, month)});
  period.Year = year;
  period.Month = month;
  return period;
}

TTaxPeriod RangePeriod(const CalendarDate& first, const CalendarDate& last) {
  return Period(TPeriodKind::VonBis, first, last);
}

}  // namespace vorlex
