#include "app/HintsDialog.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "ui/qtcore/uQtText.h"

namespace vorlex {

namespace {
constexpr int kEntryRole = Qt::UserRole + 1;
}

THintsDialog::THintsDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("HintsDialog"));
  setWindowTitle(QStringLiteral("Hinweise"));
  setModal(false);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("lbHinweise"));
  list_->setWordWrap(true);
  list_->setAlternatingRowColors(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  resize(620, 260);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    const int entry = item->data(kEntryRole).toInt();
    if (entry >= 0) emit EntryChosen(entry);
  });
}

void THintsDialog::SetHints(const std::vector<Hint>& hints) {
  list_->clear();
  for (const Hint& hint : hints) {
    auto* item = new QListWidgetItem(DecodeText(hint.text), list_);
    item->setData(kEntryRole, hint.entry);
    item->setToolTip(item->text());
  }
}

}  // namespace vorlex
