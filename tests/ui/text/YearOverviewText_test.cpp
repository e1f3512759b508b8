#include "ui/text/YearOverviewText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/uFormat.h"

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
    Format().DecimalSeparator = c.separator;
    const std::string csv = OverviewCsv(Sample());
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
  Format() = FormatSettings{};
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

}  // namespace
}  // namespace vorlex
