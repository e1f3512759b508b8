// "Jahresübersicht": the year at a glance in a window of its own beside the
// main window, not modal: the overview's table of months, quarters and the
// year, and beneath it the chart of each month's turnover and field 83.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "output/YearOverviewText.h"
#include "tax/Classification.h"
#include "tax/FilingCalendar.h"
#include "tax/SpecialPrepayment.h"
#include "tax/TaxationBasis.h"

class QLabel;
class QTableWidget;

namespace vorlex {

class TDBase;
class TOverviewChart;

// What the filing calendar adds to a year's overview: each return's due date,
// marked once it has passed, and the special prepayment the year after owes.
struct OverviewFiling {
  FilingSettings settings;                     // of the year
  std::optional<SpecialPrepaymentOfYear> next;  // of the year after
  double today = 0;                            // day number; 0: nothing is marked
  // Per row, whether and when it was filed and whether it has changed since
  // (Windows-1252); empty: no ledger, and no column for it.
  std::vector<std::string> filed;
};

class TYearOverviewDialog : public QWidget {
  Q_OBJECT
 public:
  // format: how the figures are written.
  TYearOverviewDialog(const FormatSettings& format, QWidget* owner);

  // The overview's rows hold field 39 where the year deducts it.
  void SetOverview(const YearOverview& overview, const OverviewFiling& filing = {});
  // The year and basis shown; year 0 before the first overview.
  int Year() const { return year_; }
  TaxationBasis Basis() const { return basis_; }

 private:
  QLabel* lblCaption_;
  QTableWidget* gridOverview_;
  QLabel* lblSvz_;
  TOverviewChart* chart_;
  const FormatSettings format_;
  int year_ = 0;
  TaxationBasis basis_ = TaxationBasis::Ist;
};

// The overview window of owner: made beside it on first use and again after
// it was closed, raised while open.
class TYearOverviewWindow {
 public:
  TYearOverviewWindow(QWidget& owner, const FormatSettings& format)
      : owner_(owner), format_(format) {}

  // The filing calendar of a year's overview, asked on the database after the
  // year's run: field 39 of its December return and the rest of OverviewFiling.
  using FilingSource = std::function<OverviewFiling(TDBase&, const YearOverview&, int64_t& field39)>;
  void SetFiling(FilingSource filing) { filing_ = std::move(filing); }
  // The open overview computed anew, as the filing settings have changed.
  void Refresh(TDBase& db);

  // Computes the overview of year and basis under the classification choice
  // and shows it. An error of the run propagates and leaves the window as it was.
  void Show(TDBase& db, int year, TaxationBasis basis, ClassificationChoice choice = {});
  // The open overview follows the main window: when it shows another year,
  // basis or classification, it is computed anew for them, without being
  // raised. Nothing happens while it is closed.
  void Follow(TDBase& db, int year, TaxationBasis basis, ClassificationChoice choice = {});
  // The window while it exists.
  TYearOverviewDialog* Dialog() const { return dialog_; }

 private:
  struct Computed {
    YearOverview overview;
    OverviewFiling filing;
  };
  Computed Compute(TDBase& db, int year, TaxationBasis basis, ClassificationChoice choice) const;

  QWidget& owner_;
  const FormatSettings format_;
  ClassificationChoice choice_;  // of the overview shown
  QPointer<TYearOverviewDialog> dialog_;
  FilingSource filing_;
};

}  // namespace vorlex
