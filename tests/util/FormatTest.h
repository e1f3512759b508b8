// The format settings the text-formatting tests write and read in: the German
// ones, which are also the settings' defaults, and a point for the decimals
// with the American short date.
#pragma once

#include "util/FormatSettings.h"

namespace vorlex {

inline const FormatSettings kGerman{};
inline const FormatSettings kPoint{'.', "M/d/yyyy"};

}  // namespace vorlex
