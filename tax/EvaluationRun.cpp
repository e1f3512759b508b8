#include "tax/EvaluationRun.h"

#include "db/uDB.h"
#include "tax/CashBookEvaluation.h"
#include "tax/SalesEvaluation.h"
#include "util/uFormat.h"

namespace vorlex {

std::string PeriodCaption(double firstDay, double lastDay, TaxationBasis basis) {
  return "Ein- und Ausg\xE4nge vom " + FormatDate(firstDay) + " bis " + FormatDate(lastDay) +
         "  (" + BasisDateName(basis) + ")";
}

void EvaluateRun(TDBase& db, double firstDay, double lastDay, TaxationBasis basis,
                 TaxTotals& totals, IEvaluationSink& sink) {
  // Pelmora may commit while a run is under way; without one state an order
  // could be counted from one state and its lines or the cash book from another.
  const TReadTransaction snapshot(db);
  totals = TaxTotals{};
  SalesEvaluation(db, firstDay, lastDay, basis, totals, sink);
  CashBookEvaluation(db, firstDay, lastDay, totals, sink);
  sink.RunComplete(totals);
}

}  // namespace vorlex
