// The window's part of the ledger of filed returns: each complete run of a
// month or quarter compared with its latest filing, "Als abgegeben
// vermerken", the changes since filing, the PDF record, the check of the
// filed periods at start and the marks of the year overview. Without a ledger
// file it shows nothing; only marking a filing makes one.
#pragma once

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "app/ProgramContext.h"
#include "ledger/Filing.h"
#include "tax/FilingCalendar.h"

class QWidget;

namespace vorlex {

class TDBase;
class TFilingChangesDialog;
struct YearOverview;

class TFilingLedger : public QObject {
  Q_OBJECT
 public:
  // Dialogs and boxes open over window; the filings name the database the
  // program has open.
  TFilingLedger(QWidget& window, const ProgramContext& program);

  // The complete run just shown, as a filing would keep it; none for a run of
  // another period or a failed one. The identity of Pelmora's database is
  // added here.
  void Compare(std::optional<Filing> run);
  // The trader's VAT id, read once the database is open.
  void SetVatId(std::string vatId);
  // The run can be marked as filed: it is not filed as it stands. A run under
  // other rules than the latest filing's may be filed as its correction even
  // when the data has not changed: its figures are those of the other rules.
  bool CanMark() const {
    return run_ && (!changes_ || changes_->Changed() ||
                    (latest_ && !SameClassification(*latest_, *run_)));
  }
  // The run's figures differ from its period's latest filing: the next filing
  // is the corrected return.
  bool FiguresChanged() const { return changes_ && !changes_->figures.empty(); }

  // The dialog, the filing and, where asked for, the record's save.
  void Mark(const QDate& today);
  // The changes of the run's period since its latest filing, in their window.
  void ShowChanges(const QDate& today);
  // The record of a filing, through the save dialog.
  void SaveRecord(const Filing& filing);

  // How many filed periods of year and the year before have changed since
  // their filing; empty where none is filed.
  QString CheckFiledPeriods(TDBase& db, int year) const;
  // For each row of the overview (months, quarters, the year): "abgegeben am
  // 10.04.2026", "seit der Abgabe am 10.04.2026 geändert", "nicht abgegeben"
  // for a return of the year's rhythm, else empty (Windows-1252). None
  // without a ledger file.
  std::vector<std::string> OverviewMarks(TDBase& db, const YearOverview& overview,
                                         const FilingSettings& settings) const;

 signals:
  // The status line of the run's filing; empty: the run's period is not filed.
  void StatusChanged(const QString& text, bool changed);

 private:
  void Show();
  std::string PelmoraPath() const { return program_.DbFolder + program_.DbName; }
  // The trader whose filings are this database's: its VAT id and path.
  Filing Trader() const;

  QWidget& window_;
  const ProgramContext& program_;
  std::string vatId_;
  std::optional<Filing> run_;
  std::optional<Filing> latest_;
  std::optional<FilingChanges> changes_;
  QString error_;  // the ledger's sentence when it could not be read
  QPointer<TFilingChangesDialog> dialog_;
};

}  // namespace vorlex
