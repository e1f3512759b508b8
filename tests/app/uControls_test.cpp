#include "app/uControls.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QToolButton>
#include <vector>

#include "app/version_U.h"

namespace vorlex {
namespace {

TEST(UpDown, PressesMoveWithinTheRangeAndReportOnlyMoves) {
  struct Row {
    const char* name;
    int position;
    bool wrap;
    TUDBtnType button;
    int expectedPosition;
    bool reported;
  };
  const Row rows[] = {
      {"next inside", 85, false, TUDBtnType::btNext, 86, true},
      {"previous inside", 85, false, TUDBtnType::btPrev, 84, true},
      {"next at the top end", 100, false, TUDBtnType::btNext, 100, false},
      {"previous at the bottom end", 0, false, TUDBtnType::btPrev, 0, false},
      {"next to the end", 99, false, TUDBtnType::btNext, 100, true},
      {"wrapping next", 100, true, TUDBtnType::btNext, 0, true},
      {"wrapping previous", 0, true, TUDBtnType::btPrev, 100, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TUpDown upDown(nullptr);
    upDown.SetRange(0, 100);
    upDown.SetWrap(row.wrap);
    upDown.SetPosition(row.position);
    std::vector<TUDBtnType> reports;
    QObject::connect(&upDown, &TUpDown::Click, [&](TUDBtnType b) { reports.push_back(b); });
    upDown.Press(row.button);
    EXPECT_EQ(upDown.Position(), row.expectedPosition);
    ASSERT_EQ(reports.size(), row.reported ? 1u : 0u);
    if (row.reported) {
      EXPECT_EQ(reports[0], row.button);
    }
  }
}

TEST(UpDown, ButtonsArePreviousLeftAndNextRight) {
  TUpDown upDown(nullptr);
  upDown.SetRange(0, 100);
  upDown.SetPosition(50);
  upDown.resize(37, 21);
  upDown.show();
  EXPECT_LT(upDown.PrevButton()->x(), upDown.NextButton()->x());
  EXPECT_EQ(upDown.PrevButton()->width() + upDown.NextButton()->width(), 37);
  std::vector<TUDBtnType> reports;
  QObject::connect(&upDown, &TUpDown::Click, [&](TUDBtnType b) { reports.push_back(b); });
  QTest::mouseClick(upDown.NextButton(), Qt::LeftButton);
  QTest::mouseClick(upDown.NextButton(), Qt::LeftButton);
  QTest::mouseClick(upDown.PrevButton(), Qt::LeftButton);
  EXPECT_EQ(reports,
            (std::vector<TUDBtnType>{TUDBtnType::btNext, TUDBtnType::btNext, TUDBtnType::btPrev}));
  EXPECT_EQ(upDown.Position(), 51);
}

TEST(RadioGroup, ClickOnlyWhenTheChosenItemChanges) {
  TRadioGroup group(QStringLiteral("Versteuerung"), {QStringLiteral("Ist"), QStringLiteral("Soll")},
                    nullptr);
  group.resize(93, 57);
  group.show();
  int clicks = 0;
  QObject::connect(&group, &TRadioGroup::Click, [&] { ++clicks; });
  EXPECT_EQ(group.ItemIndex(), -1);
  group.SetItemIndex(0);  // chosen by the program: raised as well
  EXPECT_EQ(clicks, 1);
  QTest::mouseClick(group.Button(0), Qt::LeftButton);  // already chosen
  EXPECT_EQ(clicks, 1);
  QTest::mouseClick(group.Button(1), Qt::LeftButton);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(group.ItemIndex(), 1);
  EXPECT_FALSE(group.Button(0)->isChecked());
  // The items stand one below the other inside the group.
  EXPECT_LT(group.Button(0)->geometry().bottom(), group.Button(1)->geometry().top() + 1);
  EXPECT_LE(group.Button(1)->geometry().bottom(), group.height());
}

TEST(Version, FourNumbersOfTheBuildsVersion) {
  struct Row {
    const char* text;
    TFileVersion expected;
  };
  const Row rows[] = {
      {"1.0.0.2", {1, 0, 0, 2}}, {"2.13.7.65535", {2, 13, 7, 65535}},
      {"3.4", {3, 4, 0, 0}},     {"", {0, 0, 0, 0}},
      {"x.1", {0, 0, 0, 0}},     {"70000.1", {0, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const TFileVersion v = ParseFileVersion(row.text);
    EXPECT_EQ(v.Major, row.expected.Major);
    EXPECT_EQ(v.Minor, row.expected.Minor);
    EXPECT_EQ(v.Release, row.expected.Release);
    EXPECT_EQ(v.Build, row.expected.Build);
  }
  EXPECT_EQ(ProgramVersion(), "1.0.0.2");
}

}  // namespace
}  // namespace vorlex
