// The hints of the last run in a window of their own beside the main window:
// one line per hint; a double-click on a hint asks the main window to show its
// entry.
#pragma once

#include <QDialog>
#include <vector>

#include "tax/PlausibilityHints.h"

class QListWidget;

namespace vorlex {

class THintsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit THintsDialog(QWidget* parent);

  void SetHints(const std::vector<Hint>& hints);
  QListWidget* List() const { return list_; }

 signals:
  // The index of the hint's entry in the run; never sent for a period hint.
  void EntryChosen(int entry);

 private:
  QListWidget* list_;
};

}  // namespace vorlex
