#include "tax/EvaluationRun.h"

#include <vector>

#include "db/uDB.h"
#include "tax/CashBookEvaluation.h"
#include "tax/SalesEvaluation.h"
#include "util/DateText.h"
#include "util/ProgramText.h"

namespace vorlex {

std::string PeriodCaption(double firstDay, double lastDay, TaxationBasis basis,
                          const FormatSettings& format) {
  return "Ein- und Ausgänge vom "_cp1252 + FormatDate(firstDay, format) + " bis " +
         FormatDate(lastDay, format) + "  (" + BasisDateName(basis) + ")";
}

void EvaluateRun(TDBase& db, double firstDay, double lastDay, TaxationBasis basis,
                 TaxTotals& totals, IEvaluationSink& sink, ClassificationChoice choice) {
  // Pelmora may commit while a run is under way; without one state an order
  // could be counted from one state and its lines or the cash book from another.
  const TReadTransaction snapshot(db);
  totals = TaxTotals{};
  SalesEvaluation(db, firstDay, lastDay, basis, totals, sink, choice);
  CashBookEvaluation(db, firstDay, lastDay, totals, sink, choice);
  // What no period can select, so that a hint can name it.
  std::vector<RunEntry> undated;
  UndatedOrders(db, basis, undated);
  UndatedCashEntries(db, undated);
  if (!undated.empty()) {
    sink.ProgressStart(static_cast<int>(undated.size()));
    for (RunEntry& entry : undated) sink.AppendEntry(std::move(entry));
  }
  sink.RunComplete(totals);
}

}  // namespace vorlex
