// The cash-book entries of a period: receipts add to the turnover of their
// rate, expenses add their input tax.
#pragma once

#include <string>
#include <vector>

#include "tax/Classification.h"
#include "tax/EvaluationSink.h"
#include "tax/TaxTotals.h"

namespace vorlex {

class TDBase;

std::string CashBookQuery(double firstDay, double lastDay);

// Under the exact classification receipts at another rate above 0 also go
// into Kz 35 (their tax into Kz 36), and expenses at any rate above 0 add
// their input tax to Kz 66.
void CashBookEvaluation(TDBase& db, double firstDay, double lastDay, TaxTotals& totals,
                        IEvaluationSink& sink, ClassificationChoice choice = {});

// The cash-book entries that no period selects, as their date is text that is
// no number: one EntryKind::Undated entry each, appended.
void UndatedCashEntries(TDBase& db, std::vector<RunEntry>& undated);

}  // namespace vorlex
