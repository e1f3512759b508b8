// The hints of the last run in a window of their own beside the main window:
// one line per hint; choosing a hint (selecting it, a double-click or Enter)
// asks the main window to show its entry. Where the exact classification
// would resolve hints, a button offers to switch to it.
#pragma once

#include <QDialog>
#include <vector>

#include "tax/PlausibilityHints.h"

class QAbstractItemView;
class QListWidget;
class QPushButton;
class QModelIndex;
class QRect;

namespace vorlex {

class THintsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit THintsDialog(QWidget* parent);

  void SetHints(const std::vector<Hint>& hints);
  // Whether the window can switch to the exact classification: only then is
  // the button shown, and only while a hint is one it resolves.
  void OfferSwitch(bool offered);

 signals:
  // The index of the hint's entry in the run; never sent for a period hint.
  void EntryChosen(int entry);
  // The button "Zuordnung „genau“" was pressed.
  void switchToExactRequested();

 private:
  QListWidget* list_;
  QPushButton* btnGenau_;
  bool offered_ = false;
  bool resolvable_ = false;
};

// Scrolls view so that the line at index is seen: in the middle where cover
// (a window's place on the screen) leaves it free, else at the top or the
// bottom of the view.
void ScrollClearOf(QAbstractItemView& view, const QModelIndex& index, const QRect& cover);

}  // namespace vorlex
