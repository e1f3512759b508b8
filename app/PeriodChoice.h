// The window's top strip with the period controls: year, quarter, month or a
// range of days, the steppers of month and year, the taxation basis and the
// amount basis. It tells the window the period and basis the user chose.
#pragma once

#include <QDate>
#include <QFrame>

#include "app/Controls.h"
#include "tax/TaxPeriod.h"
#include "tax/TaxationBasis.h"

class QAbstractButton;
class QComboBox;

namespace vorlex {

class TDesignScale;

class TPeriodChoice : public QFrame {
  Q_OBJECT
 public:
  // The strip "pnlTop" with its controls at their design places; the range's
  // days in format.
  TPeriodChoice(const TDesignScale& scale, const FormatSettings& format, QWidget* parent);

  // Start-up on today: the month and year lists, the steppers in their
  // middles, the range on this month. Returns this month's period. Choices
  // are reported from here on.
  TTaxPeriod StartOn(const QDate& today);

  // The period the controls describe. A quarter moves the month list to an
  // entry of its own.
  TTaxPeriod Period();
  // The year chosen in the year list.
  int Year() const;
  // The taxation basis chosen in its group: the one place that reads it.
  TaxationBasis Basis() const;
  void SetBasis(TaxationBasis basis);

  // A step of the month or year stepper, reported as the user's choice; the
  // month stepper chooses the month kind. Only the ends of the year list stop
  // the stepping.
  void StepMonth(UpDownButton button);
  void StepYear(UpDownButton button);
  // The choice as it stands, reported as chosen (once started).
  void ReportChoice();

  // The controls in reading order for the Tab key, after previous; returns the
  // last of them.
  QWidget* ChainTabOrder(QWidget* previous) const;

 signals:
  // The user changed the choice: a list, a date, a kind, a basis or a step.
  void Chosen(const vorlex::TTaxPeriod& period, vorlex::TaxationBasis basis);
  // The user clicked the kind or basis that was chosen already.
  void ChosenAgain(const vorlex::TTaxPeriod& period, vorlex::TaxationBasis basis);
  // A stepper's arrow was pressed; the window steps with StepMonth or StepYear.
  void MonthStepClicked(vorlex::UpDownButton button);
  void YearStepClicked(vorlex::UpDownButton button);

 private:
  void ReportAgainOnClick(QAbstractButton& button);

  TRadioButton* rbJahr_;
  QComboBox* cmbJ_;
  TUpDown* udJahr_;
  TRadioButton* rbQ1_;
  TRadioButton* rbQ2_;
  TRadioButton* rbQ3_;
  TRadioButton* rbQ4_;
  TRadioButton* rbM_;
  QComboBox* cmbM_;
  TUpDown* udMonat_;
  TRadioButton* rbVonBis_;
  TDatePicker* dtpVon_;
  TDatePicker* dtpBis_;
  TRadioGroup* rgVersteuerung_;
  TRadioGroup* rgBetrag_;
  // Until the lists are filled no choice is reported; while quiet, choosing
  // the month kind reports none of its own.
  bool started_ = false;
  bool quiet_ = false;
  bool pressedWhileChosen_ = false;
};

}  // namespace vorlex
