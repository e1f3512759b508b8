#include "tax/YearOverview.h"

#include <cmath>

#include "tax/EvaluationRun.h"

namespace vorlex {

namespace {

constexpr size_t kYearRow = 16;

// Three months, then their quarter.
size_t MonthIndex(int month) {
  return static_cast<size_t>(month - 1 + (month - 1) / 3);
}
size_t QuarterIndex(int quarter) {
  return static_cast<size_t>(4 * quarter - 1);
}

}  // namespace

YearOverview EmptyOverview(int year, TaxationBasis basis) {
  YearOverview overview;
  overview.year = year;
  overview.basis = basis;
  overview.rows.resize(kYearRow + 1);
  for (int month = 1; month <= 12; ++month) {
    overview.rows[MonthIndex(month)] = {OverviewSpan::Month, month, MonthPeriod(year, month), {}};
  }
  for (int quarter = 1; quarter <= 4; ++quarter) {
    overview.rows[QuarterIndex(quarter)] = {
        OverviewSpan::Quarter, quarter, QuarterPeriod(year, quarter), {}};
  }
  overview.rows[kYearRow] = {OverviewSpan::Year, 0, YearPeriod(year), {}};
  return overview;
}

TYearOverviewSink::TYearOverviewSink(int year, TaxationBasis basis)
    : overview_(EmptyOverview(year, basis)) {
  // A run of a month reads the dates from its first day up to the start of
  // the day after its last; the same bounds decide here.
  for (int month = 1; month <= 12; ++month) {
    bounds_[month - 1] = std::floor(overview_.rows[MonthIndex(month)].period.FirstDay);
  }
  bounds_[12] = std::floor(overview_.rows[MonthIndex(12)].period.LastDay) + 1;
}

int TYearOverviewSink::MonthRow(double day) const {
  for (int month = 1; month <= 12; ++month) {
    if (day >= bounds_[month - 1] && day < bounds_[month]) return month;
  }
  return -1;
}

void TYearOverviewSink::AppendEntry(RunEntry entry) {
  if (entry.total == TotalKind::None) return;
  const int month = MonthRow(entry.date);
  if (month < 0) return;  // outside the year: no month's run reads it
  // Each total of a month or quarter grows by the same additions, in the same
  // order, as in the run of that month or quarter.
  overview_.rows[MonthIndex(month)].totals.Add(entry);
  overview_.rows[QuarterIndex((month + 2) / 3)].totals.Add(entry);
}

void TYearOverviewSink::RunComplete(const TaxTotals& totals) {
  overview_.rows[kYearRow].totals = totals;
  complete_ = true;
}

YearOverview EvaluateYearOverview(TDBase& db, int year, TaxationBasis basis,
                                  ClassificationChoice choice) {
  TYearOverviewSink sink(year, basis);
  const TTaxPeriod period = YearPeriod(year);
  TaxTotals totals;
  EvaluateRun(db, period.FirstDay, period.LastDay, basis, totals, sink, choice);
  YearOverview overview = sink.Overview();
  overview.classification = choice.rules;
  return overview;
}

}  // namespace vorlex
