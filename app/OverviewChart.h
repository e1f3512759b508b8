// The year overview's bar chart of twelve months: a bar for the turnover
// (fields 81 + 86 + 41 + 44) and one for field 83 per month, below the zero
// line for a refund; the money axis in the format settings' decimal
// separator, the German month names beneath, and a legend.
#pragma once

#include <QColor>
#include <QWidget>
#include <array>

#include "output/YearOverviewText.h"

class QPainter;

namespace vorlex {

inline const QColor kTurnoverBarColor{70, 130, 180};
inline const QColor kDueBarColor{230, 140, 40};

// The chart of months into area, the money axis in format; furtherTurnover:
// the months' turnover holds the further fields of the exact classification,
// and the legend says so.
void DrawOverviewChart(QPainter& painter, const QRect& area,
                       const std::array<ChartFigures, 12>& months, const FormatSettings& format,
                       bool furtherTurnover = false);

class TOverviewChart : public QWidget {
  Q_OBJECT
 public:
  TOverviewChart(const FormatSettings& format, QWidget* parent);
  void SetMonths(const std::array<ChartFigures, 12>& months, bool furtherTurnover = false);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::array<ChartFigures, 12> months_{};
  bool furtherTurnover_ = false;
  const FormatSettings format_;
};

}  // namespace vorlex
