// "-> .CSV": the save dialog and the file of the last complete run, as the
// list shows it, as a table for a spreadsheet, or as the EC sales list.
#pragma once

#include <QStringList>
#include <functional>
#include <string>

#include "tax/TaxPeriod.h"
#include "tax/TaxTotals.h"
#include "tax/TaxationBasis.h"
#include "util/FormatSettings.h"

class QStatusBar;
class QWidget;

namespace vorlex {

class TRunController;
class TSummaryListModel;
struct TSaveDialog;

// The file names the save dialog proposes for period and basis, one per file
// type in the dialog's order: "Vorlex 2026-Q1 Soll.csv", "Vorlex 2026-Q1 Soll
// Tabelle.csv", "Vorlex 2026-Q1 ZM.csv".
QStringList ProposedExportNames(const TTaxPeriod& period, TaxationBasis basis);

class TExportSave {
 public:
  // format: how a refusal names the days.
  TExportSave(TSaveDialog& dialog, TRunController& runs, const TSummaryListModel& list,
              const TaxTotals& totals, QStatusBar& status, const FormatSettings& format);

  // Asks where, proposing proposedNames(), in the folder last saved to; makes
  // the file of the type chosen (a type refused for the run is refused here,
  // before any question), asks before it replaces a file (No returns to the
  // dialog), writes it and says so in the status bar. Nothing without a
  // complete run.
  void Save(QWidget* parent, const std::function<QStringList()>& proposedNames);

 private:
  std::string Bytes(int filterIndex);

  TSaveDialog& dialog_;
  TRunController& runs_;
  const TSummaryListModel& list_;
  const TaxTotals& totals_;
  const FormatSettings format_;
  QStatusBar& status_;
};

}  // namespace vorlex
