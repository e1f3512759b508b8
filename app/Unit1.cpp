#include "app/Unit1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <algorithm>

#include "app/ExportSave.h"
#include "app/FieldDrillDown.h"
#include "app/RunController.h"
#include "app/WindowKeys.h"
#include "app/WindowSettings.h"
#include "app/YearOverviewDialog.h"
#include "app/uApplication.h"
#include "app/version_U.h"
#include "tax/EvaluationRun.h"
#include "ui/FormValuePanel.h"
#include "ui/SummaryListView.h"
#include "ui/qtcore/uQtText.h"

namespace vorlex {

namespace {

QFont PixelFont(const QString& family, int pixels) {
  QFont font(family);
  font.setPixelSize(std::max(1, pixels));
  return font;
}

constexpr const char* kWindowFontFamily = "MS Sans Serif";

// Where the window's font is missing, the face that stands in for Arial comes
// closest to its narrow letters; the general fallback is much wider and cuts
// the dates in the pickers. Where it is only a bitmap font (as on Windows),
// its TrueType twin or else that face: the toolkit takes a bitmap face's cell
// height for its letter height and so picks the next larger size, which cuts
// the labels.
QString WindowFontFamily() {
  const QString family = QString::fromLatin1(kWindowFontFamily);
  const QString arial = QFontInfo(QFont(QStringLiteral("Arial"))).family();
  if (QFontDatabase::hasFamily(family)) {
    if (QFontDatabase::isSmoothlyScalable(family)) return family;
    const QString twin = QStringLiteral("Microsoft Sans Serif");
    if (QFontDatabase::hasFamily(twin) && QFontDatabase::isSmoothlyScalable(twin)) return twin;
    return arial.isEmpty() ? family : arial;
  }
  if (QFont::substitutes(family).isEmpty() && !arial.isEmpty())
    QFont::insertSubstitution(family, arial);
  return family;
}

}  // namespace

TForm1::TForm1(TProgramContext& program, int pixelsPerInch, QWidget* parent)
    : QWidget(parent), program_(program), ppi_(pixelsPerInch > 0 ? pixelsPerInch : 96) {
  if (pixelsPerInch <= 0) ppi_ = std::max(1, logicalDpiY());
  setObjectName(QStringLiteral("Form1"));
  setFont(PixelFont(WindowFontFamily(), PointsToPixels(8, ppi_)));
  // Below the design size controls would be cut off or cover each other.
  setMinimumSize(S(784), S(502));
  resize(S(784), S(502));

  pnlL = new QFrame(this);
  pnlL->setObjectName(QStringLiteral("pnlL"));
  pnlL->setFrameStyle(QFrame::Panel | QFrame::Raised);
  pnlR = new QFrame(this);
  pnlR->setObjectName(QStringLiteral("pnlR"));
  pnlR->setFrameStyle(QFrame::Panel | QFrame::Raised);
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setSizeGripEnabled(false);
  status_ = new TRunStatus(*this, *StatusBar1, *this);

  BuildLeftPanel();
  fields_ = new TFieldPanel(*this, *pnlR, ppi_);
  runs_ = new TRunController(
      program_, [this] { return period_->Basis(); }, *lbUst, *pB, this);
  export_ = std::make_unique<TExportSave>(SaveDialog1, *runs_, lbUst->Model(), program_.Totals,
                                          *StatusBar1);
  ConnectEvents();
  AlignPanels();
  FormResize();
}

TForm1::~TForm1() = default;

void TForm1::BuildLeftPanel() {
  pnlTop = new QFrame(pnlL);
  pnlTop->setObjectName(QStringLiteral("pnlTop"));
  pnlTop->setFrameStyle(QFrame::Panel | QFrame::Raised);
  period_ = new TPeriodChoice(*this, *pnlTop, ppi_, this);

  btnCsv = new QPushButton(QStringLiteral("-> .CSV"), pnlTop);
  btnCsv->setObjectName(QStringLiteral("btnCsv"));
  btnCsv->setGeometry(0, S(8), S(55), S(21));
  btnHelp = new QPushButton(QStringLiteral("?"), pnlTop);
  btnHelp->setObjectName(QStringLiteral("btnHelp"));
  btnHelp->setGeometry(0, S(8), S(21), S(21));
  // In the strip's free space beneath "-> .CSV" and "?", right-aligned as they are.
  btnUebersicht = new QPushButton(DecodeText("Jahres\xFC" "bersicht"), pnlTop);
  btnUebersicht->setObjectName(QStringLiteral("btnUebersicht"));
  btnUebersicht->setGeometry(0, S(40), S(96), S(21));

  pnlCaption = new QFrame(pnlL);
  pnlCaption->setObjectName(QStringLiteral("pnlCaption"));
  pnlCaption->setFrameStyle(QFrame::Panel | QFrame::Raised);
  lblCaption = new QLabel(pnlCaption);
  lblCaption->setObjectName(QStringLiteral("lblCaption"));
  lblCaption->move(S(16), S(4));
  QPalette captionPalette = lblCaption->palette();
  captionPalette.setColor(QPalette::WindowText, Qt::black);
  lblCaption->setPalette(captionPalette);

  lbUst = new TSummaryListView(pnlL);
  lbUst->setObjectName(QStringLiteral("lbUst"));

  pB = new QProgressBar(pnlL);
  pB->setObjectName(QStringLiteral("pB"));
  pB->setRange(0, 100);
  pB->setValue(0);
  pB->setTextVisible(false);
  pB->setGeometry(10, S(284), S(100), S(16));
  pB->hide();
}

void TForm1::ConnectEvents() {
  // Every handler runs under the program's error handling: an error is shown
  // where it leaves the handler and never unwinds through the toolkit.
  connect(period_, &TPeriodChoice::Requested, this,
          [this] { RunShowingErrors([this] { cmbMChange(); }); });
  connect(udMonat, &TUpDown::Click, this, [this](TUDBtnType button) {
    RunShowingErrors([this, button] { udMonatClick(button); });
  });
  connect(udJahr, &TUpDown::Click, this,
          [this](TUDBtnType button) { RunShowingErrors([this, button] { udJahrClick(button); }); });
  connect(btnHelp, &QPushButton::clicked, this,
          [this] { RunShowingErrors([this] { btnHelpClick(); }); });
  connect(btnCsv, &QPushButton::clicked, this,
          [this] { RunShowingErrors([this] { btnCsvClick(); }); });
  connect(btnUebersicht, &QPushButton::clicked, this,
          [this] { RunShowingErrors([this] { btnUebersichtClick(); }); });

  // What a run shows, in the order it shows it.
  connect(runs_, &TRunController::PeriodChosen, this, &TForm1::ShowPeriod);
  connect(runs_, &TRunController::Cleared, status_, &TRunStatus::Clear);
  connect(runs_, &TRunController::Failed, fields_, &TFieldPanel::ShowEmpty);
  connect(runs_, &TRunController::Finished, this, [this](double firstDay, double lastDay) {
    fields_->ShowFigures(program_.Totals);
    status_->Show(program_.Totals, lbUst->Model().Entries(), firstDay, lastDay);
  });
  connect(runs_, &TRunController::VatIdRead, editUStID, &QLineEdit::setText);

  drillDown_ = new TFieldDrillDown(*lbUst, *StatusBar1, this);
  for (const auto& [picture, field] : fields_->Pictures()) {
    drillDown_->Attach(*picture, field->number);
  }
  connect(status_, &TRunStatus::EntryChosen, this, [this](int entry) {
    RunShowingErrors([this, entry] { drillDown_->SelectEntry(entry, status_->HintsCover()); });
  });
  keys_ = new TWindowKeys(*this);
}

void TForm1::ApplyRuntimeLayout() {
  pnlR->setAutoFillBackground(true);
  QPalette grey = pnlR->palette();
  grey.setColor(QPalette::Window, QColor(204, 204, 204));
  pnlR->setPalette(grey);
  pnlTop->setFrameStyle(QFrame::NoFrame);
  pnlCaption->setFrameStyle(QFrame::NoFrame);
  lbUst->SetItemHeight(16 * ppi_ / 96);
  AlignPanels();
  FormResize();
}

void TForm1::AlignPanels() {
  const int statusHeight = S(19);
  const int panelHeight = std::max(0, height() - statusHeight);
  const int rightWidth = S(289);
  StatusBar1->setGeometry(0, panelHeight, width(), statusHeight);
  pnlR->setGeometry(width() - rightWidth, 0, rightWidth, panelHeight);
  pnlL->setGeometry(0, 0, std::max(0, width() - rightWidth), panelHeight);

  const QRect inner = pnlL->contentsRect();
  int top = inner.top();
  pnlTop->setGeometry(inner.left(), top, inner.width(), S(141));
  top += S(141);
  pnlCaption->setGeometry(inner.left(), top, inner.width(), S(21));
  top += S(21);
  lbUst->setGeometry(inner.left(), top, inner.width(), std::max(0, inner.bottom() + 1 - top));
  pB->raise();
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
  ApplyRuntimeLayout();
  setWindowTitle(DecodeText("Vorlex " + ProgramVersion()));

  resize(S(784), S(502));
  if (const QScreen* screen = this->screen()) {
    const QRect available = screen->availableGeometry();
    move(available.left() + (available.width() - width()) / 2,
         available.top() + (available.height() - height()) / 2);
  }
  // The basis and the place of the last session; the period is this month's.
  RestoreWindowSettings(*this, *period_);
  const TTaxPeriod month = period_->StartOn(today);

  // The window is whole before the database is opened: a failed open leaves
  // the captions, the period and empty boxes, and start-up still ends, so that
  // the next choice of a period tries to open the database again.
  fields_->SetFieldCaptions();
  ShowPeriod(month.FirstDay, month.LastDay);
  fields_->ShowEmpty();
  struct StartUpEnd {
    bool& enabled;
    ~StartUpEnd() { enabled = true; }
  } startUpEnd{program_.EvaluationEnabled};

  runs_->OpenAndRun(month.FirstDay, month.LastDay);
}

void TForm1::FormClose() {
  SaveWindowSettings(*this, *period_);
  runs_->CloseDatabase();
}

void TForm1::FormResize() {
  btnHelp->move(pnlTop->width() - btnHelp->width() - 8, btnHelp->y());
  btnCsv->move(btnHelp->x() - btnCsv->width(), btnCsv->y());
  btnUebersicht->move(btnHelp->x() + btnHelp->width() - btnUebersicht->width(),
                      btnUebersicht->y());
  pB->setGeometry(10, pB->y(), std::max(0, pnlL->width() - 20), pB->height());
}

void TForm1::ShowPeriod(double firstDay, double lastDay) {
  lblCaption->setText(DecodeText(PeriodCaption(firstDay, lastDay, period_->Basis())));
  lblCaption->adjustSize();
  status_->ShowPeriodNote(firstDay, lastDay);
}

void TForm1::cmbMChange() {
  if (!runs_->Admit([this] { cmbMChange(); })) return;
  const TTaxPeriod period = period_->Period();
  runs_->Run(period.FirstDay, period.LastDay);
  // An open year overview shows the year and basis chosen here.
  FollowYearOverview(overviewDialog_, *program_.Database, period_->Year(), period_->Basis());
}

void TForm1::EvaluationRun(double firstDay, double lastDay) {
  runs_->Evaluate(firstDay, lastDay);
}

bool TForm1::RunActive() const {
  return runs_->Running();
}

bool TForm1::LastRunComplete() const {
  return runs_->LastRunComplete();
}

const std::vector<Hint>& TForm1::Hints() const {
  return status_->Hints();
}

void TForm1::ShowHints() {
  status_->ShowHints();
}

void TForm1::udMonatClick(TUDBtnType button) {
  period_->StepMonth(button);
  cmbMChange();
}

void TForm1::udJahrClick(TUDBtnType button) {
  period_->StepYear(button);
  cmbMChange();
}

void TForm1::btnHelpClick() {
  // Without an open database the settings are read again, the path shown is
  // the one tried, and the request that follows tries to open it.
  const bool retry = runs_->WaitingForDatabase();
  if (retry) runs_->ReadLocation();
  ShowMessage("DB:\r" + program_.DbFolder + program_.DbName);
  if (retry) cmbMChange();
}

void TForm1::btnCsvClick() {
  export_->Save(this, [this] { return ProposedExportNames(period_->Period(), period_->Basis()); });
}

void TForm1::btnUebersichtClick() {
  if (runs_->Running()) return;
  const int year = period_->Year();
  const TaxationBasis basis = period_->Basis();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  struct CursorBack {
    ~CursorBack() { QApplication::restoreOverrideCursor(); }
  } cursorBack;
  // After a failed start the database is opened here as a period choice opens it.
  runs_->WithDatabase(
      [&](TDBase& db) { ShowYearOverview(overviewDialog_, this, db, year, basis); });
}

}  // namespace vorlex
