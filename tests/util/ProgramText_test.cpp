#include "util/ProgramText.h"

#include <gtest/gtest.h>

#include <string>

#include "util/uString.h"

namespace vorlex {
namespace {

// Program texts are held as the bytes Pelmora's texts have, so that both sort,
// compare and print alike.
TEST(ProgramText, ReadableLiteralsAreWindows1252Bytes) {
  EXPECT_EQ(std::string("Prüfsumme der Einträge"_cp1252), "Pr\xFC" "fsumme der Eintr\xE4ge");
  EXPECT_EQ(std::string("Größe ÄÖÜ äöü ß É é"_cp1252),
            "Gr\xF6\xDF" "e \xC4\xD6\xDC \xE4\xF6\xFC \xDF \xC9 \xE9");
  // The characters Windows-1252 has beyond Latin-1.
  EXPECT_EQ(std::string("€ „x“ ‚y‘ – — … ™ Š š Ž ž Œ œ Ÿ ƒ"_cp1252),
            "\x80 \x84x\x93 \x82y\x91 \x96 \x97 \x85 \x99 \x8A \x9A \x8E \x9E \x8C \x9C \x9F \x83");
  EXPECT_EQ(std::string("ASCII bleibt, auch \"Anf\\u\"\t\r\n"_cp1252),
            "ASCII bleibt, auch \"Anf\\u\"\t\r\n");
  EXPECT_EQ(std::string(""_cp1252), "");
}

TEST(ProgramText, ReadsBackAsTheTextWritten) {
  const std::string written = "Jahresübersicht – März: 1.234,56 € „gezählt“";
  EXPECT_EQ(Windows1252ToUtf8("Jahresübersicht – März: 1.234,56 € „gezählt“"_cp1252),
            written);
}

}  // namespace
}  // namespace vorlex
