#include "tax/SpecialPrepayment.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "tax/Prepayment.h"
#include "tax/TaxDbTest.h"

namespace vorlex {
namespace {

TEST(SpecialPrepayment, FromABuiltYearOfMonthlyReturns) {
  // January to November: field 81 1000,75 (1000 euros typed, 190,00 tax) and
  // field 66 30,40, so 159,60; December 2000,50, so 380,00, less the 500,00
  // special prepayment of the year as field 39.
  FilingSettings settings{FilingRhythm::Monthly, true, std::nullopt};
  std::vector<FiledReturn> year;
  for (const TTaxPeriod& period : ReturnPeriods(settings, 2026)) {
    const bool december = period.Month == 12;
    const auto p = PrepaymentOf(december ? 2000.50 : 1000.75, 0, december ? 0 : 30.40);
    year.push_back(FiledReturnOf(p->due, DeductsSpecialPrepayment(settings, period) ? 50000 : 0));
  }
  EXPECT_EQ(year[10], (FiledReturn{0, 15960}));
  EXPECT_EQ(year[11], (FiledReturn{50000, -12000}));  // a refund

  // 11 x 159,60 - 120,00 + 500,00 = 2135,60; its eleventh 194,1454... rounds up.
  const SpecialPrepaymentOfYear next = SpecialPrepaymentFor(2027, settings, year);
  EXPECT_EQ(next, (SpecialPrepaymentOfYear{2027, SpecialPrepaymentKind::Owed, 19415, false, 213560,
                                           EncodeDate(2027, 2, 10)}));
  // Field 39 goes back in, so a year built without it gives the same base.
  year[11] = FiledReturnOf(38000, 0);
  EXPECT_EQ(SpecialPrepaymentFor(2027, settings, year), next);
  // Five elevenths of a cent round down; a year that ends in a refund asks none.
  EXPECT_EQ(SpecialPrepaymentFor(2027, settings, std::vector<FiledReturn>{{0, 27}, {5, 28}}).amount,
            5);
  EXPECT_EQ(
      SpecialPrepaymentFor(2027, settings, std::vector<FiledReturn>{{0, 5000}, {0, -5011}}).amount,
      0);
}

TEST(SpecialPrepayment, AssessedOrNone) {
  // An assessed amount stands as entered; the year before is not read.
  FilingSettings settings{FilingRhythm::Monthly, true, 120000};
  const std::vector<FiledReturn> year;
  EXPECT_EQ(SpecialPrepaymentFor(2024, settings, year),
            (SpecialPrepaymentOfYear{2024, SpecialPrepaymentKind::Owed, 120000, true, 0,
                                     EncodeDate(2024, 2, 12)}));
  for (const int64_t wrong : {int64_t{-1}, int64_t{100'000'000'000'000}, INT64_MIN}) {
    settings.assessedSpecialPrepayment = wrong;
    EXPECT_THROW(SpecialPrepaymentFor(2027, settings, year), std::out_of_range) << wrong;
  }

  // Only a monthly filer with the extension pays one, and deducts it in December.
  settings.assessedSpecialPrepayment = 120000;
  settings.extensionGranted = false;
  EXPECT_EQ(SpecialPrepaymentFor(2027, settings, year),
            (SpecialPrepaymentOfYear{2027, SpecialPrepaymentKind::NoneWithoutExtension, 0, false, 0,
                                     std::nullopt}));
  EXPECT_FALSE(DeductsSpecialPrepayment(settings, MonthPeriod(2026, 12)));
  settings = FilingSettings{FilingRhythm::Quarterly, true, 120000};
  EXPECT_EQ(SpecialPrepaymentFor(2027, settings, year).kind, SpecialPrepaymentKind::NoneQuarterly);
  EXPECT_FALSE(DeductsSpecialPrepayment(settings, QuarterPeriod(2026, 4)));
}

class SpecialPrepaymentRuns : public testing::TaxDbTest {
 protected:
  // A sale paid on the 15th of every month of 2026: net 1000,00 at 19 %, in
  // December 2000,00.
  void BuildYear() {
    testdb::PelmoraDb& b = Build();
    b.Add(testdb::Customer{.id = 1, .name = "Kunde", .land = "D"});
    for (int month = 1; month <= 12; ++month) {
      const double day = testing::Day(2026, month, 15) + 0.5;
      b.Add(testdb::Order{.id = month, .besitzerindex = 1, .termin = day, .bezahltam = day,
                          .bezeichnung = "Ware"});
      b.Add(testdb::Line{.auftragindex = month, .preis = month == 12 ? 2000.0 : 1000.0});
    }
  }

  // Field 83 of each row of the overview, in cents.
  static std::vector<int64_t> Due(const YearOverview& overview) {
    std::vector<int64_t> due;
    for (const OverviewRow& row : overview.rows) due.push_back(PrepaymentOf(row.totals)->due);
    return due;
  }
};

// Computed from the prepayments of the year before as its runs were
// classified: tea at 7 % is field 81 under the simple classification, 86
// under the exact one.
TEST_F(SpecialPrepaymentRuns, TheYearBeforeIsClassifiedAsTheRun) {
  testdb::PelmoraDb& b = Build();
  b.Add(testdb::Customer{.id = 1, .name = "Kunde", .land = "D"});
  for (int month = 1; month <= 12; ++month) {
    const double day = testing::Day(2026, month, 15) + 0.5;
    b.Add(testdb::Order{.id = month, .besitzerindex = 1, .termin = day, .bezahltam = day,
                        .bezeichnung = "Tee", .mwst = 7.0});
    b.Add(testdb::Line{.auftragindex = month, .preis = 1000.0, .mwst = 7.0});
  }
  TDBase& db = Open();
  const FilingSettings monthly{FilingRhythm::Monthly, true, std::nullopt};
  // 12 x 190,00 / 11 and 12 x 70,00 / 11.
  EXPECT_EQ(Field39Of(db, MonthPeriod(2027, 12), TaxationBasis::Ist, monthly, monthly), 20727);
  EXPECT_EQ(Field39Of(db, MonthPeriod(2027, 12), TaxationBasis::Ist, monthly, monthly,
                      {Classification::Exact, ForeignSales::Goods}),
            7636);
}

TEST_F(SpecialPrepaymentRuns, FromTheMonthsOfABuiltYearAndDeductedInItsDecember) {
  BuildYear();
  TDBase& db = Open();
  const FilingSettings monthly{FilingRhythm::Monthly, true, std::nullopt};

  // 11 x 190,00 + 380,00 = 2470,00; its eleventh 224,5454... rounds up.
  const SpecialPrepaymentOfYear next =
      SpecialPrepaymentFromRuns(db, 2027, TaxationBasis::Ist, monthly, monthly);
  EXPECT_EQ(next, (SpecialPrepaymentOfYear{2027, SpecialPrepaymentKind::Owed, 22455, false, 247000,
                                           EncodeDate(2027, 2, 10)}));
  // December 2027 deducts it; the months before and other rhythms do not.
  EXPECT_EQ(Field39Of(db, MonthPeriod(2027, 12), TaxationBasis::Ist, monthly, monthly), 22455);
  EXPECT_EQ(Field39Of(db, MonthPeriod(2027, 11), TaxationBasis::Ist, monthly, monthly), 0);
  const FilingSettings quarterly{FilingRhythm::Quarterly, true, std::nullopt};
  EXPECT_EQ(Field39Of(db, QuarterPeriod(2027, 4), TaxationBasis::Ist, quarterly, monthly), 0);
  // An assessed amount needs no year before.
  const FilingSettings assessed{FilingRhythm::Monthly, true, 30000};
  EXPECT_EQ(Field39Of(db, MonthPeriod(2031, 12), TaxationBasis::Ist, assessed, monthly), 30000);

  // In the year's overview, December, the fourth quarter and the year each
  // deduct it once; every other row keeps its field 83.
  YearOverview overview = EvaluateYearOverview(db, 2026, TaxationBasis::Ist);
  const std::vector<int64_t> before = Due(overview);
  DeductInOverview(overview, 50000);
  const std::vector<int64_t> after = Due(overview);
  ASSERT_EQ(after.size(), 17u);
  for (size_t i = 0; i < after.size(); ++i) {
    const OverviewRow& row = overview.rows[i];
    const bool december = (row.span == OverviewSpan::Month && row.number == 12) ||
                          (row.span == OverviewSpan::Quarter && row.number == 4) ||
                          row.span == OverviewSpan::Year;
    EXPECT_EQ(after[i], before[i] - (december ? 50000 : 0)) << i;
  }
  EXPECT_EQ(after[14], 38000 - 50000);  // December: a refund
  EXPECT_EQ(after[15], 76000 - 50000);  // the fourth quarter
  EXPECT_EQ(after[16], 247000 - 50000);
  // The returns as filed carry field 39, which drops out of the next base.
  const std::vector<FiledReturn> months = FiledReturnsOf(overview, monthly);
  ASSERT_EQ(months.size(), 12u);
  EXPECT_EQ(months[11], (FiledReturn{50000, -12000}));
  EXPECT_EQ(SpecialPrepaymentFor(2027, monthly, months), next);
  const std::vector<FiledReturn> quarters = FiledReturnsOf(overview, quarterly);
  ASSERT_EQ(quarters.size(), 4u);
  EXPECT_EQ(quarters[3], (FiledReturn{50000, 76000 - 50000}));
}

}  // namespace
}  // namespace vorlex
