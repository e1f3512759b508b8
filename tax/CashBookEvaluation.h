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

// The exact classification of a receipt or expense (its net, added and rate
// set) at a rate above 0 that is neither 7 nor 19 %: a receipt into Kz 35
// with its tax in Kz 36, an expense's input tax into Kz 66. Any other entry is
// left as it is.
void ClassifyOtherCashRate(RunEntry& entry);

// The cash-book entries that no period selects, as their date is text that is
// no number: one EntryKind::Undated entry each, appended.
void UndatedCashEntries(TDBase& db, std::vector<RunEntry>& undated);

}  // namespace vorlex
