#include "app/FieldDrillDown.h"

#include <QStatusBar>

#include "app/HintsDialog.h"
#include "ui/SummaryListView.h"
#include "ui/qtcore/QtText.h"

namespace vorlex {

TFieldDrillDown::TFieldDrillDown(TSummaryListView& list, QStatusBar& status, QObject* parent)
    : QObject(parent), list_(&list), status_(&status) {
  // New lines come unfiltered; the note goes with the filter.
  connect(&list.Model(), &QAbstractItemModel::modelReset, this, [this] { ShowNote(); });
  ShowNote();
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

void TFieldDrillDown::SelectEntry(int entry, const QRect& cover) {
  if (!list_) return;
  TSummaryListModel& model = list_->Model();
  const std::vector<ListLine>& rows = model.Rows();
  for (size_t row = 0; row < rows.size(); ++row) {
    if (rows[row].entry != entry) continue;
    if (model.ViewRow(static_cast<int>(row)) < 0) ShowAll();
    const QModelIndex index = model.index(model.ViewRow(static_cast<int>(row)));
    list_->setCurrentIndex(index);
    ScrollClearOf(*list_, index, cover);
    return;
  }
}

void TFieldDrillDown::ShowNote() {
  const int field = Field();
  emit FieldShown(field);
  if (!status_) return;
  if (field != 0) {
    note_ = DecodeText(FieldFilterNote(field, list_->Model().FilteredEntries()));
    status_->showMessage(note_);
  } else if (!note_.isEmpty() && status_->currentMessage() == note_) {
    status_->clearMessage();
  }
  if (field == 0) note_.clear();
}

}  // namespace vorlex
