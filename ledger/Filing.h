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
#include "tax/FormFields.h"
#include "tax/RunEntry.h"
#include "tax/TaxPeriod.h"
#include "tax/TaxTotals.h"
#include "tax/TaxationBasis.h"
#include "util/FormatSettings.h"

namespace vorlex {

// The fields a filing keeps, in the order they are shown: the five with
// entries, 83, and 39 (the special prepayment deducted in December).
inline constexpr int kFiledFields[] = {41, 44, 81, 86, 66, 83, 39};
inline constexpr size_t kFiledFieldCount = std::size(kFiledFields);
// The further figures of the exact classification, in kFurtherFields' order.
inline constexpr size_t kFurtherFiledCount = kFurtherFields.size();

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
  // Cents per further figure (21, 35, 36, 43, 45, the 0 % figure), which
  // only the exact classification fills; none in a filing recorded before
  // the ledger kept them.
  std::optional<int64_t> further[kFurtherFiledCount] = {};
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
  int field = 0;  // a figure's key (FigureKey): the 0 % figure has no number
  std::optional<int64_t> filed;
  std::optional<int64_t> now;
};

// What differs between a filing and the same period's run now.
struct FilingChanges {
  double filedOn = 0;
  FigureChange all[kFiledFieldCount] = {};  // every field, as filed and now
  // The further figures of a filing of the exact classification, as filed
  // and now; none for the simple one.
  std::vector<FigureChange> further;
  std::vector<FigureChange> figures;  // the fields and figures that differ
  std::vector<std::string> entries;   // one line per entry added, removed or changed
  // "einfach" or "genau" where the run was made under other rules than the
  // filing and the period was compared under the filing's own.
  std::string filedRules;
  bool Changed() const { return !figures.empty() || !entries.empty(); }
};

// Orders are matched by their id in Pelmora, cash-book entries (which have
// none in a run) by kind, description and name, the same date first. Amounts
// count to the cent. The lines of the entries write amounts and dates in
// format.
FilingChanges CompareWithFiling(const Filing& filed, const Filing& now,
                                const FormatSettings& format);

// "Abgegeben am 10.04.2026 – unverändert" or "Seit der Abgabe am
// 10.04.2026 geändert: Kz 81 +100,00, Kz 83 +19,00" (Windows-1252); the
// filing's rules after the day where they are not the run's ("Abgegeben am
// 10.04.2026 (Zuordnung einfach) – unverändert").
std::string FilingStatusLine(const FilingChanges& changes, const FormatSettings& format);

// Whether the run was made under the classification of the filing.
bool SameClassification(const Filing& filed, const Filing& run);

// The corrected return of a period whose figures changed: the head
// "Berichtigte Anmeldung (Kz 10: 1)", then every field as it is now, as filed
// and the difference ("Kz 81: 4187,83 | abgegeben 4087,83 | +100,00"), the
// further figures after them. Empty where no figure changed.
std::vector<std::string> CorrectedReturnLines(const FilingChanges& changes,
                                              const FormatSettings& format);

// "2026-03" for a month, "2026-Q1" for a quarter, as the reporter takes them.
std::string FiledPeriodName(const Filing& filing);

}  // namespace vorlex
