// The main window: period controls, caption line and summary list on the left,
// the form-value panel on the right, the status bar beneath. It builds and
// places the controls and wires them to the parts that do the work: the period
// choice, the run controller, the field panel, the run's status, the drill-down
// into a field's entries, the year overview and the export.
#pragma once

#include <QDate>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "app/FieldPanel.h"
#include "app/PeriodChoice.h"
#include "app/ProgramContext.h"
#include "app/RunStatus.h"
#include "app/uControls.h"
#include "ui/CsvSave.h"

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace vorlex {

class TExportSave;
class TFieldDrillDown;
class TRunController;
class TSummaryListView;
class TWindowKeys;
class TYearOverviewDialog;

class TForm1 : public QWidget, public TPeriodControls, public TFieldControls, public TStatusLabels {
  Q_OBJECT
 public:
  // pixelsPerInch 0: the screen's.
  explicit TForm1(TProgramContext& program, int pixelsPerInch = 0, QWidget* parent = nullptr);
  ~TForm1() override;

  int PixelsPerInch() const { return ppi_; }

  // Start-up, with today's date from the clock or given.
  void FormCreate();
  void FormCreate(const QDate& today);
  void FormClose();
  void FormResize();

  // An evaluation request from any period control.
  void cmbMChange();
  void EvaluationRun(double firstDay, double lastDay);
  bool RunActive() const;
  // The list holds the whole result of the last run.
  bool LastRunComplete() const;

  void udMonatClick(TUDBtnType button);
  void udJahrClick(TUDBtnType button);
  void btnHelpClick();
  void btnCsvClick();
  // The year at a glance of the chosen year and basis, in its own window.
  void btnUebersichtClick();

  // The hints of the last complete run, in their own window.
  const std::vector<Hint>& Hints() const;
  void ShowHints();

  // Left: period controls (TPeriodControls), caption line, summary list,
  // progress bar.
  QFrame* pnlL;
  QFrame* pnlTop;
  QPushButton* btnCsv;
  QPushButton* btnHelp;
  QPushButton* btnUebersicht;
  QFrame* pnlCaption;
  QLabel* lblCaption;
  TSummaryListView* lbUst;
  QProgressBar* pB;
  // Right: the form-value panel (TFieldControls).
  QFrame* pnlR;
  // Beneath: field 83 and the hints at its right (TStatusLabels).
  QStatusBar* StatusBar1;
  TSaveDialog SaveDialog1;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  int S(int designPixels) const { return designPixels * ppi_ / 96; }
  void BuildLeftPanel();
  void ConnectEvents();
  void ApplyRuntimeLayout();
  void AlignPanels();
  // The caption line and the status bar for a period.
  void ShowPeriod(double firstDay, double lastDay);

  TProgramContext& program_;
  int ppi_;
  TRunStatus* status_ = nullptr;
  TPeriodChoice* period_ = nullptr;
  TFieldPanel* fields_ = nullptr;
  TRunController* runs_ = nullptr;
  TFieldDrillDown* drillDown_ = nullptr;
  TWindowKeys* keys_ = nullptr;
  std::unique_ptr<TExportSave> export_;
  QPointer<TYearOverviewDialog> overviewDialog_;
};

}  // namespace vorlex
