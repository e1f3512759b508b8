#include "tax/SpecialPrepayment.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "tax/Prepayment.h"

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

}  // namespace
}  // namespace vorlex
