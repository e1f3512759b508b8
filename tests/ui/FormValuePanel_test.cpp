#include "ui/FormValuePanel.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include "tests/util/FormatTest.h"
#include "util/FormatSettings.h"

namespace vorlex {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kGrey(204, 204, 204);
const QColor kOutline(128, 128, 128);

QImage Canvas(int width = 173, int height = 29) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(10, 20, 30));
  return image;
}

// A pixel of the value's ink: blue, alone or ANDed with the grey outline.
bool IsValueInk(const QColor& c) {
  return c.red() < 250 && c.red() == c.green() && c.blue() > c.red() && c != kOutline;
}

struct InkBox {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
  bool Empty() const { return right < 0; }
};

InkBox ValueInk(const QImage& image) {
  InkBox box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 27; x < image.width(); ++x) {
      if (!IsValueInk(image.pixelColor(x, y))) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

TEST(FormValuePanel, BoxesAndOutlinesAtBothResolutions) {
  struct Row {
    int dpi;
    int width, height;
    int centsWidth;
  };
  for (const Row& row : {Row{96, 173, 29, 25}, Row{120, 216, 36, 31}}) {
    SCOPED_TRACE(row.dpi);
    QImage image = Canvas(row.width, row.height);
    DrawFormBoxes(image, 41, row.dpi);
    const int w = row.width, h = row.height;
    // The field-number box is panel grey (where the number leaves it).
    EXPECT_EQ(image.pixelColor(26, 0), kGrey);
    EXPECT_EQ(image.pixelColor(26, h - 1), kGrey);
    EXPECT_EQ(image.pixelColor(0, h - 1), kGrey);
    // The entry box's outline: left column 27, right column W-1, top and bottom rows.
    for (int y = 0; y < h; ++y) {
      EXPECT_EQ(image.pixelColor(27, y), kOutline) << y;
      EXPECT_EQ(image.pixelColor(w - 1, y), kOutline) << y;
      EXPECT_EQ(image.pixelColor(w - row.centsWidth, y), kOutline) << y;
    }
    for (int x = 27; x < w; ++x) {
      EXPECT_EQ(image.pixelColor(x, 0), kOutline) << x;
      EXPECT_EQ(image.pixelColor(x, h - 1), kOutline) << x;
    }
    // Inside both boxes: white, the cents box's left edge the only line between.
    for (int x = 28; x < w - 1; ++x) {
      const QColor expected = x == w - row.centsWidth ? kOutline : kWhite;
      EXPECT_EQ(image.pixelColor(x, h / 2), expected) << x;
    }
    EXPECT_EQ(image.pixelColor(w - row.centsWidth - 1, 1), kWhite);
    EXPECT_EQ(image.pixelColor(w - row.centsWidth + 1, 1), kWhite);
  }
}

TEST(FormValuePanel, FieldNumberIsBlackOnGreyBelowTheTop) {
  QImage image = Canvas();
  DrawFormBoxes(image, 66, 96);
  int black = 0;
  int firstInkRow = 99;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < 27; ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c == kBlack) ++black;
      if (c != kGrey) firstInkRow = std::min(firstInkRow, y);
    }
  }
  EXPECT_GT(black, 20);       // bold digits
  EXPECT_GE(firstInkRow, 4);  // the text cell starts 4 pixels down
}

TEST(FormValuePanel, ValueIsBlueRightAlignedFourInsideAndSevenDown) {
  struct Row {
    const char* name;
    double value;
    int dpi;
    int width, height;
  };
  const Row rows[] = {
      {"zero", 0.0, 96, 173, 29},
      {"long", 123456.78, 96, 173, 29},
      {"negative", -42.5, 96, 173, 29},
      {"120 dpi", 1234.56, 120, 216, 36},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QImage image = Canvas(row.width, row.height);
    DrawFormValue(image, 81, row.value, row.dpi, kGerman);
    const InkBox ink = ValueInk(image);
    ASSERT_FALSE(ink.Empty());
    EXPECT_LE(ink.right, row.width - 5);      // ends 4 pixels inside the right edge
    EXPECT_GE(ink.right, row.width - 5 - 3);  // ... not much further left
    EXPECT_GE(ink.top, 7);                    // starts no higher than 7 below the top
    EXPECT_LE(ink.top, 7 + 8);
    EXPECT_LT(ink.bottom, row.height - 1);  // within the box
    // Pure blue somewhere: the value's colour.
    bool pureBlue = false;
    for (int y = ink.top; y <= ink.bottom && !pureBlue; ++y)
      for (int x = ink.left; x <= ink.right && !pureBlue; ++x)
        pureBlue = image.pixelColor(x, y) == QColor(0, 0, 255);
    EXPECT_TRUE(pureBlue);
    // The outline of the boxes stays around the value.
    EXPECT_EQ(image.pixelColor(row.width - 1, 10), kOutline);
    EXPECT_EQ(image.pixelColor(100, 0), kOutline);
  }
}

TEST(FormValuePanel, ValueIsAndedOntoTheBoxes) {
  // A value so long that it reaches into the grey field-number box.
  QImage image = Canvas();
  DrawFormValue(image, 81, 88888888888888.88, 96, kGerman);
  // The text's white background keeps what lies below it; its blue ink over
  // grey 204 gives 0/0/204. Nothing there gets lighter than the grey.
  bool andedBlue = false;
  for (int y = 0; y < 29; ++y) {
    for (int x = 0; x < 27; ++x) {
      const QColor c = image.pixelColor(x, y);
      EXPECT_LE(c.red(), 204) << x << "," << y;
      EXPECT_LE(c.green(), 204) << x << "," << y;
      EXPECT_LE(c.blue(), 204) << x << "," << y;
      if (c == QColor(0, 0, 204)) andedBlue = true;
    }
  }
  EXPECT_TRUE(andedBlue);
  // The outlines stay at least as dark as their grey where the text crosses them.
  for (int y = 0; y < 29; ++y) {
    for (int x : {27, 173 - 25, 172}) {
      const QColor c = image.pixelColor(x, y);
      EXPECT_LE(std::max({c.red(), c.green(), c.blue()}), 128) << x << "," << y;
    }
  }
}

TEST(FormValuePanel, WiderValueMeansInkFurtherLeftAndDecimalComma) {
  QImage shortValue = Canvas();
  QImage longValue = Canvas();
  DrawFormValue(shortValue, 41, 1.0, 96, kGerman);
  DrawFormValue(longValue, 41, 100000.0, 96, kGerman);
  EXPECT_LT(ValueInk(longValue).left, ValueInk(shortValue).left);
  EXPECT_EQ(ValueInk(longValue).right, ValueInk(shortValue).right);  // both "0" last

  // A decimal point instead of the comma changes the picture.
  QImage point = Canvas();
  DrawFormValue(point, 41, 1.0, 96, kPoint);
  EXPECT_NE(point, shortValue);
}

TEST(FormValuePanel, ShorterValueAfterLongerLeavesNoTrace) {
  QImage redrawn = Canvas();
  DrawFormValue(redrawn, 86, -9876543.21, 96, kGerman);
  DrawFormValue(redrawn, 86, 3.5, 96, kGerman);
  QImage fresh = Canvas();
  DrawFormValue(fresh, 86, 3.5, 96, kGerman);
  EXPECT_EQ(redrawn, fresh);

  // Clearing to empty boxes leaves no value either.
  DrawFormBoxes(redrawn, 86, 96);
  EXPECT_TRUE(ValueInk(redrawn).Empty());
}

TEST(FormValuePanel, PictureKeepsItsDrawingInItsOwnSize) {
  QWidget parent;
  TImage picture(&parent);
  picture.setGeometry(56, 96, 173, 29);
  EXPECT_TRUE(picture.Picture().isNull());
  DrawFormValue(picture, 44, 12.0, 96, kGerman);
  ASSERT_EQ(picture.Picture().size(), QSize(173, 29));
  const QImage shown = picture.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown.pixelColor(27, 5), kOutline);
  EXPECT_EQ(shown.pixelColor(5, 1), kGrey);
  EXPECT_FALSE(ValueInk(shown).Empty());
}

TEST(FormValuePanel, PointsToPixelsRoundsLikeTheWindow) {
  EXPECT_EQ(PointsToPixels(8, 96), 11);
  EXPECT_EQ(PointsToPixels(12, 96), 16);
  EXPECT_EQ(PointsToPixels(14, 96), 19);
  EXPECT_EQ(PointsToPixels(14, 120), 23);
  EXPECT_EQ(PointsToPixels(12, 120), 20);
}

}  // namespace
}  // namespace vorlex

namespace vorlex {
namespace {

TEST(FormValuePanel, PictureSignalsALeftClickOnly) {
  TImage picture(nullptr);
  picture.resize(120, 30);
  QSignalSpy clicks(&picture, &TImage::clicked);
  QTest::mouseClick(&picture, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicks.count(), 1);
  QTest::mouseClick(&picture, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicks.count(), 1);
  // Pressed on the picture, released beside it: no click.
  QTest::mousePress(&picture, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseRelease(&picture, Qt::LeftButton, {}, QPoint(300, 10));
  EXPECT_EQ(clicks.count(), 1);
}

}  // namespace
}  // namespace vorlex
