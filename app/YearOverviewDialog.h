// "Jahresübersicht": the year at a glance in a window of its own beside the
// main window, not modal: the overview's table of months, quarters and the
// year, and beneath it the chart of each month's turnover and field 83.
#pragma once

#include <QPointer>
#include <QWidget>

#include "tax/TaxationBasis.h"
#include "ui/text/YearOverviewText.h"

class QLabel;
class QTableWidget;

namespace vorlex {

class TDBase;
class TOverviewChart;

class TYearOverviewDialog : public QWidget {
  Q_OBJECT
 public:
  explicit TYearOverviewDialog(QWidget* owner);

  void SetOverview(const YearOverview& overview);
  // The year and basis shown; year 0 before the first overview.
  int Year() const { return year_; }
  TaxationBasis Basis() const { return basis_; }

 private:
  QLabel* lblCaption_;
  QTableWidget* gridOverview_;
  TOverviewChart* chart_;
  int year_ = 0;
  TaxationBasis basis_ = TaxationBasis::Ist;
};

// The overview window of owner: made beside it on first use and again after
// it was closed, raised while open.
class TYearOverviewWindow {
 public:
  explicit TYearOverviewWindow(QWidget& owner) : owner_(owner) {}

  // Computes the overview of year and basis and shows it. An error of the run
  // propagates and leaves the window as it was.
  void Show(TDBase& db, int year, TaxationBasis basis);
  // The open overview follows the main window: when it shows another year or
  // basis, it is computed anew for year and basis, without being raised.
  // Nothing happens while it is closed.
  void Follow(TDBase& db, int year, TaxationBasis basis);
  // The window while it exists.
  TYearOverviewDialog* Dialog() const { return dialog_; }

 private:
  QWidget& owner_;
  QPointer<TYearOverviewDialog> dialog_;
};

}  // namespace vorlex
