// When the pre-returns of a year are filed and due: monthly or quarterly, with
// or without the permanent one-month extension (Dauerfristverlängerung), and
// the due date of the EC sales list. A due date that falls on a Saturday, a
// Sunday or a nationwide public holiday moves to the next working day; the
// holidays of a single state are the trader's to know.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "tax/TaxPeriod.h"

namespace vorlex {

enum class FilingRhythm : uint8_t { Monthly, Quarterly };

// How the trader files in one year; the rhythm and the extension may change
// from one year to the next. The defaults are a trader without notice from the
// tax office: quarterly, no extension.
struct FilingSettings {
  FilingRhythm rhythm = FilingRhythm::Quarterly;
  bool extensionGranted = false;
  // The year's special prepayment in cents as the tax office assessed it;
  // empty: Vorlex computes it from the year before.
  std::optional<int64_t> assessedSpecialPrepayment;
  friend bool operator==(const FilingSettings&, const FilingSettings&) = default;
};

enum class ReturnKind : uint8_t { None, MonthReturn, QuarterReturn };

struct FilingReturn {
  ReturnKind kind = ReturnKind::None;
  // Day number of the due date; empty when the period is no return, or when
  // the date would lie beyond the calendar's last year.
  std::optional<double> due;
  friend bool operator==(const FilingReturn&, const FilingReturn&) = default;
};

// Neujahr, Karfreitag, Ostermontag, 1. Mai, Christi Himmelfahrt, Pfingstmontag,
// 3. Oktober, 1. and 2. Weihnachtstag, and the Reformationstag of 2017.
bool IsNationwideHoliday(double day);
// The day itself when it is a working day, otherwise the next one.
double NextWorkingDay(double day);

// The pre-return of a month or a quarter: the 10th of the month after it, one
// month later with the extension, moved to a working day. Empty for a year or
// a free range.
std::optional<double> PreReturnDue(const TTaxPeriod& period, bool extensionGranted);
// The EC sales list of a month or a quarter: the 25th of the month after it,
// moved to a working day; the extension does not count. Empty for a year or a
// free range.
std::optional<double> EcSalesListDue(const TTaxPeriod& period);
// The special prepayment of a year: 10 February of that year, moved to a
// working day.
double SpecialPrepaymentDue(int year);

// The settings of a year from those stored per year: the year's own, else the
// rhythm and the extension of the nearest year before that has any (an
// assessed amount is a single year's), else the defaults.
FilingSettings SettingsOfYear(const std::map<int, FilingSettings>& stored, int year);
// The settings of the year before year, whose returns the special prepayment
// of year is computed from: as SettingsOfYear, but where nothing is stored for
// it or any year before, the rhythm and extension of year itself, as a
// reporter told only of the current year takes them.
FilingSettings SettingsOfYearBefore(const std::map<int, FilingSettings>& stored, int year);

// Which return a period is under the settings of its year, and its due date:
// a month of a monthly filer, a quarter of a quarterly filer; none for the
// other rhythm's periods, a year or a free range.
FilingReturn ReturnOf(const FilingSettings& settings, const TTaxPeriod& period);
// The periods of a year's returns: twelve months or four quarters.
std::vector<TTaxPeriod> ReturnPeriods(const FilingSettings& settings, int year);

}  // namespace vorlex
