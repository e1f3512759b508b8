#include "app/YearOverviewDialog.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/OverviewChart.h"
#include "app/WindowPlacement.h"
#include "output/FilingText.h"
#include "tax/FormFields.h"
#include "tax/YearOverview.h"
#include "ui/qtcore/QtText.h"
#include "util/ProgramText.h"

namespace vorlex {

namespace {

constexpr const char* kTitle = "Jahresübersicht"_cp1252;

}  // namespace

TYearOverviewDialog::TYearOverviewDialog(const FormatSettings& format, QWidget* owner)
    : QWidget(owner, Qt::Window), format_(format) {
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
  lblSvz_ = new QLabel(this);
  lblSvz_->setObjectName(QStringLiteral("lblSondervorauszahlung"));
  lblSvz_->hide();
  chart_ = new TOverviewChart(format_, this);
  layout->addWidget(lblCaption_);
  layout->addWidget(gridOverview_);
  layout->addWidget(lblSvz_);
  layout->addWidget(chart_, 1);
  // Wide enough for the due dates beside the figures.
  resize(960, 760);
  // Escape closes it, as it closes the hints.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void TYearOverviewDialog::SetOverview(const YearOverview& overview, const OverviewFiling& filing) {
  year_ = overview.year;
  basis_ = overview.basis;
  setWindowTitle(DecodeText(kTitle) + QStringLiteral(" %1").arg(overview.year));
  lblCaption_->setText(DecodeText(OverviewCaption(overview)));
  // The period, the figures (field 39 among them where the year deducts it)
  // and the due date of each return.
  const std::vector<std::string> heads = OverviewHeads(overview);
  const int dueColumn = 1 + static_cast<int>(heads.size());
  const bool marked = filing.filed.size() == overview.rows.size();
  const int filedColumn = dueColumn + 1;
  gridOverview_->setColumnCount(dueColumn + (marked ? 2 : 1));
  QStringList headLabels{QStringLiteral("Zeitraum")};
  for (const std::string& head : heads) headLabels << DecodeText(head);
  headLabels << QStringLiteral("Abgabe bis");
  if (marked) headLabels << QStringLiteral("Abgegeben");
  gridOverview_->setHorizontalHeaderLabels(headLabels);
  // The figures share the width; the periods and due dates take what they need.
  gridOverview_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  gridOverview_->horizontalHeader()->setSectionResizeMode(dueColumn, QHeaderView::ResizeToContents);
  if (marked) {
    gridOverview_->horizontalHeader()->setSectionResizeMode(filedColumn,
                                                            QHeaderView::ResizeToContents);
  }
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
      return item;
    };
    put(0, OverviewRowLabel(row), Qt::AlignLeft);
    const std::vector<std::string> cells = OverviewRowCells(overview, row, format_);
    for (size_t c = 0; c < cells.size(); ++c) {
      put(static_cast<int>(c) + 1, cells[c], Qt::AlignRight);
    }
    const FilingReturn filed = ReturnOf(filing.settings, row.period);
    if (filed.due) {
      // A return whose day has passed is marked, in the text and in colour.
      const bool passed = filing.today > 0 && *filed.due < filing.today;
      QTableWidgetItem* due =
          put(dueColumn, DueDateText(*filed.due) + (passed ? " (abgelaufen)" : ""),
              Qt::AlignRight);
      due->setData(Qt::UserRole, passed);
      if (passed) due->setForeground(QColor(150, 0, 0));
    } else {
      put(dueColumn, "", Qt::AlignRight);
    }
    if (marked) {
      // A period changed since its filing stands out: a corrected return is due.
      const std::string& mark = filing.filed[i];
      QTableWidgetItem* cell = put(filedColumn, mark, Qt::AlignLeft);
      if (mark.starts_with("seit")) {
        cell->setForeground(QColor(150, 0, 0));
      } else if (mark.starts_with("abgegeben")) {
        cell->setForeground(QColor(0, 110, 0));
      }
    }
    if (row.span == OverviewSpan::Month) {
      months[static_cast<size_t>(row.number - 1)] = ChartFiguresOf(row.totals);
    }
  }
  lblSvz_->setVisible(filing.next.has_value());
  if (filing.next) lblSvz_->setText(DecodeText(SpecialPrepaymentLine(*filing.next, format_)));
  gridOverview_->setCurrentIndex(QModelIndex());
  // No column cut short: the window is at least as wide as every column's
  // widest text, and where the screen beside the main window is narrower, it
  // covers part of that one.
  int width = 2 * gridOverview_->frameWidth();
  for (int column = 0; column < gridOverview_->columnCount(); ++column) {
    int widest = gridOverview_->horizontalHeader()->sectionSizeHint(column);
    for (int row = 0; row < gridOverview_->rowCount(); ++row) {
      const QTableWidgetItem* item = gridOverview_->item(row, column);
      if (item == nullptr) continue;
      // The text and the cell's margins on both sides.
      widest = std::max(widest, QFontMetrics(item->font()).horizontalAdvance(item->text()) + 20);
    }
    width += widest;
  }
  gridOverview_->setMinimumWidth(width);
  int height = gridOverview_->horizontalHeader()->height() + 2 * gridOverview_->frameWidth();
  for (int r = 0; r < gridOverview_->rowCount(); ++r) height += gridOverview_->rowHeight(r);
  gridOverview_->setFixedHeight(height);
  chart_->SetMonths(months, overview.classification == Classification::Exact);
}

TYearOverviewWindow::Computed TYearOverviewWindow::Compute(TDBase& db, int year,
                                                           TaxationBasis basis,
                                                           ClassificationChoice choice) const {
  Computed computed{EvaluateYearOverview(db, year, basis, choice), {}};
  if (filing_) {
    int64_t field39 = 0;
    computed.filing = filing_(db, computed.overview, field39);
    DeductInOverview(computed.overview, field39);
  }
  return computed;
}

void TYearOverviewWindow::Refresh(TDBase& db) {
  if (dialog_.isNull() || !dialog_->isVisible()) return;
  const Computed computed = Compute(db, dialog_->Year(), dialog_->Basis(), choice_);
  dialog_->SetOverview(computed.overview, computed.filing);
}

void TYearOverviewWindow::Show(TDBase& db, int year, TaxationBasis basis,
                               ClassificationChoice choice) {
  const Computed computed = Compute(db, year, basis, choice);
  choice_ = choice;
  const bool fresh = dialog_.isNull();
  if (fresh) {
    dialog_ = new TYearOverviewDialog(format_, &owner_);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
  }
  dialog_->SetOverview(computed.overview, computed.filing);
  if (fresh) {
    dialog_->adjustSize();
    dialog_->resize(std::max(dialog_->width(), 960), std::max(dialog_->height(), 760));
    PlaceBeside(*dialog_, owner_, dialog_->minimumSizeHint().width());
  }
  dialog_->show();
  dialog_->raise();
  dialog_->activateWindow();
}

void TYearOverviewWindow::Follow(TDBase& db, int year, TaxationBasis basis,
                                 ClassificationChoice choice) {
  if (dialog_.isNull() || !dialog_->isVisible()) return;
  if (dialog_->Year() == year && dialog_->Basis() == basis && choice_ == choice) return;
  const Computed computed = Compute(db, year, basis, choice);
  choice_ = choice;
  dialog_->SetOverview(computed.overview, computed.filing);
}

}  // namespace vorlex
