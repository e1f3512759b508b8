// Dates as text and typed dates, in the user's short date pattern.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "util/FormatSettings.h"
#include "util/uDatum.h"

namespace vorlex {

// The date part of a day number in the short date pattern.
std::string FormatDate(double dayNumber, const FormatSettings& fs);

// A date as typed, day, month and year in the order of the short date
// pattern: the three numbers with any ASCII but letters between them
// ("15.7.2026", "15.07.2026"), or eight digits without them ("15072026"). The
// year has four digits. Empty for anything else: a partial date ("15.07.",
// "1507202", "15.07.26") or one that does not exist ("31.02.2026").
std::optional<CalendarDate> ParseDate(std::string_view text, const FormatSettings& fs);

}  // namespace vorlex
