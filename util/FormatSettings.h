// How the user writes numbers and dates: the front end takes them from the
// user's locale. Nothing in the program goes through the C library's locale.
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

// The program-wide format settings, filled by the front end at start.
FormatSettings& Format();

}  // namespace vorlex
