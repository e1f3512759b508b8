// The period controls of the window's top strip: year, quarter, month or a
// range of days, the steppers of month and year, the taxation basis and the
// amount basis. They describe the period and basis of the next run.
#pragma once

#include <QDate>
#include <QObject>

#include "app/uControls.h"
#include "tax/TaxPeriod.h"
#include "tax/TaxationBasis.h"

class QComboBox;
class QWidget;

namespace vorlex {

// The controls, under the names the window gives them.
struct TPeriodControls {
  TRadioButton* rbJahr = nullptr;
  QComboBox* cmbJ = nullptr;
  TUpDown* udJahr = nullptr;
  TRadioButton* rbQ1 = nullptr;
  TRadioButton* rbQ2 = nullptr;
  TRadioButton* rbQ3 = nullptr;
  TRadioButton* rbQ4 = nullptr;
  TRadioButton* rbM = nullptr;
  QComboBox* cmbM = nullptr;
  TUpDown* udMonat = nullptr;
  TRadioButton* rbVonBis = nullptr;
  TDatePicker* dtpVon = nullptr;
  TDatePicker* dtpBis = nullptr;
  TRadioGroup* rgVersteuerung = nullptr;
  TRadioGroup* rgBetrag = nullptr;
};

class TPeriodChoice : public QObject {
  Q_OBJECT
 public:
  // Makes the controls in strip at their design places, scaled to
  // pixelsPerInch.
  TPeriodChoice(TPeriodControls& controls, QWidget& strip, int pixelsPerInch,
                QObject* parent = nullptr);

  // Start-up on today: the month and year lists, the steppers in their
  // middles, the range on this month. Returns this month's period.
  TTaxPeriod StartOn(const QDate& today);

  // The period the controls describe. A quarter moves the month list to an
  // entry of its own.
  TTaxPeriod Period();
  // The year chosen in the year list.
  int Year() const;
  // The taxation basis chosen in its group: the one place that reads it.
  TaxationBasis Basis() const;
  void SetBasis(TaxationBasis basis);

  // A step of the month or year stepper; the month stepper chooses the month
  // kind. Only the ends of the year list stop the stepping.
  void StepMonth(TUDBtnType button);
  void StepYear(TUDBtnType button);

 signals:
  // The user changed the choice (a list, a date, a kind or a basis).
  void Requested();

 private:
  TPeriodControls& c_;
  // While set, choosing the month kind asks for no run of its own.
  bool quiet_ = false;
};

}  // namespace vorlex
