// The program's help as one HTML page (UTF-8): what the figures are, the two
// taxation bases and classifications, what goes into Mein ELSTER, the hints,
// the exports, the filing calendar, the ledger, and where the files live.
// Plain text without Qt, so that it is tested without a screen.
#pragma once

#include <string>

namespace vorlex {

// The places as this program finds them on this computer (texts as the
// system stores them).
struct HelpPlaces {
  std::string pelmoraSettings;  // Pelmora's settings file, pelmora.ini
  std::string database;         // Pelmora's database in use
  std::string settings;         // Vorlex's own settings, vorlex.ini
  std::string ledger;           // the ledger of filed returns, vorlex.db
};

std::string HelpHtml(const HelpPlaces& places);

}  // namespace vorlex
