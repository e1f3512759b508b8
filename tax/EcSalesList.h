// The EC sales list (Zusammenfassende Meldung): per customer VAT id, the sum of
// a period's intra-Community supplies to customers with a VAT id, the entries
// of form field 41, in whole euros.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tax/Classification.h"
#include "tax/RunEntry.h"
#include "tax/TaxTotals.h"
#include "tax/TaxationBasis.h"

namespace vorlex {

class TDBase;

// A supply is reported for the period of its invoice, whatever the taxation
// basis of the pre-return: the list is made of the orders invoiced in the
// period, which the accrual basis selects.
inline constexpr TaxationBasis kEcSalesListBasis = TaxationBasis::Soll;

// The orders the list of a period is made of, with the totals they add up to.
struct EcSalesOrders {
  std::vector<RunEntry> entries;
  TaxTotals totals;
};

// The sales of firstDay..lastDay on kEcSalesListBasis, read in one state of
// the database. A run on that basis has them already, in the same order.
EcSalesOrders ReadEcSalesOrders(TDBase& db, double firstDay, double lastDay,
                                ClassificationChoice choice = {});

// What keeps an entry of field 41 out of the list.
enum class VatIdFault : uint8_t {
  None,
  Blank,         // nothing but blanks, dots or hyphens
  NoShape,       // not two letters and a number
  OtherCountry,  // not the prefix of the customer's country
};

// The fault of an entry's VAT id; None for an entry outside fields 41 and 21.
VatIdFault EcSalesVatIdFault(const RunEntry& entry);

// The VAT id as the list carries it: without blanks, dots and hyphens, in
// upper case, its country prefix first.
std::string ReportedVatId(std::string_view vatId);

struct EcSalesRow {
  std::string vatId;  // as reported
  char kind = 'L';    // L goods (field 41), S services (field 21)
  int64_t cents = 0;  // the exact sum of its entries as the list shows them
  int64_t euros = 0;  // the sum as reported
};

struct EcSalesList {
  // In the order of their VAT ids; a VAT id whose sum comes to 0 euros has no row.
  std::vector<EcSalesRow> rows;
  // The entries of field 41 that the list cannot take, by their index.
  std::vector<int32_t> faulty;
  // Field 41 in whole euros, cents dropped toward zero, as the pre-return takes it.
  int64_t field41Euros = 0;
  int64_t field21Euros = 0;  // likewise field 21
};

// The rows of a run's field-41 entries. Each row is its sum rounded to whole
// euros (halves away from zero); where the rounded rows do not add up to field
// 41 in whole euros, the rounding of the rows rounded furthest is turned the
// other way, one euro each, until they do. So every row lies less than one
// euro from its exact sum and the list agrees with the pre-return, which the
// tax office compares it with. Raises std::runtime_error when field 41 cannot
// be shown in cents.
// The rows of field 21 (services, kind S) are made the same way and add up to
// field 21.
EcSalesList BuildEcSalesList(const std::vector<RunEntry>& entries, double field41,
                             double field21 = 0);

// A row of the correction of a filed list (Berichtigung, Kz 03 in the
// portal): rows reported right are not repeated; a row whose sum differs, or
// that is new, gives its whole corrected sum (never the difference); a row
// filed that is gone now (another VAT id or kind, or no supply) is reported
// with 0, which cancels it.
struct EcSalesCorrectionRow {
  std::string vatId;
  char kind = 'L';
  int64_t euros = 0;                  // the corrected sum
  std::optional<int64_t> filedEuros;  // as filed; none for a new row
  bool operator==(const EcSalesCorrectionRow&) const = default;
};
// In the order of VAT id and kind; empty where the list is as filed.
std::vector<EcSalesCorrectionRow> EcSalesCorrection(const std::vector<EcSalesRow>& filed,
                                                    const std::vector<EcSalesRow>& now);

// The orders the simple classification leaves out of field 41 although their
// customer has a VAT id of a member state (by its country, or for goods an
// "XI" id): the list made of field 41 would lack them. By their index.
std::vector<int32_t> EcSalesMissing(const std::vector<RunEntry>& entries);

// Whether the days are exactly one calendar month or one calendar quarter, the
// periods the list is filed for.
bool IsEcSalesPeriod(double firstDay, double lastDay);

}  // namespace vorlex
