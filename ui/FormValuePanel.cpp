#include "ui/FormValuePanel.h"

#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <string>

#include "ui/qtcore/QtText.h"
#include "util/MoneyText.h"

namespace vorlex {

namespace {

const QColor kPanelGrey{204, 204, 204};
const QColor kOutlineGrey{128, 128, 128};
const QColor kValueBlue{0, 0, 255};
constexpr int kNumberBoxRight = 27;
constexpr int kTextBitmapWidth = 200;
constexpr int kTextBitmapHeight = 20;

QFont DrawingFont(const char* family, int points, int pixelsPerInch, bool bold) {
  QFont font = TDesignScale(pixelsPerInch).PointFont(QString::fromLatin1(family), points);
  font.setBold(bold);
  font.setStyleHint(QFont::AnyStyle, QFont::PreferMatch);
  return font;
}

// An outlined rectangle with a white fill; right and bottom edges exclusive.
void OutlinedBox(QPainter& painter, int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return;
  painter.fillRect(QRect(left, top, right - left, bottom - top), kOutlineGrey);
  if (right - left > 2 && bottom - top > 2) {
    painter.fillRect(QRect(left + 1, top + 1, right - left - 2, bottom - top - 2), Qt::white);
  }
}

void DrawBoxes(QPainter& painter, int width, int height, int fieldNumber, int pixelsPerInch) {
  painter.fillRect(QRect(0, 0, kNumberBoxRight, height), kPanelGrey);

  const QFont numberFont = DrawingFont("Arial", 14, pixelsPerInch, true);
  painter.setFont(numberFont);
  painter.setPen(Qt::black);
  painter.drawText(QPoint(0, 4 + QFontMetrics(numberFont).ascent()),
                   QString::fromStdString(std::to_string(fieldNumber)));

  painter.fillRect(QRect(kNumberBoxRight, 0, std::max(0, width - kNumberBoxRight), height),
                   Qt::white);
  OutlinedBox(painter, kNumberBoxRight, 0, width, height);
  const int cents = TDesignScale(pixelsPerInch)(25);
  OutlinedBox(painter, width - cents, 0, width, height);
}

}  // namespace

void DrawFormBoxes(QImage& canvas, int fieldNumber, int pixelsPerInch) {
  QPainter painter(&canvas);
  DrawBoxes(painter, canvas.width(), canvas.height(), fieldNumber, pixelsPerInch);
}

void DrawFormValue(QImage& canvas, int fieldNumber, double value, int pixelsPerInch,
                   const FormatSettings& format) {
  QPainter painter(&canvas);
  DrawBoxes(painter, canvas.width(), canvas.height(), fieldNumber, pixelsPerInch);

  const QString text = DecodeText(FormatMoney(value, format));
  const QFont valueFont = DrawingFont("Courier", 12, pixelsPerInch, false);
  const QFontMetrics metrics(valueFont);

  // The value is written black-on-white elsewhere first and then ANDed onto the
  // picture: its white background lets the boxes through, and where a digit
  // crosses the cents box's outline both stay visible.
  QImage bitmap(kTextBitmapWidth, kTextBitmapHeight, QImage::Format_RGB32);
  bitmap.fill(Qt::white);
  {
    QPainter textPainter(&bitmap);
    textPainter.setFont(valueFont);
    textPainter.setPen(kValueBlue);
    textPainter.drawText(QPoint(0, metrics.ascent()), text);
  }
  const int w = metrics.horizontalAdvance(text);
  const int h = metrics.height();
  // Only what the bitmap holds is copied.
  const QRect source(0, 0, std::min(w, kTextBitmapWidth), std::min(h, kTextBitmapHeight));
  painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
  painter.drawImage(QPoint(canvas.width() - 4 - w, 7), bitmap, source);
}

TImage::TImage(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
}

void TImage::SetChosen(bool chosen) {
  if (chosen_ == chosen) return;
  chosen_ = chosen;
  update();
}

void TImage::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!event->isAutoRepeat()) emit clicked();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

QImage& TImage::Canvas() {
  if (canvas_.size() != size()) {
    QImage fresh(size(), QImage::Format_RGB32);
    fresh.fill(Qt::white);
    canvas_ = std::move(fresh);
  }
  return canvas_;
}

void TImage::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton &&
                     rect().contains(event->position().toPoint());
  pressed_ = false;
  if (click) emit clicked();
}

void TImage::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  if (!canvas_.isNull()) painter.drawImage(QPoint(0, 0), canvas_);
  // Both marks keep to the outer two pixels, where the drawing has only its
  // outline: a tint and a line for the chosen picture, dots for the focus.
  painter.setBrush(Qt::NoBrush);
  if (chosen_) {
    QColor tint = palette().color(QPalette::Highlight);
    tint.setAlpha(60);
    painter.fillRect(rect(), tint);
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  if (hasFocus()) {
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
  }
}

void DrawFormValue(TImage& picture, int fieldNumber, double value, int pixelsPerInch,
                   const FormatSettings& format) {
  DrawFormValue(picture.Canvas(), fieldNumber, value, pixelsPerInch, format);
  picture.Changed();
}

void DrawFormBoxes(TImage& picture, int fieldNumber, int pixelsPerInch) {
  DrawFormBoxes(picture.Canvas(), fieldNumber, pixelsPerInch);
  picture.Changed();
}

namespace {

// Arial of at most pixels, as large as lets text fit width.
QFont FittingFont(const QString& text, int pixels, int width, bool bold) {
  QFont font = PixelFont(QStringLiteral("Arial"), pixels);
  font.setBold(bold);
  while (font.pixelSize() > 4 && QFontMetrics(font).horizontalAdvance(text) > width) {
    font.setPixelSize(font.pixelSize() - 1);
  }
  return font;
}

}  // namespace

void DrawFurtherFigure(TImage& picture, std::string_view tag, double value, int pixelsPerInch,
                       const FormatSettings& format) {
  QImage& canvas = picture.Canvas();
  const TDesignScale S(pixelsPerInch);
  const int width = canvas.width();
  const int boxTop = S(13);
  QPainter painter(&canvas);
  painter.fillRect(canvas.rect(), kPanelGrey);
  const QString tagText = DecodeText(tag);
  painter.setFont(FittingFont(tagText, S(10), width - 2, true));
  painter.setPen(Qt::black);
  painter.drawText(QRect(1, 0, width - 2, boxTop), Qt::AlignLeft | Qt::AlignVCenter, tagText);
  OutlinedBox(painter, 0, boxTop, width, canvas.height());
  const QString valueText = DecodeText(FormatMoney(value, format));
  painter.setFont(FittingFont(valueText, S(11), width - 6, false));
  painter.setPen(kValueBlue);
  painter.drawText(QRect(3, boxTop, width - 6, canvas.height() - boxTop),
                   Qt::AlignRight | Qt::AlignVCenter, valueText);
  picture.Changed();
}

}  // namespace vorlex
