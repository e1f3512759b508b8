#include "app/YearOverviewDialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/OverviewChart.h"
#include "app/WindowPlacement.h"
#include "tax/FormFields.h"
#include "tax/YearOverview.h"
#include "ui/qtcore/uQtText.h"

namespace vorlex {

namespace {

constexpr const char* kTitle =
    "Jahres\xFC"
    "bersicht";

}  // namespace

TYearOverviewDialog::TYearOverviewDialog(QWidget* owner) : QWidget(owner, Qt::Window) {
  setWindowTitle(DecodeText(kTitle));
  auto* layout = new QVBoxLayout(this);
  lblCaption_ = new QLabel(this);
  lblCaption_->setObjectName(QStringLiteral("lblUebersicht"));
  // The period, then one column per form field.
  gridOverview_ = new QTableWidget(0, 1 + static_cast<int>(kFormFields.size()), this);
  gridOverview_->setObjectName(QStringLiteral("gridOverview"));
  gridOverview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gridOverview_->setSelectionBehavior(QAbstractItemView::SelectRows);
  QHeaderView* rows = gridOverview_->verticalHeader();
  rows->hide();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(gridOverview_->fontMetrics().height() + 6);
  gridOverview_->setWordWrap(false);
  gridOverview_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QStringList heads{QStringLiteral("Zeitraum")};
  for (const FormField& field : kFormFields) heads << DecodeText(FieldTag(field.number));
  gridOverview_->setHorizontalHeaderLabels(heads);
  // The columns share the window's width; each is as wide as its widest text at least.
  gridOverview_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  chart_ = new TOverviewChart(this);
  layout->addWidget(lblCaption_);
  layout->addWidget(gridOverview_);
  layout->addWidget(chart_, 1);
  resize(720, 760);
  // Escape closes it, as it closes the hints.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void TYearOverviewDialog::SetOverview(const YearOverview& overview) {
  year_ = overview.year;
  basis_ = overview.basis;
  setWindowTitle(DecodeText(kTitle) + QStringLiteral(" %1").arg(overview.year));
  lblCaption_->setText(DecodeText(OverviewCaption(overview)));
  gridOverview_->setRowCount(static_cast<int>(overview.rows.size()));
  std::array<ChartFigures, 12> months{};
  for (size_t i = 0; i < overview.rows.size(); ++i) {
    const OverviewRow& row = overview.rows[i];
    const bool sum = row.span != OverviewSpan::Month;
    const auto put = [&](int column, const std::string& text, Qt::Alignment alignment) {
      auto* item = new QTableWidgetItem(DecodeText(text));
      item->setTextAlignment(alignment | Qt::AlignVCenter);
      if (sum) {
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
        item->setBackground(QColor(235, 235, 235));
      }
      gridOverview_->setItem(static_cast<int>(i), column, item);
    };
    put(0, OverviewRowLabel(row), Qt::AlignLeft);
    const std::array<std::string, 6> cells = OverviewCells(row.totals);
    for (size_t c = 0; c < cells.size(); ++c) {
      put(static_cast<int>(c) + 1, cells[c], Qt::AlignRight);
    }
    if (row.span == OverviewSpan::Month) {
      months[static_cast<size_t>(row.number - 1)] = ChartFiguresOf(row.totals);
    }
  }
  gridOverview_->setCurrentIndex(QModelIndex());
  int height = gridOverview_->horizontalHeader()->height() + 2 * gridOverview_->frameWidth();
  for (int r = 0; r < gridOverview_->rowCount(); ++r) height += gridOverview_->rowHeight(r);
  gridOverview_->setFixedHeight(height);
  chart_->SetMonths(months);
}

void TYearOverviewWindow::Show(TDBase& db, int year, TaxationBasis basis) {
  const YearOverview overview = EvaluateYearOverview(db, year, basis);
  const bool fresh = dialog_.isNull();
  if (fresh) {
    dialog_ = new TYearOverviewDialog(&owner_);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
  }
  dialog_->SetOverview(overview);
  if (fresh) {
    dialog_->adjustSize();
    dialog_->resize(std::max(dialog_->width(), 720), std::max(dialog_->height(), 760));
    PlaceBeside(*dialog_, owner_, dialog_->minimumSizeHint().width());
  }
  dialog_->show();
  dialog_->raise();
  dialog_->activateWindow();
}

void TYearOverviewWindow::Follow(TDBase& db, int year, TaxationBasis basis) {
  if (dialog_.isNull() || !dialog_->isVisible()) return;
  if (dialog_->Year() == year && dialog_->Basis() == basis) return;
  dialog_->SetOverview(EvaluateYearOverview(db, year, basis));
}

}  // namespace vorlex
