// Where a figure comes from: choosing a form field narrows the summary list
// to the entries that went into that field (the total lines stay), a note in
// the status bar says so; choosing the same field again, or a new list, shows
// every line again. The CSV is made from all lines all the while.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

class QStatusBar;

namespace vorlex {

class TSummaryListView;

class TFieldDrillDown : public QObject {
  Q_OBJECT
 public:
  // The note stands in status's message line while a field is chosen; other
  // messages there are left alone.
  TFieldDrillDown(TSummaryListView& list, QStatusBar& status, QObject* parent = nullptr);

  // Chooses field, or shows all when field is chosen.
  void Toggle(int field);
  void ShowAll();
  int Field() const;
  // Selects the list line of the run's entry and scrolls it into view clear
  // of cover (a window's place on the screen); a list narrowed to another
  // field's entries shows all lines again first.
  void SelectEntry(int entry, const QRect& cover);

 signals:
  // The list shows the entries of field now; 0: all of them.
  void FieldShown(int field);

 private:
  void ShowNote();

  QPointer<TSummaryListView> list_;
  QPointer<QStatusBar> status_;
  QString note_;  // the note last shown
};

}  // namespace vorlex
