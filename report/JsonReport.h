// The whole run as one JSON document (UTF-8): the period, the basis, every
// entry with its fields and the form field it went into, the totals, the six
// form fields and the hints.
#pragma once

#include <QByteArray>
#include <vector>

#include "output/FilingText.h"
#include "report/FilingReport.h"
#include "tax/Classification.h"
#include "tax/PlausibilityHints.h"
#include "tax/RunEntry.h"
#include "tax/SpecialPrepayment.h"
#include "tax/TaxPeriod.h"
#include "tax/TaxTotals.h"
#include "tax/TaxationBasis.h"
#include "tax/YearOverview.h"

namespace vorlex {

struct JsonRun {
  const TTaxPeriod* period = nullptr;
  TaxationBasis basis = TaxationBasis::Ist;
  const std::vector<RunEntry>* entries = nullptr;
  const TaxTotals* totals = nullptr;
  const std::vector<Hint>* hints = nullptr;
  int field = 0;  // not 0: the entries and hints are those of this form field
  // A month's or quarter's comparison with its filing; no "filing" where
  // the period was never filed.
  const FilingOutcome* filing = nullptr;
  Classification classification = Classification::Simple;
  const RunDueDates* due = nullptr;  // a month's or a quarter's due dates
};

// format: how the filing's status line writes its day and amounts.
QByteArray RunJson(const JsonRun& run, const FormatSettings& format);

// The year at a glance: one row per month, quarter and the year, each with
// its period and the six form fields.
QByteArray OverviewJson(const YearOverview& overview);

// The special prepayment of a year: the year, its kind, the amount, the base it
// is the eleventh of and the due date; or the sentence why none is paid.
QByteArray SpecialPrepaymentJson(const SpecialPrepaymentOfYear& prepayment,
                                 const FormatSettings& format);

// The figures as the portal takes them, each with its label and value text.
QByteArray PortalJson(const std::vector<PortalFigure>& figures);

}  // namespace vorlex
