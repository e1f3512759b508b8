// The special prepayment (Sondervorauszahlung) of a monthly filer with the
// permanent extension: declared and paid by 10 February, deducted again in
// that year's December return as field 39.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "tax/FilingCalendar.h"
#include "tax/TaxPeriod.h"
#include "tax/TaxationBasis.h"
#include "tax/YearOverview.h"

namespace vorlex {

// Fields 39 and 83 of a return as filed, in cents.
struct FiledReturn {
  int64_t field39 = 0;  // the special prepayment deducted; 0 but in December
  int64_t field83 = 0;  // what remains to pay after field 39 (negative: a refund)
  friend bool operator==(const FiledReturn&, const FiledReturn&) = default;
};

// A return as filed: due is field 83 as the portal computes it from fields 81,
// 86 and 66 (Prepayment::due), field39 what the return deducts.
FiledReturn FiledReturnOf(int64_t due, int64_t field39);

// Whether a period's return deducts the special prepayment as field 39: the
// December return of a monthly filer with the extension.
bool DeductsSpecialPrepayment(const FilingSettings& settings, const TTaxPeriod& period);

enum class SpecialPrepaymentKind : uint8_t {
  Owed,
  NoneQuarterly,         // a quarterly filer pays none
  NoneWithoutExtension,  // a monthly filer without the extension pays none
};

struct SpecialPrepaymentOfYear {
  int year = 0;  // the year it is paid for and deducted in
  SpecialPrepaymentKind kind = SpecialPrepaymentKind::NoneQuarterly;
  int64_t amount = 0;     // cents; 0 unless owed
  bool assessed = false;  // the tax office's amount, not computed
  // Cents it is the eleventh of: the year before's fields 83 and its field 39;
  // 0 when assessed or none is owed.
  int64_t base = 0;
  std::optional<double> due;  // day number; only when owed
  friend bool operator==(const SpecialPrepaymentOfYear&, const SpecialPrepaymentOfYear&) = default;
};

// The special prepayment for year under that year's settings: the amount the
// tax office assessed, or one eleventh of the prepayments of the year before,
// rounded to the nearest cent, and 0 when they add up to a refund. yearBefore
// holds every return of the year before as filed (twelve months or four
// quarters); it is read only when no amount is assessed. The field 39 of the
// year before is added back to its December field 83, so it drops out: the
// returns built with field 39 at 0 give the same base. Raises
// std::out_of_range for an assessed amount below 0 or of a trillion euros or
// more.
SpecialPrepaymentOfYear SpecialPrepaymentFor(int year, const FilingSettings& settings,
                                             std::span<const FiledReturn> yearBefore);

// The returns of a year as filed, from its overview: the twelve months or the
// four quarters of the year's rhythm, each with the field 39 its row holds.
// Rows whose field 83 cannot be computed count as 0.
std::vector<FiledReturn> FiledReturnsOf(const YearOverview& overview,
                                        const FilingSettings& settings);

// Sets field 39 on the rows that hold the December return: December, the
// fourth quarter and the year each deduct it once.
void DeductInOverview(YearOverview& overview, int64_t field39);

// The special prepayment for year: the amount assessed, or computed from one
// run over the year before under its own settings, classified as choice says.
SpecialPrepaymentOfYear SpecialPrepaymentFromRuns(TDBase& db, int year, TaxationBasis basis,
                                                  const FilingSettings& ofYear,
                                                  const FilingSettings& ofYearBefore,
                                                  ClassificationChoice choice = {});

// Field 39 of a period's return: the year's special prepayment in the
// December return of a monthly filer with the extension, 0 otherwise.
int64_t Field39Of(TDBase& db, const TTaxPeriod& period, TaxationBasis basis,
                  const FilingSettings& ofYear, const FilingSettings& ofYearBefore,
                  ClassificationChoice choice = {});

}  // namespace vorlex
