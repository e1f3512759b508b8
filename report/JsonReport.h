// The whole run as one JSON document (UTF-8): the period, the basis, every
// entry with its fields, the totals, the six form fields and the hints.
#pragma once

#include <QByteArray>
#include <string>
#include <vector>

#include "tax/PlausibilityHints.h"
#include "tax/RunEntry.h"
#include "tax/TaxTotals.h"

namespace vorlex {

struct JsonRun {
  double firstDay = 0;
  double lastDay = 0;
  std::string periodKind;  // "year", "quarter", "month" or "range"
  int versteuerung = 0;
  const std::vector<RunEntry>* entries = nullptr;
  const TaxTotals* totals = nullptr;
  const std::vector<Hint>* hints = nullptr;
};

QByteArray RunJson(const JsonRun& run);

}  // namespace vorlex
