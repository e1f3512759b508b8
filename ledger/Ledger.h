// Vorlex's own database, the ledger of filed returns: one file in the user's
// folder for a program's data, never in Pelmora's folders. Filings are only
// ever added; a corrected filing is a new one beside the one it corrects.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ledger/Filing.h"

namespace vorlex {

class TSQLiteWritableDatabase;

enum class LedgerFailure {
  Damaged,    // no database, a damaged one, or one of another program
  Newer,      // written by a newer Vorlex, whose layout this one does not know
  Busy,       // another Vorlex process holds it longer than we wait
  Unchanged,  // the period is filed already and nothing has changed since
  Misplaced,  // in Pelmora's folders
  Other,      // cannot be made, read or written
};

// One German sentence (UTF-8) naming the file, what is wrong and what to do.
class ELedgerError : public std::runtime_error {
 public:
  ELedgerError(const std::string& sentence, LedgerFailure failure)
      : std::runtime_error(sentence), failure_(failure) {}
  LedgerFailure Failure() const { return failure_; }

 private:
  LedgerFailure failure_;
};

// $VORLEX_LEDGER when set, else "Vorlex/vorlex.db" in the user's folder for
// a program's data (~/.local/share, %APPDATA%).
std::string DefaultLedgerPath();

// Whether the ledger file would lie in Pelmora's own folder (appDataDir) or
// beside Pelmora's database.
bool InPelmorasFolders(const std::string& ledger, const std::string& pelmoraDatabase,
                       const std::string& appDataDir);

enum class LedgerAccess {
  Read,   // a missing file is an empty ledger, and nothing is made
  Write,  // the folder and the file are made where missing
};

class TLedger {
 public:
  // Refuses a file that is no ledger of Vorlex, is damaged or is of a newer
  // layout, and leaves it as it is. Raises ELedgerError.
  TLedger(std::string path, LedgerAccess access, int busyMilliseconds = 5000);
  ~TLedger();
  TLedger(const TLedger&) = delete;
  TLedger& operator=(const TLedger&) = delete;

  const std::string& Path() const { return path_; }

  // The latest filing of the period and basis, with its entries: of the
  // trader's (SameTrader), or of anyone's without one.
  std::optional<Filing> LatestFiling(double firstDay, double lastDay, TaxationBasis basis,
                                     const Filing* trader = nullptr);
  // The trader's latest filing of the run's period and basis.
  std::optional<Filing> LatestFiling(const Filing& run);
  // The latest filing of every filed period and basis, in the order of the
  // periods: of the trader's, or of anyone's without one.
  std::vector<Filing> LatestFilings(const Filing* trader = nullptr);
  // Adds the filing in one transaction, as a correction of the latest filing
  // of its period by the same trader where there is one, and returns its id.
  // Refuses (LedgerFailure::Unchanged) where that one has the same figures
  // and entries, naming the day of that filing in format.
  int64_t Record(const Filing& filing, const FormatSettings& format);

 private:
  // The layout version of the file (0 for a new, empty one); raises for a
  // file that is no ledger, is damaged or is of a newer layout.
  int64_t CheckLayout();
  // Brings a file of that layout version to the newest, inside the caller's
  // write transaction.
  void LayOut(int64_t version);
  std::vector<Filing> Select(const std::string& condition, double firstDay, double lastDay,
                             TaxationBasis basis);
  void LoadEntries(std::vector<Filing>& filings);
  [[noreturn]] void Raise(const std::exception& error);

  std::string path_;
  std::unique_ptr<TSQLiteWritableDatabase> db_;  // none for a missing file read
};

}  // namespace vorlex
