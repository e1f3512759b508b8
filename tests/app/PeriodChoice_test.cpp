#include "app/PeriodChoice.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QWidget>

#include "util/uFormat.h"

namespace vorlex {
namespace {

// The choice asks for a run only when the user changes it: not at start-up,
// not for the steppers' own moves (their handler asks once), and the period it
// describes follows every control.
TEST(PeriodChoice, DescribesThePeriodAndAsksForRunsOnlyOnChanges) {
  Format() = FormatSettings{};
  QWidget strip;
  TPeriodControls c;
  TPeriodChoice choice(c, strip, 96);
  int requests = 0;
  QObject::connect(&choice, &TPeriodChoice::Requested, [&] { ++requests; });

  const TTaxPeriod start = choice.StartOn(QDate(2024, 2, 10));
  EXPECT_EQ(start, MonthPeriod(2024, 2));
  EXPECT_EQ(choice.Period(), start);
  EXPECT_EQ(c.dtpBis->date(), QDate(2024, 2, 29));
  EXPECT_EQ(requests, 0);

  c.rbQ2->setChecked(true);
  EXPECT_EQ(requests, 1);
  EXPECT_EQ(choice.Period(), QuarterPeriod(2024, 2));
  EXPECT_EQ(c.cmbM->currentIndex(), 2);  // "März" stands for the second quarter

  choice.StepMonth(TUDBtnType::btNext);  // from the quarter's entry to April, the month kind
  EXPECT_TRUE(c.rbM->isChecked());
  EXPECT_EQ(choice.Period(), MonthPeriod(2024, 4));
  choice.StepYear(TUDBtnType::btPrev);
  EXPECT_EQ(choice.Period(), MonthPeriod(2023, 4));
  EXPECT_EQ(choice.Year(), 2023);
  EXPECT_EQ(requests, 1);

  c.rbVonBis->setChecked(true);
  EXPECT_EQ(choice.Period(), RangePeriod({2024, 2, 1}, {2024, 2, 29}));
  EXPECT_EQ(choice.Basis(), TaxationBasis::Ist);
  choice.SetBasis(TaxationBasis::Soll);
  EXPECT_EQ(choice.Basis(), TaxationBasis::Soll);
  EXPECT_EQ(requests, 3);
}

}  // namespace
}  // namespace vorlex
