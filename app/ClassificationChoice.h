// Which rules put the orders into the fields, "Zuordnung: einfach | genau",
// and what the trader sells abroad, "Umsätze mit dem Ausland: Lieferungen |
// sonstige Leistungen": two small drop-down lists in the period strip's free
// corner. A change is reported, and the window runs again.
#pragma once

#include <QWidget>

#include "tax/Classification.h"

class QComboBox;
class QLabel;

namespace vorlex {

class TDesignScale;

class TClassificationChoice : public QWidget {
  Q_OBJECT
 public:
  // The part "pnlZuordnung" at its place in the strip.
  TClassificationChoice(const TDesignScale& scale, QWidget* strip);

  ClassificationChoice Choice() const;
  // Shows choice without reporting it (start-up).
  void SetChoice(ClassificationChoice choice);

  // The lists in reading order for the Tab key, after previous; returns the last.
  QWidget* ChainTabOrder(QWidget* previous) const;

 public slots:
  // Chooses "genau", reported as the user's choice when it was not chosen.
  void ChooseExact();

 signals:
  void Chosen(vorlex::ClassificationChoice choice);

 private:
  void ReportChange();

  QComboBox* cmbZuordnung_;
  QComboBox* cmbAusland_;
  ClassificationChoice shown_;  // the choice last reported or set
};

}  // namespace vorlex
