// The status bar's part in a run: field 83 and the number of hints after a
// complete run, a link that opens the hints beside the window, and the note on
// a range whose first day lies after its last.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <vector>

#include "tax/PlausibilityHints.h"
#include "tax/RunEntry.h"
#include "tax/TaxTotals.h"

class QLabel;
class QStatusBar;
class QWidget;

namespace vorlex {

class THintsDialog;

// The labels, under the names the window gives them.
struct TStatusLabels {
  QLabel* lblKz83 = nullptr;
  QLabel* lblHinweise = nullptr;
};

class TRunStatus : public QObject {
  Q_OBJECT
 public:
  // Makes the labels at the right of bar; the hints open beside window.
  TRunStatus(TStatusLabels& labels, QStatusBar& bar, QWidget& window);

  // The note on a reversed range in the message line; any other period
  // clears the message line.
  void ShowPeriodNote(double firstDay, double lastDay);
  // Nothing while a run is under way or after a failed one.
  void Clear();
  void Show(const TaxTotals& totals, const std::vector<RunEntry>& entries, double firstDay,
            double lastDay);

  const std::vector<Hint>& Hints() const { return hints_; }
  // The hints in their own window, made on first use beside the main window.
  void ShowHints();
  // Where the hints window covers the screen; empty while it is not shown.
  QRect HintsCover() const;

 signals:
  // A hint was chosen: the index of its entry in the run.
  void EntryChosen(int entry);

 private:
  TStatusLabels& l_;
  QStatusBar& bar_;
  QWidget& window_;
  std::vector<Hint> hints_;
  QPointer<THintsDialog> dialog_;
};

}  // namespace vorlex
