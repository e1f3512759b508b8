#include "tax/EvaluationRun.h"

#include <exception>

#include "db/uDB.h"
#include "tax/CashBookEvaluation.h"
#include "tax/SalesEvaluation.h"
#include "util/uFormat.h"

namespace vorlex {

std::string PeriodCaption(double firstDay, double lastDay, int versteuerung) {
  return "Ein- und Ausg\xE4nge vom " + FormatDate(firstDay) + " bis " + FormatDate(lastDay) +
         "  (" + BasisDateName(versteuerung) + ")";
}

const char* BasisDateName(int versteuerung) {
  return versteuerung == 0 ? "Zahlungsdatum" : "Rechnungsdatum";
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

void EvaluateRun(TDBase& db, double firstDay, double lastDay, int versteuerung, TaxTotals& totals,
                 IEvaluationSink& sink) {
  const ReadSnapshot snapshot(db);
  totals = TaxTotals{};
  SalesEvaluation(db, firstDay, lastDay, versteuerung, totals, sink);
  CashBookEvaluation(db, firstDay, lastDay, totals, sink);
  sink.RunComplete(totals);
}

std::array<FormFigure, 5> FormFigures(const TaxTotals& totals) {
  const long double inputTax = static_cast<long double>(totals.Vorsteuer7) + totals.Vorsteuer19;
  return {{{41, totals.InnergemMitUStId},
           {44, totals.InnergemOhneUStId},
           {81, totals.Umsatz19},
           {86, totals.Umsatz7},
           {66, static_cast<double>(inputTax)}}};
}

int FormFieldOf(TotalKind total) {
  switch (total) {
    case TotalKind::InnergemMitUStId: return 41;
    case TotalKind::InnergemOhneUStId: return 44;
    case TotalKind::Umsatz19: return 81;
    case TotalKind::Umsatz7: return 86;
    case TotalKind::Vorsteuer7:
    case TotalKind::Vorsteuer19: return 66;
    case TotalKind::NichtEU:
    case TotalKind::None: break;
  }
  return 0;
}

}  // namespace vorlex
