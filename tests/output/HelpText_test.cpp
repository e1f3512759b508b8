#include "output/HelpText.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlex {
namespace {

// A place is shown as the system stores it, decoded to UTF-8, and never as
// markup of the page; a place not found says so.
TEST(HelpText, PlacesAreShownAsTextInUtf8) {
  const std::string page = HelpHtml({.pelmoraSettings = "/home/b/B\xFCro <alt> & neu/pelmora.ini",
                                     .database = "",
                                     .settings = "/home/b/.config/Vorlex/vorlex.ini",
                                     .ledger = "/home/b/.local/share/Vorlex/vorlex.db"});
  EXPECT_NE(page.find("<code>/home/b/B\xC3\xBCro &lt;alt&gt; &amp; neu/pelmora.ini</code>"),
            std::string::npos);
  EXPECT_NE(page.find("Datenbank von Pelmora: <i>(nicht gefunden)</i>"), std::string::npos);
  EXPECT_NE(page.find("<code>/home/b/.local/share/Vorlex/vorlex.db</code>"), std::string::npos);
}

}  // namespace
}  // namespace vorlex
