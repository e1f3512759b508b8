// How the user writes numbers and dates: each front end builds them once from
// the user's locale and hands them to what reads and writes numbers and dates.
// Nothing in the program goes through the C library's locale.
#pragma once

#include <string>

namespace vorlex {

struct FormatSettings {
  char decimalSeparator = ',';
  // Qt-style pattern: d, dd, M, MM, yy, yyyy; 'quoted' text and other characters
  // stand as they are. The front end sets it from the user's locale, always with
  // a four-digit year.
  std::string shortDatePattern = "dd.MM.yyyy";
};

}  // namespace vorlex
