#include "app/ExportSave.h"

#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <string>

#include "app/Application.h"
#include "app/RunController.h"
#include "app/WindowSettings.h"
#include "output/EcSalesExport.h"
#include "output/ExportFile.h"
#include "output/TableExport.h"
#include "ui/SaveDialog.h"
#include "ui/SummaryListView.h"
#include "ui/qtcore/QtText.h"

namespace vorlex {

namespace {

// The dialog's entries, from 1.
constexpr int kTableEntry = 2;
constexpr int kEcSalesEntry = 3;

}  // namespace

QStringList ProposedExportNames(const TTaxPeriod& period, TaxationBasis basis) {
  QStringList names;
  for (const ExportType type : {ExportType::List, ExportType::Table, ExportType::EcSales}) {
    const std::string stem = ExportFileStem(period, basis, type);
    names << (stem.empty() ? QString::fromLatin1(kCsvProposedName)
                           : QString::fromStdString(stem) + QStringLiteral(".csv"));
  }
  return names;
}

TExportSave::TExportSave(TSaveDialog& dialog, TRunController& runs, const TSummaryListModel& list,
                         const TaxTotals& totals, QStatusBar& status, const FormatSettings& format)
    : dialog_(dialog),
      runs_(runs),
      list_(list),
      totals_(totals),
      format_(format),
      status_(status) {}

std::string TExportSave::Bytes(int filterIndex) {
  const auto [firstDay, lastDay] = runs_.LastRunDays();
  switch (filterIndex) {
    case kTableEntry:
      return TableBytes(list_.Entries(), totals_);
    case kEcSalesEntry: {
      std::string bytes;
      runs_.WithDatabase([&](TDBase& db) {
        bytes = EcSalesBytesOfRun(db, runs_.LastRunBasis(), list_.Entries(), totals_, firstDay,
                                  lastDay, format_, runs_.LastRunChoice());
      });
      return bytes;
    }
    default:
      return CsvBytes(list_.Rows());
  }
}

void TExportSave::Save(QWidget* parent, const std::function<QStringList()>& proposedNames) {
  if (!runs_.LastRunComplete()) {
    ShowMessage("Nichts zu speichern: Es liegt keine vollständige Auswertung vor.");
    return;
  }
  dialog_.TypeFileNames = proposedNames();
  dialog_.FileName = dialog_.TypeFileNames.value(0);
  dialog_.InitialDir = SaveFolder();
  dialog_.Filter = QString::fromLatin1(kCsvFilter) + u'|' + DecodeText(kTableFilter) + u'|' +
                   DecodeText(kEcSalesFilter);
  dialog_.FilterIndex = 1;
  // The question before a file is replaced comes once the file is made, so
  // that a type refused for this run is refused before it.
  dialog_.OverwritePrompt = false;
  dialog_.HideReadOnly = true;
  dialog_.DefaultExt.clear();
  std::string bytes;
  for (;;) {
    if (!dialog_.Execute(parent)) return;
    bytes = Bytes(dialog_.FilterIndex);
    const QFileInfo target(dialog_.FileName);
    if (!target.exists() || target.isDir()) break;
    if (AskYesNo(DecodeText("Die Datei \"") + target.fileName() +
                 DecodeText("\" existiert bereits.\nSoll sie überschrieben werden?"))) {
      break;
    }
    // No: back to the dialog, with the name and the type chosen.
    dialog_.InitialDir = target.absolutePath();
  }
  SaveExportFile(dialog_.FileName, bytes);
  RememberSaveFolder(QFileInfo(dialog_.FileName).absolutePath());
  QString shown = QStringLiteral("Gespeichert: ") + QDir::toNativeSeparators(dialog_.FileName);
  if (dialog_.FilterIndex == kEcSalesEntry) {
    const std::string note = EcSalesBasisNote(runs_.LastRunBasis(), runs_.LastRunChoice());
    if (!note.empty()) shown = QString::fromStdString(note) + u' ' + shown;
  }
  status_.showMessage(shown);
}

}  // namespace vorlex
