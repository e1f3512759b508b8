// Small controls the window needs beyond Qt's own: the horizontal up-down
// control, the radio group and the bevel line.
#pragma once

#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>
#include <QWidget>
#include <vector>

class QToolButton;

namespace vorlex {

enum class TUDBtnType { btNext, btPrev };

// Two arrow buttons side by side (previous left, next right) over a position
// in a range. A press moves the position by one; a press against the end of the
// range moves nothing and is not reported.
class TUpDown : public QWidget {
  Q_OBJECT
 public:
  explicit TUpDown(QWidget* parent);

  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  bool Wrap() const { return wrap_; }
  void SetRange(int min, int max);
  void SetPosition(int position);
  void SetWrap(bool wrap) { wrap_ = wrap; }
  // The position to the middle of the range.
  void Recentre() { position_ = min_ + (max_ - min_) / 2; }

  // What a press of one of the buttons does.
  void Press(TUDBtnType button);

  QToolButton* PrevButton() const { return prev_; }
  QToolButton* NextButton() const { return next_; }

 signals:
  // The position moved; button tells the direction.
  void Click(vorlex::TUDBtnType button);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QToolButton* prev_;
  QToolButton* next_;
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  bool wrap_ = false;
};

// A radio button that is hit anywhere in its rectangle, also beside a short
// caption.
class TRadioButton : public QRadioButton {
  Q_OBJECT
 public:
  using QRadioButton::QRadioButton;

 protected:
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// A framed group of radio buttons, one per item, stacked evenly below the
// caption; exactly one item is chosen. Click is raised when the chosen item
// changes, also when the program chooses it.
class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent);

  int ItemIndex() const;
  void SetItemIndex(int index);
  TRadioButton* Button(int index) const { return buttons_.at(static_cast<size_t>(index)); }
  int Count() const { return static_cast<int>(buttons_.size()); }

 signals:
  void Click();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ArrangeButtons();
  QButtonGroup* group_;
  std::vector<TRadioButton*> buttons_;
};

// A lowered line along the bottom edge.
class TBevel : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vorlex
