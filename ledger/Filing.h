// A filed VAT pre-return as Vorlex keeps it: the period, the figures as filed
// and every entry behind them; and what has changed in a period since its
// latest filing, found by comparing a run with it.
#pragma once

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tax/EcSalesList.h"
#include "tax/RunEntry.h"
#include "tax/TaxPeriod.h"
#include "tax/TaxTotals.h"
#include "tax/TaxationBasis.h"

namespace vorlex {

// The fields a filing keeps, in the order they are shown: the five with
// entries, 83, and 39 (the special prepayment deducted in December).
inline constexpr int kFiledFields[] = {41, 44, 81, 86, 66, 83, 39};
inline constexpr size_t kFiledFieldCount = std::size(kFiledFields);

// The classification a run is made with unless another is named: entries by
// country, VAT id and rate alone.
inline constexpr const char* kSimpleClassification = "simple";

// One entry behind the figures, as it stood when the period was filed.
struct FiledEntry {
  EntryKind kind = EntryKind::Order;  // Order, Receipt, Expense or OtherCash
  int64_t id = 0;                     // the order's id in Pelmora; 0 for the cash book
  double date = 0;                    // day number, as the run used it
  std::string description;            // as stored in Pelmora
  std::string customer;               // the name the list shows
  double rate = 0;
  double net = 0;
  double gross = 0;
  double added = 0;  // what went into the field
  int field = 0;     // 41, 44, 81, 86, 66; 0 for none
  friend bool operator==(const FiledEntry&, const FiledEntry&) = default;
};

struct Filing {
  int64_t id = 0;        // in the ledger; 0 until recorded
  int64_t corrects = 0;  // the filing of the same period this one corrects; 0 for none
  TPeriodKind periodKind = TPeriodKind::Monat;
  double firstDay = 0;
  double lastDay = 0;
  TaxationBasis basis = TaxationBasis::Ist;
  std::string classification = kSimpleClassification;
  double filedOn = 0;  // day number of the day of filing
  std::string ticket;  // the portal's transfer ticket; may be empty
  std::string note;
  // Cents per field of kFiledFields as the run shows them; empty where a
  // figure cannot be shown (field 83 of figures beyond a trillion euros).
  std::optional<int64_t> cents[kFiledFieldCount] = {};
  std::string programVersion;
  std::string pelmoraPath;  // the database the figures came from
  std::string vatId;        // the trader's VAT id found in it
  std::vector<FiledEntry> entries;
  // The EC sales list as it was made when the period was filed (VAT id, kind
  // and whole euros of each row); none where it could not be made then, or for
  // a filing older than the list's record.
  std::optional<std::vector<EcSalesRow>> ecSales;
};

// The figures and entries of a run as a filing would keep them; the ledger's
// fields (id, dates of filing, ticket, identity) are left for the caller.
// Separators and entries no period selects are not the run's figures.
Filing FilingOfRun(const TTaxPeriod& period, TaxationBasis basis,
                   const std::vector<RunEntry>& entries, const TaxTotals& totals);

// Whether filed was made from the data of run's trader: by the trader's VAT
// id where both have one, so that a database moved elsewhere keeps its
// filings and another trader's are never mixed in; by the database's path
// where either lacks one.
bool SameTrader(const Filing& filed, const Filing& run);

struct FigureChange {
  int field = 0;
  std::optional<int64_t> filed;
  std::optional<int64_t> now;
};

// What differs between a filing and the same period's run now.
struct FilingChanges {
  double filedOn = 0;
  FigureChange all[kFiledFieldCount] = {};  // every field, as filed and now
  std::vector<FigureChange> figures;        // the fields whose figures differ
  std::vector<std::string> entries;   // one line per entry added, removed or changed
  bool Changed() const { return !figures.empty() || !entries.empty(); }
};

// Orders are matched by their id in Pelmora, cash-book entries (which have
// none in a run) by kind, description and name, the same date first. Amounts
// count to the cent.
FilingChanges CompareWithFiling(const Filing& filed, const Filing& now);

// "Abgegeben am 10.04.2026 – unverändert" or "Seit der Abgabe am
// 10.04.2026 geändert: Kz 81 +100,00, Kz 83 +19,00" (Windows-1252).
std::string FilingStatusLine(const FilingChanges& changes);

// The corrected return of a period whose figures changed: the head
// "Berichtigte Anmeldung (Kz 10: 1)", then every field as it is now, as filed
// and the difference ("Kz 81: 4187,83 | abgegeben 4087,83 | +100,00"). Empty
// where no figure changed.
std::vector<std::string> CorrectedReturnLines(const FilingChanges& changes);

// "2026-03" for a month, "2026-Q1" for a quarter, as the reporter takes them.
std::string FiledPeriodName(const Filing& filing);

}  // namespace vorlex
