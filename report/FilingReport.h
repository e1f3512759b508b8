// What the reporter does with the ledger of filed returns: compare a run with
// its period's latest filing, record a filing, and say so.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ledger/FiledPeriods.h"
#include "ledger/Filing.h"
#include "report/ReportOptions.h"
#include "tax/Classification.h"

namespace vorlex {

struct FilingOutcome {
  std::optional<Filing> latest;          // the period's latest filing before this run
  std::optional<FilingChanges> changes;  // this run against it
  std::optional<Filing> recorded;        // the filing --mark-filed added
  std::string classification;            // the run's, as a filing keeps it
  std::string error;                     // the ledger's sentence (UTF-8); empty when all went well
};

// Where the ledger is: --ledger, else the default place.
std::string LedgerPath(const ReportOptions& options);

// Compares the run with the latest filing of its period and basis and, with
// --mark-filed, records it. The run's figures stand whatever happens here:
// every failure is a sentence in the outcome.
FilingOutcome LedgerStep(const ReportOptions& options, const Filing& run,
                         const std::string& pelmoraAppDataDir);

// The lines after the figures: the status, one line per changed entry, and
// the filing recorded (Windows-1252 words, database texts as stored).
std::vector<std::string> FilingLines(const FilingOutcome& outcome);

}  // namespace vorlex
