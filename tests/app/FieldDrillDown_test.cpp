#include "app/FieldDrillDown.h"

#include <gtest/gtest.h>

#include <QStatusBar>
#include <QTest>
#include <string>
#include <vector>

#include "ui/FormValuePanel.h"
#include "ui/SummaryListView.h"
#include "ui/text/SummaryList.h"
#include "util/uFormat.h"

namespace vorlex {
namespace {

TRunList SmallRun() {
  const auto entry = [](EntryKind kind, TotalKind total, double added) {
    RunEntry e;
    e.kind = kind;
    e.total = total;
    e.net = e.gross = e.added = added;
    return e;
  };
  TRunList run;
  TaxTotals totals;
  for (const RunEntry& e : {entry(EntryKind::Order, TotalKind::Umsatz19, 100),
                            entry(EntryKind::Order, TotalKind::InnergemMitUStId, 50),
                            entry(EntryKind::Receipt, TotalKind::Umsatz19, 20),
                            entry(EntryKind::Expense, TotalKind::Vorsteuer19, 3.8)}) {
    *totals.Of(e.total) += e.added;
    run.AppendEntry(e);
  }
  run.RunComplete(totals);
  return run;
}

TEST(FieldDrillDown, ClicksOnThePicturesNarrowAndWidenTheListWithANote) {
  Format() = FormatSettings{};
  TSummaryListView list(nullptr);
  QStatusBar status;
  TImage picture81(nullptr), picture66(nullptr);
  picture81.resize(100, 30);
  picture66.resize(100, 30);
  TFieldDrillDown drillDown(list, status);
  drillDown.Attach(picture81, 81);
  drillDown.Attach(picture66, 66);
  const TRunList run = SmallRun();
  list.Model().SetLines(run.lines, run.entries);
  const int all = list.Model().rowCount();
  const std::vector<std::string> csv = list.Model().Lines();
  const int totals = static_cast<int>(SummaryLines(run.totals).size());

  const struct {
    TImage* click;
    int field;
    int rows;
    const char* note;
  } steps[] = {
      {&picture81, 81, 2 + totals, "Nur Einträge zu Kz 81 (2)"},
      {&picture81, 0, all, ""},  // the same picture again
      {&picture81, 81, 2 + totals, "Nur Einträge zu Kz 81 (2)"},
      {&picture66, 66, 1 + totals, "Nur Einträge zu Kz 66 (1)"},  // another picture
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.note);
    QTest::mouseClick(step.click, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(drillDown.Field(), step.field);
    EXPECT_EQ(list.Model().rowCount(), step.rows);
    EXPECT_EQ(status.currentMessage(), QString::fromUtf8(step.note));
    EXPECT_EQ(list.Model().Lines(), csv);  // the CSV is the whole list
  }
  // A new list, as after choosing a period, shows in full without a note.
  list.Model().SetLines(run.lines, run.entries);
  EXPECT_EQ(drillDown.Field(), 0);
  EXPECT_EQ(list.Model().rowCount(), all);
  EXPECT_TRUE(status.currentMessage().isEmpty());
  QTest::mouseClick(&picture66, Qt::LeftButton, {}, QPoint(5, 5));
  drillDown.ShowAll();
  EXPECT_EQ(list.Model().rowCount(), all);
  EXPECT_TRUE(status.currentMessage().isEmpty());
  // Another message in the status bar stays when the filter goes.
  QTest::mouseClick(&picture81, Qt::LeftButton, {}, QPoint(5, 5));
  status.showMessage(QStringLiteral("Der erste Tag liegt nach dem letzten Tag."));
  QTest::mouseClick(&picture81, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(list.Model().rowCount(), all);
  EXPECT_EQ(status.currentMessage(), QStringLiteral("Der erste Tag liegt nach dem letzten Tag."));
}

}  // namespace
}  // namespace vorlex
