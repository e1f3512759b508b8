// Field 83 of the VAT pre-return, the prepayment still due (negative: a
// refund), computed as the tax office's portal computes it from the figures
// the user types: the turnover of fields 81 and 86 in whole euros, their tax
// derived from those, the tax of field 36 and the input tax of field 66 in
// euros and cents.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tax/TaxTotals.h"
#include "util/FormatSettings.h"

namespace vorlex {

struct Prepayment {
  int64_t base81 = 0;    // whole euros, cents dropped toward zero
  int64_t base86 = 0;    // whole euros
  int64_t tax81 = 0;     // cents: 19 % of base81
  int64_t tax86 = 0;     // cents: 7 % of base86
  int64_t tax36 = 0;     // cents of field 36 as shown (exact classification only)
  int64_t inputTax = 0;  // cents of field 66 as shown
  int64_t field39 = 0;   // cents of field 39, the special prepayment deducted
  int64_t due = 0;       // cents of field 83: tax81 + tax86 + tax36 - inputTax - field39
};

// From the figures of fields 81, 86 and 66 as shown with two decimals. Empty
// when one of them cannot be shown in cents (not finite, or beyond a trillion
// euros).
std::optional<Prepayment> PrepaymentOf(double field81, double field86, double field66,
                                       double field36 = 0);
// From a run's totals, less their field 39.
std::optional<Prepayment> PrepaymentOf(const TaxTotals& totals);

// "Kz 83: 2,80 zu zahlen", "Kz 83: -12,40 Erstattung", "Kz 83: 0,00"
// (Windows-1252); the money in the format settings' decimal separator.
std::string PrepaymentStatus(int64_t due, const FormatSettings& format);

}  // namespace vorlex
