#include "tax/SpecialPrepayment.h"

#include <stdexcept>
#include <string>

#include "tax/Prepayment.h"
#include "util/MoneyText.h"

namespace vorlex {

namespace {

constexpr int64_t kTrillionEuros = 100'000'000'000'000;  // in cents

// One eleventh of cents to the nearest cent; a remainder of 6 elevenths or more
// rounds up (an exact half cent cannot occur).
int64_t Eleventh(int64_t cents) {
  return cents / 11 + (cents % 11 >= 6 ? 1 : 0);
}

}  // namespace

FiledReturn FiledReturnOf(int64_t due, int64_t field39) {
  return FiledReturn{field39, due - field39};
}

bool DeductsSpecialPrepayment(const FilingSettings& settings, const TTaxPeriod& period) {
  return settings.rhythm == FilingRhythm::Monthly && settings.extensionGranted &&
         period.PeriodKind == TPeriodKind::Monat && period.Month == 12;
}

SpecialPrepaymentOfYear SpecialPrepaymentFor(int year, const FilingSettings& settings,
                                             std::span<const FiledReturn> yearBefore) {
  SpecialPrepaymentOfYear result;
  result.year = year;
  if (settings.rhythm == FilingRhythm::Quarterly) {
    result.kind = SpecialPrepaymentKind::NoneQuarterly;
    return result;
  }
  if (!settings.extensionGranted) {
    result.kind = SpecialPrepaymentKind::NoneWithoutExtension;
    return result;
  }
  result.kind = SpecialPrepaymentKind::Owed;
  result.due = SpecialPrepaymentDue(year);
  if (settings.assessedSpecialPrepayment) {
    const int64_t assessed = *settings.assessedSpecialPrepayment;
    if (assessed < 0 || assessed >= kTrillionEuros) {
      // Settings of the user never hold such an amount; the message is for
      // the programmer, in German figures.
      const FormatSettings german;
      throw std::out_of_range("Festgesetzte Sondervorauszahlung " + std::to_string(year) +
                              " nicht zwischen " + FormatCents(0, german) + " und " +
                              FormatCents(kTrillionEuros - 1, german) + ": " +
                              FormatCents(assessed, german));
    }
    result.amount = assessed;
    result.assessed = true;
    return result;
  }
  for (const FiledReturn& filed : yearBefore) result.base += filed.field83 + filed.field39;
  // A year that ends in a refund asks for no special prepayment: it is 0.
  result.amount = result.base > 0 ? Eleventh(result.base) : 0;
  return result;
}

std::vector<FiledReturn> FiledReturnsOf(const YearOverview& overview,
                                        const FilingSettings& settings) {
  const OverviewSpan span =
      settings.rhythm == FilingRhythm::Monthly ? OverviewSpan::Month : OverviewSpan::Quarter;
  std::vector<FiledReturn> returns;
  for (const OverviewRow& row : overview.rows) {
    if (row.span != span) continue;
    const std::optional<Prepayment> p = PrepaymentOf(row.totals);
    returns.push_back(p ? FiledReturn{p->field39, p->due} : FiledReturn{});
  }
  return returns;
}

void DeductInOverview(YearOverview& overview, int64_t field39) {
  for (OverviewRow& row : overview.rows) {
    const bool december = row.span == OverviewSpan::Year ||
                          (row.span == OverviewSpan::Quarter && row.number == 4) ||
                          (row.span == OverviewSpan::Month && row.number == 12);
    if (december) row.totals.field39 = field39;
  }
}

SpecialPrepaymentOfYear SpecialPrepaymentFromRuns(TDBase& db, int year, TaxationBasis basis,
                                                  const FilingSettings& ofYear,
                                                  const FilingSettings& ofYearBefore,
                                                  ClassificationChoice choice) {
  const bool computed = ofYear.rhythm == FilingRhythm::Monthly && ofYear.extensionGranted &&
                        !ofYear.assessedSpecialPrepayment;
  if (!computed) return SpecialPrepaymentFor(year, ofYear, {});
  // Field 39 drops out of the base, so the year before is taken without it.
  const YearOverview before = EvaluateYearOverview(db, year - 1, basis, choice);
  return SpecialPrepaymentFor(year, ofYear, FiledReturnsOf(before, ofYearBefore));
}

int64_t Field39Of(TDBase& db, const TTaxPeriod& period, TaxationBasis basis,
                  const FilingSettings& ofYear, const FilingSettings& ofYearBefore,
                  ClassificationChoice choice) {
  if (!DeductsSpecialPrepayment(ofYear, period)) return 0;
  return SpecialPrepaymentFromRuns(db, period.Year, basis, ofYear, ofYearBefore, choice).amount;
}

}  // namespace vorlex
