#include "ui/SummaryListView.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include "ui/qtcore/uQtText.h"
#include "util/uFormat.h"

namespace vorlex {

void lbUstDrawItem(QPainter& painter, const QRect& rect, const ListLine& line, bool selected,
                   const QFont& font, const QColor& textColor) {
  QColor background = Qt::white;
  if (selected) {
    background = kSelectedColor;
  } else if (line.kind == LineKind::Expense) {
    background = kExpenseColor;
  } else if (line.kind == LineKind::Receipt) {
    background = kReceiptColor;
  }

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(rect, background);
  painter.setBackgroundMode(Qt::TransparentMode);

  QFont itemFont = font;
  itemFont.setBold(line.foreignCustomer);
  painter.setFont(itemFont);

  const int left = rect.left();
  const int top = rect.top();
  const int right = left + rect.width();  // exclusive
  if (line.kind == LineKind::Rule) {
    // The rule stands in the middle of the row; its end point is not painted,
    // as with a pen line drawn to a point.
    const int y = static_cast<int>(RoundHalfEven(top + rect.height() * 0.5));
    const int x1 = left + 15;
    const int x2 = right - 15;
    if (x2 > x1) painter.fillRect(QRect(x1, y, x2 - x1, 1), Qt::black);
  } else {
    painter.setPen(textColor);
    painter.drawText(QPoint(left, top + QFontMetrics(itemFont).ascent()), DecodeText(line.text));
  }
  painter.restore();
}

int TSummaryListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant TSummaryListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0 || index.row() >= rowCount()) return {};
  const std::string& line = lines_[static_cast<size_t>(index.row())].text;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return DecodeText(line);
    case LineRole:
      return QByteArray(line.data(), static_cast<qsizetype>(line.size()));
    default:
      return {};
  }
}

void TSummaryListModel::SetLines(std::vector<ListLine> lines, std::vector<RunEntry> entries) {
  beginResetModel();
  lines_ = std::move(lines);
  entries_ = std::move(entries);
  endResetModel();
}

void TSummaryListModel::Clear() {
  SetLines({});
}

TSummaryItemDelegate::TSummaryItemDelegate(int itemHeight, QObject* parent)
    : QStyledItemDelegate(parent), itemHeight_(itemHeight) {}

void TSummaryItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  const auto* model = qobject_cast<const TSummaryListModel*>(index.model());
  if (!model || index.row() < 0 || index.row() >= model->rowCount()) return;
  const bool selected = option.state.testFlag(QStyle::State_Selected);
  const QColor textColor =
      option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
  lbUstDrawItem(*painter, option.rect, model->Rows()[static_cast<size_t>(index.row())], selected,
                option.font, textColor);
  if (option.state.testFlag(QStyle::State_HasFocus)) {
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    focus.backgroundColor = selected ? kSelectedColor : QColor(Qt::white);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
  }
}

QSize TSummaryItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                     const QModelIndex& /*index*/) const {
  return QSize(option.rect.width() > 0 ? option.rect.width() : 1, itemHeight_);
}

TSummaryListView::TSummaryListView(QWidget* parent) : QListView(parent) {
  model_ = new TSummaryListModel(this);
  delegate_ = new TSummaryItemDelegate(16, this);
  setModel(model_);
  setItemDelegate(delegate_);
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setTextElideMode(Qt::ElideNone);
  setSpacing(0);
}

void TSummaryListView::SetItemHeight(int height) {
  delegate_->SetItemHeight(height);
  doItemsLayout();
}

}  // namespace vorlex
