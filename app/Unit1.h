// The main window: period controls, caption line and summary list on the left,
// the form-value panel on the right; start-up and the evaluation run.
#pragma once

#include <QDate>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/FieldDrillDown.h"
#include "app/HintsDialog.h"
#include "app/ProgramContext.h"
#include "app/WindowKeys.h"
#include "app/YearOverviewDialog.h"
#include "app/uControls.h"
#include "tax/EvaluationRun.h"
#include "tax/TaxPeriod.h"
#include "ui/CsvSave.h"

class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace vorlex {

class TDBase;
class TImage;
class TSummaryListView;

// The items of the month list (Windows-1252).
inline constexpr std::array<const char*, 12> MonthNames = {
    "Jan", "Feb", "M\xE4rz", "Apr", "Mai", "Juni", "Juli", "Aug", "Sept", "Okt", "Nov", "Dez"};

// The design caption of the panel's labels until start-up replaces it.
inline constexpr const char* kDesignFieldCaption =
    "Tragen Sie folgende Werte in die entsprechenden Felder im ElsterFormular ein:";

// The trader's VAT identification number: the first row of settingsmandant,
// empty text when the table has no row.
std::string ReadVatId(TDBase& db);

class TForm1 : public QWidget {
  Q_OBJECT
 public:
  // pixelsPerInch 0: the screen's.
  explicit TForm1(TProgramContext& program, int pixelsPerInch = 0, QWidget* parent = nullptr);
  ~TForm1() override;

  int PixelsPerInch() const { return ppi_; }
  TProgramContext& Program() { return program_; }

  // Start-up, with today's date from the clock or given.
  void FormCreate();
  void FormCreate(const QDate& today);
  void FormClose();
  void FormResize();

  // An evaluation request from any period control.
  void cmbMChange();
  // The period the controls describe. Moves the month list to a quarter's
  // entry when a quarter is chosen.
  TTaxPeriod TaxPeriodFromControls();
  void EvaluationRun(double firstDay, double lastDay);
  bool RunActive() const { return running_; }
  // The list holds the whole result of the last run.
  bool LastRunComplete() const { return lastRunComplete_; }

  void udMonatClick(TUDBtnType button);
  void udJahrClick(TUDBtnType button);
  void btnHelpClick();
  void btnCsvClick();
  // The file name the save dialog proposes: the period and the basis of the
  // controls, "Vorlex 2026-12 Ist.csv".
  QString ProposedCsvName();
  // The year at a glance of the chosen year and basis, in its own window.
  void btnUebersichtClick();

  // Left: period controls, caption line, summary list, progress bar.
  QFrame* pnlL;
  QFrame* pnlTop;
  TRadioButton* rbJahr;
  QComboBox* cmbJ;
  TUpDown* udJahr;
  TRadioButton* rbQ1;
  TRadioButton* rbQ2;
  TRadioButton* rbQ3;
  TRadioButton* rbQ4;
  TRadioButton* rbM;
  QComboBox* cmbM;
  TUpDown* udMonat;
  TRadioButton* rbVonBis;
  QDateEdit* dtpVon;
  QDateEdit* dtpBis;
  TRadioGroup* rgVersteuerung;
  TRadioGroup* rgBetrag;
  QPushButton* btnCsv;
  QPushButton* btnHelp;
  QPushButton* btnUebersicht;
  QFrame* pnlCaption;
  QLabel* lblCaption;
  TSummaryListView* lbUst;
  QProgressBar* pB;
  // Right: the form-value panel.
  QFrame* pnlR;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  QLabel* Label7;
  TImage* Image1;
  TImage* Image2;
  TImage* Image3;
  TImage* Image4;
  TImage* Image5;
  TBevel* Bevel1;
  QLineEdit* editUStID;
  QStatusBar* StatusBar1;
  // In the status bar after a complete run: field 83 and the number of hints;
  // a click on the hints opens their list.
  QLabel* lblKz83;
  QLabel* lblHinweise;
  TSaveDialog SaveDialog1;

  // The hints of the last complete run, in their own window (made on first use).
  const std::vector<Hint>& Hints() const { return hints_; }
  THintsDialog* HintsDialog() const { return hintsDialog_; }
  void ShowHints();
  // Selects the list line of the run's entry and scrolls it into view; a
  // list narrowed to another field's entries shows all lines again first.
  void SelectEntry(int entry);

  // A click on a form-field picture shows only its entries in the list.
  TFieldDrillDown& DrillDown() { return *drillDown_; }
  TYearOverviewDialog* OverviewDialog() const { return overviewDialog_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  int S(int designPixels) const { return designPixels * ppi_ / 96; }
  void BuildLeftPanel();
  void BuildRightPanel();
  void ConnectEvents();
  void ApplyRuntimeLayout();
  void AlignPanels();
  void DrawFormValues(const TaxTotals& totals);
  void ClearFormValues();
  // Field 83 and the hints of a complete run; nothing while a run is under way
  // or after a failed one.
  void ShowRunStatus(const std::vector<RunEntry>& entries, double firstDay, double lastDay);
  void ClearRunStatus();
  void SetFieldCaptions();
  // The caption line and the status bar for a period.
  void ShowPeriod(double firstDay, double lastDay);
  // Pelmora's settings file as it is now.
  void ReadLocation();
  // Opens the database the settings name and runs the period; on failure no
  // database stays open.
  void OpenAndRun(double firstDay, double lastDay);
  // Opens the database the settings name and hands it to use; when use fails
  // no database stays open.
  void OpenFor(const std::function<void()>& use);
  std::array<TImage*, 5> Images() const;

  TProgramContext& program_;
  int ppi_;
  bool runtimeLayout_ = false;
  bool running_ = false;
  bool requestWaiting_ = false;
  // The list holds the whole result of the last run.
  bool lastRunComplete_ = false;
  // The first and the last day of the last complete run.
  std::array<double, 2> lastRunDays_{};
  std::vector<Hint> hints_;
  THintsDialog* hintsDialog_ = nullptr;
  TFieldDrillDown* drillDown_ = nullptr;
  TWindowKeys* keys_ = nullptr;
  QPointer<TYearOverviewDialog> overviewDialog_;
};

}  // namespace vorlex
