#include "ledger/FiledPeriods.h"

#include <vector>

#include "tax/EvaluationRun.h"
#include "tax/EvaluationSink.h"
#include "util/ProgramText.h"
#include "util/uDatum.h"

namespace vorlex {

namespace {

// A run's entries and totals, without the lines a list would show.
class TEntrySink : public IEvaluationSink {
 public:
  void AppendEntry(RunEntry entry) override { entries.push_back(std::move(entry)); }
  void RunComplete(const TaxTotals&) override {}
  void ProgressStart(int) override {}
  void ProgressStep() override {}

  std::vector<RunEntry> entries;
};

}  // namespace

std::string ClassificationText(const ClassificationChoice& choice) {
  if (!choice.Exact()) return ClassificationKey(Classification::Simple);
  return std::string(ClassificationKey(Classification::Exact)) +
         (choice.sales == ForeignSales::Services ? " services" : "");
}

ClassificationChoice ClassificationOfText(const std::string& text) {
  if (text == "exact") return {Classification::Exact, ForeignSales::Goods};
  if (text == "exact services") return {Classification::Exact, ForeignSales::Services};
  return {};
}

TTaxPeriod PeriodOfFiling(const Filing& filing) {
  const CalendarDate first = DecodeDate(filing.firstDay);
  return filing.periodKind == TPeriodKind::Monat
             ? MonthPeriod(first.year, first.month)
             : QuarterPeriod(first.year, (first.month - 1) / 3 + 1);
}

Filing FiledPeriodNow(TDBase& db, const Filing& filed) {
  const TTaxPeriod period = PeriodOfFiling(filed);
  TEntrySink sink;
  TaxTotals totals;
  EvaluateRun(db, period.FirstDay, period.LastDay, filed.basis, totals, sink,
              ClassificationOfText(filed.classification));
  totals.field39 = filed.cents[kFiledFieldCount - 1].value_or(0);
  Filing now = FilingOfRun(period, filed.basis, sink.entries, totals);
  now.classification = filed.classification;
  return now;
}

FilingChanges CompareUnderFiledRules(TDBase& db, const Filing& filed, const Filing& run,
                                     const FormatSettings& format) {
  if (SameClassification(filed, run)) return CompareWithFiling(filed, run, format);
  FilingChanges changes = CompareWithFiling(filed, FiledPeriodNow(db, filed), format);
  changes.filedRules = ClassificationName(ClassificationOfText(filed.classification).rules);
  return changes;
}

std::string ChangedPeriodsLine(size_t changed, size_t filed) {
  return std::to_string(changed) + " von " + std::to_string(filed) +
         " abgegebenen Zeiträumen seit der Abgabe geändert"_cp1252;
}

}  // namespace vorlex
