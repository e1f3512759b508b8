// How a ledger file stores its filings: the tables, version by version, and
// the words and days its columns hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tax/RunEntry.h"
#include "tax/TaxPeriod.h"

namespace vorlex::ledger {

// PRAGMA application_id of a ledger: "VLdg".
inline constexpr int64_t kApplicationId = 0x564C6467;

// Each step takes the layout from the version before it to its own; a file
// is brought to the newest layout in one transaction when it is opened.
struct Migration {
  int version;
  std::vector<const char*> statements;
};

const std::vector<Migration>& Migrations();
// The version of the newest layout, PRAGMA user_version of a file laid out so.
int NewestVersion();

// An entry's kind as the column kind holds it: order, receipt, expense, other.
const char* KindName(EntryKind kind);
EntryKind KindOf(std::string_view name);
// A day number as the columns of days hold it, YYYY-MM-DD, and back.
std::string IsoDay(double dayNumber);
double DayOfIso(std::string_view text);
// A period's kind from the column period_kind (month, quarter) and its first day.
TPeriodKind PeriodKindOf(std::string_view name, double firstDay);

}  // namespace vorlex::ledger
