#include "tax/EvaluationRun.h"

#include "tax/CashBookEvaluation.h"
#include "tax/SalesEvaluation.h"
#include "ui/SummaryList.h"
#include "util/uFormat.h"

namespace vorlex {

TaxTotals Totals;

std::string PeriodCaption(double firstDay, double lastDay, int versteuerung) {
  return "Ein- und Ausg\xE4nge vom " + FormatDate(firstDay) + " bis " + FormatDate(lastDay) +
         "  (" + (versteuerung == 0 ? "Zahlungsdatum" : "Rechnungsdatum") + ")";
}

void EvaluateRun(TDBase& db, double firstDay, double lastDay, int versteuerung, TaxTotals& totals,
                 IEvaluationSink& sink) {
  totals = TaxTotals{};
  SalesEvaluation(db, firstDay, lastDay, versteuerung, totals, sink);
  CashBookEvaluation(db, firstDay, lastDay, totals, sink);
  AppendSummary(totals, sink);
}

std::array<FormFigure, 5> FormFigures(const TaxTotals& totals) {
  const long double inputTax = static_cast<long double>(totals.Vorsteuer7) + totals.Vorsteuer19;
  return {{{41, totals.InnergemMitUStId},
           {44, totals.InnergemOhneUStId},
           {81, totals.Umsatz19},
           {86, totals.Umsatz7},
           {66, static_cast<double>(inputTax)}}};
}

}  // namespace vorlex
