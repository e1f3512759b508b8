// The items of the month list, short as the window's list shows them.
#pragma once

#include <array>

namespace vorlex {

// Windows-1252.
inline constexpr std::array<const char*, 12> MonthNames = {
    "Jan", "Feb", "M\xE4rz", "Apr", "Mai", "Juni", "Juli", "Aug", "Sept", "Okt", "Nov", "Dez"};

}  // namespace vorlex
