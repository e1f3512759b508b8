// The total lines of the summary list.
#pragma once

#include "tax/EvaluationSink.h"
#include "tax/TaxTotals.h"

namespace vorlex {

// Appends the divider and the ten total lines.
void AppendSummary(const TaxTotals& totals, IEvaluationSink& sink);

}  // namespace vorlex
