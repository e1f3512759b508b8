#include "app/RunStatus.h"

#include <QLabel>
#include <QStatusBar>
#include <optional>

#include "app/HintsDialog.h"
#include "app/WindowPlacement.h"
#include "app/uApplication.h"
#include "tax/FormFields.h"
#include "tax/Prepayment.h"
#include "tax/TaxPeriod.h"
#include "ui/qtcore/uQtText.h"
#include "util/uFormat.h"

namespace vorlex {

TRunStatus::TRunStatus(TStatusLabels& labels, QStatusBar& bar, QWidget& window)
    : QObject(&window), l_(labels), bar_(bar), window_(window) {
  l_.lblKz83 = new QLabel(&bar);
  l_.lblKz83->setObjectName(QStringLiteral("lblKz83"));
  l_.lblHinweise = new QLabel(&bar);
  l_.lblHinweise->setObjectName(QStringLiteral("lblHinweise"));
  l_.lblHinweise->setTextFormat(Qt::RichText);
  l_.lblHinweise->setContentsMargins(0, 0, 6, 0);
  bar.addPermanentWidget(l_.lblKz83);
  bar.addPermanentWidget(l_.lblHinweise);
  connect(l_.lblHinweise, &QLabel::linkActivated, this,
          [this] { RunShowingErrors([this] { ShowHints(); }); });
}

void TRunStatus::ShowPeriodNote(double firstDay, double lastDay) {
  // A range whose first day lies after its last selects nothing; the zeros
  // would otherwise look like a period without business.
  if (PeriodReversed(firstDay, lastDay)) {
    bar_.showMessage(DecodeText("Der erste Tag (" + FormatDate(firstDay) +
                                ") liegt nach dem letzten Tag (" + FormatDate(lastDay) + ")."));
  } else {
    bar_.clearMessage();
  }
}

void TRunStatus::Clear() {
  hints_.clear();
  if (dialog_) dialog_->SetHints(hints_);
  l_.lblKz83->clear();
  l_.lblHinweise->clear();
}

void TRunStatus::Show(const TaxTotals& totals, const std::vector<RunEntry>& entries,
                      double firstDay, double lastDay) {
  hints_ = PlausibilityHints(entries, firstDay, lastDay);
  if (dialog_) dialog_->SetHints(hints_);
  const std::optional<Prepayment> prepayment = PrepaymentOf(totals);
  l_.lblKz83->setText(
      DecodeText(prepayment ? PrepaymentStatus(prepayment->due) : FieldTag(83) + ": -"));
  const size_t count = hints_.size();
  if (count == 0) {
    l_.lblHinweise->setText(QStringLiteral("Keine Hinweise"));
  } else {
    l_.lblHinweise->setText(
        QStringLiteral("<a href=\"hints\">%1 %2</a>")
            .arg(count)
            .arg(count == 1 ? QStringLiteral("Hinweis") : QStringLiteral("Hinweise")));
  }
}

void TRunStatus::ShowHints() {
  if (!dialog_) {
    dialog_ = new THintsDialog(&window_);
    connect(dialog_, &THintsDialog::EntryChosen, this, &TRunStatus::EntryChosen);
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

}  // namespace vorlex
