#include "app/ExportSave.h"

#include <QDir>
#include <QStatusBar>
#include <string>

#include "app/RunController.h"
#include "app/uApplication.h"
#include "ui/CsvSave.h"
#include "ui/SummaryListView.h"
#include "ui/qtcore/uQtText.h"
#include "ui/text/CsvExport.h"
#include "ui/text/EcSalesExport.h"
#include "ui/text/TableExport.h"

namespace vorlex {

QString ProposedExportName(const TTaxPeriod& period, TaxationBasis basis) {
  const std::string stem = ExportFileStem(period, basis);
  return stem.empty() ? QString::fromLatin1(kCsvProposedName)
                      : QString::fromStdString(stem) + QStringLiteral(".csv");
}

TExportSave::TExportSave(TSaveDialog& dialog, const TRunController& runs,
                         const TSummaryListModel& list, const TaxTotals& totals, QStatusBar& status)
    : dialog_(dialog), runs_(runs), list_(list), totals_(totals), status_(status) {}

void TExportSave::Save(QWidget* parent, const std::function<QString()>& proposedName) {
  if (!runs_.LastRunComplete()) {
    ShowMessage("Nichts zu speichern: Es liegt keine vollst\xE4ndige Auswertung vor.");
    return;
  }
  dialog_.FileName = proposedName();
  dialog_.Filter = QString::fromLatin1(kCsvFilter) + u'|' + DecodeText(kTableFilter) + u'|' +
                   DecodeText(kEcSalesFilter);
  dialog_.FilterIndex = 1;
  dialog_.OverwritePrompt = true;
  dialog_.HideReadOnly = true;
  dialog_.DefaultExt.clear();
  if (!dialog_.Execute(parent)) return;
  // The list as shown, the table, or the EC sales list.
  switch (dialog_.FilterIndex) {
    case 2:
      SaveExportFile(dialog_.FileName, TableBytes(list_.Entries(), totals_));
      break;
    case 3:
      SaveExportFile(
          dialog_.FileName,
          EcSalesBytes(list_.Entries(), totals_, runs_.LastRunDays()[0], runs_.LastRunDays()[1]));
      break;
    default:
      SaveCsvFile(dialog_.FileName, list_.Rows());
  }
  status_.showMessage(QStringLiteral("Gespeichert: ") + QDir::toNativeSeparators(dialog_.FileName));
}

}  // namespace vorlex
