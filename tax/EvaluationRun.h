// One evaluation run without widgets: clear the totals, sales, cash book, the
// total lines. The window and the reporter both call it.
#pragma once

#include <string>

#include "tax/Classification.h"
#include "tax/EvaluationSink.h"
#include "tax/TaxTotals.h"
#include "tax/TaxationBasis.h"
#include "util/FormatSettings.h"

namespace vorlex {

class TDBase;

// "Ein- und Ausgänge vom %s bis %s  (%s)" (Windows-1252), the days in the
// short date pattern of format.
std::string PeriodCaption(double firstDay, double lastDay, TaxationBasis basis,
                          const FormatSettings& format);

// Clears totals, then hands the sales entries, the cash-book entries, the
// entries no period selects (EntryKind::Undated) and, once complete, the
// totals to the sink. An error leaves the entries and sums made before it and
// propagates.
// choice: the classification of the orders and the cash book
// (tax/Classification.h), the simple one unless told.
void EvaluateRun(TDBase& db, double firstDay, double lastDay, TaxationBasis basis,
                 TaxTotals& totals, IEvaluationSink& sink, ClassificationChoice choice = {});

}  // namespace vorlex
