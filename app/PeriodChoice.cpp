#include "app/PeriodChoice.h"

#include <QColor>
#include <QComboBox>
#include <QPalette>
#include <QSignalBlocker>
#include <QToolButton>
#include <string>

#include "app/MonthNames.h"
#include "ui/DesignMetrics.h"
#include "ui/qtcore/QtText.h"

namespace vorlex {

namespace {
constexpr int kFirstYear = 1998;
}

TPeriodChoice::TPeriodChoice(const TDesignScale& S, const FormatSettings& format, QWidget* parent)
    : QFrame(parent) {
  setObjectName(QStringLiteral("pnlTop"));
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto radio = [&](const char* name, const QString& caption, int left, int top, int width,
                   int height) {
    auto* button = new TRadioButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(S.Rect(left, top, width, height));
    return button;
  };
  auto upDown = [&](const char* name, int left, int top, int position) {
    auto* control = new TUpDown(this);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(S.Rect(left, top, 37, 21));
    control->SetRange(0, 100);
    control->SetWrap(false);
    control->SetPosition(position);
    return control;
  };
  auto dropDown = [&](const char* name, int left, int top, int width) {
    auto* list = new QComboBox(this);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(false);
    list->setGeometry(S.Rect(left, top, width, 21));
    return list;
  };
  auto datePicker = [&](const char* name, int left) {
    auto* picker = new TDatePicker(QDate(2011, 11, 7), format, this);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setGeometry(S.Rect(left, 108, 81, 21));
    return picker;
  };
  auto group = [&](const char* name, const QString& caption, const QStringList& items,
                   const QRect& place) {
    auto* radios = new TRadioGroup(caption, items, this);
    radios->setObjectName(QString::fromLatin1(name));
    radios->setGeometry(place);
    radios->SetItemIndex(0);
    return radios;
  };

  rbJahr_ = radio("rbJahr", QStringLiteral("Jahr"), 16, 12, 49, 17);
  cmbJ_ = dropDown("cmbJ", 68, 10, 61);
  udJahr_ = upDown("udJahr", 132, 10, 65);
  rbQ1_ = radio("rbQ1", QStringLiteral("Q1"), 16, 45, 37, 17);
  rbQ2_ = radio("rbQ2", QStringLiteral("Q2"), 56, 45, 37, 17);
  rbQ3_ = radio("rbQ3", QStringLiteral("Q3"), 96, 45, 37, 17);
  rbQ4_ = radio("rbQ4", QStringLiteral("Q4"), 140, 45, 37, 17);
  rbM_ = radio("rbM", QString(), 16, 78, 17, 17);
  rbM_->setChecked(true);
  cmbM_ = dropDown("cmbM", 36, 76, 93);
  udMonat_ = upDown("udMonat", 132, 76, 85);
  rbVonBis_ = radio("rbVonBis", QStringLiteral("von ... bis"), 16, 111, 85, 17);
  dtpVon_ = datePicker("dtpVon", 100);
  dtpBis_ = datePicker("dtpBis", 188);

  rgVersteuerung_ = group("rgVersteuerung", QStringLiteral("Versteuerung"),
                          {QStringLiteral("Ist"), QStringLiteral("Soll")}, S.Rect(276, 72, 93, 57));
  rgVersteuerung_->setAutoFillBackground(true);
  QPalette palette = rgVersteuerung_->palette();
  palette.setColor(QPalette::Window, QColor(176, 255, 98));
  rgVersteuerung_->setPalette(palette);

  rgBetrag_ = group("rgBetrag", QString(),
                    {QStringLiteral("Rechbetrag"), QStringLiteral("bezahlt / 1.19")},
                    S.Rect(372, 72, 105, 57));
  // Both entries give the same figures, as they always have: it is no switch
  // for part payments.
  rgBetrag_->setToolTip(
      QStringLiteral("Ohne Einfluss auf die Zahlen: Beide Einstellungen ergeben dieselben Werte.\n"
                     "Vorlex rechnet stets mit dem vollen Rechnungsbetrag, auch bei "
                     "Teilzahlungen."));

  // A list's choice, a date, a kind becoming checked, either group.
  connect(cmbJ_, &QComboBox::activated, this, &TPeriodChoice::ReportChoice);
  connect(cmbM_, &QComboBox::activated, this, &TPeriodChoice::ReportChoice);
  connect(dtpVon_, &TDatePicker::dateChanged, this, &TPeriodChoice::ReportChoice);
  connect(dtpBis_, &TDatePicker::dateChanged, this, &TPeriodChoice::ReportChoice);
  for (QRadioButton* button : {rbJahr_, rbQ1_, rbQ2_, rbQ3_, rbQ4_, rbM_, rbVonBis_}) {
    connect(button, &QRadioButton::toggled, this, [this](bool checked) {
      if (checked) ReportChoice();
    });
  }
  connect(rgVersteuerung_, &TRadioGroup::Click, this, &TPeriodChoice::ReportChoice);
  connect(rgBetrag_, &TRadioGroup::Click, this, &TPeriodChoice::ReportChoice);
  connect(udMonat_, &TUpDown::Click, this, &TPeriodChoice::MonthStepClicked);
  connect(udJahr_, &TUpDown::Click, this, &TPeriodChoice::YearStepClicked);
  for (TRadioButton* button :
       {rbJahr_, rbQ1_, rbQ2_, rbQ3_, rbQ4_, rbM_, rbVonBis_, rgVersteuerung_->Button(0),
        rgVersteuerung_->Button(1), rgBetrag_->Button(0), rgBetrag_->Button(1)}) {
    ReportAgainOnClick(*button);
  }
}

// A radio button already chosen reports no change when clicked; after a failed
// run that is the way to try the same period again.
void TPeriodChoice::ReportAgainOnClick(QAbstractButton& button) {
  connect(&button, &QAbstractButton::pressed, this,
          [this, &button] { pressedWhileChosen_ = button.isChecked(); });
  connect(&button, &QAbstractButton::clicked, this, [this] {
    if (!pressedWhileChosen_ || !started_) return;
    pressedWhileChosen_ = false;
    emit ChosenAgain(Period(), Basis());
  });
}

void TPeriodChoice::ReportChoice() {
  if (started_) emit Chosen(Period(), Basis());
}

TTaxPeriod TPeriodChoice::StartOn(const QDate& today) {
  cmbM_->setEditable(false);
  cmbJ_->setEditable(false);
  udMonat_->SetPosition(85);
  udJahr_->SetPosition(65);

  const int year = today.year();
  const int month = today.month();
  cmbM_->clear();
  for (const char* name : MonthNames) cmbM_->addItem(DecodeText(name));
  cmbM_->setCurrentIndex(month - 1);
  cmbJ_->clear();
  for (int y = kFirstYear; y <= year + 3; ++y)
    cmbJ_->addItem(QString::fromStdString(std::to_string(y)));
  cmbJ_->setCurrentIndex(year - kFirstYear);

  const TTaxPeriod period = MonthPeriod(year, month);
  {
    // "von ... bis" starts on this month too.
    const QSignalBlocker quietFrom(dtpVon_);
    const QSignalBlocker quietTo(dtpBis_);
    dtpVon_->setDate(QDate(year, month, period.First.day));
    dtpBis_->setDate(QDate(year, month, period.Last.day));
  }
  started_ = true;
  return period;
}

int TPeriodChoice::Year() const {
  // The list holds the years as plain digits.
  return cmbJ_->currentText().toInt();
}

TaxationBasis TPeriodChoice::Basis() const {
  return rgVersteuerung_->ItemIndex() == static_cast<int>(TaxationBasis::Soll)
             ? TaxationBasis::Soll
             : TaxationBasis::Ist;
}

void TPeriodChoice::SetBasis(TaxationBasis basis) {
  rgVersteuerung_->SetItemIndex(static_cast<int>(basis));
}

TTaxPeriod TPeriodChoice::Period() {
  const int year = Year();
  // A quarter moves the month list to an entry of its own.
  const auto quarter = [&](int number, int monthEntry) {
    cmbM_->setCurrentIndex(monthEntry);
    return QuarterPeriod(year, number);
  };
  if (rbJahr_->isChecked()) return YearPeriod(year);
  if (rbVonBis_->isChecked()) {
    const QDate from = dtpVon_->date();
    const QDate to = dtpBis_->date();
    return RangePeriod({from.year(), from.month(), from.day()}, {to.year(), to.month(), to.day()});
  }
  if (rbM_->isChecked()) return MonthPeriod(year, cmbM_->currentIndex() + 1);
  if (rbQ1_->isChecked()) return quarter(1, 0);
  if (rbQ2_->isChecked()) return quarter(2, 2);
  if (rbQ3_->isChecked()) return quarter(3, 5);
  if (rbQ4_->isChecked()) return quarter(4, 8);
  TTaxPeriod none;
  none.Year = year;
  return none;
}

void TPeriodChoice::StepMonth(UpDownButton button) {
  // Back to the middle after every step, so that the control never reaches an
  // end of its range: only the ends of the year list stop the stepping.
  udMonat_->Recentre();
  if (!rbM_->isChecked()) {
    // Checking rbM reports nothing of its own; the step is reported once.
    const QSignalBlocker quiet(rbM_);
    rbM_->setChecked(true);
  }

  int month = cmbM_->currentIndex();
  int year = cmbJ_->currentIndex();
  if (button == UpDownButton::Previous) {
    if (month > 0) {
      --month;
    } else if (year > 0) {
      month = 11;
      --year;
    }
  } else {
    if (month < 11) {
      ++month;
    } else if (year + 1 < cmbJ_->count()) {
      month = 0;
      ++year;
    }
  }
  cmbM_->setCurrentIndex(month);
  cmbJ_->setCurrentIndex(year);
  ReportChoice();
}

void TPeriodChoice::StepYear(UpDownButton button) {
  udJahr_->Recentre();
  const int year = cmbJ_->currentIndex();
  if (button == UpDownButton::Previous) {
    if (year > 0) cmbJ_->setCurrentIndex(year - 1);
  } else if (year + 1 < cmbJ_->count()) {
    cmbJ_->setCurrentIndex(year + 1);
  }
  ReportChoice();
}

QWidget* TPeriodChoice::ChainTabOrder(QWidget* previous) const {
  return vorlex::ChainTabOrder(
      previous, {rbJahr_, cmbJ_, udJahr_->PrevButton(), udJahr_->NextButton(), rbQ1_, rbQ2_,
                 rbQ3_, rbQ4_, rbM_, cmbM_, udMonat_->PrevButton(), udMonat_->NextButton(),
                 rbVonBis_, dtpVon_, dtpBis_, rgVersteuerung_->Button(0),
                 rgVersteuerung_->Button(1), rgBetrag_->Button(0), rgBetrag_->Button(1)});
}

}  // namespace vorlex
