#include "app/Controls.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

#include "util/DateText.h"

namespace vorlex {

namespace {

// The drop-down of a date field. A click on the field's arrow while it is open
// closes it without opening it again at once.
class TCalendarPopup : public QFrame {
 public:
  explicit TCalendarPopup(QWidget& owner) : QFrame(&owner, Qt::Popup), owner_(owner) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    const QRect field(owner_.mapToGlobal(QPoint(0, 0)), owner_.size());
    setAttribute(Qt::WA_NoMouseReplay, field.contains(event->globalPosition().toPoint()));
    QFrame::mousePressEvent(event);
  }

 private:
  QWidget& owner_;
};

}  // namespace

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
  prev_ = new QToolButton(this);
  // Tab reaches each arrow; Space presses it.
  prev_->setArrowType(Qt::LeftArrow);
  prev_->setFocusPolicy(Qt::TabFocus);
  next_ = new QToolButton(this);
  next_->setArrowType(Qt::RightArrow);
  next_->setFocusPolicy(Qt::TabFocus);
  connect(prev_, &QToolButton::clicked, this, [this] { Press(UpDownButton::Previous); });
  connect(next_, &QToolButton::clicked, this, [this] { Press(UpDownButton::Next); });
}

void TUpDown::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  position_ = std::clamp(position_, min_, max_);
}

void TUpDown::SetPosition(int position) {
  position_ = std::clamp(position, min_, max_);
}

void TUpDown::Press(UpDownButton button) {
  int target = position_ + (button == UpDownButton::Next ? 1 : -1);
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

TDatePicker::TDatePicker(const QDate& date, const FormatSettings& format, QWidget* parent)
    : QComboBox(parent), date_(date), format_(format), pause_(new QTimer(this)) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
  pause_->setSingleShot(true);
  pause_->setInterval(kTypingPauseMs);
  connect(pause_, &QTimer::timeout, this, [this] { TakeTyped(false); });
  connect(lineEdit(), &QLineEdit::textEdited, pause_, qOverload<>(&QTimer::start));
  ShowDate();
}

void TDatePicker::setDate(const QDate& date) {
  pause_->stop();
  const bool changed = date.isValid() && date != date_;
  if (date.isValid()) date_ = date;
  ShowDate();
  if (changed) emit dateChanged(date_);
}

void TDatePicker::ShowDate() {
  lineEdit()->setText(QString::fromStdString(
      FormatDate(EncodeDate(date_.year(), date_.month(), date_.day()), format_)));
}

void TDatePicker::TakeTyped(bool show) {
  pause_->stop();
  // A field hidden with its closing window takes nothing more.
  if (!isVisible()) return;
  const std::optional<CalendarDate> typed = ParseDate(lineEdit()->text().toStdString(), format_);
  if (typed) {
    const QDate date(typed->year, typed->month, typed->day);
    if (show || date != date_) setDate(date);
  } else if (show) {
    ShowDate();
  }
}

void TDatePicker::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // A partial date stays to be completed.
    if (ParseDate(lineEdit()->text().toStdString(), format_)) TakeTyped(true);
    event->accept();
    return;
  }
  QComboBox::keyPressEvent(event);
}

void TDatePicker::focusInEvent(QFocusEvent* event) {
  QComboBox::focusInEvent(event);
  // A click into the field marks the whole date, as Tab does, so that typing
  // replaces it; the click's own placing of the cursor comes first.
  if (event->reason() == Qt::MouseFocusReason) {
    QTimer::singleShot(0, lineEdit(), &QLineEdit::selectAll);
  }
}

void TDatePicker::focusOutEvent(QFocusEvent* event) {
  // The calendar taking the focus is no leaving.
  if (event->reason() != Qt::PopupFocusReason) TakeTyped(true);
  QComboBox::focusOutEvent(event);
}

QCalendarWidget* TDatePicker::Calendar() {
  if (calendar_ == nullptr) {
    popup_ = new TCalendarPopup(*this);
    calendar_ = new QCalendarWidget(popup_);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    auto* layout = new QVBoxLayout(popup_);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(calendar_);
    const auto choose = [this](QDate date) {
      hidePopup();
      setDate(date);
    };
    connect(calendar_, &QCalendarWidget::clicked, this, choose);
    connect(calendar_, &QCalendarWidget::activated, this, choose);
  }
  return calendar_;
}

void TDatePicker::showPopup() {
  TakeTyped(true);
  Calendar()->setSelectedDate(date_);
  popup_->adjustSize();
  // Below the field, or above it where the screen ends.
  QPoint at = mapToGlobal(QPoint(0, height()));
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    if (at.y() + popup_->height() > area.bottom() + 1) at.setY(mapToGlobal(QPoint(0, 0)).y() - popup_->height());
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - popup_->width())));
  }
  popup_->move(at);
  popup_->show();
  calendar_->setFocus(Qt::PopupFocusReason);
}

void TDatePicker::hidePopup() {
  if (popup_ != nullptr) popup_->hide();
}

QWidget* ChainTabOrder(QWidget* previous, const std::vector<QWidget*>& controls) {
  for (QWidget* control : controls) {
    if (previous != nullptr) QWidget::setTabOrder(previous, control);
    previous = control;
  }
  return previous;
}

}  // namespace vorlex
