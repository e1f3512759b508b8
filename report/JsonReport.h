// The whole run as one JSON document (UTF-8): the period, the basis, every
// entry with its fields, the totals, the six form fields and the hints.
#pragma once

#include <QByteArray>
#include <vector>

#include "tax/PlausibilityHints.h"
#include "tax/RunEntry.h"
#include "tax/TaxPeriod.h"
#include "tax/TaxTotals.h"

namespace vorlex {

struct JsonRun {
  const TTaxPeriod* period = nullptr;
  int versteuerung = 0;
  const std::vector<RunEntry>* entries = nullptr;
  const TaxTotals* totals = nullptr;
  const std::vector<Hint>* hints = nullptr;
};

QByteArray RunJson(const JsonRun& run);

}  // namespace vorlex
