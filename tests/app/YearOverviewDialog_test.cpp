#include "app/YearOverviewDialog.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/OverviewChart.h"
#include "db/uDB.h"
#include "tax/GeneratedDb.h"
#include "tests/util/FormatTest.h"
#include "util/FormatSettings.h"

namespace vorlex {
namespace {

TEST(YearOverviewDialog, IsReusedWhileOpenAndKeptOnAnError) {
  const testing::GeneratedDb generated("overview-dialog", 600);
  TDBase db(generated.Path(), kGerman);
  QWidget owner;
  TYearOverviewWindow overview(owner, kGerman);
  overview.Show(db, 2025, TaxationBasis::Soll);
  TYearOverviewDialog* dialog = overview.Dialog();
  ASSERT_NE(dialog, nullptr);
  const auto caption = [dialog] {
    return dialog->findChild<QLabel*>(QStringLiteral("lblUebersicht"))->text();
  };
  EXPECT_EQ(caption(), QStringLiteral("Jahresübersicht 2025  (Rechnungsdatum)"));
  EXPECT_EQ(dialog->findChild<QTableWidget*>(QStringLiteral("gridOverview"))->rowCount(), 17);

  // A second request fills the same window.
  overview.Show(db, 2024, TaxationBasis::Ist);
  EXPECT_EQ(overview.Dialog(), dialog);
  EXPECT_EQ(caption(), QStringLiteral("Jahresübersicht 2024  (Zahlungsdatum)"));
  // A run that fails leaves it as it was.
  db.Close();
  const std::string emptyPath = generated.Path() + "-leer";
  { std::ofstream(emptyPath) << ""; }
  TDBase broken(emptyPath, kGerman);
  EXPECT_ANY_THROW(overview.Show(broken, 2023, TaxationBasis::Ist));
  broken.Close();
  std::filesystem::remove(emptyPath);
  EXPECT_EQ(caption(), QStringLiteral("Jahresübersicht 2024  (Zahlungsdatum)"));
}

// The areas of one colour, each by its leftmost column, top and bottom row,
// from the left.
struct Bar {
  int left, top, bottom;
};
std::vector<Bar> Bars(const QImage& image, const QColor& colour) {
  std::vector<Bar> bars;
  std::vector<bool> seen(static_cast<size_t>(image.width() * image.height()), false);
  const auto at = [&](int x, int y) { return static_cast<size_t>(y * image.width() + x); };
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      if (seen[at(x, y)] || image.pixelColor(x, y) != colour) continue;
      Bar bar{x, y, y};
      std::vector<QPoint> open{QPoint(x, y)};
      seen[at(x, y)] = true;
      while (!open.empty()) {
        const QPoint p = open.back();
        open.pop_back();
        bar.top = std::min(bar.top, p.y());
        bar.bottom = std::max(bar.bottom, p.y());
        for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
          const QPoint n = p + d;
          if (!image.rect().contains(n) || seen[at(n.x(), n.y())]) continue;
          if (image.pixelColor(n) != colour) continue;
          seen[at(n.x(), n.y())] = true;
          open.push_back(n);
        }
      }
      bars.push_back(bar);
    }
  }
  return bars;
}

TEST(OverviewChart, BarsGrowWithTheFiguresAndARefundHangsBelowTheZeroLine) {
  std::array<ChartFigures, 12> months{};
  for (auto& m : months) m = {0, 0};
  months[0] = {2000000, 380000};  // January: 20000,00 turnover, 3800,00 to pay
  months[1] = {1000000, 190000};
  months[2] = {0, -120000};  // March: a refund
  QImage image(720, 300, QImage::Format_RGB32);
  QPainter painter(&image);
  DrawOverviewChart(painter, image.rect(), months, kGerman);
  painter.end();

  // The legend's swatch of each colour stands above all bars; drop it.
  const auto barsOnly = [](std::vector<Bar> bars) {
    const auto legend = std::min_element(bars.begin(), bars.end(),
                                         [](const Bar& a, const Bar& b) { return a.top < b.top; });
    bars.erase(legend);
    return bars;
  };
  const std::vector<Bar> turnover = barsOnly(Bars(image, kTurnoverBarColor));
  const std::vector<Bar> due = barsOnly(Bars(image, kDueBarColor));
  ASSERT_EQ(turnover.size(), 2u);
  ASSERT_EQ(due.size(), 3u);
  const auto height = [](const Bar& b) { return b.bottom - b.top + 1; };
  // Twice the figure, twice the bar, to a pixel or two; all from one zero line.
  EXPECT_NEAR(height(turnover[0]), 2 * height(turnover[1]), 2);
  EXPECT_NEAR(height(due[0]), 2 * height(due[1]), 2);
  EXPECT_GT(height(turnover[0]), height(due[0]) * 4);
  EXPECT_NEAR(turnover[0].bottom, turnover[1].bottom, 1);
  EXPECT_NEAR(due[2].top, turnover[0].bottom, 2);  // the refund starts at zero, goes down
  EXPECT_GT(due[2].bottom, turnover[0].bottom + 10);
  // Months in order from the left, each month's pair side by side.
  EXPECT_LT(turnover[0].left, due[0].left);
  EXPECT_LT(due[0].left, turnover[1].left);
  EXPECT_LT(turnover[1].left, due[2].left);
}

}  // namespace
}  // namespace vorlex
