// Calendar helpers and day numbers.
//
// A day number is a double: the integer part counts days since 30 December 1899
// (day 0), the fraction is the time of day. The database stores dates this way
// and the program uses the same encoding for its own dates.
#pragma once

#include <cstdint>
#include <stdexcept>

namespace vorlex {

bool IsLeapYear(uint16_t year);
// Month 1..12; other months are not defined (callers never pass them).
uint8_t DaysInMonth(uint16_t year, uint16_t month);

struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
  friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

// Raised for an impossible date (month 0 or 13, 30 February, year 0).
class EDateError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

bool IsValidDate(int year, int month, int day);
// Whole day number of a valid date (year 1..9999); raises EDateError otherwise.
double EncodeDate(int year, int month, int day);
// Calendar date of a day number: the integer part is the date, taken with floor
// also for negative numbers (-0.5 is 29 December 1899).
CalendarDate DecodeDate(double dayNumber);

// Day of the week of a day number, 1 (Monday) to 7 (Sunday); a time of day
// does not count.
int DayOfWeek(double dayNumber);
// Easter Sunday of a year 1 to 9999 by the Gregorian computus (before 1583
// the Gregorian calendar is carried backwards, as day numbers are).
CalendarDate EasterSunday(int year);

}  // namespace vorlex
