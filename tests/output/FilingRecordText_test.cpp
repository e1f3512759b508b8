// The record of a filing as text: the figures as the portal took them, and
// the fingerprint's input, which must not follow the user's format settings.
#include "output/FilingRecordText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/util/FormatTest.h"
#include "util/FormatSettings.h"
#include "util/uDatum.h"

namespace vorlex {
namespace {

Filing MarchFiling() {
  Filing f;
  f.periodKind = TPeriodKind::Monat;
  f.firstDay = EncodeDate(2026, 3, 1);
  f.lastDay = EncodeDate(2026, 3, 31);
  f.filedOn = EncodeDate(2026, 4, 10);
  f.cents[2] = -123456;  // Kz 81: a month of credit notes
  f.cents[4] = 1999;     // Kz 66
  f.cents[5] = -25456;   // Kz 83
  f.entries = {{EntryKind::Order, 17, EncodeDate(2026, 3, 10) + 0.5, "Gutschrift 2026-017",
                "Gruber", 19, -1234.56, -1469.13, -1234.56, 81}};
  return f;
}

// The value beside a caption, or "" where the record has no such line.
std::string Value(const std::vector<RecordLine>& lines, const std::string& caption) {
  for (const RecordLine& line : lines) {
    if (line.style == RecordStyle::Field && line.cells.at(0) == caption) return line.cells.at(1);
  }
  return "";
}

TEST(FilingRecordText, FiguresAsTypedIntoThePortal) {
  Filing f = MarchFiling();
  std::vector<RecordLine> lines = FilingRecordLines(f, "0000 0000 0000 0000", kGerman);
  // A turnover in whole euros, its cents dropped toward zero; taxes in cents.
  EXPECT_EQ(Value(lines, "Kz 81"), "-1234");
  EXPECT_EQ(Value(lines, "Kz 66"), "19,99");
  EXPECT_EQ(Value(lines, "Kz 83"), "-254,56");
  EXPECT_EQ(Value(lines, "Kz 10 (Berichtigte Anmeldung)"), "");
  // A figure that could not be shown is no 0.
  f.cents[5].reset();
  f.corrects = 3;
  lines = FilingRecordLines(f, "0000 0000 0000 0000", kGerman);
  EXPECT_EQ(Value(lines, "Kz 83"), "-");
  EXPECT_EQ(Value(lines, "Kz 10 (Berichtigte Anmeldung)"), "1");
  EXPECT_EQ(lines.front().cells.at(0),
            "Umsatzsteuer-Voranmeldung 2026-03 \x96 Berichtigte Anmeldung");
}

TEST(FilingRecordText, FurtherFiguresOfTheExactClassificationAsFiled) {
  const FormatSettings iso{'.', "yyyy-MM-dd"};  // the portal's format all the same
  Filing f = MarchFiling();
  for (size_t i = 0; i < kFurtherFiledCount; ++i) f.further[i] = 0;
  f.further[0] = 123456;  // Kz 21
  f.further[2] = 2345;    // Kz 36, a tax in cents
  f.further[3] = 50099;   // Kz 43
  f.further[5] = 1000;    // the 0 % figure
  f.cents[6] = 45000;     // Kz 39
  EXPECT_EQ(Value(FilingRecordLines(f, "", iso), "Kz 43"), "");  // the simple rules have none
  f.classification = "exact";
  const std::vector<RecordLine> lines = FilingRecordLines(f, "", iso);
  EXPECT_EQ(Value(lines, "Kz 21"), "1234");
  EXPECT_EQ(Value(lines, "Kz 35"), "0");
  EXPECT_EQ(Value(lines, "Kz 36"), "23,45");
  EXPECT_EQ(Value(lines, "Kz 43"), "500");
  EXPECT_EQ(Value(lines, "Kz 45"), "0");
  EXPECT_EQ(Value(lines, "0 % / steuerfrei"), "10,00");
  EXPECT_EQ(Value(lines, "Kz 39"), "450,00");
}

TEST(FilingRecordText, FingerprintFollowsTheEntriesNotTheFormatSettings) {
  const Filing f = MarchFiling();
  const std::string input = FingerprintInput(f);
  Filing cent = f;
  cent.entries[0].net -= 0.01;
  EXPECT_NE(FingerprintInput(cent), input);
  Filing renamed = f;
  renamed.entries[0].customer = "Huber";
  EXPECT_NE(FingerprintInput(renamed), input);
}

}  // namespace
}  // namespace vorlex
