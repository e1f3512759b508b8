#include "app/YearOverviewDialog.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/MonthNames.h"
#include "app/WindowPlacement.h"
#include "tax/FormFields.h"
#include "tax/YearOverview.h"
#include "ui/qtcore/uQtText.h"
#include "util/uFormat.h"

namespace vorlex {

namespace {

constexpr const char* kTitle =
    "Jahres\xFC"
    "bersicht";

// A step of 1, 2 or 5 times a power of ten, in whole euros at least, that
// divides the range into about five parts.
int64_t AxisStep(int64_t range) {
  const double raw = std::max(static_cast<double>(range) / 5.0, 100.0);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double factor : {1.0, 2.0, 5.0}) {
    if (factor * power >= raw) return static_cast<int64_t>(factor * power);
  }
  return static_cast<int64_t>(10 * power);
}

int64_t FloorTo(int64_t value, int64_t step) {
  const int64_t q = value / step;
  return (value % step != 0 && value < 0 ? q - 1 : q) * step;
}

int64_t CeilTo(int64_t value, int64_t step) {
  const int64_t q = value / step;
  return (value % step != 0 && value > 0 ? q + 1 : q) * step;
}

}  // namespace

void DrawOverviewChart(QPainter& painter, const QRect& area,
                       const std::array<ChartFigures, 12>& months) {
  painter.save();
  painter.fillRect(area, Qt::white);
  const QFontMetrics fm = painter.fontMetrics();

  int64_t low = 0;
  int64_t high = 0;
  for (const ChartFigures& month : months) {
    for (const std::optional<int64_t>& value : {month.turnover, month.due}) {
      if (!value) continue;
      low = std::min(low, *value);
      high = std::max(high, *value);
    }
  }
  if (low == high) high = 100000;  // an empty year still gets an axis up to 1000
  const int64_t step = AxisStep(high - low);
  low = FloorTo(low, step);
  high = CeilTo(high, step);

  int labelWidth = 0;
  for (int64_t tick = low; tick <= high; tick += step) {
    labelWidth = std::max(labelWidth, fm.horizontalAdvance(DecodeText(FormatCents(tick))));
  }
  const int gap = fm.height() / 2;
  const QRect plot =
      area.adjusted(labelWidth + 2 * gap, 2 * fm.height() + gap, -gap, -(fm.height() + gap));
  if (plot.width() < 24 || plot.height() < 8) {
    painter.restore();
    return;
  }
  const auto y = [&](int64_t cents) {
    const double share = static_cast<double>(cents - low) / static_cast<double>(high - low);
    return plot.bottom() - static_cast<int>(std::lround(share * plot.height()));
  };

  // Axis with its grid.
  for (int64_t tick = low; tick <= high; tick += step) {
    const int at = y(tick);
    painter.setPen(tick == 0 ? QColor(Qt::black) : QColor(220, 220, 220));
    painter.drawLine(plot.left(), at, plot.right(), at);
    painter.setPen(Qt::black);
    painter.drawText(QRect(area.left(), at - fm.height() / 2, labelWidth + gap, fm.height()),
                     Qt::AlignRight | Qt::AlignVCenter, DecodeText(FormatCents(tick)));
  }
  painter.drawLine(plot.left(), plot.top(), plot.left(), plot.bottom());

  // Two bars per month, from the zero line.
  const double slot = plot.width() / 12.0;
  const int barWidth = std::max(2, static_cast<int>(slot * 0.35));
  const int zero = y(0);
  // Full month names where all of them fit, the list's short ones otherwise.
  bool fullNames = true;
  for (const char* name : FullMonthNames) {
    fullNames = fullNames && fm.horizontalAdvance(DecodeText(name)) <= static_cast<int>(slot) - 2;
  }
  for (size_t m = 0; m < months.size(); ++m) {
    const int left = plot.left() + static_cast<int>(std::lround(slot * static_cast<double>(m)));
    const int middle = left + static_cast<int>(slot / 2);
    const auto bar = [&](const std::optional<int64_t>& value, int x, const QColor& colour) {
      if (!value || *value == 0) return;
      const int top = y(*value);
      painter.fillRect(
          QRect(QPoint(x, std::min(top, zero)), QPoint(x + barWidth - 1, std::max(top, zero))),
          colour);
    };
    bar(months[m].turnover, middle - barWidth, kTurnoverBarColor);
    bar(months[m].due, middle, kDueBarColor);

    const QString name = DecodeText(fullNames ? FullMonthNames[m] : MonthNames[m]);
    painter.setPen(Qt::black);
    painter.drawText(QRect(left, plot.bottom() + gap / 2, static_cast<int>(slot), fm.height()),
                     Qt::AlignHCenter | Qt::AlignTop, name);
  }

  // The legend above the chart.
  int x = plot.left();
  const int box = fm.height() - 4;
  for (const auto& [colour, text] :
       {std::pair{kTurnoverBarColor, QStringLiteral("Umsatz (Kz 81 + 86 + 41 + 44)")},
        std::pair{kDueBarColor, QStringLiteral("Kz 83 (Vorauszahlung, negativ: Erstattung)")}}) {
    painter.fillRect(QRect(x, area.top() + gap + 2, box, box), colour);
    x += box + gap / 2;
    painter.setPen(Qt::black);
    painter.drawText(QPoint(x, area.top() + gap + fm.ascent()), text);
    x += fm.horizontalAdvance(text) + 2 * gap;
  }
  painter.restore();
}

TOverviewChart::TOverviewChart(QWidget* parent) : QWidget(parent) {
  // Small enough that the table and the chart fit a screen of 1024 x 768.
  setMinimumSize(560, 180);
}

void TOverviewChart::SetMonths(const std::array<ChartFigures, 12>& months) {
  months_ = months;
  update();
}

void TOverviewChart::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  DrawOverviewChart(painter, rect(), months_);
}

TYearOverviewDialog::TYearOverviewDialog(QWidget* owner) : QWidget(owner, Qt::Window) {
  setWindowTitle(DecodeText(kTitle));
  auto* layout = new QVBoxLayout(this);
  lblCaption = new QLabel(this);
  // The period, then one column per form field.
  gridOverview = new QTableWidget(0, 1 + static_cast<int>(kFormFields.size()), this);
  gridOverview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gridOverview->setSelectionBehavior(QAbstractItemView::SelectRows);
  gridOverview->verticalHeader()->hide();
  gridOverview->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  gridOverview->verticalHeader()->setDefaultSectionSize(gridOverview->fontMetrics().height() + 6);
  gridOverview->setWordWrap(false);
  gridOverview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QStringList heads{QStringLiteral("Zeitraum")};
  for (const FormField& field : kFormFields) heads << DecodeText(FieldTag(field.number));
  gridOverview->setHorizontalHeaderLabels(heads);
  // The columns share the window's width; each is as wide as its widest text at least.
  gridOverview->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  chart = new TOverviewChart(this);
  layout->addWidget(lblCaption);
  layout->addWidget(gridOverview);
  layout->addWidget(chart, 1);
  resize(720, 760);
  // Escape closes it, as it closes the hints.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void TYearOverviewDialog::SetOverview(const YearOverview& overview) {
  year_ = overview.year;
  basis_ = overview.basis;
  setWindowTitle(DecodeText(kTitle) + QStringLiteral(" %1").arg(overview.year));
  lblCaption->setText(DecodeText(OverviewCaption(overview)));
  gridOverview->setRowCount(static_cast<int>(overview.rows.size()));
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
      gridOverview->setItem(static_cast<int>(i), column, item);
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
  gridOverview->setCurrentIndex(QModelIndex());
  int height = gridOverview->horizontalHeader()->height() + 2 * gridOverview->frameWidth();
  for (int r = 0; r < gridOverview->rowCount(); ++r) height += gridOverview->rowHeight(r);
  gridOverview->setFixedHeight(height);
  chart->SetMonths(months);
}

void ShowYearOverview(QPointer<TYearOverviewDialog>& dialog, QWidget* owner, TDBase& db, int year,
                      TaxationBasis basis) {
  const YearOverview overview = EvaluateYearOverview(db, year, basis);
  const bool fresh = dialog.isNull();
  if (fresh) {
    dialog = new TYearOverviewDialog(owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
  }
  dialog->SetOverview(overview);
  if (fresh && owner != nullptr) {
    dialog->adjustSize();
    dialog->resize(std::max(dialog->width(), 720), std::max(dialog->height(), 760));
    PlaceBeside(*dialog, *owner, dialog->minimumSizeHint().width());
  }
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

void FollowYearOverview(const QPointer<TYearOverviewDialog>& dialog, TDBase& db, int year,
                        TaxationBasis basis) {
  if (dialog.isNull() || !dialog->isVisible()) return;
  if (dialog->Year() == year && dialog->Basis() == basis) return;
  dialog->SetOverview(EvaluateYearOverview(db, year, basis));
}

}  // namespace vorlex
