#include "app/RunStatus.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMetaMethod>
#include <optional>

#include "app/Application.h"
#include "app/Controls.h"
#include "app/HintsDialog.h"
#include "app/WindowPlacement.h"
#include "tax/FormFields.h"
#include "tax/Prepayment.h"
#include "tax/TaxPeriod.h"
#include "ui/qtcore/QtText.h"
#include "util/DateText.h"
#include "util/MoneyText.h"

namespace vorlex {

TRunStatus::TRunStatus(const FormatSettings& format, QWidget& window)
    : QStatusBar(&window), window_(window), format_(format) {
  setObjectName(QStringLiteral("StatusBar1"));
  setSizeGripEnabled(false);
  // Shown only after a run of the exact classification.
  lblZuordnung_ = new QLabel(this);
  lblZuordnung_->setObjectName(QStringLiteral("lblZuordnung"));
  lblZuordnung_->setContentsMargins(0, 0, 6, 0);
  lblZuordnung_->hide();
  lblAbgabe_ = new QLabel(this);
  lblAbgabe_->setObjectName(QStringLiteral("lblAbgabe"));
  lblAbgabe_->setContentsMargins(0, 0, 6, 0);
  lblKz83_ = new QLabel(this);
  lblKz83_->setObjectName(QStringLiteral("lblKz83"));
  lblHinweise_ = new QLabel(this);
  lblHinweise_->setObjectName(QStringLiteral("lblHinweise"));
  lblHinweise_->setTextFormat(Qt::RichText);
  lblHinweise_->setContentsMargins(0, 0, 6, 0);
  addPermanentWidget(lblZuordnung_);
  lblAbgegeben_ = new QLabel(this);
  lblAbgegeben_->setObjectName(QStringLiteral("lblAbgegeben"));
  lblAbgegeben_->setTextFormat(Qt::RichText);
  lblAbgegeben_->setContentsMargins(0, 0, 6, 0);
  lblAbgegeben_->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                         Qt::LinksAccessibleByKeyboard);
  lblAbgegeben_->setFocusPolicy(Qt::TabFocus);
  lblAbgegeben_->installEventFilter(this);
  lblAbgegeben_->hide();
  connect(lblAbgegeben_, &QLabel::linkActivated, this, &TRunStatus::FilingChosen);
  addPermanentWidget(lblAbgegeben_);
  addPermanentWidget(lblAbgabe_);
  addPermanentWidget(lblKz83_);
  addPermanentWidget(lblHinweise_);
  ConnectShowingErrors(lblHinweise_, &QLabel::linkActivated, this, &TRunStatus::ShowHints);
  lblHinweise_->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                        Qt::LinksAccessibleByKeyboard);
  lblHinweise_->setFocusPolicy(Qt::TabFocus);
  lblHinweise_->installEventFilter(this);
}

bool TRunStatus::eventFilter(QObject* watched, QEvent* event) {
  // Key presses only: the label also has events while the window is being
  // destroyed, when the hints must not be touched.
  if (event->type() != QEvent::KeyPress) return QStatusBar::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  const bool pressed = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
  if (pressed && watched == lblHinweise_ && !hints_.empty()) {
    RunShowingErrors([this] { ShowHints(); });
    return true;
  }
  if (pressed && watched == lblAbgegeben_ && lblAbgegeben_->isVisible()) {
    emit FilingChosen();
    return true;
  }
  return QStatusBar::eventFilter(watched, event);
}

void TRunStatus::ShowPeriodNote(double firstDay, double lastDay) {
  // A range whose first day lies after its last selects nothing; the zeros
  // would otherwise look like a period without business.
  if (PeriodReversed(firstDay, lastDay)) {
    showMessage(DecodeText("Der erste Tag (" + FormatDate(firstDay, format_) +
                           ") liegt nach dem letzten Tag (" + FormatDate(lastDay, format_) + ")."));
  } else {
    clearMessage();
  }
}

void TRunStatus::Clear() {
  hints_.clear();
  if (dialog_) dialog_->SetHints(hints_);
  lblZuordnung_->hide();
  ShowFiling({}, false);
  lblAbgabe_->clear();
  lblKz83_->clear();
  lblHinweise_->clear();
}

void TRunStatus::ShowDueDates(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : ", ") + line;
  lblAbgabe_->setText(DecodeText(text));
}

void TRunStatus::ShowFiling(const QString& text, bool changed) {
  lblAbgegeben_->setVisible(!text.isEmpty());
  lblAbgegeben_->setText(
      text.isEmpty() ? QString()
                     : QStringLiteral("<a href=\"filing\"%1>%2</a>")
                           .arg(changed ? QStringLiteral(" style=\"color: #a00000\"") : QString(),
                                text.toHtmlEscaped()));
}

void TRunStatus::Show(const TaxTotals& totals, const std::vector<RunEntry>& entries,
                      double firstDay, double lastDay, ClassificationChoice choice,
                      const ExactSharesOf& exactOf) {
  hints_ = PlausibilityHints(entries, firstDay, lastDay, format_, choice.rules, exactOf);
  if (dialog_) dialog_->SetHints(hints_);
  const std::optional<Prepayment> prepayment = PrepaymentOf(totals);
  std::string kz83 = prepayment ? PrepaymentStatus(prepayment->due, format_) : FieldTag(83) + ": -";
  if (totals.field39 != 0)
    kz83 = FieldTag(39) + ": " + FormatCents(totals.field39, format_) + ", " + kz83;
  lblKz83_->setText(DecodeText(kz83));
  lblZuordnung_->setText(DecodeText(choice.sales == ForeignSales::Services
                                        ? "Zuordnung: genau, sonstige Leistungen"
                                        : "Zuordnung: genau"));
  lblZuordnung_->setVisible(choice.Exact());
  const size_t count = hints_.size();
  if (count == 0) {
    lblHinweise_->setText(QStringLiteral("Keine Hinweise"));
  } else {
    lblHinweise_->setText(
        QStringLiteral("<a href=\"hints\">%1 %2</a>")
            .arg(count)
            .arg(count == 1 ? QStringLiteral("Hinweis") : QStringLiteral("Hinweise")));
  }
}

void TRunStatus::ShowHints() {
  if (!dialog_) {
    dialog_ = new THintsDialog(&window_);
    connect(dialog_, &THintsDialog::EntryChosen, this, &TRunStatus::EntryChosen);
    connect(dialog_, &THintsDialog::switchToExactRequested, this,
            &TRunStatus::SwitchToExactRequested);
    // Offered once the window listens.
    dialog_->OfferSwitch(
        isSignalConnected(QMetaMethod::fromSignal(&TRunStatus::SwitchToExactRequested)));
    dialog_->SetHints(hints_);
    // Beside the window and as tall, so that the line a hint selects stays in sight.
    dialog_->resize(dialog_->width(), window_.height());
    PlaceBeside(*dialog_, window_, 420);
  }
  dialog_->show();
  dialog_->raise();
  dialog_->activateWindow();
}

QRect TRunStatus::HintsCover() const {
  return dialog_ && dialog_->isVisible() ? dialog_->frameGeometry() : QRect();
}

QWidget* TRunStatus::ChainTabOrder(QWidget* previous) const {
  return vorlex::ChainTabOrder(previous, {lblAbgegeben_, lblHinweise_});
}

}  // namespace vorlex
