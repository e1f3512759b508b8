#include "app/HintsDialog.h"

#include <QAbstractItemView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/qtcore/QtText.h"

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
  btnGenau_ = new QPushButton(QStringLiteral("Zuordnung „genau“ verwenden"), this);
  btnGenau_->setObjectName(QStringLiteral("btnGenau"));
  btnGenau_->setToolTip(QStringLiteral(
      "Wertet nach der genauen Zuordnung aus: jeder EU-Staat, die Steuersätze der Positionen, "
      "Ausfuhren in Kz 43 oder 45. Die Hinweise, die mit „Zuordnung genau:“ enden, entfallen "
      "dann."));
  // Enter chooses a hint, never this button.
  btnGenau_->setAutoDefault(false);
  btnGenau_->hide();
  connect(btnGenau_, &QPushButton::clicked, this, &THintsDialog::switchToExactRequested);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(btnGenau_, 0, Qt::AlignRight);
  resize(620, 260);
  const auto choose = [this](QListWidgetItem* item) {
    if (item == nullptr) return;
    const int entry = item->data(kEntryRole).toInt();
    if (entry >= 0) emit EntryChosen(entry);
  };
  // Activated: a double-click, and Enter.
  connect(list_, &QListWidget::itemActivated, this, choose);
  connect(list_, &QListWidget::currentItemChanged, this,
          [choose](QListWidgetItem* item, QListWidgetItem*) { choose(item); });
}

void ScrollClearOf(QAbstractItemView& view, const QModelIndex& index, const QRect& cover) {
  const auto covered = [&] {
    const QRect row = view.visualRect(index);
    // The line's text starts at its left; its left half must be seen.
    const QRect seen(view.viewport()->mapToGlobal(row.topLeft()),
                     QSize(std::max(1, row.width() / 2), row.height()));
    return cover.intersects(seen);
  };
  for (const auto hint : {QAbstractItemView::PositionAtCenter, QAbstractItemView::PositionAtTop,
                          QAbstractItemView::PositionAtBottom}) {
    view.scrollTo(index, hint);
    if (!covered()) return;
  }
  view.scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void THintsDialog::SetHints(const std::vector<Hint>& hints) {
  list_->clear();
  resolvable_ = std::any_of(hints.begin(), hints.end(),
                            [](const Hint& hint) { return hint.exactResolves; });
  btnGenau_->setVisible(offered_ && resolvable_);
  for (const Hint& hint : hints) {
    auto* item = new QListWidgetItem(DecodeText(hint.text), list_);
    item->setData(kEntryRole, hint.entry);
    item->setToolTip(item->text());
  }
}

void THintsDialog::OfferSwitch(bool offered) {
  offered_ = offered;
  btnGenau_->setVisible(offered_ && resolvable_);
}

}  // namespace vorlex
