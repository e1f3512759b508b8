// The window's side of filing: the due dates of a run, field 39, the year's
// filing settings, the figures for the portal and the marking of a run as
// filed in the ledger.
#include <array>
#include <map>

#include "app/Application.h"
#include "app/FilingDialogs.h"
#include "app/FilingLedger.h"
#include "app/PeriodChoice.h"
#include "app/RunController.h"
#include "app/RunStatus.h"
#include "app/Unit1.h"
#include "app/WindowSettings.h"
#include "output/FilingText.h"
#include "tax/EvaluationRun.h"
#include "tax/FilingCalendar.h"
#include "tax/SpecialPrepayment.h"
#include "ui/qtcore/QtText.h"
#include "util/ProgramText.h"
#include "util/uDatum.h"

namespace vorlex {

void TForm1::ShowDueDates(double firstDay, double lastDay) {
  const std::optional<TTaxPeriod> period = PeriodOf(firstDay, lastDay);
  if (!period || period->PeriodKind == TPeriodKind::VonBis ||
      period->PeriodKind == TPeriodKind::Jahr) {
    status_->ShowDueDates({});
    return;
  }
  const FilingSettings settings = FilingSettingsOfYear(period->Year);
  RunDueDates due = DueDatesOf(*period, settings.extensionGranted, program_.totals);
  // A period of the other rhythm is no return of the trader's.
  if (ReturnOf(settings, *period).kind == ReturnKind::None) due.preReturn.reset();
  status_->ShowDueDates(DueDateLines(due, " "));
}

void TForm1::ConnectFiling() {
  // Field 39 of the December return: the year's special prepayment, assessed
  // or computed from a run over the year before.
  runs_->SetField39Source([this](TDBase& db, double firstDay, double lastDay, TaxationBasis basis) {
    const std::optional<TTaxPeriod> period = PeriodOf(firstDay, lastDay);
    if (!period || period->PeriodKind != TPeriodKind::Monat) return int64_t{0};
    const std::map<int, FilingSettings> stored = StoredFilingSettings();
    // The year before classified as this run is.
    return Field39Of(db, *period, basis, SettingsOfYear(stored, period->Year),
                     SettingsOfYearBefore(stored, period->Year), runs_->LastRunChoice());
  });
  overview_.SetFiling([this](TDBase& db, const YearOverview& overview, int64_t& field39) {
    const std::map<int, FilingSettings> stored = StoredFilingSettings();
    OverviewFiling filing;
    filing.settings = SettingsOfYear(stored, overview.year);
    field39 = Field39Of(db, MonthPeriod(overview.year, 12), overview.basis, filing.settings,
                        SettingsOfYearBefore(stored, overview.year), runs_->Choice());
    // The calendar ends with 9999.
    if (overview.year < 9999) {
      filing.next =
          SpecialPrepaymentFor(overview.year + 1, SettingsOfYear(stored, overview.year + 1),
                               FiledReturnsOf(overview, filing.settings));
    }
    filing.today = EncodeDate(today_.year(), today_.month(), today_.day());
    filing.filed = ledger_->OverviewMarks(db, overview, filing.settings);
    return filing;
  });
}

void TForm1::btnAbgabeClick() {
  const int year = period_->Year();
  TFilingSettingsDialog dialog(year, FilingSettingsOfYear(year), program_.format, this);
  if (dialog.exec() != QDialog::Accepted) return;
  SaveFilingSettings(year, dialog.Settings());
  // The figures and due dates shown follow the settings saved.
  if (runs_->Running()) return;
  period_->ReportChoice();
  if (program_.Database) overview_.Refresh(*program_.Database);
}

void TForm1::btnElsterClick() {
  if (!elster_) {
    elster_ = new TPortalFiguresDialog(this);
    elster_->setAttribute(Qt::WA_DeleteOnClose);
    ConnectShowingErrors(elster_.data(), &TPortalFiguresDialog::MarkRequested, this,
                         &TForm1::MarkFiled);
  }
  if (runs_->LastRunComplete()) {
    const std::array<double, 2>& days = runs_->LastRunDays();
    elster_->SetFigures(
        DecodeText(PeriodCaption(days[0], days[1], runs_->LastRunBasis(), program_.format)),
        PortalFiguresOfRun(), ledger_->CanMark());
  } else {
    elster_->SetFigures(DecodeText("Noch keine vollständige Auswertung."_cp1252), {});
  }
  elster_->show();
  elster_->raise();
  elster_->activateWindow();
}

void TForm1::ConnectLedger() {
  connect(runs_, &TRunController::Cleared, ledger_, [this] { ledger_->Compare(std::nullopt); });
  connect(runs_, &TRunController::Failed, ledger_, [this] { ledger_->Compare(std::nullopt); });
  connect(runs_, &TRunController::VatIdRead, ledger_,
          [this](const QString& vatId) { ledger_->SetVatId(vatId.toStdString()); });
  connect(ledger_, &TFilingLedger::StatusChanged, status_, &TRunStatus::ShowFiling);
  ConnectShowingErrors(status_, &TRunStatus::FilingChosen, this,
                       [this] { ledger_->ShowChanges(today_); });
}

void TForm1::MarkFiled() {
  if (runs_->Running() || !ledger_->CanMark()) return;
  ledger_->Mark(today_);
  // What shows the run follows the filing: the corrected return's field 10
  // is gone, the overview marks the period.
  if (elster_ && runs_->LastRunComplete()) {
    const std::array<double, 2>& days = runs_->LastRunDays();
    elster_->SetFigures(
        DecodeText(PeriodCaption(days[0], days[1], runs_->LastRunBasis(), program_.format)),
        PortalFiguresOfRun(), ledger_->CanMark());
  }
  if (program_.Database) overview_.Refresh(*program_.Database);
}

std::vector<PortalFigure> TForm1::PortalFiguresOfRun() const {
  std::vector<PortalFigure> figures = PortalFigures(program_.totals);
  // A filed period whose figures changed is filed again as the corrected
  // return: field 10 ("Berichtigte Anmeldung") is 1.
  if (ledger_->FiguresChanged() && !figures.empty()) {
    figures.insert(figures.begin(), PortalFigure{10, false, 100, true});
  }
  return figures;
}

}  // namespace vorlex
