// The window by keyboard, and running a choice again: Tab reaches every
// control in reading order (the steppers' arrows, the five pictures, the
// hints link and "Jahresübersicht" included); F5 and the platform's refresh
// keys run the current choice again, Ctrl+S is "-> .CSV", F1 is "?". After a
// failed run, a click on the period control already chosen runs it again.
#pragma once

#include <QObject>

class QAbstractButton;

namespace vorlex {

class TForm1;

class TWindowKeys : public QObject {
  Q_OBJECT
 public:
  explicit TWindowKeys(TForm1& form);

 protected:
  // Enter or Space on the focused hints link opens the hints.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetTabOrder();
  void RunAgainOnClick(QAbstractButton& button);

  TForm1& form_;
  bool pressedWhileChosen_ = false;
};

}  // namespace vorlex
