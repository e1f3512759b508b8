// The summary list on screen: a model over the run's byte lines and the
// delegate that draws each line by its kind.
#pragma once

#include <QAbstractListModel>
#include <QColor>
#include <QFont>
#include <QListView>
#include <QStyledItemDelegate>
#include <string>
#include <vector>

#include "output/SummaryList.h"
#include "tax/RunEntry.h"

class QPainter;
class QRect;

namespace vorlex {

inline const QColor kExpenseColor{255, 187, 187};
inline const QColor kReceiptColor{187, 255, 187};
inline const QColor kSelectedColor{0, 0, 255};

// Draws one list line into rect: background by its kind (expenses light red,
// sales and receipts light green, anything else white; blue when selected),
// bold for a foreign customer's line, a divider as a one-pixel rule, any other
// text at the rectangle's left and top without margin.
void lbUstDrawItem(QPainter& painter, const QRect& rect, const ListLine& line, bool selected,
                   const QFont& font, const QColor& textColor);

// The lines and entries of the last run. Rows are replaced as a whole so that
// a run of any length costs one reset of the view.
class TSummaryListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  // The bytes of a row, for the delegate.
  static constexpr int LineRole = Qt::UserRole + 1;

  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // All lines of the run, also while the view shows only some of them.
  const std::vector<ListLine>& Rows() const { return lines_; }
  const std::vector<RunEntry>& Entries() const { return entries_; }
  // New lines show in full.
  void SetLines(std::vector<ListLine> lines, std::vector<RunEntry> entries = {});
  void Clear();

  // Shows only the lines of the entries that went into form field `field`
  // and the total lines; 0 shows every line again.
  void SetFieldFilter(int field);
  int FieldFilter() const { return field_; }
  // How many entries the filter shows.
  size_t FilteredEntries() const;
  // The view's row of line `row` of Rows(); -1 while the filter hides it.
  int ViewRow(int row) const;
  // The line the view shows in viewRow (0 <= viewRow < rowCount()).
  const ListLine& ViewLine(int viewRow) const;

 private:
  std::vector<ListLine> lines_;
  std::vector<RunEntry> entries_;
  int field_ = 0;
  std::vector<int32_t> shown_;  // rows of lines_ while a field is chosen
};

// Every item has the same height, 16 pixels at 96 pixels per inch.
class TSummaryItemDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  TSummaryItemDelegate(int itemHeight, QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int height) { itemHeight_ = height; }
  // The width of the longest line, which every row takes so that the list
  // scrolls sideways to its end.
  void SetLineWidth(int width) { lineWidth_ = width; }

 private:
  int itemHeight_;
  int lineWidth_ = 1;
};

// The list box: uniform rows as wide as the longest line, single selection;
// a line's tooltip shows it whole.
class TSummaryListView : public QListView {
  Q_OBJECT
 public:
  explicit TSummaryListView(QWidget* parent);

  TSummaryListModel& Model() { return *model_; }
  TSummaryItemDelegate& Delegate() { return *delegate_; }
  void SetItemHeight(int height);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void MeasureLines();
  TSummaryListModel* model_;
  TSummaryItemDelegate* delegate_;
};

}  // namespace vorlex
