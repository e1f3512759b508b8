// The status bar "StatusBar1" and its part in a run: field 83 and the number
// of hints after a complete run, a link that opens the hints beside the window
// (a click, or Enter or Space on it), and the note on a range whose first day
// lies after its last.
#pragma once

#include <QPointer>
#include <QRect>
#include <QStatusBar>
#include <string>
#include <vector>

#include "tax/Classification.h"
#include "tax/PlausibilityHints.h"
#include "tax/RunEntry.h"
#include "tax/TaxTotals.h"
#include "util/FormatSettings.h"

class QLabel;

namespace vorlex {

class THintsDialog;

class TRunStatus : public QStatusBar {
  Q_OBJECT
 public:
  // The hints open beside window.
  // format: how its texts write amounts and dates.
  TRunStatus(const FormatSettings& format, QWidget& window);

  // The note on a reversed range in the message line; any other period
  // clears the message line.
  void ShowPeriodNote(double firstDay, double lastDay);
  // Nothing while a run is under way or after a failed one.
  void Clear();
  // A run of the exact classification says so; the simple one adds nothing.
  // exactOf: what the exact classification does with an entry of a simple
  // run, for the hints' endings (none: the hints end as they are).
  void Show(const TaxTotals& totals, const std::vector<RunEntry>& entries, double firstDay,
            double lastDay, ClassificationChoice choice = {}, const ExactSharesOf& exactOf = {});
  // The due dates of the run's return, "Abgabe bis 11.01.2027"; none: empty.
  void ShowDueDates(const std::vector<std::string>& lines);
  // Whether the run's period was filed and has changed since, as a link to
  // the changes; empty: not filed, and nothing is shown.
  void ShowFiling(const QString& text, bool changed);

  // The hints in their own window, made on first use beside the main window.
  void ShowHints();
  // Where the hints window covers the screen; empty while it is not shown.
  QRect HintsCover() const;

  // The hints link for the Tab key, after previous; returns it.
  QWidget* ChainTabOrder(QWidget* previous) const;

 signals:
  // A hint was chosen: the index of its entry in the run.
  void EntryChosen(int entry);
  // The hints window's button asks to evaluate with the exact classification.
  void SwitchToExactRequested();
  // The filing's status was clicked.
  void FilingChosen();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& window_;
  const FormatSettings format_;
  QLabel* lblZuordnung_;
  QLabel* lblAbgegeben_;
  QLabel* lblAbgabe_;
  QLabel* lblKz83_;
  QLabel* lblHinweise_;
  std::vector<Hint> hints_;
  QPointer<THintsDialog> dialog_;
};

}  // namespace vorlex
