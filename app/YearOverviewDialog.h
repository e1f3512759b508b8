// "Jahresübersicht": the year at a glance in a window of its own beside the
// main window, not modal: the overview's table of months, quarters and the
// year, and beneath it a bar chart of each month's turnover and field 83.
#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <array>

#include "tax/TaxationBasis.h"
#include "ui/text/YearOverviewText.h"

class QLabel;
class QPainter;
class QTableWidget;

namespace vorlex {

class TDBase;

inline const QColor kTurnoverBarColor{70, 130, 180};
inline const QColor kDueBarColor{230, 140, 40};

// The chart of twelve months into area: a bar for the turnover (fields 81 +
// 86 + 41 + 44) and one for field 83 per month, below the zero line for a
// refund; the money axis in the format settings' decimal separator, the
// German month names beneath, and a legend.
void DrawOverviewChart(QPainter& painter, const QRect& area,
                       const std::array<ChartFigures, 12>& months);

class TOverviewChart : public QWidget {
  Q_OBJECT
 public:
  explicit TOverviewChart(QWidget* parent);
  void SetMonths(const std::array<ChartFigures, 12>& months);
  const std::array<ChartFigures, 12>& Months() const { return months_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::array<ChartFigures, 12> months_{};
};

class TYearOverviewDialog : public QWidget {
  Q_OBJECT
 public:
  explicit TYearOverviewDialog(QWidget* owner);

  void SetOverview(const YearOverview& overview);
  // The year and basis shown; year 0 before the first overview.
  int Year() const { return year_; }
  TaxationBasis Basis() const { return basis_; }

  QLabel* lblCaption;
  QTableWidget* gridOverview;
  TOverviewChart* chart;

 private:
  int year_ = 0;
  TaxationBasis basis_ = TaxationBasis::Ist;
};

// Computes the overview of year and basis and shows it in dialog, made beside
// owner on first use and raised when already open. An error of the run
// propagates and leaves the dialog as it was.
void ShowYearOverview(QPointer<TYearOverviewDialog>& dialog, QWidget* owner, TDBase& db, int year,
                      TaxationBasis basis);

// The open overview follows the main window: when it shows another year or
// basis, it is computed anew for year and basis, without being raised.
// Nothing happens while it is closed.
void FollowYearOverview(const QPointer<TYearOverviewDialog>& dialog, TDBase& db, int year,
                        TaxationBasis basis);

}  // namespace vorlex
