// Where a figure comes from: a click on a form-field picture narrows the
// summary list to the entries that went into that field (the total lines
// stay), a note in the status bar says so; a second click on the same
// picture, or a new list, shows every line again. The CSV is made from all
// lines all the while.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

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

  // A click on picture chooses field, or shows all when field is chosen.
  void Attach(TImage& picture, int field);
  void Toggle(int field);
  void ShowAll();
  int Field() const;

 private:
  void ShowNote();

  QPointer<TSummaryListView> list_;
  QPointer<QStatusBar> status_;
  QString note_;  // the note last shown
};

}  // namespace vorlex
