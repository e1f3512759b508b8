#include "app/OverviewChart.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "app/MonthNames.h"
#include "ui/qtcore/QtText.h"
#include "util/MoneyText.h"

namespace vorlex {

namespace {

// A step of 1, 2 or 5 times a power of ten, in whole euros at least, that
// divides the range into about five parts.
int64_t AxisStep(int64_t range) {
  const double raw = std::max(static_cast<double>(range) / 5.0, 100.0);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double factor : {1.0, 2.0, 5.0}) {
    if (factor * power >= raw) return static_cast<int64_t>(factor * power);
  }
  return static_cast<int64_t>(10 * power);
}

int64_t FloorTo(int64_t value, int64_t step) {
  const int64_t q = value / step;
  return (value % step != 0 && value < 0 ? q - 1 : q) * step;
}

int64_t CeilTo(int64_t value, int64_t step) {
  const int64_t q = value / step;
  return (value % step != 0 && value > 0 ? q + 1 : q) * step;
}

}  // namespace

void DrawOverviewChart(QPainter& painter, const QRect& area,
                       const std::array<ChartFigures, 12>& months, const FormatSettings& format,
                       bool furtherTurnover) {
  painter.save();
  painter.fillRect(area, Qt::white);
  const QFontMetrics fm = painter.fontMetrics();

  int64_t low = 0;
  int64_t high = 0;
  for (const ChartFigures& month : months) {
    for (const std::optional<int64_t>& value : {month.turnover, month.due}) {
      if (!value) continue;
      low = std::min(low, *value);
      high = std::max(high, *value);
    }
  }
  if (low == high) high = 100000;  // an empty year still gets an axis up to 1000
  const int64_t step = AxisStep(high - low);
  low = FloorTo(low, step);
  high = CeilTo(high, step);

  int labelWidth = 0;
  for (int64_t tick = low; tick <= high; tick += step) {
    labelWidth = std::max(labelWidth, fm.horizontalAdvance(DecodeText(FormatCents(tick, format))));
  }
  const int gap = fm.height() / 2;
  const QRect plot =
      area.adjusted(labelWidth + 2 * gap, 2 * fm.height() + gap, -gap, -(fm.height() + gap));
  if (plot.width() < 24 || plot.height() < 8) {
    painter.restore();
    return;
  }
  const auto y = [&](int64_t cents) {
    const double share = static_cast<double>(cents - low) / static_cast<double>(high - low);
    return plot.bottom() - static_cast<int>(std::lround(share * plot.height()));
  };

  // Axis with its grid.
  for (int64_t tick = low; tick <= high; tick += step) {
    const int at = y(tick);
    painter.setPen(tick == 0 ? QColor(Qt::black) : QColor(220, 220, 220));
    painter.drawLine(plot.left(), at, plot.right(), at);
    painter.setPen(Qt::black);
    painter.drawText(QRect(area.left(), at - fm.height() / 2, labelWidth + gap, fm.height()),
                     Qt::AlignRight | Qt::AlignVCenter, DecodeText(FormatCents(tick, format)));
  }
  painter.drawLine(plot.left(), plot.top(), plot.left(), plot.bottom());

  // Two bars per month, from the zero line.
  const double slot = plot.width() / 12.0;
  const int barWidth = std::max(2, static_cast<int>(slot * 0.35));
  const int zero = y(0);
  // Full month names where all of them fit, the list's short ones otherwise.
  bool fullNames = true;
  for (const char* name : FullMonthNames) {
    fullNames = fullNames && fm.horizontalAdvance(DecodeText(name)) <= static_cast<int>(slot) - 2;
  }
  for (size_t m = 0; m < months.size(); ++m) {
    const int left = plot.left() + static_cast<int>(std::lround(slot * static_cast<double>(m)));
    const int middle = left + static_cast<int>(slot / 2);
    const auto bar = [&](const std::optional<int64_t>& value, int x, const QColor& colour) {
      if (!value || *value == 0) return;
      const int top = y(*value);
      painter.fillRect(
          QRect(QPoint(x, std::min(top, zero)), QPoint(x + barWidth - 1, std::max(top, zero))),
          colour);
    };
    bar(months[m].turnover, middle - barWidth, kTurnoverBarColor);
    bar(months[m].due, middle, kDueBarColor);

    const QString name = DecodeText(fullNames ? FullMonthNames[m] : MonthNames[m]);
    painter.setPen(Qt::black);
    painter.drawText(QRect(left, plot.bottom() + gap / 2, static_cast<int>(slot), fm.height()),
                     Qt::AlignHCenter | Qt::AlignTop, name);
  }

  // The legend above the chart.
  int x = plot.left();
  const int box = fm.height() - 4;
  for (const auto& [colour, text] :
       {std::pair{kTurnoverBarColor,
                  furtherTurnover ? QStringLiteral("Umsatz (Kz 81 + 86 + 41 + 44 + 21 + 35 + 43 + 45 "
                                                   "+ 0 %)")
                                  : QStringLiteral("Umsatz (Kz 81 + 86 + 41 + 44)")},
        std::pair{kDueBarColor, QStringLiteral("Kz 83 (Vorauszahlung, negativ: Erstattung)")}}) {
    painter.fillRect(QRect(x, area.top() + gap + 2, box, box), colour);
    x += box + gap / 2;
    painter.setPen(Qt::black);
    painter.drawText(QPoint(x, area.top() + gap + fm.ascent()), text);
    x += fm.horizontalAdvance(text) + 2 * gap;
  }
  painter.restore();
}

TOverviewChart::TOverviewChart(const FormatSettings& format, QWidget* parent)
    : QWidget(parent), format_(format) {
  // Small enough that the table and the chart fit a screen of 1024 x 768.
  setMinimumSize(560, 180);
}

void TOverviewChart::SetMonths(const std::array<ChartFigures, 12>& months,
                               bool furtherTurnover) {
  months_ = months;
  furtherTurnover_ = furtherTurnover;
  update();
}

void TOverviewChart::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  DrawOverviewChart(painter, rect(), months_, format_, furtherTurnover_);
}

}  // namespace vorlex
