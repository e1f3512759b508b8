#include "app/uControls.h"

#include <QFontMetrics>
#include <QPainter>
#include <QToolButton>
#include <algorithm>

namespace vorlex {

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
  prev_ = new QToolButton(this);
  // Tab reaches each arrow; Space presses it.
  prev_->setArrowType(Qt::LeftArrow);
  prev_->setFocusPolicy(Qt::TabFocus);
  next_ = new QToolButton(this);
  next_->setArrowType(Qt::RightArrow);
  next_->setFocusPolicy(Qt::TabFocus);
  connect(prev_, &QToolButton::clicked, this, [this] { Press(TUDBtnType::btPrev); });
  connect(next_, &QToolButton::clicked, this, [this] { Press(TUDBtnType::btNext); });
}

void TUpDown::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  position_ = std::clamp(position_, min_, max_);
}

void TUpDown::SetPosition(int position) {
  position_ = std::clamp(position, min_, max_);
}

void TUpDown::Press(TUDBtnType button) {
  int target = position_ + (button == TUDBtnType::btNext ? 1 : -1);
  if (target > max_ || target < min_) {
    if (!wrap_) return;
    target = target > max_ ? min_ : max_;
  }
  position_ = target;
  emit Click(button);
}

void TUpDown::resizeEvent(QResizeEvent* /*event*/) {
  const int half = width() / 2;
  prev_->setGeometry(0, 0, half, height());
  next_->setGeometry(half, 0, width() - half, height());
}

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
  group_->setExclusive(true);
  for (const QString& item : items) {
    auto* button = new TRadioButton(item, this);
    group_->addButton(button, static_cast<int>(buttons_.size()));
    buttons_.push_back(button);
    connect(button, &QRadioButton::toggled, this, [this](bool checked) {
      if (checked) emit Click();
    });
  }
}

int TRadioGroup::ItemIndex() const {
  return group_->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
  if (index >= 0 && index < Count()) buttons_[static_cast<size_t>(index)]->setChecked(true);
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
  if (buttons_.empty()) return;
  // The items share the room below the caption line evenly.
  const int topMargin = QFontMetrics(font()).height() + 1;
  const int count = static_cast<int>(buttons_.size());
  const int delta = std::max(1, (height() - topMargin) / count);
  const int buttonHeight = std::min(delta, QFontMetrics(font()).height() + 4);
  for (int i = 0; i < count; ++i) {
    const int top = topMargin + i * delta + (delta - buttonHeight) / 2;
    buttons_[static_cast<size_t>(i)]->setGeometry(8, top, std::max(1, width() - 10), buttonHeight);
  }
}

void TBevel::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const int bottom = height() - 1;
  painter.fillRect(QRect(0, bottom - 1, width(), 1), QColor(128, 128, 128));
  painter.fillRect(QRect(0, bottom, width(), 1), Qt::white);
}

}  // namespace vorlex
