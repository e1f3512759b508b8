#include "app/Unit1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <algorithm>

#include "app/Application.h"
#include "app/ClassificationChoice.h"
#include "app/ExportSave.h"
#include "app/FieldDrillDown.h"
#include "app/FieldPanel.h"
#include "app/FilingDialogs.h"
#include "app/FilingLedger.h"
#include "app/HelpWindow.h"
#include "app/PeriodChoice.h"
#include "app/RunController.h"
#include "app/RunStatus.h"
#include "app/WindowPlacement.h"
#include "app/WindowSettings.h"
#include "app/version_U.h"
#include "ledger/FiledPeriods.h"
#include "ledger/Ledger.h"
#include "location/PelmoraLocation.h"
#include "output/FilingText.h"
#include "tax/EvaluationRun.h"
#include "tax/SpecialPrepayment.h"
#include "ui/SummaryListView.h"
#include "ui/qtcore/QtText.h"
#include "util/ProgramText.h"
#include "util/uDatum.h"

namespace vorlex {

TForm1::TForm1(ProgramContext& program, int pixelsPerInch, QWidget* parent)
    : QWidget(parent),
      program_(program),
      scale_(pixelsPerInch > 0 ? pixelsPerInch : std::max(1, logicalDpiY())),
      overview_(*this, program.format) {
  setObjectName(QStringLiteral("Form1"));
  setFont(scale_.WindowFont());
  // Below the design size controls would be cut off or cover each other.
  setMinimumSize(scale_(784), scale_(502));
  resize(scale_(784), scale_(502));

  pnlL_ = new QFrame(this);
  pnlL_->setObjectName(QStringLiteral("pnlL"));
  pnlL_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  status_ = new TRunStatus(program_.format, *this);
  BuildLeftPanel();
  fields_ = new TFieldPanel(scale_, program_.format, this);

  runs_ = new TRunController(program_, *lbUst_, *pB_, this);
  ledger_ = new TFilingLedger(*this, program_);
  export_ = std::make_unique<TExportSave>(SaveDialog1_, *runs_, lbUst_->Model(), program_.totals,
                                          *status_, program_.format);
  ConnectEvents();
  SetKeys();
  AlignPanels();
  FormResize();
}

TForm1::~TForm1() = default;

void TForm1::BuildLeftPanel() {
  const TDesignScale& S = scale_;
  period_ = new TPeriodChoice(S, program_.format, pnlL_);
  classification_ = new TClassificationChoice(S, period_);

  const auto button = [&](const char* name, const QString& caption, const QRect& place) {
    auto* control = new QPushButton(caption, period_);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(place);
    return control;
  };
  // Left by the resize rule.
  btnCsv_ = button("btnCsv", QStringLiteral("-> .CSV"), QRect(0, S(8), S(55), S(21)));
  btnHelp_ = button("btnHelp", QStringLiteral("?"), QRect(0, S(8), S(21), S(21)));
  // In the strip's free space beneath "-> .CSV" and "?", right-aligned as they are.
  btnUebersicht_ =
      button("btnUebersicht", DecodeText("Jahresübersicht"_cp1252), QRect(0, S(40), S(96), S(21)));
  // Left of it in the same free row: the filing calendar.
  btnElster_ =
      button("btnElster", DecodeText("Für Mein ELSTER"_cp1252), QRect(0, S(40), S(96), S(21)));
  btnAbgabe_ = button("btnAbgabe", QStringLiteral("Abgabe..."), QRect(0, S(40), S(62), S(21)));

  pnlCaption_ = new QFrame(pnlL_);
  pnlCaption_->setObjectName(QStringLiteral("pnlCaption"));
  pnlCaption_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  lblCaption_ = new QLabel(pnlCaption_);
  lblCaption_->setObjectName(QStringLiteral("lblCaption"));
  lblCaption_->move(S(16), S(4));
  QPalette captionPalette = lblCaption_->palette();
  captionPalette.setColor(QPalette::WindowText, Qt::black);
  lblCaption_->setPalette(captionPalette);

  lbUst_ = new TSummaryListView(pnlL_);
  lbUst_->setObjectName(QStringLiteral("lbUst"));

  pB_ = new QProgressBar(pnlL_);
  pB_->setObjectName(QStringLiteral("pB"));
  pB_->setRange(0, 100);
  pB_->setValue(0);
  pB_->setTextVisible(false);
  pB_->setGeometry(10, S(284), S(100), S(16));
  pB_->hide();
}

void TForm1::ConnectEvents() {
  // Every handler runs under the program's error handling: an error is shown
  // where it leaves the handler and never unwinds through the toolkit.
  ConnectShowingErrors(period_, &TPeriodChoice::Chosen, this, &TForm1::cmbMChange);
  ConnectShowingErrors(period_, &TPeriodChoice::ChosenAgain, this, &TForm1::RunAgainAfterFailure);
  ConnectShowingErrors(period_, &TPeriodChoice::MonthStepClicked, this, &TForm1::udMonatClick);
  ConnectShowingErrors(period_, &TPeriodChoice::YearStepClicked, this, &TForm1::udJahrClick);
  ConnectShowingErrors(classification_, &TClassificationChoice::Chosen, this,
                       &TForm1::ClassificationChanged);
  ConnectShowingErrors(btnHelp_, &QPushButton::clicked, this, &TForm1::btnHelpClick);
  ConnectShowingErrors(btnCsv_, &QPushButton::clicked, this, &TForm1::btnCsvClick);
  ConnectShowingErrors(btnUebersicht_, &QPushButton::clicked, this, &TForm1::btnUebersichtClick);
  ConnectShowingErrors(btnAbgabe_, &QPushButton::clicked, this, &TForm1::btnAbgabeClick);
  ConnectShowingErrors(btnElster_, &QPushButton::clicked, this, &TForm1::btnElsterClick);
  ConnectFiling();

  // What a run shows, in the order it shows it.
  connect(runs_, &TRunController::PeriodChosen, this, &TForm1::ShowPeriod);
  connect(runs_, &TRunController::Cleared, status_, &TRunStatus::Clear);
  connect(runs_, &TRunController::Failed, fields_, &TFieldPanel::ShowEmpty);
  connect(runs_, &TRunController::Finished, this, [this](double firstDay, double lastDay) {
    fields_->ShowFigures(program_.totals);
    // The database is still open: a hint's ending may read an order's lines.
    const ClassificationChoice choice = runs_->LastRunChoice();
    status_->Show(program_.totals, lbUst_->Model().Entries(), firstDay, lastDay, choice,
                  program_.Database && !choice.Exact()
                      ? ExactSharesFromDatabase(*program_.Database, choice.sales)
                      : ExactSharesOf{});
    ShowDueDates(firstDay, lastDay);
    // A month or quarter is compared with its latest filing.
    const std::optional<TTaxPeriod> period = PeriodOf(firstDay, lastDay);
    std::optional<Filing> run;
    if (period && period->PeriodKind != TPeriodKind::VonBis &&
        period->PeriodKind != TPeriodKind::Jahr) {
      run = FilingOfRun(*period, period_->Basis(), lbUst_->Model().Entries(), program_.totals);
      // A filing keeps the classification it was made with.
      run->classification = ClassificationText(runs_->LastRunChoice());
    }
    ledger_->Compare(std::move(run));
    // An open "Für Mein ELSTER" shows the run just made.
    if (elster_) {
      elster_->SetFigures(
          DecodeText(PeriodCaption(firstDay, lastDay, period_->Basis(), program_.format)),
          PortalFiguresOfRun(), ledger_->CanMark());
    }
  });
  connect(runs_, &TRunController::VatIdRead, fields_, &TFieldPanel::ShowVatId);
  ConnectLedger();

  // A figure's entries, and a hint's entry.
  drillDown_ = new TFieldDrillDown(*lbUst_, *status_, this);
  connect(fields_, &TFieldPanel::FieldChosen, drillDown_, &TFieldDrillDown::Toggle);
  connect(drillDown_, &TFieldDrillDown::FieldShown, fields_, &TFieldPanel::MarkChosen);
  // The hints window's button: "genau" as if chosen, the hints it resolves gone.
  ConnectShowingErrors(status_, &TRunStatus::SwitchToExactRequested, classification_,
                       &TClassificationChoice::ChooseExact);
  ConnectShowingErrors(status_, &TRunStatus::EntryChosen, this, [this](int entry) {
    drillDown_->SelectEntry(entry, status_->HintsCover());
  });
}

void TForm1::SetKeys() {
  // F5 and the platform's refresh keys run the current choice again, Ctrl+S
  // is "-> .CSV", F1 is "?".
  QList<QKeySequence> again = QKeySequence::keyBindings(QKeySequence::Refresh);
  if (!again.contains(QKeySequence(Qt::Key_F5))) again.prepend(QKeySequence(Qt::Key_F5));
  for (const QKeySequence& keys : again) {
    ConnectShowingErrors(new QShortcut(keys, this), &QShortcut::activated, period_,
                         &TPeriodChoice::ReportChoice);
  }
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated,
          btnCsv_, &QAbstractButton::click);
  ConnectShowingErrors(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
                       &TForm1::ShowHelp);
  // Ctrl+E the filing settings, Ctrl+M "Für Mein ELSTER".
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this), &QShortcut::activated,
          btnAbgabe_, &QAbstractButton::click);
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), this), &QShortcut::activated,
          btnElster_, &QAbstractButton::click);
  // Ctrl+G "Als abgegeben vermerken" for the run shown.
  ConnectShowingErrors(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this),
                       &QShortcut::activated, this, &TForm1::MarkFiled);

  // Tab goes through every control in reading order.
  QWidget* last = classification_->ChainTabOrder(period_->ChainTabOrder(nullptr));
  last = ChainTabOrder(last, {btnCsv_, btnHelp_, btnAbgabe_, btnElster_, btnUebersicht_, lbUst_});
  status_->ChainTabOrder(fields_->ChainTabOrder(last));
}

void TForm1::ApplyRuntimeLayout() {
  fields_->setAutoFillBackground(true);
  QPalette grey = fields_->palette();
  grey.setColor(QPalette::Window, QColor(204, 204, 204));
  fields_->setPalette(grey);
  period_->setFrameStyle(QFrame::NoFrame);
  pnlCaption_->setFrameStyle(QFrame::NoFrame);
  lbUst_->SetItemHeight(scale_(16));
  AlignPanels();
  FormResize();
}

void TForm1::AlignPanels() {
  const int statusHeight = scale_(19);
  const int panelHeight = std::max(0, height() - statusHeight);
  const int rightWidth = scale_(289);
  status_->setGeometry(0, panelHeight, width(), statusHeight);
  fields_->setGeometry(width() - rightWidth, 0, rightWidth, panelHeight);
  pnlL_->setGeometry(0, 0, std::max(0, width() - rightWidth), panelHeight);

  const QRect inner = pnlL_->contentsRect();
  int top = inner.top();
  period_->setGeometry(inner.left(), top, inner.width(), scale_(141));
  top += scale_(141);
  pnlCaption_->setGeometry(inner.left(), top, inner.width(), scale_(21));
  top += scale_(21);
  lbUst_->setGeometry(inner.left(), top, inner.width(), std::max(0, inner.bottom() + 1 - top));
  pB_->raise();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  AlignPanels();
  FormResize();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (runs_->Running()) {
    // Closing the database under a run would break it off with an error; the
    // window closes once the run has ended.
    event->ignore();
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    return;
  }
  FormClose();
  event->accept();
}

void TForm1::FormCreate() {
  FormCreate(QDate::currentDate());
}

void TForm1::FormCreate(const QDate& today) {
  today_ = today;
  ApplyRuntimeLayout();
  setWindowTitle(DecodeText("Vorlex " + ProgramVersion()));

  resize(scale_(784), scale_(502));
  if (const QScreen* screen = this->screen()) {
    const QRect available = screen->availableGeometry();
    move(available.left() + (available.width() - width()) / 2,
         available.top() + (available.height() - height()) / 2);
  }
  // The basis and the place of the last session; the period is this month's.
  RestoreWindowSettings(*this, *period_, *classification_);
  runs_->SetChoice(classification_->Choice());
  const TTaxPeriod month = period_->StartOn(today);

  // The window is whole before the database is opened: a failed open leaves
  // the captions, the period and empty boxes, and start-up still ends, so that
  // the next choice of a period tries to open the database again.
  fields_->SetFieldCaptions();
  ShowPeriod(month.FirstDay, month.LastDay, period_->Basis());
  fields_->ShowEmpty();
  const auto startUpEnd = qScopeGuard([this] { program_.EvaluationEnabled = true; });
  runs_->OpenAndRun(month.FirstDay, month.LastDay, period_->Basis());
  // Whether filed periods have changed, said once and without a box: the
  // message line keeps it until another period is chosen.
  const QString changed = ledger_->CheckFiledPeriods(*program_.Database, today.year());
  if (!changed.isEmpty()) status_->showMessage(changed);
}

void TForm1::FormClose() {
  SaveWindowSettings(*this, *period_, *classification_);
  runs_->CloseDatabase();
}

void TForm1::FormResize() {
  btnHelp_->move(period_->width() - btnHelp_->width() - 8, btnHelp_->y());
  btnCsv_->move(btnHelp_->x() - btnCsv_->width(), btnCsv_->y());
  btnUebersicht_->move(btnHelp_->x() + btnHelp_->width() - btnUebersicht_->width(),
                       btnUebersicht_->y());
  btnElster_->move(btnUebersicht_->x() - btnElster_->width() - scale_(4), btnElster_->y());
  btnAbgabe_->move(btnElster_->x() - btnAbgabe_->width() - scale_(4), btnAbgabe_->y());
  pB_->setGeometry(10, pB_->y(), std::max(0, pnlL_->width() - 20), pB_->height());
}

void TForm1::ShowPeriod(double firstDay, double lastDay, TaxationBasis basis) {
  lblCaption_->setText(DecodeText(PeriodCaption(firstDay, lastDay, basis, program_.format)));
  lblCaption_->adjustSize();
  status_->ShowPeriodNote(firstDay, lastDay);
}

void TForm1::cmbMChange(const TTaxPeriod& period, TaxationBasis basis) {
  if (!runs_->Admit([this, period, basis] { cmbMChange(period, basis); })) return;
  runs_->Run(period.FirstDay, period.LastDay, basis);
  // An open year overview shows the year, basis and classification chosen here.
  overview_.Follow(*program_.Database, period_->Year(), basis, runs_->Choice());
}

void TForm1::ClassificationChanged(ClassificationChoice choice) {
  runs_->SetChoice(choice);
  period_->ReportChoice();
}

void TForm1::RunAgainAfterFailure(const TTaxPeriod& period, TaxationBasis basis) {
  if (!runs_->LastRunComplete() && !runs_->Running()) cmbMChange(period, basis);
}

void TForm1::EvaluationRun(double firstDay, double lastDay) {
  runs_->Evaluate(firstDay, lastDay, period_->Basis());
}

void TForm1::udMonatClick(UpDownButton button) {
  period_->StepMonth(button);
}

void TForm1::udJahrClick(UpDownButton button) {
  period_->StepYear(button);
}

void TForm1::btnHelpClick() {
  // Without an open database the settings are read again, the path shown is
  // the one tried, and the request that follows tries to open it.
  const bool retry = runs_->WaitingForDatabase();
  if (retry) runs_->ReadLocation();
  const bool help = ShowMessageWithHelp("DB:\r" + program_.DbFolder + program_.DbName);
  if (retry) period_->ReportChoice();
  if (help) ShowHelp();
}

void TForm1::ShowHelp() {
  if (!help_) {
    help_ = new THelpWindow(this);
    PlaceBeside(*help_, *this, 420);
  }
  help_->SetPlaces({.pelmoraSettings = PelmoraAppDataDir() + kSettingsFileName,
                    .database = program_.DbFolder + program_.DbName,
                    .settings = WindowSettingsFile(),
                    .ledger = DefaultLedgerPath()});
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void TForm1::btnCsvClick() {
  export_->Save(this, [this] { return ProposedExportNames(period_->Period(), period_->Basis()); });
}

void TForm1::btnUebersichtClick() {
  if (runs_->Running()) return;
  const int year = period_->Year();
  const TaxationBasis basis = period_->Basis();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const auto cursorBack = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
  // After a failed start the database is opened here as a period choice opens it.
  runs_->WithDatabase([&](TDBase& db) { overview_.Show(db, year, basis, runs_->Choice()); });
}

std::optional<TTaxPeriod> TForm1::PeriodOf(double firstDay, double lastDay) const {
  const TTaxPeriod period = period_->Period();
  if (period.FirstDay != firstDay || period.LastDay != lastDay) return std::nullopt;
  return period;
}

}  // namespace vorlex
