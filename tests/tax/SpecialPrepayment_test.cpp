#include "tax/SpecialPrepayment.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "tax/Prepayment.h"

namespace vorlex {
namespace {

const FilingSettings kMonthlyWithExtension{FilingRhythm::Monthly, true, std::nullopt};

// A year of a monthly filer with the extension, filed as the portal computes
// each month: field 81 1000,75 (1000 euros typed, 190,00 tax) and field 66
// 30,40 in January to November, 159,60 each; December 2000,50 without input
// tax, 380,00, less the 500,00 special prepayment deducted as field 39.
std::vector<FiledReturn> BuiltYear(const FilingSettings& settings) {
  std::vector<FiledReturn> year;
  for (const TTaxPeriod& period : ReturnPeriods(settings, 2026)) {
    const bool december = period.Month == 12;
    const auto p = PrepaymentOf(december ? 2000.50 : 1000.75, 0, december ? 0 : 30.40);
    year.push_back(FiledReturnOf(p->due, DeductsSpecialPrepayment(settings, period) ? 50000 : 0));
  }
  return year;
}

TEST(SpecialPrepayment, DecemberDeductsItAsFieldThirtyNine) {
  const std::vector<FiledReturn> year = BuiltYear(kMonthlyWithExtension);
  ASSERT_EQ(year.size(), 12u);
  EXPECT_EQ(year[0], (FiledReturn{0, 15960}));
  // 380,00 less 500,00: a refund of 120,00.
  EXPECT_EQ(year[11], (FiledReturn{50000, -12000}));

  // Only a monthly filer with the extension deducts it, and only in December.
  const FilingSettings withoutExtension{FilingRhythm::Monthly, false, std::nullopt};
  const FilingSettings quarterly{FilingRhythm::Quarterly, true, std::nullopt};
  EXPECT_FALSE(DeductsSpecialPrepayment(kMonthlyWithExtension, MonthPeriod(2026, 11)));
  EXPECT_FALSE(DeductsSpecialPrepayment(withoutExtension, MonthPeriod(2026, 12)));
  EXPECT_FALSE(DeductsSpecialPrepayment(quarterly, QuarterPeriod(2026, 4)));
  EXPECT_FALSE(DeductsSpecialPrepayment(kMonthlyWithExtension, YearPeriod(2026)));
}

TEST(SpecialPrepayment, EleventhOfTheYearBefore) {
  const std::vector<FiledReturn> year = BuiltYear(kMonthlyWithExtension);
  // 11 x 159,60 + (-120,00) + 500,00 = 2135,60; an eleventh is 194,1454...:
  // six elevenths of a cent round up to 194,15.
  const SpecialPrepaymentOfYear next = SpecialPrepaymentFor(2027, kMonthlyWithExtension, year);
  EXPECT_EQ(next.kind, SpecialPrepaymentKind::Owed);
  EXPECT_EQ(next.base, 213560);
  EXPECT_EQ(next.amount, 19415);
  EXPECT_FALSE(next.assessed);
  ASSERT_TRUE(next.due);
  EXPECT_EQ(DecodeDate(*next.due), (CalendarDate{2027, 2, 10}));

  struct Row {
    const char* name;
    std::vector<FiledReturn> yearBefore;
    int64_t amount;
  };
  const Row rows[] = {
      {"five elevenths of a cent round down", {{0, 27}, {0, 28}, {5, 0}}, 5},
      {"whole cents", {{0, 1100}}, 100},
      {"a refund year asks for none", {{0, 5000}, {0, -5011}}, 0},
      {"nothing filed", {}, 0},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(SpecialPrepaymentFor(2027, kMonthlyWithExtension, r.yearBefore).amount, r.amount)
        << r.name;
  }
}

TEST(SpecialPrepayment, AssessedOrNone) {
  const std::vector<FiledReturn> year = BuiltYear(kMonthlyWithExtension);
  FilingSettings assessed = kMonthlyWithExtension;
  assessed.assessedSpecialPrepayment = 120000;
  const SpecialPrepaymentOfYear fromOffice = SpecialPrepaymentFor(2024, assessed, year);
  EXPECT_EQ(fromOffice.amount, 120000);
  EXPECT_TRUE(fromOffice.assessed);
  ASSERT_TRUE(fromOffice.due);
  EXPECT_EQ(DecodeDate(*fromOffice.due), (CalendarDate{2024, 2, 12}));

  // Neither a quarterly filer nor one without the extension pays one: no
  // amount and no due date, even when an amount is entered.
  FilingSettings quarterly = assessed;
  quarterly.rhythm = FilingRhythm::Quarterly;
  const SpecialPrepaymentOfYear none = SpecialPrepaymentFor(2027, quarterly, year);
  EXPECT_EQ(none.kind, SpecialPrepaymentKind::NoneQuarterly);
  EXPECT_EQ(none.amount, 0);
  EXPECT_FALSE(none.due);
  FilingSettings withoutExtension = assessed;
  withoutExtension.extensionGranted = false;
  EXPECT_EQ(SpecialPrepaymentFor(2027, withoutExtension, year).kind,
            SpecialPrepaymentKind::NoneWithoutExtension);

  // An assessed amount that cannot be one is refused, not carried into field 83.
  for (const int64_t wrong : {int64_t{-1}, int64_t{100'000'000'000'000}, INT64_MIN}) {
    assessed.assessedSpecialPrepayment = wrong;
    EXPECT_THROW(SpecialPrepaymentFor(2027, assessed, year), std::out_of_range) << wrong;
  }
}

}  // namespace
}  // namespace vorlex
