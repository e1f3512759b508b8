#include "ui/SummaryListView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <string>
#include <vector>

#include "tests/ListTexts.h"
#include "tests/util/FormatTest.h"
#include "ui/qtcore/QtText.h"
#include "util/FormatSettings.h"

namespace vorlex {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);

QFont ListFont() {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(11);
  return font;
}

// One item drawn into the middle of a canvas filled with a marker colour, so
// that drawing outside the item shows.
struct Rendered {
  QImage image;
  QRect item;
};

ListLine Line(std::string text, LineKind kind, bool foreignCustomer = false) {
  return ListLine{std::move(text), kind, foreignCustomer};
}

Rendered Render(const ListLine& line, bool selected, QRect item = QRect(0, 16, 300, 16)) {
  Rendered r{QImage(320, 64, QImage::Format_RGB32), item};
  r.image.fill(QColor(10, 20, 30));
  QPainter painter(&r.image);
  lbUstDrawItem(painter, item, line, selected, ListFont(), selected ? kWhite : kBlack);
  return r;
}

int CountPixels(const QImage& image, const QRect& area, const QColor& colour) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y) == colour) ++count;
    }
  }
  return count;
}

// Pixels that are neither background nor the given colour: the text's ink.
int InkPixels(const QImage& image, const QRect& area, const QColor& background) {
  return area.width() * area.height() - CountPixels(image, area, background);
}

TEST(SummaryListDrawing, BackgroundByKindAndSelection) {
  struct Row {
    const char* name;
    ListLine line;
    bool selected;
    QColor background;
  };
  const Row rows[] = {
      {"expense",
       Line("A   |   01.05.2026   |   Papier   |   B\xFCro   |   10,00   |   19%", LineKind::Expense),
       false, kExpenseColor},
      {"receipt",
       Line("E   |   02.05.2026   |   Kasse   |   Meier   |   5,00   |   7%", LineKind::Receipt),
       false, kReceiptColor},
      {"total", Line("     Nicht EU:  0,00", LineKind::Total), false, kWhite},
      {"empty", Line("", LineKind::Total), false, kWhite},
      {"neither receipt nor expense", Line("?   |   x", LineKind::Other), false, kWhite},
      {"the text does not decide", Line("A   |   x", LineKind::Receipt), false, kReceiptColor},
      {"selected expense", Line("A   |   x", LineKind::Expense), true, kSelectedColor},
      {"selected total", Line("     Vorsteuer:  1,00", LineKind::Total), true, kSelectedColor},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Rendered r = Render(row.line, row.selected);
    // Far right of the item holds no text: it shows the pure background.
    EXPECT_EQ(r.image.pixelColor(r.item.right(), r.item.top()), row.background);
    EXPECT_EQ(r.image.pixelColor(r.item.right(), r.item.bottom()), row.background);
    EXPECT_EQ(r.image.pixelColor(r.item.left(), r.item.top()), row.background);
    // Nothing outside the item is touched.
    EXPECT_EQ(r.image.pixelColor(r.item.left(), r.item.top() - 1), QColor(10, 20, 30));
    EXPECT_EQ(r.image.pixelColor(r.item.left(), r.item.bottom() + 1), QColor(10, 20, 30));
    EXPECT_EQ(r.image.pixelColor(r.item.right() + 1, r.item.top()), QColor(10, 20, 30));
  }
}

TEST(SummaryListDrawing, TextStartsAtTheItemsLeftAndTopWithoutMargin) {
  const Rendered r = Render(Line("E   |   Test", LineKind::Receipt), false);
  // The "E" stands in the first columns of the item and no ink lies above it.
  const QRect firstColumns(r.item.left(), r.item.top(), 3, r.item.height());
  EXPECT_GT(InkPixels(r.image, firstColumns, kReceiptColor), 0);
  const QRect text(r.item.left(), r.item.top(), 40, r.item.height());
  int firstInkRow = -1;
  for (int y = text.top(); y <= text.bottom() && firstInkRow < 0; ++y) {
    if (InkPixels(r.image, QRect(text.left(), y, text.width(), 1), kReceiptColor) > 0) {
      firstInkRow = y - r.item.top();
    }
  }
  EXPECT_GE(firstInkRow, 0);
  EXPECT_LE(firstInkRow, 4);  // the capital's top, not pushed down by a margin
}

TEST(SummaryListDrawing, BoldExactlyForAForeignCustomersLine) {
  // Bold text inks more pixels than the same text in regular weight.
  const auto ink = [](const std::string& line, bool foreign) {
    const Rendered r = Render(Line(line, LineKind::Receipt, foreign), false);
    return InkPixels(r.image, r.item, kReceiptColor);
  };
  const std::string line = "E   |   01.05.2026   |   Lieferung   |   Huber (A, UStID=ATU123)";
  EXPECT_GT(ink(line, true), ink(line, false) * 11 / 10);

  // A total line is drawn pixel for pixel as the text in the list's plain font.
  QImage regular(300, 16, QImage::Format_RGB32);
  regular.fill(kWhite);
  {
    QPainter painter(&regular);
    painter.setFont(ListFont());
    painter.setPen(kBlack);
    painter.drawText(QPoint(0, QFontMetrics(ListFont()).ascent()),
                     QStringLiteral("     Innergem. Lief. mit USt-IdNr:  0,00"));
  }
  const Rendered total =
      Render(Line("     Innergem. Lief. mit USt-IdNr:  0,00", LineKind::Total), false);
  EXPECT_EQ(total.image.copy(total.item), regular);
}

TEST(SummaryListDrawing, DividerIsAOnePixelRuleWithoutHyphens) {
  struct Row {
    const char* name;
    QRect item;
    bool selected;
    int ruleY;  // relative to the image
  };
  const Row rows[] = {
      {"16 pixels high", QRect(0, 16, 300, 16), false, 24},
      {"20 pixels high at 120 dpi", QRect(0, 20, 300, 20), false, 30},
      {"odd height, odd top: half rounds to even", QRect(0, 15, 300, 15), false, 22},
      {"odd height, even top: half rounds to even", QRect(0, 16, 300, 15), false, 24},
      {"selected", QRect(0, 16, 300, 16), true, 24},
      {"shifted right", QRect(7, 16, 300, 16), false, 24},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Rendered r = Render(Line("-------", LineKind::Rule), row.selected, row.item);
    const QColor background = row.selected ? kSelectedColor : kWhite;
    const int left = row.item.left() + 15;
    const int lastPainted = row.item.left() + row.item.width() - 15 - 1;
    for (int y = row.item.top(); y <= row.item.bottom(); ++y) {
      for (int x = row.item.left(); x <= row.item.right(); ++x) {
        const bool onRule = y == row.ruleY && x >= left && x <= lastPainted;
        ASSERT_EQ(r.image.pixelColor(x, y), onRule ? kBlack : background) << "at " << x << "," << y;
      }
    }
  }
}

TEST(SummaryListDrawing, LongDividerOfMoreHyphensIsStillARule) {
  const Rendered r =
      Render(Line("-------------------------------------------------", LineKind::Rule), false);
  EXPECT_EQ(CountPixels(r.image, r.item, kBlack), 300 - 30);
}

TEST(SummaryListDrawing, Windows1252AndUtf8BytesBothDrawAsText) {
  // "Müller" as Windows-1252 and as UTF-8 draw the same pixels.
  const Rendered latin = Render(Line("E   |   M\xFCller", LineKind::Receipt), false);
  const Rendered utf8 = Render(Line("E   |   M\xC3\xBCller", LineKind::Receipt), false);
  EXPECT_EQ(latin.image, utf8.image);
  const Rendered plainU = Render(Line("E   |   Muller", LineKind::Receipt), false);
  EXPECT_NE(latin.image, plainU.image);
}

TEST(SummaryListModel, HoldsTheBytesAndShowsThemDecoded) {
  TSummaryListModel model;
  model.SetLines({Line("E   |   M\xFCller", LineKind::Receipt),
                  Line("A   |   Gr\xC3\xBC\xC3\x9F"
                       "e",
                       LineKind::Expense),
                  Line("", LineKind::Total)});
  ASSERT_EQ(model.rowCount(), 3);
  EXPECT_EQ(model.data(model.index(0), Qt::DisplayRole).toString(),
            QStringLiteral("E   |   Müller"));
  EXPECT_EQ(model.data(model.index(1), Qt::DisplayRole).toString(),
            QStringLiteral("A   |   Grüße"));
  EXPECT_EQ(model.data(model.index(0), TSummaryListModel::LineRole).toByteArray(),
            QByteArray("E   |   M\xFCller"));
  EXPECT_EQ(LineTexts(model.Rows())[1],
            "A   |   Gr\xC3\xBC\xC3\x9F"
            "e");
  model.Clear();
  EXPECT_EQ(model.rowCount(), 0);
}

TEST(SummaryListModel, FieldFilterShowsThatFieldsEntriesAndTheTotalsButKeepsAllLines) {
  const auto entry = [](EntryKind kind, TotalKind total, const char* text) {
    RunEntry e;
    e.kind = kind;
    e.total = total;
    e.SetDescription(text);
    return e;
  };
  TRunList run(kGerman);
  run.AppendEntry(entry(EntryKind::Order, TotalKind::Umsatz19, "inland"));
  run.AppendEntry(entry(EntryKind::Order, TotalKind::InnergemMitUStId, "wien"));
  run.AppendEntry(entry(EntryKind::Order, TotalKind::NichtEU, "zuerich"));
  run.AppendEntry(RunEntry{});  // divider
  run.AppendEntry(entry(EntryKind::Receipt, TotalKind::Umsatz19, "laden"));
  run.AppendEntry(entry(EntryKind::Receipt, TotalKind::Umsatz7, "buch"));
  run.AppendEntry(RunEntry{});
  run.AppendEntry(entry(EntryKind::Expense, TotalKind::Vorsteuer7, "zeitung"));
  run.AppendEntry(entry(EntryKind::Expense, TotalKind::Vorsteuer19, "papier"));
  run.AppendEntry(entry(EntryKind::Expense, TotalKind::None, "porto"));
  run.RunComplete(TaxTotals{});
  const std::vector<std::string> all = LineTexts(run.lines);
  TSummaryListModel model;
  model.SetLines(run.lines, run.entries);

  const struct {
    int field;
    std::vector<const char*> shown;
  } cases[] = {{81, {"inland", "laden"}}, {41, {"wien"}}, {44, {}}, {86, {"buch"}},
               {66, {"zeitung", "papier"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    model.SetFieldFilter(c.field);
    EXPECT_EQ(model.FieldFilter(), c.field);
    EXPECT_EQ(model.FilteredEntries(), c.shown.size());
    ASSERT_EQ(model.rowCount(), static_cast<int>(c.shown.size() + 11));
    for (size_t i = 0; i < c.shown.size(); ++i) {
      EXPECT_NE(model.data(model.index(static_cast<int>(i)), Qt::DisplayRole).toString().indexOf(
                    QString::fromLatin1(c.shown[i])),
                -1);
    }
    // The total lines close the list as they are; the CSV holds every line.
    EXPECT_EQ(model.data(model.index(model.rowCount() - 1), Qt::DisplayRole).toString(),
              QString::fromLatin1(all.back().c_str()));
    EXPECT_EQ(LineTexts(model.Rows()), all);
    // Each shown line is found at its place; a hidden one nowhere.
    for (int row = 0; row < static_cast<int>(all.size()); ++row) {
      const int viewRow = model.ViewRow(row);
      if (viewRow >= 0) {
        EXPECT_EQ(model.data(model.index(viewRow), TSummaryListModel::LineRole).toByteArray(),
                  QByteArray::fromStdString(all[static_cast<size_t>(row)]));
      }
    }
  }
  model.SetFieldFilter(0);
  EXPECT_EQ(model.rowCount(), static_cast<int>(all.size()));
  EXPECT_EQ(model.ViewRow(3), 3);
  // A new run shows in full.
  model.SetFieldFilter(81);
  EXPECT_EQ(model.ViewRow(1), -1);
  model.SetLines(run.lines, run.entries);
  EXPECT_EQ(model.FieldFilter(), 0);
  EXPECT_EQ(model.rowCount(), static_cast<int>(all.size()));
}

TEST(SummaryListModel, DelegateDrawsTheLineTheFilterShows) {
  RunEntry expense, sale;
  expense.kind = EntryKind::Expense;
  expense.total = TotalKind::Vorsteuer19;
  sale.kind = EntryKind::Order;
  sale.total = TotalKind::Umsatz19;
  TSummaryListModel model;
  model.SetLines({EntryLine(expense, 0, kGerman), EntryLine(sale, 1, kGerman)}, {expense, sale});
  model.SetFieldFilter(81);
  TSummaryItemDelegate delegate(16, nullptr);
  QImage image(400, 16, QImage::Format_RGB32);  // wide enough that the line ends before it does
  QPainter painter(&image);
  QStyleOptionViewItem option;
  option.rect = image.rect();
  option.font = ListFont();
  delegate.paint(&painter, option, model.index(0));
  painter.end();
  EXPECT_EQ(image.pixelColor(399, 8), kReceiptColor);
}

// Counts what the view asks of its delegate.
class CountingDelegate : public TSummaryItemDelegate {
 public:
  using TSummaryItemDelegate::TSummaryItemDelegate;
  mutable int paints = 0;
  mutable int sizeHints = 0;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    ++paints;
    TSummaryItemDelegate::paint(painter, option, index);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    ++sizeHints;
    return TSummaryItemDelegate::sizeHint(option, index);
  }
};

TEST(SummaryListView, HundredThousandLinesAskOnlyForTheVisibleRows) {
  TSummaryListView view(nullptr);
  auto* delegate = new CountingDelegate(16, &view);
  view.setItemDelegate(delegate);
  view.resize(400, 320);
  view.show();
  std::vector<ListLine> lines(
      100000, Line("E   |   01.05.2026   |   Zeile   |   Kunde   |   1,00", LineKind::Receipt));
  view.Model().SetLines(std::move(lines));
  view.scrollToBottom();
  QApplication::processEvents();
  view.repaint();
  EXPECT_EQ(view.model()->rowCount(), 100000);
  EXPECT_LT(delegate->sizeHints, 100);
  EXPECT_GT(delegate->paints, 0);
  EXPECT_LT(delegate->paints, 200);
  // The last row is reachable and has the item height.
  const QRect last = view.visualRect(view.model()->index(99999, 0));
  EXPECT_EQ(last.height(), 16);
  EXPECT_TRUE(view.viewport()->rect().intersects(last));
}

TEST(SummaryListView, RowsHaveTheItemHeightAndSpanTheWholeWidth) {
  TSummaryListView view(nullptr);
  view.SetItemHeight(20);
  view.resize(300, 200);
  view.Model().SetLines({Line("A   |   x", LineKind::Expense), Line("E   |   y", LineKind::Receipt),
                         Line("-------", LineKind::Rule)});
  view.show();
  QApplication::processEvents();
  const QRect first = view.visualRect(view.model()->index(0, 0));
  const QRect second = view.visualRect(view.model()->index(1, 0));
  EXPECT_EQ(first.height(), 20);
  EXPECT_EQ(second.top(), first.top() + 20);
  EXPECT_EQ(first.width(), view.viewport()->width());

  const QImage shot = view.viewport()->grab().toImage();
  EXPECT_EQ(shot.pixelColor(view.viewport()->width() - 2, first.center().y()), kExpenseColor);
  EXPECT_EQ(shot.pixelColor(view.viewport()->width() - 2, second.center().y()), kReceiptColor);
}

// The rightmost column of the row that is not white: the end of its text.
int InkEnd(const QImage& shot, const QRect& row) {
  for (int x = shot.width() - 1; x >= 0; --x) {
    for (int y = row.top(); y <= row.bottom(); ++y) {
      if (shot.pixelColor(x, y) != kWhite) return x;
    }
  }
  return -1;
}

TEST(SummaryListView, ScrollsSidewaysToTheEndOfTheLongestLineAndShowsItWhole) {
  struct Row {
    const char* name;
    std::string longest;
    bool bold;
    std::string other;  // more letters, but narrower
  };
  const Row rows[] = {
      {"regular", "     Innergem. Lief. ohne USt-IdNr. eines sehr langen Zeitraums:  123456,78",
       false, "     kurz"},
      {"bold", "     Teestube Gruber (A, UStID=ATU63452871), Salzburg, Getreidegasse:  12,00",
       true, "     Teestube Gruber, Salzburg, Getreidegasse, ohne Nummer:  12,00"},
      {"wide letters", "E   |   WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", false,
       "E   |   " + std::string(70, 'i') + "   |   \xC3\xBC\xC3\xBC\xC3\xBC"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TSummaryListView view(nullptr);
    view.resize(260, 200);
    view.Model().SetLines({Line(row.other, LineKind::Receipt),
                           Line(row.longest, LineKind::Receipt, row.bold),
                           Line(std::string(400, '-'), LineKind::Rule),
                           Line("     Nicht EU:  0,00", LineKind::Total)});
    view.show();
    QApplication::processEvents();

    QFont font = view.font();
    font.setBold(row.bold);
    const int advance = QFontMetrics(font).horizontalAdvance(DecodeText(row.longest));
    ASSERT_GT(advance, view.viewport()->width() + 100);
    QScrollBar* bar = view.horizontalScrollBar();
    EXPECT_TRUE(bar->isVisible());
    // The divider is a rule of the list's width and asks for no room.
    const int reach = bar->maximum() + view.viewport()->width();
    EXPECT_GE(reach, advance);
    EXPECT_LE(reach, advance + 2);

    bar->setValue(bar->maximum());
    QApplication::processEvents();
    const QRect line = view.visualRect(view.model()->index(1, 0));
    const int end = InkEnd(view.viewport()->grab().toImage(), line);
    EXPECT_LT(end, view.viewport()->width());
    EXPECT_GT(end, view.viewport()->width() - 12);

    // The tooltip holds the whole line.
    QHelpEvent help(QEvent::ToolTip, line.center(), view.viewport()->mapToGlobal(line.center()));
    QApplication::sendEvent(view.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), DecodeText(row.longest));
    QToolTip::hideText();

    // Lines that fit need no scrolling.
    view.Model().SetLines({Line("     kurz", LineKind::Total), Line("-------", LineKind::Rule)});
    QApplication::processEvents();
    EXPECT_EQ(bar->maximum(), 0);
  }
}

}  // namespace
}  // namespace vorlex
