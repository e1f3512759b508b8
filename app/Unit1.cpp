#include "app/Unit1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QEventLoop>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "app/WindowPlacement.h"
#include "app/WindowSettings.h"
#include "app/uApplication.h"
#include "app/version_U.h"
#include "db/uDB.h"
#include "location/uLocation.h"
#include "tax/PlausibilityHints.h"
#include "tax/Prepayment.h"
#include "tax/TaxTotals.h"
#include "ui/text/EcSalesExport.h"
#include "ui/text/TableExport.h"
#include "ui/FormValuePanel.h"
#include "ui/SummaryListView.h"
#include "ui/qtcore/uQtText.h"
#include "ui/text/CsvExport.h"
#include "ui/text/SummaryList.h"
#include "util/uDatum.h"
#include "util/uFormat.h"

namespace vorlex {

std::string ReadVatId(TDBase& db) {
  std::unique_ptr<TDBTable> table = db.Query("SELECT ustidnummer FROM settingsmandant");
  if (table->AtEnd()) return {};
  return table->FieldValue("ustidnummer").Text();
}

namespace {

constexpr int kFirstYear = 1998;

// A label's text: carriage returns break the line.
QString LabelText(std::string_view bytes) {
  QString text = DecodeText(bytes);
  text.replace(u'\r', u'\n');
  return text;
}

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

// The run's entries and lines go into a list that the model takes over when
// the run ends, so that a long run costs one reset of the view. The progress
// bar moves in hundredths of the stage, which bounds its repaints.
class TWindowSink : public TRunList {
 public:
  explicit TWindowSink(QProgressBar& bar) : bar_(bar) {}

  void ProgressStart(int maximum) override {
    TRunList::ProgressStart(maximum);
    maximum_ = std::max(0, maximum);
    steps_ = 0;
    Show(0);
  }

  void ProgressStep() override {
    ++steps_;
    if (maximum_ > 0) Show(static_cast<int>(std::min<int64_t>(100, steps_ * 100 / maximum_)));
  }

  void HandOver(TSummaryListModel& model) { model.SetLines(std::move(lines), std::move(entries)); }

 private:
  void Show(int value) {
    if (value == shown_) return;
    shown_ = value;
    bar_.setValue(value);
  }

  QProgressBar& bar_;
  int64_t maximum_ = 0;
  int64_t steps_ = 0;
  int shown_ = -1;
};

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
  lblKz83 = new QLabel(StatusBar1);
  lblKz83->setObjectName(QStringLiteral("lblKz83"));
  lblHinweise = new QLabel(StatusBar1);
  lblHinweise->setObjectName(QStringLiteral("lblHinweise"));
  lblHinweise->setTextFormat(Qt::RichText);
  lblHinweise->setContentsMargins(0, 0, 6, 0);
  StatusBar1->addPermanentWidget(lblKz83);
  StatusBar1->addPermanentWidget(lblHinweise);
  connect(lblHinweise, &QLabel::linkActivated, this,
          [this] { RunShowingErrors([this] { ShowHints(); }); });

  BuildLeftPanel();
  BuildRightPanel();
  ConnectEvents();
  AlignPanels();
  FormResize();
}

TForm1::~TForm1() = default;

void TForm1::BuildLeftPanel() {
  pnlTop = new QFrame(pnlL);
  pnlTop->setObjectName(QStringLiteral("pnlTop"));
  pnlTop->setFrameStyle(QFrame::Panel | QFrame::Raised);

  auto radio = [this](const char* name, const QString& caption, int left, int top, int width,
                      int height) {
    auto* button = new TRadioButton(caption, pnlTop);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(S(left), S(top), S(width), S(height));
    return button;
  };
  auto upDown = [this](const char* name, int left, int top, int position) {
    auto* control = new TUpDown(pnlTop);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(S(left), S(top), S(37), S(21));
    control->SetRange(0, 100);
    control->SetWrap(false);
    control->SetPosition(position);
    return control;
  };
  auto dropDown = [this](const char* name, int left, int top, int width) {
    auto* list = new QComboBox(pnlTop);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(false);
    list->setGeometry(S(left), S(top), S(width), S(21));
    return list;
  };
  auto datePicker = [this](const char* name, int left) {
    auto* picker = new QDateEdit(QDate(2011, 11, 7), pnlTop);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QString::fromStdString(Format().ShortDatePattern));
    picker->setGeometry(S(left), S(108), S(81), S(21));
    return picker;
  };

  rbJahr = radio("rbJahr", QStringLiteral("Jahr"), 16, 12, 49, 17);
  cmbJ = dropDown("cmbJ", 68, 10, 61);
  udJahr = upDown("udJahr", 132, 10, 65);
  rbQ1 = radio("rbQ1", QStringLiteral("Q1"), 16, 45, 37, 17);
  rbQ2 = radio("rbQ2", QStringLiteral("Q2"), 56, 45, 37, 17);
  rbQ3 = radio("rbQ3", QStringLiteral("Q3"), 96, 45, 37, 17);
  rbQ4 = radio("rbQ4", QStringLiteral("Q4"), 140, 45, 37, 17);
  rbM = radio("rbM", QString(), 16, 78, 17, 17);
  rbM->setChecked(true);
  cmbM = dropDown("cmbM", 36, 76, 93);
  udMonat = upDown("udMonat", 132, 76, 85);
  rbVonBis = radio("rbVonBis", QStringLiteral("von ... bis"), 16, 111, 85, 17);
  dtpVon = datePicker("dtpVon", 100);
  dtpBis = datePicker("dtpBis", 188);

  rgVersteuerung = new TRadioGroup(QStringLiteral("Versteuerung"),
                                   {QStringLiteral("Ist"), QStringLiteral("Soll")}, pnlTop);
  rgVersteuerung->setObjectName(QStringLiteral("rgVersteuerung"));
  rgVersteuerung->setGeometry(S(276), S(72), S(93), S(57));
  rgVersteuerung->SetItemIndex(0);
  rgVersteuerung->setAutoFillBackground(true);
  QPalette palette = rgVersteuerung->palette();
  palette.setColor(QPalette::Window, QColor(176, 255, 98));
  rgVersteuerung->setPalette(palette);

  rgBetrag = new TRadioGroup(
      QString(), {QStringLiteral("Rechbetrag"), QStringLiteral("bezahlt / 1.19")}, pnlTop);
  rgBetrag->setObjectName(QStringLiteral("rgBetrag"));
  rgBetrag->setGeometry(S(372), S(72), S(105), S(57));
  rgBetrag->SetItemIndex(0);

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

void TForm1::BuildRightPanel() {
  auto label = [this](const char* name, int left, int top, int width, int height) {
    auto* text = new QLabel(pnlR);
    text->setObjectName(QString::fromLatin1(name));
    text->setGeometry(S(left), S(top), S(width), S(height));
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setWordWrap(true);
    text->setMargin(0);
    return text;
  };
  auto picture = [this](const char* name, int top) {
    auto* image = new TImage(pnlR);
    image->setObjectName(QString::fromLatin1(name));
    image->setGeometry(S(56), S(top), S(173), S(29));
    return image;
  };

  Label1 = label("Label1", 56, 16, 202, 39);
  Label1->setText(QStringLiteral(
      "Tragen Sie folgende Werte in die entsprechenden Felder von ElsterFormular / -online ein:"));

  const QFont captionFont = PixelFont(QStringLiteral("Arial"), S(9));
  QLabel** captions[] = {&Label2, &Label3, &Label4, &Label5, &Label6};
  const char* captionNames[] = {"Label2", "Label3", "Label4", "Label5", "Label6"};
  const int captionTops[] = {68, 132, 196, 260, 328};
  for (int i = 0; i < 5; ++i) {
    QLabel* caption = label(captionNames[i], 56, captionTops[i], 208, 24);
    caption->setFont(captionFont);
    caption->setText(LabelText(kDesignFieldCaption));
    if (i > 0) {
      QPalette black = caption->palette();
      black.setColor(QPalette::WindowText, Qt::black);
      caption->setPalette(black);
    }
    *captions[i] = caption;
  }

  Image1 = picture("Image1", 96);
  Image2 = picture("Image2", 160);
  Image3 = picture("Image3", 224);
  Image4 = picture("Image4", 288);
  Image5 = picture("Image5", 356);

  Bevel1 = new TBevel(pnlR);
  Bevel1->setObjectName(QStringLiteral("Bevel1"));
  Bevel1->setGeometry(S(56), S(400), S(185), S(13));

  Label7 = new QLabel(QStringLiteral("USt-ID"), pnlR);
  Label7->setObjectName(QStringLiteral("Label7"));
  Label7->move(S(56), S(440));
  Label7->adjustSize();

  editUStID = new QLineEdit(pnlR);
  editUStID->setObjectName(QStringLiteral("editUStID"));
  editUStID->setGeometry(S(104), S(436), S(125), S(20));
  editUStID->setFont(PixelFont(QStringLiteral("Arial"), PointsToPixels(8, ppi_)));
  editUStID->setStyleSheet(
      QStringLiteral("QLineEdit { border: 1px solid black; background: white; padding: 0px; }"));
}

void TForm1::ConnectEvents() {
  // Every handler runs under the program's error handling: an error is shown
  // where it leaves the handler and never unwinds through the toolkit.
  const auto request = [this] { RunShowingErrors([this] { cmbMChange(); }); };
  connect(cmbJ, &QComboBox::activated, this, request);
  connect(cmbM, &QComboBox::activated, this, request);
  connect(dtpVon, &QDateEdit::dateChanged, this, request);
  connect(dtpBis, &QDateEdit::dateChanged, this, request);
  for (QRadioButton* button : {rbJahr, rbQ1, rbQ2, rbQ3, rbQ4, rbM, rbVonBis}) {
    connect(button, &QRadioButton::toggled, this, [request](bool checked) {
      if (checked) request();
    });
  }
  connect(rgVersteuerung, &TRadioGroup::Click, this, request);
  connect(rgBetrag, &TRadioGroup::Click, this, request);
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
  drillDown_ = new TFieldDrillDown(*lbUst, *StatusBar1, this);
  const std::array<FormFigure, 5> fields = FormFigures(TaxTotals{});
  const std::array<TImage*, 5> images = Images();
  for (size_t i = 0; i < images.size(); ++i) drillDown_->Attach(*images[i], fields[i].field);
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
  if (running_) {
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
  RestoreWindowSettings(*this);

  cmbM->setEditable(false);
  cmbJ->setEditable(false);
  udMonat->SetPosition(85);
  udJahr->SetPosition(65);

  const int year = today.year();
  const int month = today.month();
  cmbM->clear();
  for (const char* name : MonthNames) cmbM->addItem(DecodeText(name));
  cmbM->setCurrentIndex(month - 1);
  cmbJ->clear();
  for (int y = kFirstYear; y <= year + 3; ++y)
    cmbJ->addItem(QString::fromStdString(std::to_string(y)));
  cmbJ->setCurrentIndex(year - kFirstYear);
  // "von ... bis" starts on this month too.
  for (QDateEdit* picker : {dtpVon, dtpBis}) picker->blockSignals(true);
  dtpVon->setDate(QDate(year, month, 1));
  dtpBis->setDate(QDate(year, month, today.daysInMonth()));
  for (QDateEdit* picker : {dtpVon, dtpBis}) picker->blockSignals(false);

  // The window is whole before the database is opened: a failed open leaves
  // the captions, the period and empty boxes, and start-up still ends, so that
  // the next choice of a period tries to open the database again.
  SetFieldCaptions();
  const double firstDay = EncodeDate(year, month, 1);
  const double lastDay = EncodeDate(
      year, month, DaysInMonth(static_cast<uint16_t>(year), static_cast<uint16_t>(month)));
  ShowPeriod(firstDay, lastDay);
  ClearFormValues();
  struct StartUpEnd {
    bool& enabled;
    ~StartUpEnd() { enabled = true; }
  } startUpEnd{program_.EvaluationEnabled};

  OpenAndRun(firstDay, lastDay);
}

void TForm1::SetFieldCaptions() {
  Label2->setText(LabelText("Innergemeinschaftliche Lieferungen\ran Abnehmer mit USt-IdNr."));
  Label3->setText(LabelText("neuer Fahrzeuge an Abnehmer ohne USt-IdNr."));
  Label4->setText(LabelText("Steuerpflichtige Ums\xE4tze\rzum Steuersatz von 19 v.H."));
  Label5->setText(LabelText("zum Steuersatz von  7 v.H."));
  Label6->setText(LabelText("Vorsteuerbetr\xE4ge aus Rechnungen von anderen Unternehmen ..."));
}

void TForm1::ReadLocation() {
  program_.AppDataDir = PelmoraAppDataDir();
  const DatabaseLocation location =
      ReadDatabaseLocation(program_.AppDataDir + kSettingsFileName, program_.AppDataDir);
  program_.DbFolder = location.DbFolder;
  program_.DbName = location.DbName;
}

void TForm1::OpenAndRun(double firstDay, double lastDay) {
  OpenFor([&] { EvaluationRun(firstDay, lastDay); });
  editUStID->setText(DecodeText(ReadVatId(*program_.Database)));
}

void TForm1::OpenFor(const std::function<void()>& use) {
  ReadLocation();
  try {
    program_.Database = std::make_unique<TDBase>(program_.DbFolder + program_.DbName);
    use();
  } catch (...) {
    // A database that opens but cannot be evaluated (an empty file, another
    // program's database) is not kept either: the next request opens afresh,
    // so that a database restored in its place is found.
    if (program_.Database) program_.Database->Close();
    program_.Database.reset();
    throw;
  }
}

void TForm1::FormClose() {
  SaveWindowSettings(*this);
  if (program_.Database) program_.Database->Close();
}

void TForm1::FormResize() {
  btnHelp->move(pnlTop->width() - btnHelp->width() - 8, btnHelp->y());
  btnCsv->move(btnHelp->x() - btnCsv->width(), btnCsv->y());
  btnUebersicht->move(btnHelp->x() + btnHelp->width() - btnUebersicht->width(),
                      btnUebersicht->y());
  pB->setGeometry(10, pB->y(), std::max(0, pnlL->width() - 20), pB->height());
}

TTaxPeriod TForm1::TaxPeriodFromControls() {
  const int year = static_cast<int>(StrToInt(cmbJ->currentText().toStdString()));
  // A quarter moves the month list to an entry of its own.
  const auto quarter = [&](int number, int monthEntry) {
    cmbM->setCurrentIndex(monthEntry);
    return QuarterPeriod(year, number);
  };
  if (rbJahr->isChecked()) return YearPeriod(year);
  if (rbVonBis->isChecked()) {
    const QDate from = dtpVon->date();
    const QDate to = dtpBis->date();
    return RangePeriod({from.year(), from.month(), from.day()}, {to.year(), to.month(), to.day()});
  }
  if (rbM->isChecked()) return MonthPeriod(year, cmbM->currentIndex() + 1);
  if (rbQ1->isChecked()) return quarter(1, 0);
  if (rbQ2->isChecked()) return quarter(2, 2);
  if (rbQ3->isChecked()) return quarter(3, 5);
  if (rbQ4->isChecked()) return quarter(4, 8);
  TTaxPeriod none;
  none.Year = year;
  return none;
}

void TForm1::cmbMChange() {
  // Without an open database the request opens it first, as start-up does.
  if (!program_.EvaluationEnabled) return;
  if (running_) {
    // A request that reaches the window while a run paints its caption takes
    // effect once that run has ended.
    if (!requestWaiting_) {
      requestWaiting_ = true;
      QMetaObject::invokeMethod(
          this,
          [this] {
            requestWaiting_ = false;
            RunShowingErrors([this] { cmbMChange(); });
          },
          Qt::QueuedConnection);
    }
    return;
  }
  const TTaxPeriod period = TaxPeriodFromControls();
  if (!program_.Database) {
    OpenAndRun(period.FirstDay, period.LastDay);
  } else {
    EvaluationRun(period.FirstDay, period.LastDay);
  }
  // An open year overview shows the year and basis chosen here.
  FollowYearOverview(overviewDialog_, *program_.Database,
                     static_cast<int>(StrToInt(cmbJ->currentText().toStdString())),
                     std::max(0, rgVersteuerung->ItemIndex()));
}

void TForm1::EvaluationRun(double firstDay, double lastDay) {
  if (!program_.Database)
    throw std::runtime_error(
        "Keine Datenbank ge\xF6"
        "ffnet");
  running_ = true;
  lastRunComplete_ = false;
  struct RunEnd {
    bool& running;
    ~RunEnd() { running = false; }
  } runEnd{running_};

  const int versteuerung = std::max(0, rgVersteuerung->ItemIndex());
  ShowPeriod(firstDay, lastDay);
  // Paint the caption before the run blocks the window; user input waits until
  // the run has ended, so no request can start a run inside this one.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

  program_.Totals = TaxTotals{};
  ClearRunStatus();
  lbUst->hide();
  pB->setValue(0);
  pB->show();
  lbUst->Model().Clear();

  TWindowSink sink(*pB);
  try {
    EvaluateRun(*program_.Database, firstDay, lastDay, versteuerung, program_.Totals, sink);
  } catch (...) {
    // No figures of another period may stay under the new caption: the list
    // shows what was read before the error, the pictures are empty boxes.
    pB->hide();
    sink.HandOver(lbUst->Model());
    lbUst->scrollToTop();
    lbUst->show();
    ClearFormValues();
    throw;
  }
  pB->hide();
  sink.HandOver(lbUst->Model());
  // Every new list starts at its first line.
  lbUst->scrollToTop();
  lbUst->show();
  DrawFormValues(program_.Totals);
  ShowRunStatus(lbUst->Model().Entries(), firstDay, lastDay);
  lastRunComplete_ = true;
  lastRunDays_ = {firstDay, lastDay};
}

void TForm1::ClearRunStatus() {
  hints_.clear();
  if (hintsDialog_) hintsDialog_->SetHints(hints_);
  lblKz83->clear();
  lblHinweise->clear();
}

void TForm1::ShowRunStatus(const std::vector<RunEntry>& entries, double firstDay, double lastDay) {
  hints_ = PlausibilityHints(entries, firstDay, lastDay);
  if (hintsDialog_) hintsDialog_->SetHints(hints_);
  const std::optional<Prepayment> prepayment = PrepaymentOf(program_.Totals);
  lblKz83->setText(DecodeText(prepayment ? PrepaymentStatus(prepayment->due) : "Kz 83: -"));
  const size_t count = hints_.size();
  if (count == 0) {
    lblHinweise->setText(QStringLiteral("Keine Hinweise"));
  } else {
    lblHinweise->setText(QStringLiteral("<a href=\"hints\">%1 %2</a>")
                             .arg(count)
                             .arg(count == 1 ? QStringLiteral("Hinweis") : QStringLiteral("Hinweise")));
  }
}

void TForm1::ShowHints() {
  if (!hintsDialog_) {
    hintsDialog_ = new THintsDialog(this);
    connect(hintsDialog_, &THintsDialog::EntryChosen, this,
            [this](int entry) { RunShowingErrors([this, entry] { SelectEntry(entry); }); });
    hintsDialog_->SetHints(hints_);
    // Beside the window and as tall, so that the line a hint selects stays in sight.
    hintsDialog_->resize(hintsDialog_->width(), height());
    PlaceBeside(*hintsDialog_, *this, 420);
  }
  hintsDialog_->show();
  hintsDialog_->raise();
  hintsDialog_->activateWindow();
}

void TForm1::SelectEntry(int entry) {
  TSummaryListModel& model = lbUst->Model();
  const std::vector<ListLine>& rows = model.Rows();
  for (size_t row = 0; row < rows.size(); ++row) {
    if (rows[row].entry != entry) continue;
    if (model.ViewRow(static_cast<int>(row)) < 0) drillDown_->ShowAll();
    const QModelIndex index = model.index(model.ViewRow(static_cast<int>(row)));
    lbUst->setCurrentIndex(index);
    const bool hintsShown = hintsDialog_ != nullptr && hintsDialog_->isVisible();
    ScrollClearOf(*lbUst, index, hintsShown ? hintsDialog_->frameGeometry() : QRect());
    return;
  }
}

void TForm1::btnUebersichtClick() {
  if (running_) return;
  const int year = static_cast<int>(StrToInt(cmbJ->currentText().toStdString()));
  const int versteuerung = std::max(0, rgVersteuerung->ItemIndex());
  QApplication::setOverrideCursor(Qt::WaitCursor);
  struct CursorBack {
    ~CursorBack() { QApplication::restoreOverrideCursor(); }
  } cursorBack;
  const auto show = [&] {
    ShowYearOverview(overviewDialog_, this, *program_.Database, year, versteuerung);
  };
  // After a failed start the database is opened here as a period choice opens it.
  if (program_.Database) {
    show();
  } else {
    OpenFor(show);
  }
}

void TForm1::ShowPeriod(double firstDay, double lastDay) {
  const int versteuerung = std::max(0, rgVersteuerung->ItemIndex());
  lblCaption->setText(DecodeText(PeriodCaption(firstDay, lastDay, versteuerung)));
  lblCaption->adjustSize();
  // A range whose first day lies after its last selects nothing; the zeros
  // would otherwise look like a period without business.
  if (PeriodReversed(firstDay, lastDay)) {
    StatusBar1->showMessage(DecodeText("Der erste Tag (" + FormatDate(firstDay) +
                                       ") liegt nach dem letzten Tag (" + FormatDate(lastDay) +
                                       ")."));
  } else {
    StatusBar1->clearMessage();
  }
}

std::array<TImage*, 5> TForm1::Images() const {
  return {Image1, Image2, Image3, Image4, Image5};
}

void TForm1::DrawFormValues(const TaxTotals& totals) {
  const std::array<FormFigure, 5> figures = FormFigures(totals);
  const std::array<TImage*, 5> images = Images();
  for (size_t i = 0; i < figures.size(); ++i) {
    DrawFormValue(*images[i], figures[i].field, figures[i].value, ppi_);
  }
}

void TForm1::ClearFormValues() {
  const std::array<FormFigure, 5> figures = FormFigures(TaxTotals{});
  const std::array<TImage*, 5> images = Images();
  for (size_t i = 0; i < figures.size(); ++i) DrawFormBoxes(*images[i], figures[i].field, ppi_);
}

void TForm1::udMonatClick(TUDBtnType button) {
  // Back to the middle after every step, so that the control never reaches an
  // end of its range: only the ends of the year list stop the stepping.
  udMonat->Recentre();
  // Checking rbM here must not start a run of its own; the request below does.
  const bool enabled = program_.EvaluationEnabled;
  program_.EvaluationEnabled = false;
  if (!rbM->isChecked()) rbM->setChecked(true);
  program_.EvaluationEnabled = enabled;

  int month = cmbM->currentIndex();
  int year = cmbJ->currentIndex();
  if (button == TUDBtnType::btPrev) {
    if (month > 0) {
      --month;
    } else if (year > 0) {
      month = 11;
      --year;
    }
  } else {
    if (month < 11) {
      ++month;
    } else if (year + 1 < cmbJ->count()) {
      month = 0;
      ++year;
    }
  }
  cmbM->setCurrentIndex(month);
  cmbJ->setCurrentIndex(year);
  cmbMChange();
}

void TForm1::udJahrClick(TUDBtnType button) {
  udJahr->Recentre();
  const int year = cmbJ->currentIndex();
  if (button == TUDBtnType::btPrev) {
    if (year > 0) cmbJ->setCurrentIndex(year - 1);
  } else if (year + 1 < cmbJ->count()) {
    cmbJ->setCurrentIndex(year + 1);
  }
  cmbMChange();
}

void TForm1::btnHelpClick() {
  // Without an open database the settings are read again, the path shown is
  // the one tried, and the request that follows tries to open it.
  const bool retry = program_.EvaluationEnabled && !program_.Database;
  if (retry) ReadLocation();
  ShowMessage("DB:\r" + program_.DbFolder + program_.DbName);
  if (retry) cmbMChange();
}

void TForm1::btnCsvClick() {
  if (!lastRunComplete_) {
    ShowMessage("Nichts zu speichern: Es liegt keine vollst\xE4ndige Auswertung vor.");
    return;
  }
  SaveDialog1.FileName = ProposedCsvName();
  SaveDialog1.Filter = QString::fromLatin1(kCsvFilter) + u'|' + DecodeText(kTableFilter) + u'|' +
                       DecodeText(kEcSalesFilter);
  SaveDialog1.FilterIndex = 1;
  SaveDialog1.OverwritePrompt = true;
  SaveDialog1.HideReadOnly = true;
  SaveDialog1.DefaultExt.clear();
  if (!SaveDialog1.Execute(this)) return;
  // The list as shown, the table, or the EC sales list.
  const TSummaryListModel& model = lbUst->Model();
  switch (SaveDialog1.FilterIndex) {
    case 2:
      SaveExportFile(SaveDialog1.FileName, TableBytes(model.Entries(), program_.Totals));
      break;
    case 3:
      SaveExportFile(SaveDialog1.FileName, EcSalesBytes(model.Entries(), program_.Totals,
                                                        lastRunDays_[0], lastRunDays_[1]));
      break;
    default:
      SaveCsvFile(SaveDialog1.FileName, model.Rows());
  }
  StatusBar1->showMessage(QStringLiteral("Gespeichert: ") +
                          QDir::toNativeSeparators(SaveDialog1.FileName));
}

QString TForm1::ProposedCsvName() {
  const std::string stem =
      ExportFileStem(TaxPeriodFromControls(), std::max(0, rgVersteuerung->ItemIndex()));
  return stem.empty() ? QString::fromLatin1(kCsvProposedName)
                      : QString::fromStdString(stem) + QStringLiteral(".csv");
}

}  // namespace vorlex
