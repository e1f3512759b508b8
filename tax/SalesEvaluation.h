// The orders of a period: one list line each, net amounts into the totals by
// the customer's country and VAT identification number.
#pragma once

#include <string>
#include <vector>

#include "tax/Classification.h"
#include "tax/EvaluationSink.h"
#include "tax/TaxTotals.h"
#include "tax/TaxationBasis.h"

namespace vorlex {

class TDBase;

// The orders query of a period (day numbers; only their calendar days count).
std::string SalesQuery(double firstDay, double lastDay, TaxationBasis basis);
// Its FROM and WHERE text, which other queries of the same orders share.
std::string SalesFromWhere(double firstDay, double lastDay, TaxationBasis basis);

// choice: the simple classification by the customer's country, or the exact
// one (tax/ExactClassification.h); under it and "Ist" the intra-Community
// supplies are taken by their invoice date, after the other orders.
void SalesEvaluation(TDBase& db, double firstDay, double lastDay, TaxationBasis basis,
                     TaxTotals& totals, IEvaluationSink& sink, ClassificationChoice choice = {});

// The orders of the basis that no period selects, as their date under it is
// text that is no number: one EntryKind::Undated entry each, appended.
void UndatedOrders(TDBase& db, TaxationBasis basis, std::vector<RunEntry>& undated);

}  // namespace vorlex
