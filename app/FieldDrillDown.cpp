#include "app/FieldDrillDown.h"

#include <QLabel>

#include "ui/FormValuePanel.h"
#include "ui/SummaryListView.h"
#include "ui/qtcore/uQtText.h"

namespace vorlex {

TFieldDrillDown::TFieldDrillDown(TSummaryListView& list, QLabel& note, QObject* parent)
    : QObject(parent), list_(&list), note_(&note) {
  // New lines come unfiltered; the note goes with the filter.
  connect(&list.Model(), &QAbstractItemModel::modelReset, this, [this] { ShowNote(); });
  ShowNote();
}

void TFieldDrillDown::Attach(TImage& picture, int field) {
  connect(&picture, &TImage::clicked, this, [this, field] { Toggle(field); });
}

int TFieldDrillDown::Field() const {
  return list_ ? list_->Model().FieldFilter() : 0;
}

void TFieldDrillDown::Toggle(int field) {
  if (!list_) return;
  TSummaryListModel& model = list_->Model();
  model.SetFieldFilter(model.FieldFilter() == field ? 0 : field);
  list_->scrollToTop();
}

void TFieldDrillDown::ShowAll() {
  if (list_ && list_->Model().FieldFilter() != 0) list_->Model().SetFieldFilter(0);
}

void TFieldDrillDown::ShowNote() {
  if (!note_) return;
  const int field = Field();
  note_->setText(field != 0 ? DecodeText(FieldFilterNote(field, list_->Model().FilteredEntries()))
                            : QString());
}

}  // namespace vorlex
