#include "app/PeriodChoice.h"

#include <QColor>
#include <QComboBox>
#include <QPalette>
#include <string>

#include "app/MonthNames.h"
#include "ui/qtcore/uQtText.h"
#include "util/uFormat.h"

namespace vorlex {

namespace {
constexpr int kFirstYear = 1998;
}

TPeriodChoice::TPeriodChoice(TPeriodControls& controls, QWidget& strip, int pixelsPerInch,
                             QObject* parent)
    : QObject(parent), c_(controls) {
  const auto S = [pixelsPerInch](int designPixels) { return designPixels * pixelsPerInch / 96; };
  auto radio = [&](const char* name, const QString& caption, int left, int top, int width,
                   int height) {
    auto* button = new TRadioButton(caption, &strip);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(S(left), S(top), S(width), S(height));
    return button;
  };
  auto upDown = [&](const char* name, int left, int top, int position) {
    auto* control = new TUpDown(&strip);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(S(left), S(top), S(37), S(21));
    control->SetRange(0, 100);
    control->SetWrap(false);
    control->SetPosition(position);
    return control;
  };
  auto dropDown = [&](const char* name, int left, int top, int width) {
    auto* list = new QComboBox(&strip);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(false);
    list->setGeometry(S(left), S(top), S(width), S(21));
    return list;
  };
  auto datePicker = [&](const char* name, int left) {
    auto* picker = new TDatePicker(QDate(2011, 11, 7), &strip);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setGeometry(S(left), S(108), S(81), S(21));
    return picker;
  };

  c_.rbJahr = radio("rbJahr", QStringLiteral("Jahr"), 16, 12, 49, 17);
  c_.cmbJ = dropDown("cmbJ", 68, 10, 61);
  c_.udJahr = upDown("udJahr", 132, 10, 65);
  c_.rbQ1 = radio("rbQ1", QStringLiteral("Q1"), 16, 45, 37, 17);
  c_.rbQ2 = radio("rbQ2", QStringLiteral("Q2"), 56, 45, 37, 17);
  c_.rbQ3 = radio("rbQ3", QStringLiteral("Q3"), 96, 45, 37, 17);
  c_.rbQ4 = radio("rbQ4", QStringLiteral("Q4"), 140, 45, 37, 17);
  c_.rbM = radio("rbM", QString(), 16, 78, 17, 17);
  c_.rbM->setChecked(true);
  c_.cmbM = dropDown("cmbM", 36, 76, 93);
  c_.udMonat = upDown("udMonat", 132, 76, 85);
  c_.rbVonBis = radio("rbVonBis", QStringLiteral("von ... bis"), 16, 111, 85, 17);
  c_.dtpVon = datePicker("dtpVon", 100);
  c_.dtpBis = datePicker("dtpBis", 188);

  c_.rgVersteuerung = new TRadioGroup(QStringLiteral("Versteuerung"),
                                      {QStringLiteral("Ist"), QStringLiteral("Soll")}, &strip);
  c_.rgVersteuerung->setObjectName(QStringLiteral("rgVersteuerung"));
  c_.rgVersteuerung->setGeometry(S(276), S(72), S(93), S(57));
  c_.rgVersteuerung->SetItemIndex(0);
  c_.rgVersteuerung->setAutoFillBackground(true);
  QPalette palette = c_.rgVersteuerung->palette();
  palette.setColor(QPalette::Window, QColor(176, 255, 98));
  c_.rgVersteuerung->setPalette(palette);

  c_.rgBetrag = new TRadioGroup(
      QString(), {QStringLiteral("Rechbetrag"), QStringLiteral("bezahlt / 1.19")}, &strip);
  c_.rgBetrag->setObjectName(QStringLiteral("rgBetrag"));
  c_.rgBetrag->setGeometry(S(372), S(72), S(105), S(57));
  c_.rgBetrag->SetItemIndex(0);
  // Both entries give the same figures, as they always have: it is no switch
  // for part payments.
  c_.rgBetrag->setToolTip(
      QStringLiteral("Ohne Einfluss auf die Zahlen: Beide Einstellungen ergeben dieselben Werte.\n"
                     "Vorlex rechnet stets mit dem vollen Rechnungsbetrag, auch bei "
                     "Teilzahlungen."));

  // A list's choice, a date, a kind becoming checked, either group.
  const auto request = [this] { emit Requested(); };
  connect(c_.cmbJ, &QComboBox::activated, this, request);
  connect(c_.cmbM, &QComboBox::activated, this, request);
  connect(c_.dtpVon, &TDatePicker::dateChanged, this, request);
  connect(c_.dtpBis, &TDatePicker::dateChanged, this, request);
  for (QRadioButton* button :
       {c_.rbJahr, c_.rbQ1, c_.rbQ2, c_.rbQ3, c_.rbQ4, c_.rbM, c_.rbVonBis}) {
    connect(button, &QRadioButton::toggled, this, [this](bool checked) {
      if (checked && !quiet_) emit Requested();
    });
  }
  connect(c_.rgVersteuerung, &TRadioGroup::Click, this, request);
  connect(c_.rgBetrag, &TRadioGroup::Click, this, request);
}

TTaxPeriod TPeriodChoice::StartOn(const QDate& today) {
  c_.cmbM->setEditable(false);
  c_.cmbJ->setEditable(false);
  c_.udMonat->SetPosition(85);
  c_.udJahr->SetPosition(65);

  const int year = today.year();
  const int month = today.month();
  c_.cmbM->clear();
  for (const char* name : MonthNames) c_.cmbM->addItem(DecodeText(name));
  c_.cmbM->setCurrentIndex(month - 1);
  c_.cmbJ->clear();
  for (int y = kFirstYear; y <= year + 3; ++y)
    c_.cmbJ->addItem(QString::fromStdString(std::to_string(y)));
  c_.cmbJ->setCurrentIndex(year - kFirstYear);

  const TTaxPeriod period = MonthPeriod(year, month);
  // "von ... bis" starts on this month too.
  for (TDatePicker* picker : {c_.dtpVon, c_.dtpBis}) picker->blockSignals(true);
  c_.dtpVon->setDate(QDate(year, month, period.First.day));
  c_.dtpBis->setDate(QDate(year, month, period.Last.day));
  for (TDatePicker* picker : {c_.dtpVon, c_.dtpBis}) picker->blockSignals(false);
  return period;
}

int TPeriodChoice::Year() const {
  return static_cast<int>(StrToInt(c_.cmbJ->currentText().toStdString()));
}

TaxationBasis TPeriodChoice::Basis() const {
  return c_.rgVersteuerung->ItemIndex() == static_cast<int>(TaxationBasis::Soll)
             ? TaxationBasis::Soll
             : TaxationBasis::Ist;
}

void TPeriodChoice::SetBasis(TaxationBasis basis) {
  c_.rgVersteuerung->SetItemIndex(static_cast<int>(basis));
}

TTaxPeriod TPeriodChoice::Period() {
  const int year = Year();
  // A quarter moves the month list to an entry of its own.
  const auto quarter = [&](int number, int monthEntry) {
    c_.cmbM->setCurrentIndex(monthEntry);
    return QuarterPeriod(year, number);
  };
  if (c_.rbJahr->isChecked()) return YearPeriod(year);
  if (c_.rbVonBis->isChecked()) {
    const QDate from = c_.dtpVon->date();
    const QDate to = c_.dtpBis->date();
    return RangePeriod({from.year(), from.month(), from.day()}, {to.year(), to.month(), to.day()});
  }
  if (c_.rbM->isChecked()) return MonthPeriod(year, c_.cmbM->currentIndex() + 1);
  if (c_.rbQ1->isChecked()) return quarter(1, 0);
  if (c_.rbQ2->isChecked()) return quarter(2, 2);
  if (c_.rbQ3->isChecked()) return quarter(3, 5);
  if (c_.rbQ4->isChecked()) return quarter(4, 8);
  TTaxPeriod none;
  none.Year = year;
  return none;
}

void TPeriodChoice::StepMonth(TUDBtnType button) {
  // Back to the middle after every step, so that the control never reaches an
  // end of its range: only the ends of the year list stop the stepping.
  c_.udMonat->Recentre();
  // Checking rbM here asks for no run of its own; the step's request does.
  quiet_ = true;
  if (!c_.rbM->isChecked()) c_.rbM->setChecked(true);
  quiet_ = false;

  int month = c_.cmbM->currentIndex();
  int year = c_.cmbJ->currentIndex();
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
    } else if (year + 1 < c_.cmbJ->count()) {
      month = 0;
      ++year;
    }
  }
  c_.cmbM->setCurrentIndex(month);
  c_.cmbJ->setCurrentIndex(year);
}

void TPeriodChoice::StepYear(TUDBtnType button) {
  c_.udJahr->Recentre();
  const int year = c_.cmbJ->currentIndex();
  if (button == TUDBtnType::btPrev) {
    if (year > 0) c_.cmbJ->setCurrentIndex(year - 1);
  } else if (year + 1 < c_.cmbJ->count()) {
    c_.cmbJ->setCurrentIndex(year + 1);
  }
}

}  // namespace vorlex
