#include "report/FilingReport.h"

#include "output/EcSalesExport.h"

#include "ledger/Ledger.h"
#include "util/DateText.h"
#include "util/uString.h"

namespace vorlex {

std::string LedgerPath(const ReportOptions& options) {
  return options.ledger.empty() ? DefaultLedgerPath() : options.ledger;
}

void RefuseLedgerInPelmorasFolders(const std::string& ledger, const std::string& pelmoraPath,
                                   const std::string& pelmoraAppDataDir) {
  if (!InPelmorasFolders(ledger, pelmoraPath, pelmoraAppDataDir)) return;
  throw ELedgerError(Windows1252ToUtf8("Die Ablage der Abgaben geh\xF6rt nicht in Pelmoras "
                                       "Ordner: ") +
                         StoredTextAsUtf8(ledger) +
                         Windows1252ToUtf8(". Nennen Sie mit --ledger eine Datei au\xDF"
                                           "erhalb."),
                     LedgerFailure::Misplaced);
}

FilingOutcome LedgerStep(const ReportOptions& options, const Filing& run,
                         const std::string& pelmoraAppDataDir) {
  FilingOutcome outcome;
  outcome.classification = run.classification;
  const std::string path = LedgerPath(options);
  try {
    RefuseLedgerInPelmorasFolders(path, run.pelmoraPath, pelmoraAppDataDir);
    TLedger ledger(path, options.markFiled ? LedgerAccess::Write : LedgerAccess::Read);
    outcome.latest = ledger.LatestFiling(run);
    if (outcome.latest) outcome.changes = CompareWithFiling(*outcome.latest, run);
    if (options.markFiled) {
      Filing filing = run;
      filing.id = ledger.Record(run);
      filing.corrects = outcome.latest ? outcome.latest->id : 0;
      outcome.recorded = std::move(filing);
    }
  } catch (const ELedgerError& e) {
    outcome.error = e.what();
  }
  return outcome;
}

std::vector<std::string> FilingLines(const FilingOutcome& outcome) {
  std::vector<std::string> lines;
  if (outcome.changes) {
    lines.push_back(FilingStatusLine(*outcome.changes));
    if (outcome.latest && outcome.latest->classification != outcome.classification) {
      // The figures of another classification differ by their rules alone.
      const auto name = [](const std::string& text) {
        return ClassificationName(ClassificationOfText(text).rules);
      };
      lines.push_back(std::string("  (abgegeben mit der Einteilung \"") +
                      name(outcome.latest->classification) + "\", dieser Lauf: \"" +
                      name(outcome.classification) + "\")");
    }
    for (const std::string& entry : outcome.changes->entries) lines.push_back("  " + entry);
    for (std::string& line : CorrectedReturnLines(*outcome.changes)) {
      lines.push_back(std::move(line));
    }
  }
  if (outcome.ecSalesCorrection) {
    for (std::string& line : EcSalesCorrectionLines(*outcome.ecSalesCorrection)) {
      lines.push_back(std::move(line));
    }
  }
  if (const auto& f = outcome.recorded) {
    std::string line = "Als abgegeben vermerkt am " + FormatDate(f->filedOn, Format());
    if (!f->ticket.empty()) line += ", Transferticket " + f->ticket;
    if (f->corrects != 0) line += " (Berichtigte Anmeldung, Kz 10: 1)";
    lines.push_back(line);
  }
  return lines;
}

}  // namespace vorlex
