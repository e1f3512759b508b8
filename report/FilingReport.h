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

class TDBase;

struct FilingOutcome {
  std::optional<Filing> latest;          // the period's latest filing before this run
  std::optional<FilingChanges> changes;  // this run against it
  std::optional<Filing> recorded;        // the filing --mark-filed added
  std::string classification;            // the run's, as a filing keeps it
  std::string error;                     // the ledger's sentence (UTF-8); empty when all went well
  // With --zm: the rows of the period's EC sales list that differ from its
  // filing's, as the portal's correction (Kz 03) takes them.
  std::optional<std::vector<EcSalesCorrectionRow>> ecSalesCorrection;
};

// Where the ledger is: --ledger, else the default place.
std::string LedgerPath(const ReportOptions& options);

// Raises ELedgerError (LedgerFailure::Misplaced) where the ledger would lie in
// Pelmora's folders, for reading as for writing.
void RefuseLedgerInPelmorasFolders(const std::string& ledger, const std::string& pelmoraPath,
                                   const std::string& pelmoraAppDataDir);

// Compares the run with the trader's latest filing of its period and basis and, with
// --mark-filed, records it; a run under other rules than the filing's is
// compared with the period run afresh under the filing's (db). The run's
// figures stand whatever happens here: every failure is a sentence in the
// outcome. format: how the comparison's lines write days and amounts.
FilingOutcome LedgerStep(TDBase& db, const ReportOptions& options, const Filing& run,
                         const std::string& pelmoraAppDataDir, const FormatSettings& format);

// The database's path as a filing names it: absolute.
std::string IdentityPath(const std::string& path);

// The trader's VAT id as filings are matched by it. A database without
// Pelmora's settings still shows its figures; its filings are then found by
// the database's path.
std::string VatIdOfTrader(TDBase& db);

// --changes: every filed period of the database at dbPath whose figures or
// entries changed since its latest filing; 3 when there is one.
int RunChanges(const ReportOptions& options, const std::string& dbPath,
               const FormatSettings& format);

// The lines after the figures: the status, one line per changed entry, and
// the filing recorded (Windows-1252 words, database texts as stored).
std::vector<std::string> FilingLines(const FilingOutcome& outcome, const FormatSettings& format);

}  // namespace vorlex
