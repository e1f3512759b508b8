// Where a figure comes from: a click on a form-field picture narrows the
// summary list to the entries that went into that field (the total lines
// stay), a note in the status bar says so; a second click on the same
// picture, or a new list, shows every line again. The CSV is made from all
// lines all the while.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <utility>
#include <vector>

class QStatusBar;

namespace vorlex {

class TImage;
class TSummaryListView;

class TFieldDrillDown : public QObject {
  Q_OBJECT
 public:
  // The note stands in status's message line while a field is chosen; other
  // messages there are left alone.
  TFieldDrillDown(TSummaryListView& list, QStatusBar& status, QObject* parent = nullptr);

  // A click on picture (or Space on it) chooses field, or shows all when field
  // is chosen; the chosen field's picture is marked.
  void Attach(TImage& picture, int field);
  void Toggle(int field);
  void ShowAll();
  int Field() const;
  // Selects the list line of the run's entry and scrolls it into view clear
  // of cover (a window's place on the screen); a list narrowed to another
  // field's entries shows all lines again first.
  void SelectEntry(int entry, const QRect& cover);

 private:
  void ShowNote();
  void MarkChosen();

  QPointer<TSummaryListView> list_;
  QPointer<QStatusBar> status_;
  QString note_;  // the note last shown
  std::vector<std::pair<QPointer<TImage>, int>> pictures_;
};

}  // namespace vorlex
