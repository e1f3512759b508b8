// The period of an evaluation: a year, a quarter, a month or a free range of
// days, as chosen on the window's controls or on the reporter's command line.
#pragma once

#include "util/uDatum.h"

namespace vorlex {

enum class TPeriodKind { None, Jahr, Quartal1, Quartal2, Quartal3, Quartal4, Monat, VonBis };

struct TTaxPeriod {
  TPeriodKind PeriodKind = TPeriodKind::None;
  int Year = 0;   // of a year, quarter or month
  int Month = 0;  // of a month
  CalendarDate First;
  CalendarDate Last;  // included
  double FirstDay = 0;  // First and Last as day numbers
  double LastDay = 0;

  // A free range whose first day lies after its last: it holds no day.
  bool Reversed() const;
  friend bool operator==(const TTaxPeriod&, const TTaxPeriod&) = default;
};

// Whether the calendar day of firstDay lies after that of lastDay, so that
// the period holds no day; a time of day does not count.
bool PeriodReversed(double firstDay, double lastDay);

TTaxPeriod YearPeriod(int year);
TTaxPeriod QuarterPeriod(int year, int quarter);  // quarter 1 to 4
TTaxPeriod MonthPeriod(int year, int month);
TTaxPeriod RangePeriod(const CalendarDate& first, const CalendarDate& last);

}  // namespace vorlex
