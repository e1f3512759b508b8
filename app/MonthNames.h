// The items of the month list, short as the window's list shows them.
#pragma once

#include <array>

#include "util/ProgramText.h"

namespace vorlex {

// Windows-1252.
inline constexpr std::array<const char*, 12> MonthNames = {
    "Jan", "Feb", "März"_cp1252, "Apr", "Mai", "Juni", "Juli", "Aug", "Sept", "Okt", "Nov", "Dez"};

}  // namespace vorlex
