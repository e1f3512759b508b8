// The CSV bytes of the summary list.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "output/SummaryList.h"
#include "tax/TaxPeriod.h"
#include "tax/TaxationBasis.h"
#include "util/WholeFile.h"

namespace vorlex {

// Every "|" turned into ";", CR LF after every line including the last, bytes
// as held, no byte-order mark.
std::string CsvBytes(const std::vector<ListLine>& lines);

// A file that could not be saved: what failed, the system's reason (an errno
// value, 0 when none is known), and whether a file of that name was there
// before (it is then unchanged).
class ECsvWriteError : public std::runtime_error {
 public:
  ECsvWriteError(const std::string& message, SaveOutcome outcome, int reason, std::string shownName,
                 bool existed)
      : std::runtime_error(message),
        outcome_(outcome),
        reason_(reason),
        shownName_(std::move(shownName)),
        existed_(existed) {}
  SaveOutcome Outcome() const { return outcome_; }
  int Reason() const { return reason_; }
  const std::string& ShownName() const { return shownName_; }
  bool Existed() const { return existed_; }

 private:
  SaveOutcome outcome_;
  int reason_;
  std::string shownName_;
  bool existed_;
};

// Writes the CSV bytes to path, whole or not at all: an existing file keeps its
// content unless every byte was written. Raises ECsvWriteError with
// "Datei <shownName> kann nicht erstellt werden" or "Stream-Write-Fehler".
void WriteCsvFile(const std::string& path, const std::string& bytes, const std::string& shownName);

// The files "-> .CSV" writes: the list as shown, the table for a spreadsheet,
// the EC sales list.
enum class ExportType { List, Table, EcSales };

// The name an export of period and basis is proposed under, without
// extension, one of its own for each type, so that one export never replaces
// another: "Vorlex 2026-12 Ist", "Vorlex 2026-Q2 Soll", "Vorlex 2026 Ist",
// "Vorlex 2026-11-15 bis 2026-12-10 Ist"; the table "Vorlex 2026-Q2 Soll
// Tabelle"; the EC sales list, which follows the invoice date on either
// basis, "Vorlex 2026-Q2 ZM". Empty text without a period.
std::string ExportFileStem(const TTaxPeriod& period, TaxationBasis basis,
                           ExportType type = ExportType::List);

}  // namespace vorlex
