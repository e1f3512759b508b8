#include "app/WindowKeys.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <vector>

#include "app/Unit1.h"
#include "app/uApplication.h"
#include "ui/FormValuePanel.h"
#include "ui/SummaryListView.h"

namespace vorlex {

TWindowKeys::TWindowKeys(TForm1& form) : QObject(&form), form_(form) {
  QList<QKeySequence> again = QKeySequence::keyBindings(QKeySequence::Refresh);
  if (!again.contains(QKeySequence(Qt::Key_F5))) again.prepend(QKeySequence(Qt::Key_F5));
  for (const QKeySequence& keys : again) {
    auto* shortcut = new QShortcut(keys, &form);
    connect(shortcut, &QShortcut::activated, this,
            [this] { RunShowingErrors([this] { form_.cmbMChange(); }); });
  }
  const auto click = [&form](QKeySequence keys, QAbstractButton* button) {
    auto* shortcut = new QShortcut(keys, &form);
    connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
  };
  click(QKeySequence(Qt::CTRL | Qt::Key_S), form.btnCsv);
  click(QKeySequence(Qt::Key_F1), form.btnHelp);

  for (QAbstractButton* button : std::vector<QAbstractButton*>{
           form.rbJahr, form.rbQ1, form.rbQ2, form.rbQ3, form.rbQ4, form.rbM, form.rbVonBis,
           form.rgVersteuerung->Button(0), form.rgVersteuerung->Button(1), form.rgBetrag->Button(0),
           form.rgBetrag->Button(1)}) {
    RunAgainOnClick(*button);
  }
  form.lblHinweise->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                            Qt::LinksAccessibleByKeyboard);
  form.lblHinweise->setFocusPolicy(Qt::TabFocus);
  form.lblHinweise->installEventFilter(this);
  SetTabOrder();
}

bool TWindowKeys::eventFilter(QObject* watched, QEvent* event) {
  // Key presses only: the label also has events while the window is being
  // destroyed, when the window's members must not be touched.
  if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  if (watched == form_.lblHinweise && !form_.Hints().empty()) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
      RunShowingErrors([this] { form_.ShowHints(); });
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

// A radio button already chosen starts no run when clicked; after a failed
// run that is the way to try the same period again.
void TWindowKeys::RunAgainOnClick(QAbstractButton& button) {
  connect(&button, &QAbstractButton::pressed, this,
          [this, &button] { pressedWhileChosen_ = button.isChecked(); });
  connect(&button, &QAbstractButton::clicked, this, [this] {
    if (!pressedWhileChosen_ || form_.LastRunComplete() || form_.RunActive()) return;
    pressedWhileChosen_ = false;
    RunShowingErrors([this] { form_.cmbMChange(); });
  });
}

void TWindowKeys::SetTabOrder() {
  TForm1& f = form_;
  const std::vector<QWidget*> order = {f.rbJahr,
                                       f.cmbJ,
                                       f.udJahr->PrevButton(),
                                       f.udJahr->NextButton(),
                                       f.rbQ1,
                                       f.rbQ2,
                                       f.rbQ3,
                                       f.rbQ4,
                                       f.rbM,
                                       f.cmbM,
                                       f.udMonat->PrevButton(),
                                       f.udMonat->NextButton(),
                                       f.rbVonBis,
                                       f.dtpVon,
                                       f.dtpBis,
                                       f.rgVersteuerung->Button(0),
                                       f.rgVersteuerung->Button(1),
                                       f.rgBetrag->Button(0),
                                       f.rgBetrag->Button(1),
                                       f.btnCsv,
                                       f.btnHelp,
                                       f.btnUebersicht,
                                       f.lbUst,
                                       f.Image1,
                                       f.Image2,
                                       f.Image3,
                                       f.Image4,
                                       f.Image5,
                                       f.editUStID,
                                       f.lblHinweise};
  for (size_t i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

}  // namespace vorlex
