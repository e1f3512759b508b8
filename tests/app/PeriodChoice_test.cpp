#include "app/PeriodChoice.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QTest>
#include <QToolButton>
#include <vector>

#include "tests/MayData.h"
#include "tests/app/WindowFixture.h"
#include "ui/DesignMetrics.h"
#include "util/FormatSettings.h"

namespace vorlex {
namespace {

// The strip as the window wires it: a stepper's click steps.
class PeriodStrip : public ::testing::Test {
 protected:
  void SetUp() override {
    QObject::connect(&strip, &TPeriodChoice::MonthStepClicked, &strip, &TPeriodChoice::StepMonth);
    QObject::connect(&strip, &TPeriodChoice::YearStepClicked, &strip, &TPeriodChoice::StepYear);
    QObject::connect(&strip, &TPeriodChoice::Chosen,
                     [this](const TTaxPeriod& period, TaxationBasis basis) {
                       chosen.push_back(period);
                       bases.push_back(basis);
                     });
    QObject::connect(&strip, &TPeriodChoice::ChosenAgain,
                     [this](const TTaxPeriod&, TaxationBasis) { ++again; });
    strip.show();
  }
  template <typename T>
  T* Find(const char* name) {
    T* control = strip.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  TPeriodChoice strip{TDesignScale(96), kGerman, nullptr};
  std::vector<TTaxPeriod> chosen;
  std::vector<TaxationBasis> bases;
  int again = 0;
};

// The choice is reported when the user changes it, not at start-up nor for a
// kind the program checks, and the period follows every control.
TEST_F(PeriodStrip, ReportsThePeriodAndBasisOfEveryChange) {
  auto* cmbM = Find<QComboBox>("cmbM");
  auto* rgVersteuerung = Find<TRadioGroup>("rgVersteuerung");
  const TTaxPeriod start = strip.StartOn(QDate(2024, 2, 10));
  EXPECT_EQ(start, MonthPeriod(2024, 2));
  EXPECT_EQ(strip.Period(), start);
  EXPECT_EQ(Find<TDatePicker>("dtpVon")->date(), QDate(2024, 2, 1));
  EXPECT_EQ(Find<TDatePicker>("dtpBis")->date(), QDate(2024, 2, 29));
  EXPECT_TRUE(chosen.empty());

  Click(Find<TRadioButton>("rbQ2"));
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen.back(), QuarterPeriod(2024, 2));
  EXPECT_EQ(cmbM->currentText(), QStringLiteral("März"));  // stands for the second quarter

  // A month chosen with a quarter checked gives way to the quarter's entry.
  cmbM->setCurrentIndex(9);
  emit cmbM->activated(9);
  EXPECT_EQ(chosen.back(), QuarterPeriod(2024, 2));
  EXPECT_EQ(cmbM->currentText(), QStringLiteral("März"));

  Click(Find<TRadioButton>("rbVonBis"));
  EXPECT_EQ(chosen.back(), RangePeriod({2024, 2, 1}, {2024, 2, 29}));
  Find<TDatePicker>("dtpBis")->setDate(QDate(2024, 1, 31));  // before the first day: as it is
  EXPECT_EQ(chosen.back(), RangePeriod({2024, 2, 1}, {2024, 1, 31}));
  Click(rgVersteuerung->Button(1));
  EXPECT_EQ(bases.back(), TaxationBasis::Soll);
  EXPECT_EQ(strip.Basis(), TaxationBasis::Soll);
  strip.SetBasis(TaxationBasis::Ist);
  EXPECT_EQ(bases.back(), TaxationBasis::Ist);
  // The amount basis is reported and changes nothing of the period.
  Click(Find<TRadioGroup>("rgBetrag")->Button(1));
  EXPECT_EQ(chosen.size(), 7u);
  EXPECT_EQ(chosen.back(), chosen[chosen.size() - 2]);

  // A click on what is chosen already is reported apart.
  Click(Find<TRadioButton>("rbVonBis"));
  Click(rgVersteuerung->Button(0));
  EXPECT_EQ(chosen.size(), 7u);
  EXPECT_EQ(again, 2);
}

// Each press of an arrow is one step, reported once, also where the year list
// ends it; the month stepper chooses the month kind without a report of its
// own. The steppers never stop at an end of their own range.
TEST_F(PeriodStrip, SteppersStepUntilTheEndsOfTheYearList) {
  enum Stepper { Month, Year };
  struct Leg {
    Stepper stepper;
    UpDownButton direction;
    int presses;
    TTaxPeriod after;
  };
  struct Row {
    const char* name;
    QDate today;
    const char* kind;  // checked before the first press
    std::vector<Leg> legs;
  };
  const auto prev = UpDownButton::Previous;
  const auto next = UpDownButton::Next;
  const Row rows[] = {
      {"across the year from a quarter's entry", QDate(2026, 1, 15), "rbQ2",
       {{Month, prev, 1, MonthPeriod(2026, 2)},
        {Month, prev, 2, MonthPeriod(2025, 12)},
        {Month, next, 1, MonthPeriod(2026, 1)}}},
      {"after the second quarter comes April", QDate(2026, 1, 15), "rbQ2",
       {{Month, next, 1, MonthPeriod(2026, 4)}}},
      {"the year stepper keeps the kind", QDate(2026, 5, 15), "rbQ3",
       {{Year, prev, 2, QuarterPeriod(2024, 3)}}},
      {"the first year stops both", QDate(1998, 1, 20), "rbM",
       {{Month, prev, 1, MonthPeriod(1998, 1)},
        {Year, prev, 1, MonthPeriod(1998, 1)},
        {Year, next, 4, MonthPeriod(2001, 1)},  // the last of 1998 to 2001
        {Month, prev, 1, MonthPeriod(2000, 12)},
        {Month, next, 13, MonthPeriod(2001, 12)}}},
      {"thirty presses each way", QDate(2026, 5, 15), "rbM",
       {{Month, next, 30, MonthPeriod(2028, 11)},
        {Month, prev, 60, MonthPeriod(2023, 11)},
        {Year, prev, 30, MonthPeriod(1998, 11)},
        {Year, next, 40, MonthPeriod(2029, 11)},
        {Year, prev, 30, MonthPeriod(1999, 11)}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    strip.StartOn(row.today);
    Click(Find<TRadioButton>(row.kind));
    chosen.clear();
    size_t presses = 0;
    for (const Leg& leg : row.legs) {
      TUpDown* stepper = Find<TUpDown>(leg.stepper == Month ? "udMonat" : "udJahr");
      for (int i = 0; i < leg.presses; ++i) {
        Click(leg.direction == next ? stepper->NextButton() : stepper->PrevButton());
        EXPECT_GT(stepper->Position(), stepper->Min());
        EXPECT_LT(stepper->Position(), stepper->Max());
      }
      presses += static_cast<size_t>(leg.presses);
      ASSERT_EQ(chosen.size(), presses);
      EXPECT_EQ(chosen.back(), leg.after);
      EXPECT_EQ(strip.Year(), leg.after.Year);
    }
  }
}

// In the window each step the strip reports is one run of the period it
// shows, also a press the end of the year list stops; the month stepper's
// choice of the month kind is no run of its own.
using PeriodWindow = testing::WindowTest;

TEST_F(PeriodWindow, EveryStepperClickRunsItsPeriodOnce) {
  testing::FillMay(MakeDatabase());
  Start(QDate(2026, 5, 15)).show();
  testing::Click(c.rbQ2);
  testing::RunCounter counter(c);
  testing::Click(c.udMonat->PrevButton());  // from the quarter's "März"
  EXPECT_EQ(counter.Runs(), 1);
  EXPECT_TRUE(c.rbM->isChecked());
  EXPECT_EQ(Caption(), testing::PeriodCaptionText("01.02.2026", "28.02.2026", "Zahlungsdatum"));
  for (int i = 0; i < 4; ++i) testing::Click(c.udJahr->NextButton());  // 2029 is the last year
  EXPECT_EQ(counter.Runs(), 5);
  EXPECT_EQ(Caption(), testing::PeriodCaptionText("01.02.2029", "28.02.2029", "Zahlungsdatum"));
  EXPECT_EQ(Lines(), CoreRun(testing::Day(2029, 2, 1), testing::Day(2029, 2, 28)).first);
  // Back into May: the window shows what the core makes of it.
  for (int i = 0; i < 3; ++i) testing::Click(c.udJahr->PrevButton());
  for (int i = 0; i < 3; ++i) testing::Click(c.udMonat->NextButton());
  EXPECT_EQ(counter.Runs(), 11);
  EXPECT_EQ(Lines(), CoreRun(testing::Day(2026, 5, 1), testing::Day(2026, 5, 31)).first);
  EXPECT_GT(Lines().size(), 11u);
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace vorlex
