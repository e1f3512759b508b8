#include "app/FilingLedger.h"

#include <QWidget>
#include <exception>

#include "app/Application.h"
#include "app/FilingLedgerDialogs.h"
#include "app/version_U.h"
#include "ledger/FiledPeriods.h"
#include "ledger/Ledger.h"
#include "location/PelmoraLocation.h"
#include "tax/EvaluationRun.h"
#include "tax/YearOverview.h"
#include "ui/SaveDialog.h"
#include "ui/qtcore/QtText.h"
#include "ui/qtgui/FilingRecordPdf.h"
#include "util/DateText.h"
#include "util/ProgramText.h"
#include "util/uDatum.h"
#include "util/uString.h"

namespace vorlex {

namespace {

// The window's ledger, refused where it would lie in Pelmora's folders.
TLedger OpenLedger(const std::string& pelmoraPath, LedgerAccess access) {
  const std::string path = DefaultLedgerPath();
  if (InPelmorasFolders(path, pelmoraPath, PelmoraAppDataDir())) {
    throw ELedgerError(Windows1252ToUtf8("Die Ablage der Abgaben gehört nicht in Pelmoras "
                                         "Ordner: "_cp1252) +
                           StoredTextAsUtf8(path) + ".",
                       LedgerFailure::Misplaced);
  }
  return TLedger(path, access);
}

double DayOf(const QDate& date) {
  return EncodeDate(date.year(), date.month(), date.day());
}

QString Caption(const Filing& filing, const FormatSettings& format) {
  return DecodeText(PeriodCaption(filing.firstDay, filing.lastDay, filing.basis, format));
}

}  // namespace

TFilingLedger::TFilingLedger(QWidget& window, const ProgramContext& program)
    : QObject(&window), window_(window), program_(program) {}

Filing TFilingLedger::Trader() const {
  Filing trader;
  trader.pelmoraPath = PelmoraPath();
  trader.vatId = vatId_;
  return trader;
}

void TFilingLedger::SetVatId(std::string vatId) {
  vatId_ = std::move(vatId);
  // Start-up's run ends before the VAT id is read.
  if (run_) run_->vatId = vatId_;
}

void TFilingLedger::Compare(std::optional<Filing> run) {
  run_ = std::move(run);
  latest_.reset();
  changes_.reset();
  error_.clear();
  if (run_) {
    run_->pelmoraPath = PelmoraPath();
    run_->vatId = vatId_;
    try {
      TLedger ledger = OpenLedger(PelmoraPath(), LedgerAccess::Read);
      // The trader's filings, by VAT id (by the database's path without one).
      latest_ = ledger.LatestFiling(*run_);
      if (latest_ && program_.Database) {
        changes_ = CompareUnderFiledRules(*program_.Database, *latest_, *run_, program_.format);
      } else if (latest_) {
        changes_ = CompareWithFiling(*latest_, *run_, program_.format);
      }
    } catch (const ELedgerError& e) {
      // The figures stand; the ledger's trouble is said beside them.
      error_ = DecodeText(e.what());
    }
  }
  Show();
  // An open list of changes follows the complete runs, and closes for a
  // period not filed.
  if (dialog_ && changes_) {
    dialog_->SetChanges(Caption(*run_, program_.format), *changes_);
  } else if (dialog_ && run_) {
    dialog_->close();
  }
}

void TFilingLedger::Show() {
  if (!error_.isEmpty()) {
    emit StatusChanged(error_, true);
  } else if (changes_) {
    emit StatusChanged(DecodeText(FilingStatusLine(*changes_, program_.format)),
                       changes_->Changed());
  } else {
    emit StatusChanged({}, false);
  }
}

void TFilingLedger::Mark(const QDate& today) {
  if (!CanMark()) return;
  TMarkFiledDialog dialog(Caption(*run_, program_.format), latest_.has_value(), today,
                          program_.format, &window_);
  if (dialog.exec() != QDialog::Accepted) return;
  const FilingDetails details = dialog.Details();
  Filing filing = *run_;
  filing.filedOn = DayOf(details.filedOn);
  filing.ticket = details.ticket;
  filing.note = details.note;
  filing.programVersion = ProgramVersion();
  try {
    TLedger ledger = OpenLedger(PelmoraPath(), LedgerAccess::Write);
    filing.id = ledger.Record(filing, program_.format);
    filing.corrects = latest_ ? latest_->id : 0;
  } catch (const ELedgerError& e) {
    // Nothing was filed: a busy, damaged or foreign ledger stays as it was.
    MessageBoxSeam()(&window_, MessageKind::Error, DecodeText(e.what()), {});
    return;
  }
  Compare(std::move(run_));
  if (details.saveRecord) SaveRecord(filing);
}

void TFilingLedger::ShowChanges(const QDate& today) {
  if (!run_ || !latest_ || !changes_) return;
  if (!dialog_) {
    dialog_ = new TFilingChangesDialog(program_.format, &window_);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    ConnectShowingErrors(dialog_.data(), &TFilingChangesDialog::MarkRequested, this,
                         [this, today] { Mark(today); });
    ConnectShowingErrors(dialog_.data(), &TFilingChangesDialog::RecordRequested, this, [this] {
      if (latest_) SaveRecord(*latest_);
    });
  }
  dialog_->SetChanges(Caption(*run_, program_.format), *changes_);
  dialog_->show();
  dialog_->raise();
  dialog_->activateWindow();
}

void TFilingLedger::SaveRecord(const Filing& filing) {
  TSaveDialog save;
  save.FileName = DecodeText(RecordFileName(filing));
  save.Filter = QStringLiteral("PDF-Dokument (*.pdf)|*.pdf");
  save.DefaultExt = QStringLiteral("pdf");
  save.OverwritePrompt = true;
  if (!save.Execute(&window_)) return;
  SaveExportFile(save.FileName, FilingRecordPdf(filing, program_.format).toStdString());
}

QString TFilingLedger::CheckFiledPeriods(TDBase& db, int year) const {
  const Filing trader = Trader();
  std::vector<Filing> filings;
  try {
    filings = OpenLedger(PelmoraPath(), LedgerAccess::Read).LatestFilings(&trader);
  } catch (const ELedgerError& e) {
    return DecodeText(e.what());
  }
  size_t filed = 0;
  size_t changed = 0;
  for (const Filing& filing : filings) {
    const int filedYear = DecodeDate(filing.firstDay).year;
    if (filedYear != year && filedYear != year - 1) continue;
    ++filed;
    if (CompareWithFiling(filing, FiledPeriodNow(db, filing), program_.format).Changed()) ++changed;
  }
  if (filed == 0) return {};
  return DecodeText("Abgaben " + std::to_string(year - 1) + " und " + std::to_string(year) + ": " +
                    ChangedPeriodsLine(changed, filed));
}

std::vector<std::string> TFilingLedger::OverviewMarks(TDBase& db, const YearOverview& overview,
                                                      const FilingSettings& settings) const {
  const Filing trader = Trader();
  std::vector<Filing> filings;
  try {
    filings = OpenLedger(PelmoraPath(), LedgerAccess::Read).LatestFilings(&trader);
  } catch (const ELedgerError&) {
    // The status bar says what is wrong with the ledger.
    return {};
  }
  if (filings.empty()) return {};
  std::vector<std::string> marks;
  for (const OverviewRow& row : overview.rows) {
    if (row.span == OverviewSpan::Year) {
      marks.emplace_back();
      continue;
    }
    const Filing* filed = nullptr;
    for (const Filing& filing : filings) {
      if (filing.firstDay == row.period.FirstDay && filing.lastDay == row.period.LastDay &&
          filing.basis == overview.basis) {
        filed = &filing;
      }
    }
    if (filed == nullptr) {
      // A period of the other rhythm is no return of the trader's.
      const bool due = ReturnOf(settings, row.period).kind != ReturnKind::None;
      marks.emplace_back(due ? "nicht abgegeben" : "");
    } else if (CompareWithFiling(*filed, FiledPeriodNow(db, *filed), program_.format).Changed()) {
      marks.push_back("seit der Abgabe am " + FormatDate(filed->filedOn, program_.format) +
                      " geändert"_cp1252);
    } else {
      marks.push_back("abgegeben am " + FormatDate(filed->filedOn, program_.format));
    }
  }
  return marks;
}

}  // namespace vorlex
