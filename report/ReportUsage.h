// The reporter's usage text, and the form fields it names.
#pragma once

#include <string>

#include "util/Platform.h"

namespace vorlex {

// The usage text (Windows-1252), naming the settings folder and the source
// of number and date formats as the system has them.
std::string ReportUsage(System system = kSystem);

// Every field that --field takes: the five, then the further figures;
// beforeLast stands before the last number, between before every other.
std::string FieldChoices(const std::string& between, const std::string& beforeLast);

}  // namespace vorlex
