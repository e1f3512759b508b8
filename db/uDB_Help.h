// Helpers for building SQL texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlex {

// The same rule as StrReplaceAll (util/uString.h).
std::string ReplaceAll(std::string_view source, std::string_view find,
                       std::string_view replacement);

// The day number of a date as SQL number text ("45292" for 1 January 2024);
// raises EDateError for an impossible date.
std::string SQLDate(uint16_t year, uint16_t month, uint16_t day);
// SQLDate of the calendar day of a day number (a time of day is dropped).
std::string SQLDateOf(double dayNumber);

}  // namespace vorlex
