// The program's help in a window of its own beside the main window (F1, and
// from the box of "?"): the page of output/HelpText with the places of this
// computer.
#pragma once

#include <QDialog>

#include "output/HelpText.h"

class QTextBrowser;

namespace vorlex {

class THelpWindow : public QDialog {
  Q_OBJECT
 public:
  explicit THelpWindow(QWidget* parent);

  // The page, with the places as they are now (the database may have been
  // found again since the window was made).
  void SetPlaces(const HelpPlaces& places);
  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

}  // namespace vorlex
