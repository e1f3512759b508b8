#include "tax/EvaluationRun.h"

#include <exception>

#include "db/uDB.h"
#include "tax/CashBookEvaluation.h"
#include "tax/SalesEvaluation.h"
#include "util/uFormat.h"

namespace vorlex {

std::string PeriodCaption(double firstDay, double lastDay, TaxationBasis basis) {
  return "Ein- und Ausg\xE4nge vom " + FormatDate(firstDay) + " bis " + FormatDate(lastDay) +
         "  (" + BasisDateName(basis) + ")";
}

namespace {

// Every query of a run reads the same state of the database. Pelmora may
// commit while a run is under way; without this an order could be counted
// from one state and its lines or the cash book from another. A read
// transaction writes nothing, and it ends with the run, also when the run
// fails, so that the next run reads afresh.
class ReadSnapshot {
 public:
  explicit ReadSnapshot(TDBase& db) : db_(db) { db_.Connection().Execute("BEGIN"); }
  ~ReadSnapshot() {
    try {
      db_.Connection().Execute("ROLLBACK");
    } catch (const std::exception&) {
      // Only a closed connection gets here; it holds no transaction any more.
    }
  }
  ReadSnapshot(const ReadSnapshot&) = delete;
  ReadSnapshot& operator=(const ReadSnapshot&) = delete;

 private:
  TDBase& db_;
};

}  // namespace

void EvaluateRun(TDBase& db, double firstDay, double lastDay, TaxationBasis basis,
                 TaxTotals& totals, IEvaluationSink& sink) {
  const ReadSnapshot snapshot(db);
  totals = TaxTotals{};
  SalesEvaluation(db, firstDay, lastDay, basis, totals, sink);
  CashBookEvaluation(db, firstDay, lastDay, totals, sink);
  sink.RunComplete(totals);
}

}  // namespace vorlex
