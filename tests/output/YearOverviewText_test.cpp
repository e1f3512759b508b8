#include "output/YearOverviewText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/util/FormatTest.h"
#include "util/FormatSettings.h"

namespace vorlex {
namespace {

// January 2026: 81 = 100,99, 86 = 50,00, 66 = 19,70, so 83 = 2,80; the year
// row a refund.
YearOverview Sample() {
  YearOverview overview = EmptyOverview(2026, TaxationBasis::Ist);
  TaxTotals& january = overview.rows[0].totals;
  january.Umsatz19 = 100.99;
  january.Umsatz7 = 50;
  january.Vorsteuer7 = 3.5;
  january.Vorsteuer19 = 16.2;
  january.InnergemMitUStId = 1234.5;
  overview.rows[3].totals = january;
  TaxTotals& year = overview.rows[16].totals;
  year.Vorsteuer19 = 12.4;
  year.InnergemOhneUStId = 7;
  return overview;
}

TEST(YearOverviewText, CsvHasTheUsersSeparatorSemicolonsAndCrLf) {
  const struct {
    char separator;
    const char* january;
  } cases[] = {{',', "Januar;1234,50;0,00;100,99;50,00;19,70;2,80\r\n"},
               {'.', "Januar;1234.50;0.00;100.99;50.00;19.70;2.80\r\n"}};
  for (const auto& c : cases) {
    const std::string csv = OverviewCsv(Sample(), FormatSettings{.decimalSeparator = c.separator});
    const std::string head = "Zeitraum;Kz 41;Kz 44;Kz 81;Kz 86;Kz 66;Kz 83\r\n";
    EXPECT_EQ(csv.substr(0, head.size() + std::string(c.january).size()), head + c.january);
    EXPECT_NE(csv.find("\r\nM\xE4rz;"), std::string::npos);
    size_t lines = 0;
    for (size_t at = csv.find("\r\n"); at != std::string::npos; at = csv.find("\r\n", at + 2))
      ++lines;
    EXPECT_EQ(lines, 18u);
    EXPECT_EQ(csv.find('\n'), csv.find("\r\n") + 1);  // no bare line feed
    EXPECT_TRUE(csv.ends_with("\r\n"));
  }
}

TEST(YearOverviewText, ChartFiguresAreTheShownCentsOfTheTurnoverFieldsAndField83) {
  const YearOverview overview = Sample();
  const ChartFigures january = ChartFiguresOf(overview.rows[0].totals);
  EXPECT_EQ(january.turnover, 123450 + 10099 + 5000);
  EXPECT_EQ(january.due, 280);
  const ChartFigures year = ChartFiguresOf(overview.rows[16].totals);
  EXPECT_EQ(year.turnover, 700);
  EXPECT_EQ(year.due, -1240);
  TaxTotals huge;
  huge.Umsatz19 = 1e300;
  EXPECT_FALSE(ChartFiguresOf(huge).turnover.has_value());
  EXPECT_FALSE(ChartFiguresOf(huge).due.has_value());
}

// The exact classification's further figures: a column each where a row of
// the year holds one, its turnover in the chart, and the caption says so.
TEST(YearOverviewText, FurtherFiguresHaveColumnsWhereTheYearHoldsThem) {
  YearOverview overview = Sample();
  EXPECT_EQ(OverviewHeads(overview).size(), 6u);
  overview.classification = Classification::Exact;
  TaxTotals& february = overview.rows[1].totals;
  february.Ausfuhr43 = 80;
  february.Umsatz35 = 10;
  february.Steuer36 = 1.6;
  overview.rows[3].totals.Ausfuhr43 = 80;
  const std::vector<std::string> heads = OverviewHeads(overview);
  EXPECT_EQ(heads, (std::vector<std::string>{"Kz 41", "Kz 44", "Kz 81", "Kz 86", "Kz 66", "Kz 83",
                                             "Kz 35", "Kz 36", "Kz 43"}));
  const std::vector<std::string> cells = OverviewRowCells(overview, overview.rows[1], kGerman);
  EXPECT_EQ(std::vector<std::string>(cells.end() - 3, cells.end()),
            (std::vector<std::string>{"10,00", "1,60", "80,00"}));
  EXPECT_EQ(OverviewRowCells(overview, overview.rows[0], kGerman).back(), "0,00");
  EXPECT_EQ(OverviewCaption(overview), "Jahres\xFC" "bersicht 2026  (Zahlungsdatum, Zuordnung genau)");
  // Fields 35 and 43 are turnover, field 36 is tax.
  EXPECT_EQ(ChartFiguresOf(february).turnover, 1000 + 8000);
}

}  // namespace
}  // namespace vorlex
