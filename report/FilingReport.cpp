#include "report/FilingReport.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "db/uDB.h"
#include "ledger/FiledPeriods.h"
#include "ledger/Ledger.h"
#include "location/PelmoraLocation.h"
#include "output/EcSalesExport.h"
#include "report/ReportOutput.h"
#include "tax/TraderSettings.h"
#include "util/DateText.h"
#include "util/Platform.h"
#include "util/ProgramText.h"
#include "util/uString.h"

namespace vorlex {

std::string LedgerPath(const ReportOptions& options) {
  return options.ledger.empty() ? DefaultLedgerPath() : options.ledger;
}

void RefuseLedgerInPelmorasFolders(const std::string& ledger, const std::string& pelmoraPath,
                                   const std::string& pelmoraAppDataDir) {
  if (!InPelmorasFolders(ledger, pelmoraPath, pelmoraAppDataDir)) return;
  throw ELedgerError(
      Windows1252ToUtf8("Die Ablage der Abgaben gehört nicht in Pelmoras Ordner: "_cp1252) +
          StoredTextAsUtf8(ledger) +
          Windows1252ToUtf8(". Nennen Sie mit --ledger eine Datei außerhalb."_cp1252),
      LedgerFailure::Misplaced);
}

FilingOutcome LedgerStep(TDBase& db, const ReportOptions& options, const Filing& run,
                         const std::string& pelmoraAppDataDir, const FormatSettings& format) {
  FilingOutcome outcome;
  outcome.classification = run.classification;
  const std::string path = LedgerPath(options);
  try {
    RefuseLedgerInPelmorasFolders(path, run.pelmoraPath, pelmoraAppDataDir);
    TLedger ledger(path, options.markFiled ? LedgerAccess::Write : LedgerAccess::Read);
    outcome.latest = ledger.LatestFiling(run);
    if (outcome.latest) outcome.changes = CompareUnderFiledRules(db, *outcome.latest, run, format);
    if (options.markFiled) {
      Filing filing = run;
      filing.id = ledger.Record(run, format);
      filing.corrects = outcome.latest ? outcome.latest->id : 0;
      outcome.recorded = std::move(filing);
    }
  } catch (const ELedgerError& e) {
    outcome.error = e.what();
  }
  return outcome;
}

std::vector<std::string> FilingLines(const FilingOutcome& outcome, const FormatSettings& format) {
  std::vector<std::string> lines;
  if (outcome.changes) {
    lines.push_back(FilingStatusLine(*outcome.changes, format));
    for (const std::string& entry : outcome.changes->entries) lines.push_back("  " + entry);
    for (std::string& line : CorrectedReturnLines(*outcome.changes, format)) {
      lines.push_back(std::move(line));
    }
  }
  if (outcome.ecSalesCorrection) {
    for (std::string& line : EcSalesCorrectionLines(*outcome.ecSalesCorrection)) {
      lines.push_back(std::move(line));
    }
  }
  if (const auto& f = outcome.recorded) {
    std::string line = "Als abgegeben vermerkt am " + FormatDate(f->filedOn, format);
    if (!f->ticket.empty()) line += ", Transferticket " + f->ticket;
    if (f->corrects != 0) line += " (Berichtigte Anmeldung, Kz 10: 1)";
    lines.push_back(line);
  }
  return lines;
}

std::string IdentityPath(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(PathFromText(path), ignored);
  return absolute.empty() ? path : PathText(absolute);
}

std::string VatIdOfTrader(TDBase& db) {
  try {
    return ReadVatId(db);
  } catch (const std::exception&) {
    return {};
  }
}

int RunChanges(const ReportOptions& options, const std::string& dbPath,
               const FormatSettings& format) {
  // Only the filings of the database's trader, as a run of one period finds them.
  TDBase db(dbPath, format);
  Filing trader;
  trader.pelmoraPath = IdentityPath(dbPath);
  trader.vatId = VatIdOfTrader(db);
  std::vector<Filing> filings;
  try {
    const std::string ledgerPath = LedgerPath(options);
    RefuseLedgerInPelmorasFolders(ledgerPath, trader.pelmoraPath, PelmoraAppDataDir());
    TLedger ledger(ledgerPath, LedgerAccess::Read);
    filings = ledger.LatestFilings(&trader);
  } catch (const ELedgerError& e) {
    Write(stderr, QByteArray(e.what()) + '\n');
    return 1;
  }
  size_t changed = 0;
  for (const Filing& filed : filings) {
    const FilingChanges changes = CompareWithFiling(filed, FiledPeriodNow(db, filed), format);
    if (!changes.Changed()) continue;
    ++changed;
    WriteText(stdout, FiledPeriodName(filed) + " " + BasisText(filed.basis) + ": " +
                          FilingStatusLine(changes, format));
    for (const std::string& entry : changes.entries) WriteText(stdout, "  " + entry);
  }
  db.Close();
  WriteText(stdout, ChangedPeriodsLine(changed, filings.size()));
  if (!FlushStandardStream(stdout)) RaiseWriteError();
  return changed > 0 ? 3 : 0;
}

}  // namespace vorlex
