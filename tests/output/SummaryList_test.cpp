#include "output/SummaryList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ListTexts.h"
#include "tests/util/FormatTest.h"
#include "util/FormatSettings.h"

namespace vorlex {
namespace {

std::vector<std::string> Summary(const TaxTotals& totals, const FormatSettings& format = kGerman) {
  return LineTexts(SummaryLines(totals, format));
}

TEST(SummaryListTest, EmptyPeriodGivesElevenLinesWithZeros) {
  EXPECT_EQ(Summary(TaxTotals{}), kEmptySummary);
}

TEST(SummaryListTest, EachTotalStandsInItsLineAndTheDerivedLinesAreComputed) {
  TaxTotals totals;
  totals.NichtEU = 1.5;
  totals.InnergemMitUStId = 2.25;
  totals.InnergemOhneUStId = 3;
  totals.Umsatz19 = 100;
  totals.Umsatz7 = 100;
  totals.Vorsteuer7 = 7;
  totals.Vorsteuer19 = 19.5;
  const std::vector<std::string> expected = {
      "-------",
      "     Nicht EU:  1,50",
      "     Innergem. Lief. mit USt-IdNr:  2,25",
      "     Innergem. Lief. ohne USt-IdNr:  3,00",
      "     Umsatz St.satz 19 v.H:  100,00",
      "     Umsatz St.satz  7 v.H:  100,00",
      "     Umsatzsteuer:  26,00",
      "",
      "     Vorst. 7%:  7,00",
      "     Vorst. 19%:  19,50",
      "     Vorsteuer:  26,50",
  };
  EXPECT_EQ(Summary(totals), expected);
}

TEST(SummaryListTest, DerivedLinesFollowTheTotals) {
  struct Row {
    const char* name;
    double umsatz19, umsatz7, vorsteuer7, vorsteuer19;
    const char* outputVat;
    const char* inputTax;
  };
  const Row rows[] = {
      {"negative receipts", -100, -50, -7, -19, "-22,50", "-26,00"},
      {"rounding of the output VAT", 0.05, 0, 0, 0, "0,01", "0,00"},
      {"seven percent only", 0, 1234.56, 0, 0, "86,42", "0,00"},
      {"sum of the input taxes", 0, 0, 0.1, 0.2, "0,00", "0,30"},
      {"large year", 1234567.89, 98765.43, 6913.58, 234567.89, "241481,48", "241481,47"},
      // 225.885 exactly in decimal: the binary product lies a trace below the
      // half cent, yet the line shows what a person computes by hand.
      {"half cent rounds away from zero", 1181.5, 20, 0, 0, "225,89", "0,00"},
      {"half cent, negative", -1181.5, -20, 0, 0, "-225,89", "0,00"},
      {"just below the half cent", 1181.49, 20, 0, 0, "225,88", "0,00"},
      {"tiny negative rounds to zero", -0.01, 0, 0, 0, "0,00", "0,00"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TaxTotals totals;
    totals.Umsatz19 = row.umsatz19;
    totals.Umsatz7 = row.umsatz7;
    totals.Vorsteuer7 = row.vorsteuer7;
    totals.Vorsteuer19 = row.vorsteuer19;
    const auto lines = Summary(totals);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[6], std::string("     Umsatzsteuer:  ") + row.outputVat);
    EXPECT_EQ(lines[10], std::string("     Vorsteuer:  ") + row.inputTax);
  }
}

TEST(SummaryListTest, NumbersFollowTheFormatSettings) {
  TaxTotals totals;
  totals.Umsatz19 = 1234.5;
  const auto lines = Summary(totals, kPoint);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[4], "     Umsatz St.satz 19 v.H:  1234.50");
  EXPECT_EQ(lines[6], "     Umsatzsteuer:  234.56");  // 234.555 by hand
}

}  // namespace
}  // namespace vorlex
