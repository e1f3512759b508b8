// "-> .CSV": the save dialog and the file of the last complete run, as the
// list shows it, as a table for a spreadsheet, or as the EC sales list.
#pragma once

#include <QString>
#include <functional>

#include "tax/TaxPeriod.h"
#include "tax/TaxTotals.h"
#include "tax/TaxationBasis.h"

class QStatusBar;
class QWidget;

namespace vorlex {

class TRunController;
class TSummaryListModel;
struct TSaveDialog;

// The file name the save dialog proposes for period and basis: "Vorlex
// 2026-12 Ist.csv".
QString ProposedExportName(const TTaxPeriod& period, TaxationBasis basis);

class TExportSave {
 public:
  TExportSave(TSaveDialog& dialog, const TRunController& runs, const TSummaryListModel& list,
              const TaxTotals& totals, QStatusBar& status);

  // Asks where, proposing proposedName(), writes the file of the type chosen
  // and says so in the status bar; nothing without a complete run.
  void Save(QWidget* parent, const std::function<QString()>& proposedName);

 private:
  TSaveDialog& dialog_;
  const TRunController& runs_;
  const TSummaryListModel& list_;
  const TaxTotals& totals_;
  QStatusBar& status_;
};

}  // namespace vorlex
