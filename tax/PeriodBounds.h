// The SQL bounds of a period. Only the calendar days of the first and last day
// count; the whole last day belongs to the period, a time of day included, so
// the upper bound is the start of the day after it.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

#include "db/uDB_Help.h"
#include "util/uDatum.h"

namespace vorlex {

inline std::string SQLFirstDay(double firstDay) {
  return SQLDateOf(firstDay);
}

inline std::string SQLDayAfter(double lastDay) {
  const double next = std::floor(lastDay) + 1;
  try {
    return SQLDateOf(next);
  } catch (const EDateError&) {
    // The day after 31 December 9999 is still a bound, though no date.
    SQLDateOf(lastDay);
    return std::to_string(static_cast<int64_t>(next));
  }
}

}  // namespace vorlex
