// The filed periods against Pelmora's data as it is now: a filed period run
// afresh under the rules it was filed with, and how many have changed.
#pragma once

#include <cstddef>
#include <string>

#include "ledger/Filing.h"
#include "tax/Classification.h"
#include "tax/TaxPeriod.h"

namespace vorlex {

class TDBase;

// The classification as a filing keeps it: "simple", "exact" or "exact
// services" (the exact rules for a trader who sells services abroad); and
// back, the simple one for any other text.
std::string ClassificationText(const ClassificationChoice& choice);
ClassificationChoice ClassificationOfText(const std::string& text);

// The month or quarter a filing is of.
TTaxPeriod PeriodOfFiling(const Filing& filing);

// The filed period's figures and entries as the database has them now, made
// with the filing's basis and classification. The special prepayment
// deducted is the trader's figure, not Pelmora's data: it stands as filed.
Filing FiledPeriodNow(TDBase& db, const Filing& filed);

// The run compared with its period's latest filing; under the filing's own
// rules, the period run afresh with them, where the run was made under
// others: its figures would differ by the rules alone.
FilingChanges CompareUnderFiledRules(TDBase& db, const Filing& filed, const Filing& run,
                                     const FormatSettings& format);

// "2 von 5 abgegebenen Zeiträumen seit der Abgabe geändert" (Windows-1252).
std::string ChangedPeriodsLine(size_t changed, size_t filed);

}  // namespace vorlex
