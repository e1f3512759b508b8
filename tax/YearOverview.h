// A year at a glance: the totals of each month, each quarter and the whole
// year, from one run over the year. Every row holds the very totals that a run
// of its own period adds up: a month's entries come in a year's run in the
// order the month's own run lists them, so adding them in that order gives the
// same sums to the last bit.
#pragma once

#include <cstdint>
#include <vector>

#include "tax/EvaluationSink.h"
#include "tax/TaxPeriod.h"
#include "tax/TaxTotals.h"
#include "tax/Classification.h"
#include "tax/TaxationBasis.h"

namespace vorlex {

class TDBase;

enum class OverviewSpan : uint8_t { Month, Quarter, Year };

struct OverviewRow {
  OverviewSpan span = OverviewSpan::Year;
  int number = 0;  // the month 1 to 12, the quarter 1 to 4; 0 for the year
  TTaxPeriod period;
  TaxTotals totals;
};

struct YearOverview {
  int year = 0;
  TaxationBasis basis = TaxationBasis::Ist;
  Classification classification = Classification::Simple;
  // January, February, March, the first quarter, April, ..., the fourth
  // quarter, the year: seventeen rows.
  std::vector<OverviewRow> rows;
};

// The empty rows of a year, periods set, totals zero.
YearOverview EmptyOverview(int year, TaxationBasis basis);

// Takes the entries of a year's run in the order they come and adds each to
// its month's and its quarter's totals; the year's are the run's own.
class TYearOverviewSink : public IEvaluationSink {
 public:
  TYearOverviewSink(int year, TaxationBasis basis);
  void AppendEntry(RunEntry entry) override;
  void RunComplete(const TaxTotals& totals) override;
  void ProgressStart(int /*maximum*/) override {}
  void ProgressStep() override {}

  const YearOverview& Overview() const { return overview_; }
  bool Complete() const { return complete_; }

 private:
  // The row of the month whose days hold day, or -1.
  int MonthRow(double day) const;

  YearOverview overview_;
  // Bounds as the run's query compares a date: from the first day of month m
  // (bounds_[m - 1]) up to, not including, the first day of the next.
  double bounds_[13] = {};
  bool complete_ = false;
};

// One run over the year (cash or accrual basis); an error of
// the run propagates.
YearOverview EvaluateYearOverview(TDBase& db, int year, TaxationBasis basis,
                                  ClassificationChoice choice = {});

}  // namespace vorlex
