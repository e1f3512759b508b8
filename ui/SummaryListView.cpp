#include "ui/SummaryListView.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <utility>

#include "ui/qtcore/QtText.h"
#include "util/NumberText.h"

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
  if (parent.isValid()) return 0;
  return static_cast<int>(field_ != 0 ? shown_.size() : lines_.size());
}

const ListLine& TSummaryListModel::ViewLine(int viewRow) const {
  const auto row = static_cast<size_t>(viewRow);
  return lines_[field_ != 0 ? static_cast<size_t>(shown_[row]) : row];
}

QVariant TSummaryListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0 || index.row() >= rowCount()) return {};
  const std::string& line = ViewLine(index.row()).text;
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
  field_ = 0;
  shown_.clear();
  endResetModel();
}

void TSummaryListModel::SetFieldFilter(int field) {
  beginResetModel();
  field_ = field;
  shown_ = field != 0 ? FieldLineRows(lines_, entries_, field) : std::vector<int32_t>{};
  endResetModel();
}

size_t TSummaryListModel::FilteredEntries() const {
  size_t entries = 0;
  for (const int32_t row : shown_) entries += lines_[static_cast<size_t>(row)].entry >= 0;
  return entries;
}

int TSummaryListModel::ViewRow(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= lines_.size()) return -1;
  if (field_ == 0) return row;
  const auto found = std::lower_bound(shown_.begin(), shown_.end(), row);
  return found != shown_.end() && *found == row ? static_cast<int>(found - shown_.begin()) : -1;
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
  lbUstDrawItem(*painter, option.rect, model->ViewLine(index.row()), selected,
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
  // Rows span the list's width where it is wider than the longest line.
  return QSize(std::max({1, option.rect.width(), lineWidth_}), itemHeight_);
}

TSummaryListView::TSummaryListView(QWidget* parent) : QListView(parent) {
  model_ = new TSummaryListModel(this);
  delegate_ = new TSummaryItemDelegate(16, this);
  setModel(model_);
  setItemDelegate(delegate_);
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  connect(model_, &QAbstractItemModel::modelReset, this, &TSummaryListView::MeasureLines);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setTextElideMode(Qt::ElideNone);
  setSpacing(0);
}

void TSummaryListView::SetItemHeight(int height) {
  delegate_->SetItemHeight(height);
  doItemsLayout();
}

void TSummaryListView::changeEvent(QEvent* event) {
  QListView::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    MeasureLines();
    doItemsLayout();
  }
}

void TSummaryListView::MeasureLines() {
  QFont bold = font();
  bold.setBold(true);
  const QFontMetricsF metrics[2] = {QFontMetricsF(font()), QFontMetricsF(bold)};
  // Laying out every line of a long run would cost as much as the run: a sum
  // of advances per byte (a UTF-8 letter counts as its two bytes, so wider)
  // picks the candidates, and only lines that may be the widest are laid out.
  std::array<std::array<qreal, 256>, 2> advance{};
  for (int style = 0; style < 2; ++style) {
    for (int byte = 0; byte < 256; ++byte) {
      const QString letter = DecodeText(std::string(1, static_cast<char>(byte)));
      advance[style][byte] = letter.isEmpty() ? 0 : metrics[style].horizontalAdvance(letter);
    }
  }
  std::vector<std::pair<qreal, size_t>> estimates;
  const std::vector<ListLine>& lines = model_->Rows();
  estimates.reserve(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    const ListLine& line = lines[i];
    if (line.text.empty() || line.kind == LineKind::Rule) continue;  // a divider is a rule
    const auto& table = advance[line.foreignCustomer ? 1 : 0];
    qreal sum = 0;
    for (const char c : line.text) sum += table[static_cast<unsigned char>(c)];
    estimates.emplace_back(sum, i);
  }
  std::sort(estimates.begin(), estimates.end(), std::greater<>());
  qreal widest = 1;
  for (const auto& [estimate, i] : estimates) {
    // Kerning and rounding move a laid-out line by a little against its sum.
    if (estimate * 1.02 + 4 < widest) break;
    const ListLine& line = lines[i];
    widest = std::max(widest,
                      metrics[line.foreignCustomer ? 1 : 0].horizontalAdvance(DecodeText(line.text)));
  }
  delegate_->SetLineWidth(static_cast<int>(std::ceil(widest)));
}

}  // namespace vorlex
