// Small controls the window needs beyond Qt's own: the horizontal up-down
// control, the radio group, the bevel line and the date field; and the Tab
// order through a part's controls.
#pragma once

#include <QButtonGroup>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "util/FormatSettings.h"

class QCalendarWidget;
class QTimer;
class QToolButton;

namespace vorlex {

enum class UpDownButton { Next, Previous };

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
  void Press(UpDownButton button);

  QToolButton* PrevButton() const { return prev_; }
  QToolButton* NextButton() const { return next_; }

 signals:
  // The position moved; button tells the direction.
  void Click(vorlex::UpDownButton button);

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

// A date field with a calendar to drop down. The date is typed as on paper:
// day, month and year in the order of the short date pattern, with or without
// separators ("15.07.2026", "15.7.2026", "15072026"). A typed date counts once
// it is whole and exists, on Enter, on leaving the field or after a short
// pause in typing; a partial date never counts, and leaving the field shows
// the date held again. dateChanged is raised whenever the date held changes:
// by typing, by the calendar, or by setDate.
class TDatePicker : public QComboBox {
  Q_OBJECT
 public:
  // format: the short date pattern the date is shown and typed in.
  TDatePicker(const QDate& date, const FormatSettings& format, QWidget* parent);

  // The pause after the last key that lets a whole date count.
  static constexpr int kTypingPauseMs = 800;

  QDate date() const { return date_; }
  void setDate(const QDate& date);
  // The calendar of the drop-down; made on first use.
  QCalendarWidget* Calendar();

  void showPopup() override;
  void hidePopup() override;

 signals:
  void dateChanged(const QDate& date);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // The date typed, when it is whole; shown again in the pattern's form when
  // show is set (also when nothing whole was typed).
  void TakeTyped(bool show);
  void ShowDate();

  QDate date_;
  const FormatSettings format_;
  QTimer* pause_;
  QWidget* popup_ = nullptr;
  QCalendarWidget* calendar_ = nullptr;
};

// Puts controls into the Tab order one after the other, after previous (none:
// the first of them stays where it is); returns the last of them, or previous
// when there are none.
QWidget* ChainTabOrder(QWidget* previous, const std::vector<QWidget*>& controls);

}  // namespace vorlex
