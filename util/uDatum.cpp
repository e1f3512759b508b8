#include "util/uDatum.h"

#include <cmath>
#include <string>

#include "util/ProgramText.h"

namespace vorlex {

namespace {

constexpr uint8_t kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Day 0 of the day numbers, 30 December 1899, counted from 1 January 1970.
constexpr int64_t kDayZeroFromUnixEpoch = -25569;

// Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CalendarDate CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  return CalendarDate{static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

const char* const kDateEncodeError = "Ungültiges Argument für Datumscodierung"_cp1252;

// The whole day of a day number of the years 1 to 9999; raises EDateError
// for any other, NaN included.
int64_t WholeDay(double dayNumber) {
  constexpr double kFirst = -693593.0;  // 1 January 0001
  constexpr double kLast = 2958465.0;   // 31 December 9999
  const double whole = std::floor(dayNumber);
  if (!(whole >= kFirst && whole <= kLast)) throw EDateError(kDateEncodeError);
  return static_cast<int64_t>(whole);
}

}  // namespace

bool IsLeapYear(uint16_t year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

uint8_t DaysInMonth(uint16_t year, uint16_t month) {
  if (month < 1 || month > 12) return 0;  // not a month; no caller passes one
  uint8_t days = kDaysInMonth[month - 1];
  if (month == 2 && IsLeapYear(year)) ++days;
  return days;
}

bool IsValidDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  return day <= DaysInMonth(static_cast<uint16_t>(year), static_cast<uint16_t>(month));
}

double EncodeDate(int year, int month, int day) {
  if (!IsValidDate(year, month, day)) {
    throw EDateError(std::string(kDateEncodeError) + " (" + std::to_string(year) + "-" +
                     std::to_string(month) + "-" + std::to_string(day) + ")");
  }
  return static_cast<double>(DaysFromCivil(year, month, day) - kDayZeroFromUnixEpoch);
}

CalendarDate DecodeDate(double dayNumber) {
  return CivilFromDays(WholeDay(dayNumber) + kDayZeroFromUnixEpoch);
}

int DayOfWeek(double dayNumber) {
  // Day 0, 30 December 1899, was a Saturday.
  return static_cast<int>(((WholeDay(dayNumber) + 5) % 7 + 7) % 7) + 1;
}

CalendarDate EasterSunday(int year) {
  // The anonymous Gregorian algorithm (Meeus/Jones/Butcher): the lunar epact
  // with the solar and lunar corrections, then the Sunday after the full moon.
  const int a = year % 19;
  const int b = year / 100;
  const int c = year % 100;
  const int d = b / 4;
  const int e = b % 4;
  const int f = (b + 8) / 25;
  const int g = (b - f + 1) / 3;
  const int h = (19 * a + b - d - g + 15) % 30;
  const int i = c / 4;
  const int k = c % 4;
  const int l = (32 + 2 * e + 2 * i - h - k) % 7;
  const int m = (a + 11 * h + 22 * l) / 451;
  const int n = h + l - 7 * m + 114;
  return CalendarDate{year, n / 31, n % 31 + 1};
}

}  // namespace vorlex
