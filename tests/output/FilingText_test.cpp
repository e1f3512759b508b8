// The filing calendar's texts and the other texts' field 39: the figures for
// the portal, the amounts a trader types, the list's, the table's and the
// overview's line of field 39, which a run without one leaves as it was.
#include "output/FilingText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/SummaryList.h"
#include "output/TableExport.h"
#include "output/YearOverviewText.h"
#include "tests/util/FormatTest.h"
#include "util/FormatSettings.h"
#include "util/uDatum.h"

namespace vorlex {
namespace {

// Fields 41 = 468,90, 81 = 1234,56 and 66 = 30,40; 44 and 86 are 0.
TaxTotals December(int64_t field39) {
  TaxTotals totals;
  totals.InnergemMitUStId = 468.90;
  totals.Umsatz19 = 1234.56;
  totals.Vorsteuer19 = 30.40;
  totals.field39 = field39;
  return totals;
}

TEST(FilingText, PortalFiguresInTheFormsOrderOnlyWhereNotZero) {
  // The portal's form is German whatever the user's format.
  // 1234 euros at 19 % is 234,46; less 30,40 and the special prepayment 500,00.
  EXPECT_EQ(PortalText(PortalFigures(December(50000))),
            "Kz 41: 468\n"
            "Kz 81: 1234\n"
            "Steuer zu Kz 81: 234,46\n"
            "Kz 66: 30,40\n"
            "Kz 39: 500,00\n"
            "Kz 83: -295,94\n");
  EXPECT_EQ(PortalText(PortalFigures(December(0))),
            "Kz 41: 468\nKz 81: 1234\nSteuer zu Kz 81: 234,46\nKz 66: 30,40\nKz 83: 204,06\n");
  // Cents dropped toward zero for a negative base too; nothing at all is none.
  TaxTotals credit;
  credit.Umsatz7 = -99.99;
  const std::vector<PortalFigure> figures = PortalFigures(credit);
  ASSERT_EQ(figures.size(), 3u);
  EXPECT_EQ(PortalValue(figures[0]), "-99");
  EXPECT_EQ(PortalValue(figures[1]), "-6,93");
  EXPECT_TRUE(PortalFigures(TaxTotals{}).empty());

  // The exact classification's fields in their places; field 36 adds to 83
  // before field 39 is deducted, the 0 % figure has no field of the portal.
  TaxTotals exact = December(50000);
  exact.Leistungen21 = 300.70;
  exact.Umsatz35 = 100.99;
  exact.Steuer36 = 16.16;
  exact.Ausfuhr43 = 50.50;
  exact.Ausland45 = 20.00;
  exact.Steuerfrei = 12.00;
  EXPECT_EQ(PortalText(PortalFigures(exact)),
            "Kz 21: 300\n"
            "Kz 35: 100\n"
            "Kz 36: 16,16\n"
            "Kz 41: 468\n"
            "Kz 43: 50\n"
            "Kz 45: 20\n"
            "Kz 81: 1234\n"
            "Steuer zu Kz 81: 234,46\n"
            "Kz 66: 30,40\n"
            "Kz 39: 500,00\n"
            "Kz 83: -279,78\n");
}

TEST(FilingText, AmountsAsTraderTypesThem) {
  const struct {
    const char* text;
    std::optional<int64_t> cents;
  } cases[] = {{"500", 50000},     {"500,5", 50050},   {" 1234.56 ", 123456}, {"0", 0},
               {"999999999999,99", 99999999999999},  {"1000000000000", std::nullopt},
               {"", std::nullopt}, {"-5", std::nullopt}, {"1.234,56", std::nullopt},
               {"12,", std::nullopt}, {",5", std::nullopt}, {"1,234", std::nullopt},
               {"zehn", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(ParseEuroAmount(c.text), c.cents) << c.text;
}

TEST(FilingText, Field39FollowsTheTotalsOnlyWhereNotZero) {
  const std::vector<ListLine> plain = SummaryLines(December(0), kGerman);
  const std::vector<ListLine> deducted = SummaryLines(December(50000), kGerman);
  ASSERT_EQ(deducted.size(), plain.size() + 1);
  for (size_t i = 0; i < plain.size(); ++i) EXPECT_EQ(deducted[i].text, plain[i].text);
  EXPECT_EQ(deducted.back().text, "     Sondervorauszahlung (Kz 39):  500,00");
  // A further figure of the exact classification comes before it.
  TaxTotals exact = December(50000);
  exact.Ausfuhr43 = 50.50;
  const std::vector<ListLine> further = SummaryLines(exact, kGerman);
  ASSERT_EQ(further.size(), deducted.size() + 1);
  EXPECT_NE(further[further.size() - 2].text.find("(Kz 43)"), std::string::npos);
  EXPECT_EQ(further.back().text, deducted.back().text);

  // The table: a row of field 39 before field 83, which is less by it.
  const std::string table = TableBytes({}, December(50000));
  const size_t row39 = table.find("Kennzahl;;Sondervorauszahlung;;;;;500,00;;39\r\n");
  const size_t row83 = table.find("Kennzahl;;Verbleibende Vorauszahlung;;;;;-295,94;;83\r\n");
  ASSERT_NE(row39, std::string::npos);
  EXPECT_GT(row83, row39);
  EXPECT_EQ(TableBytes({}, December(0)).find(";39\r\n"), std::string::npos);

  // The overview: a column of field 39 only in a year that deducts one.
  YearOverview overview = EmptyOverview(2026, TaxationBasis::Ist);
  EXPECT_EQ(OverviewCsv(overview, kGerman).substr(0, 46),
            "Zeitraum;Kz 41;Kz 44;Kz 81;Kz 86;Kz 66;Kz 83\r\n");
  overview.rows[14].totals = December(50000);
  const std::string csv = OverviewCsv(overview, kGerman);
  EXPECT_EQ(csv.substr(0, 52), "Zeitraum;Kz 41;Kz 44;Kz 81;Kz 86;Kz 66;Kz 39;Kz 83\r\n");
  EXPECT_NE(csv.find("Dezember;468,90;0,00;1234,56;0,00;30,40;500,00;-295,94\r\n"),
            std::string::npos);
  EXPECT_NE(csv.find("Januar;0,00;0,00;0,00;0,00;0,00;0,00;0,00\r\n"), std::string::npos);
}

TEST(FilingText, DueDatesAndTheSpecialPrepayment) {
  // A month with turnover in field 41 has the EC sales list due too.
  EXPECT_EQ(DueDateLines(DueDatesOf(MonthPeriod(2026, 12), false, December(0)), ": "),
            (std::vector<std::string>{"Abgabe bis: 11.01.2027", "ZM bis: 25.01.2027"}));
  EXPECT_EQ(DueDateLines(DueDatesOf(QuarterPeriod(2026, 4), true, TaxTotals{}), " "),
            std::vector<std::string>{"Abgabe bis 10.02.2027"});
  // Services to businesses in other member states (field 21) are on the list as well.
  EXPECT_EQ(DueDateLines(DueDatesOf(MonthPeriod(2026, 12), false, TaxTotals{.Leistungen21 = 0.5}),
                         ": "),
            (std::vector<std::string>{"Abgabe bis: 11.01.2027", "ZM bis: 25.01.2027"}));
  EXPECT_TRUE(DueDateLines(DueDatesOf(YearPeriod(2026), true, December(0)), " ").empty());

  EXPECT_EQ(SpecialPrepaymentLine(
                {2027, SpecialPrepaymentKind::Owed, 19415, false, 213560, EncodeDate(2027, 2, 10)},
                kGerman),
            "Sondervorauszahlung 2027: 194,15, anzumelden bis 10.02.2027");
  EXPECT_EQ(
      SpecialPrepaymentLine({2027, SpecialPrepaymentKind::NoneQuarterly, 0, false, 0, {}}, kGerman),
      "2027 ist keine Sondervorauszahlung zu leisten: Die Voranmeldungen werden "
      "viertelj\xE4hrlich abgegeben.");
}

}  // namespace
}  // namespace vorlex
