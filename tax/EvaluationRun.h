// One evaluation run without widgets: clear the totals, sales, cash book, the
// total lines. The window and the reporter both call it.
#pragma once

#include <array>
#include <string>

#include "tax/EvaluationSink.h"
#include "tax/TaxTotals.h"

namespace vorlex {

class TDBase;

// "Ein- und Ausgänge vom %s bis %s  (%s)" (Windows-1252).
std::string PeriodCaption(double firstDay, double lastDay, int versteuerung);
// The date the basis selects orders by: "Zahlungsdatum" or "Rechnungsdatum".
const char* BasisDateName(int versteuerung);

// Clears totals, then hands the sales entries, the cash-book entries and, once
// complete, the totals to the sink. An error leaves the entries and sums made
// before it and propagates.
void EvaluateRun(TDBase& db, double firstDay, double lastDay, int versteuerung,
                 TaxTotals& totals, IEvaluationSink& sink);

struct FormFigure {
  int field;
  double value;
};
// The five figures of the form in the order 41, 44, 81, 86, 66.
std::array<FormFigure, 5> FormFigures(const TaxTotals& totals);

// The form field whose figure a total goes into: 41, 44, 81, 86 or 66 (both
// input-tax totals); 0 for the sales outside the EU and for no total.
int FormFieldOf(TotalKind total);

}  // namespace vorlex
