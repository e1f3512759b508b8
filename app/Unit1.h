// The main window: the period strip, caption line and summary list on the
// left, the form-value panel on the right, the status bar beneath. It builds
// the parts, places them and wires them together; the handlers below are the
// window's events, each handing its work to the part that does it: the period
// choice, the run controller, the field panel, the run's status, the
// drill-down into a field's entries, the year overview and the export.
#pragma once

#include <QDate>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>

#include "app/Controls.h"
#include "app/ProgramContext.h"
#include "app/YearOverviewDialog.h"
#include "output/FilingText.h"
#include "tax/Classification.h"
#include "tax/TaxPeriod.h"
#include "tax/TaxationBasis.h"
#include "ui/DesignMetrics.h"
#include "ui/SaveDialog.h"

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

namespace vorlex {

class TClassificationChoice;
class TExportSave;
class THelpWindow;
class TPortalFiguresDialog;
class TFieldDrillDown;
class TFieldPanel;
class TFilingLedger;
class TPeriodChoice;
class TRunController;
class TRunStatus;
class TSummaryListView;

class TForm1 : public QWidget {
  Q_OBJECT
 public:
  // pixelsPerInch 0: the screen's.
  explicit TForm1(ProgramContext& program, int pixelsPerInch = 0, QWidget* parent = nullptr);
  ~TForm1() override;

  // Start-up, with today's date from the clock or given.
  void FormCreate();
  void FormCreate(const QDate& today);
  // One run of the days with the basis chosen: start-up's first run, and what
  // the benchmark times.
  void EvaluationRun(double firstDay, double lastDay);

 public slots:
  // "Zuordnung: genau", as if the user had chosen it: the window runs again.
  void ChooseExactClassification();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormClose();
  void FormResize();
  // The evaluation request of a period and basis chosen.
  void cmbMChange(const TTaxPeriod& period, TaxationBasis basis);
  void udMonatClick(UpDownButton button);
  void udJahrClick(UpDownButton button);
  // "?": the database's path, and a button to the help.
  void btnHelpClick();
  // The help beside the window (F1).
  void ShowHelp();
  void btnCsvClick();
  // The year at a glance of the chosen year and basis, in its own window.
  void btnUebersichtClick();
  // How the trader files in the chosen year, in a dialog; the run and an open
  // overview follow what is saved.
  void btnAbgabeClick();
  // "Für Mein ELSTER": the figures of the last complete run as the portal takes them.
  void btnElsterClick();
  // "Zuordnung" or "Umsätze mit dem Ausland" changed: the period runs again.
  void ClassificationChanged(ClassificationChoice choice);
  // The choice made already, clicked again: after a failed run it runs again.
  void RunAgainAfterFailure(const TTaxPeriod& period, TaxationBasis basis);

  void BuildLeftPanel();
  void ConnectEvents();
  void SetKeys();
  void ApplyRuntimeLayout();
  void AlignPanels();
  // The caption line and the status bar for a period.
  void ShowPeriod(double firstDay, double lastDay, TaxationBasis basis);
  // The chosen period when it is the one of those days.
  std::optional<TTaxPeriod> PeriodOf(double firstDay, double lastDay) const;
  // The due dates of a complete run into the status bar.
  void ShowDueDates(double firstDay, double lastDay);
  void ConnectFiling();
  // The ledger of filed returns: each complete run compared with its filing.
  void ConnectLedger();
  // "Als abgegeben vermerken" for the last complete run.
  void MarkFiled();
  // The figures of the last complete run for the portal, with field 10 where
  // its period's figures changed since filing.
  std::vector<PortalFigure> PortalFiguresOfRun() const;

  ProgramContext& program_;
  const TDesignScale scale_;
  // Left: the period strip with the buttons, the caption line, the summary
  // list and the progress bar in its place during a run.
  QFrame* pnlL_;
  TPeriodChoice* period_ = nullptr;
  TClassificationChoice* classification_ = nullptr;
  QPushButton* btnCsv_ = nullptr;
  QPushButton* btnHelp_ = nullptr;
  QPushButton* btnUebersicht_ = nullptr;
  QPushButton* btnAbgabe_ = nullptr;
  QPushButton* btnElster_ = nullptr;
  QFrame* pnlCaption_ = nullptr;
  QLabel* lblCaption_ = nullptr;
  TSummaryListView* lbUst_ = nullptr;
  QProgressBar* pB_ = nullptr;
  // Right: the form-value panel; beneath: the status bar.
  TFieldPanel* fields_ = nullptr;
  TRunStatus* status_ = nullptr;
  TSaveDialog SaveDialog1_;

  TRunController* runs_ = nullptr;
  TFieldDrillDown* drillDown_ = nullptr;
  TFilingLedger* ledger_ = nullptr;
  std::unique_ptr<TExportSave> export_;
  TYearOverviewWindow overview_;
  QPointer<TPortalFiguresDialog> elster_;
  QPointer<THelpWindow> help_;
  // The day the window started on: due dates before it have passed.
  QDate today_ = QDate::currentDate();
};

}  // namespace vorlex
