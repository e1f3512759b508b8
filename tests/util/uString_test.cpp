#include "util/uString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlex {
namespace {

TEST(StrReplaceAll, LeftToRightWithoutOverlap) {
  struct Row {
    const char* name;
    std::string source, find, replacement, expected;
  };
  const Row rows[] = {
      {"bars", "a|b||c", "|", ";", "a;b;;c"},
      {"no overlap", "aaa", "aa", "b", "ba"},
      {"replacement not searched again", "aaa", "a", "aa", "aaaaaa"},
      {"empty source", "", "|", ";", ""},
      {"find longer than source", "ab", "abc", "x", "ab"},
      {"piece at the end is shorter", "xab", "abc", "y", "xab"},
      {"no match", "abc", "d", "e", "abc"},
      {"case-sensitive", "aAa", "A", "b", "aba"},
      {"whole text", "abc", "abc", "", ""},
      {"decimal comma", "1,5,0", ",", ".", "1.5.0"},
      {"cp1252 bytes", "M\xE4rz|\xFC", "|", ";", "M\xE4rz;\xFC"},
      {"zero byte", std::string("a\0b", 3), std::string("\0", 1), "-", "a-b"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(StrReplaceAll(r.source, r.find, r.replacement), r.expected) << r.name;
  }
}

TEST(StrReplaceAll, EmptyFindLeavesTheTextAndEnds) {
  EXPECT_EQ(StrReplaceAll("abc", "", "x"), "abc");
}

TEST(StrReplaceAll, LongerThanSixteenBitPositions) {
  std::string source(70000, 'a');
  source += '|';
  std::string expected(70000, 'a');
  expected += ';';
  EXPECT_EQ(StrReplaceAll(source, "|", ";"), expected);
}

TEST(IsValidUtf8, WellFormedSequencesOnly) {
  struct Row {
    const char* name;
    std::string text;
    bool valid;
  };
  const Row rows[] = {
      {"empty", "", true},
      {"ascii", "Rechnung 12", true},
      {"two bytes", "M\xC3\xA4rz", true},
      {"three bytes", "\xE2\x82\xAC", true},
      {"four bytes", "\xF0\x9F\x98\x80", true},
      {"highest code point", "\xF4\x8F\xBF\xBF", true},
      {"zero byte", std::string("a\0b", 3), true},
      {"cp1252 umlaut", "M\xE4rz", false},
      {"lone continuation", "\x80", false},
      {"cut off at the end", "ab\xC3", false},
      {"overlong two bytes", "\xC0\xAF", false},
      {"overlong three bytes", "\xE0\x80\xAF", false},
      {"overlong four bytes", "\xF0\x80\x80\xAF", false},
      {"surrogate", "\xED\xA0\x80", false},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false},
      {"bad second byte", "\xE2\x28\xA1", false},
      {"bad third byte", "\xE2\x82\x28", false},
      {"lead byte F5", "\xF5\x80\x80\x80", false},
  };
  for (const Row& r : rows) EXPECT_EQ(IsValidUtf8(r.text), r.valid) << r.name;
}

TEST(TruncateText, CountsCharactersAndNeverCutsOne) {
  const std::string forty(40, 'x');
  const std::string ae = "\xC3\xA4";  // UTF-8 a-umlaut
  std::string fortyUtf8;
  for (int i = 0; i < 40; ++i) fortyUtf8 += ae;
  struct Row {
    const char* name;
    std::string text;
    unsigned maximum;
    std::string expected;
  };
  const Row rows[] = {
      {"exactly the maximum", forty, 40, forty},
      {"one more", forty + "y", 40, forty + "..."},
      {"shorter", "abc", 40, "abc"},
      {"maximum zero", "abc", 0, "..."},
      {"maximum zero, empty text", "", 0, ""},
      {"utf-8 counts code points", fortyUtf8, 40, fortyUtf8},
      {"utf-8 cut between characters", fortyUtf8 + "z", 40, fortyUtf8 + "..."},
      {"utf-8 short", "M\xC3\xA4rz", 2, "M\xC3\xA4..."},
      {"four-byte character",
       "a\xF0\x9F\x98\x80"
       "b",
       2, "a\xF0\x9F\x98\x80..."},
      {"cp1252 counts bytes", "M\xE4rz 2024", 4, "M\xE4rz..."},
      // Not valid UTF-8 as a whole (the last byte), so bytes count; the cut
      // falls inside the second character and is moved before it.
      {"mixed text keeps utf-8 whole",
       "a\xC3\xA4"
       "bc\xFC",
       2, "a..."},
      {"mixed text, cut after character",
       "a\xC3\xA4"
       "bc\xFC",
       3, "a\xC3\xA4..."},
  };
  for (const Row& r : rows) EXPECT_EQ(TruncateText(r.text, r.maximum), r.expected) << r.name;
}

TEST(TruncateText, ResultOfUtf8TextStaysValid) {
  const std::string text =
      "\xE2\x82\xAC\xC3\xA4"
      "a\xF0\x9F\x98\x80\xC3\xBC";
  for (unsigned max = 0; max < 6; ++max) {
    EXPECT_TRUE(IsValidUtf8(TruncateText(text, max))) << max;
  }
}

TEST(Concat, PartsInOrder) {
  const std::string zeros("a\0b", 3);
  struct Row {
    std::vector<std::string_view> parts;
    std::string expected;
  };
  const Row rows[] = {
      {{}, ""},
      {{"", ""}, ""},
      {{"E", "   |   ", "01.03.2024", "   |   ", "M\xE4rz"}, "E   |   01.03.2024   |   M\xE4rz"},
      {{zeros, "c"}, std::string("a\0bc", 4)},
  };
  for (const Row& row : rows) {
    std::string text;
    switch (row.parts.size()) {
      case 0:
        text = Concat({});
        break;
      case 2:
        text = Concat({row.parts[0], row.parts[1]});
        break;
      default:
        text = Concat({row.parts[0], row.parts[1], row.parts[2], row.parts[3], row.parts[4]});
    }
    EXPECT_EQ(text, row.expected);
  }
}

TEST(AsciiCase, FoldsAsciiLettersOnlyWhateverTheEncoding) {
  // Umlauts in Windows-1252 and in UTF-8 stay as stored; so do digits and signs.
  EXPECT_EQ(AsciiUpper("atu 12-3\xE4\xC3\xA4z"), "ATU 12-3\xE4\xC3\xA4Z");
  EXPECT_EQ(AsciiLower("SOLL \xC4\xC3\x84"), "soll \xC4\xC3\x84");
  EXPECT_TRUE(EqualsIgnoringAsciiCase("VerbindAuftrag", "verbindauftrag"));
  EXPECT_TRUE(EqualsIgnoringAsciiCase("", ""));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("ist", "is"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xE4", "\xC4"));  // no folding beyond ASCII
  EXPECT_FALSE(EqualsIgnoringAsciiCase("@", "`"));        // neighbours of the letters
  EXPECT_FALSE(EqualsIgnoringAsciiCase("[", "{"));
}

}  // namespace
}  // namespace vorlex
