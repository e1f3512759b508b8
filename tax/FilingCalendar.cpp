#include "tax/FilingCalendar.h"

#include <cmath>

namespace vorlex {

namespace {

constexpr int kLastYear = 9999;

bool IsQuarter(TPeriodKind kind) {
  return kind == TPeriodKind::Quartal1 || kind == TPeriodKind::Quartal2 ||
         kind == TPeriodKind::Quartal3 || kind == TPeriodKind::Quartal4;
}

// The given day of the month that lies monthsAfter months after the period's
// last month, moved to a working day; empty for a year or a free range, and
// past the calendar's last year.
std::optional<double> DayAfterPeriod(const TTaxPeriod& period, int monthsAfter, int day) {
  if (period.PeriodKind != TPeriodKind::Monat && !IsQuarter(period.PeriodKind)) {
    return std::nullopt;
  }
  const int index = period.Last.year * 12 + period.Last.month - 1 + monthsAfter;
  const int year = index / 12;
  if (year > kLastYear) return std::nullopt;
  return NextWorkingDay(EncodeDate(year, index % 12 + 1, day));
}

}  // namespace

bool IsNationwideHoliday(double day) {
  const CalendarDate date = DecodeDate(day);
  const int m = date.month;
  const int d = date.day;
  if ((m == 1 && d == 1) || (m == 5 && d == 1) || (m == 10 && d == 3) ||
      (m == 12 && (d == 25 || d == 26))) {
    return true;
  }
  // The 500th year of the Reformation was a holiday in every state, once.
  if (date.year == 2017 && m == 10 && d == 31) return true;
  const CalendarDate easter = EasterSunday(date.year);
  const double fromEaster = std::floor(day) - EncodeDate(easter.year, easter.month, easter.day);
  // Karfreitag, Ostermontag, Christi Himmelfahrt, Pfingstmontag.
  return fromEaster == -2 || fromEaster == 1 || fromEaster == 39 || fromEaster == 50;
}

double NextWorkingDay(double day) {
  double next = std::floor(day);
  while (DayOfWeek(next) >= 6 || IsNationwideHoliday(next)) next += 1;
  return next;
}

std::optional<double> PreReturnDue(const TTaxPeriod& period, bool extensionGranted) {
  return DayAfterPeriod(period, extensionGranted ? 2 : 1, 10);
}

std::optional<double> EcSalesListDue(const TTaxPeriod& period) {
  return DayAfterPeriod(period, 1, 25);
}

double SpecialPrepaymentDue(int year) {
  return NextWorkingDay(EncodeDate(year, 2, 10));
}

FilingSettings SettingsOfYear(const std::map<int, FilingSettings>& stored, int year) {
  auto it = stored.upper_bound(year);
  if (it == stored.begin()) return FilingSettings{};
  --it;
  if (it->first == year) return it->second;
  return FilingSettings{it->second.rhythm, it->second.extensionGranted, std::nullopt};
}

FilingSettings SettingsOfYearBefore(const std::map<int, FilingSettings>& stored, int year) {
  if (stored.empty() || stored.begin()->first >= year) {
    const FilingSettings own = SettingsOfYear(stored, year);
    return FilingSettings{own.rhythm, own.extensionGranted, std::nullopt};
  }
  return SettingsOfYear(stored, year - 1);
}

FilingReturn ReturnOf(const FilingSettings& settings, const TTaxPeriod& period) {
  FilingReturn result;
  if (period.PeriodKind == TPeriodKind::Monat && settings.rhythm == FilingRhythm::Monthly) {
    result.kind = ReturnKind::MonthReturn;
  } else if (IsQuarter(period.PeriodKind) && settings.rhythm == FilingRhythm::Quarterly) {
    result.kind = ReturnKind::QuarterReturn;
  } else {
    return result;
  }
  result.due = PreReturnDue(period, settings.extensionGranted);
  return result;
}

std::vector<TTaxPeriod> ReturnPeriods(const FilingSettings& settings, int year) {
  std::vector<TTaxPeriod> periods;
  if (settings.rhythm == FilingRhythm::Monthly) {
    for (int month = 1; month <= 12; ++month) periods.push_back(MonthPeriod(year, month));
  } else {
    for (int quarter = 1; quarter <= 4; ++quarter) periods.push_back(QuarterPeriod(year, quarter));
  }
  return periods;
}

}  // namespace vorlex
