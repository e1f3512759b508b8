#include "ledger/LedgerFile.h"

#include <cstdio>
#include <stdexcept>

#include "util/uDatum.h"

namespace vorlex::ledger {

const std::vector<Migration>& Migrations() {
  static const std::vector<Migration> migrations = {
      {1,
       {"CREATE TABLE filing ("
        " id INTEGER PRIMARY KEY,"
        " corrects INTEGER REFERENCES filing(id),"
        " period_kind TEXT NOT NULL,"  // month, quarter
        " first_day TEXT NOT NULL,"    // YYYY-MM-DD
        " last_day TEXT NOT NULL,"
        " basis TEXT NOT NULL,"  // Ist, Soll
        " classification TEXT NOT NULL,"
        " filed_on TEXT NOT NULL,"
        " ticket TEXT NOT NULL,"
        " note TEXT NOT NULL,"
        " kz41 INTEGER, kz44 INTEGER, kz81 INTEGER, kz86 INTEGER, kz66 INTEGER,"  // cents
        " kz83 INTEGER, kz39 INTEGER,"
        " program_version TEXT NOT NULL,"
        " pelmora_path TEXT NOT NULL,"
        " vat_id TEXT NOT NULL,"
        " recorded_at TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%SZ', 'now')))",
        "CREATE INDEX filing_period ON filing (first_day, last_day, basis)",
        "CREATE TABLE filing_entry ("
        " filing INTEGER NOT NULL REFERENCES filing(id),"
        " position INTEGER NOT NULL,"
        " kind TEXT NOT NULL,"  // order, receipt, expense, other
        " pelmora_id INTEGER NOT NULL,"
        " day REAL NOT NULL,"
        " description TEXT NOT NULL,"
        " customer TEXT NOT NULL,"
        " rate REAL NOT NULL, net REAL NOT NULL, gross REAL NOT NULL, added REAL NOT NULL,"
        " field INTEGER NOT NULL,"
        " PRIMARY KEY (filing, position))",
        // What was filed stays as it was filed.
        "CREATE TRIGGER filing_kept BEFORE UPDATE ON filing"
        " BEGIN SELECT RAISE(ABORT, 'a filing is never changed'); END",
        "CREATE TRIGGER filing_not_deleted BEFORE DELETE ON filing"
        " BEGIN SELECT RAISE(ABORT, 'a filing is never deleted'); END",
        "CREATE TRIGGER filing_entry_kept BEFORE UPDATE ON filing_entry"
        " BEGIN SELECT RAISE(ABORT, 'a filing is never changed'); END",
        "CREATE TRIGGER filing_entry_not_deleted BEFORE DELETE ON filing_entry"
        " BEGIN SELECT RAISE(ABORT, 'a filing is never deleted'); END"}},
      // The EC sales list as made when the period was filed: one row of
      // filing_ec_list per filing whose list was made (also one without
      // rows), its rows in filing_ec_row.
      {2,
       {"CREATE TABLE filing_ec_list (filing INTEGER PRIMARY KEY REFERENCES filing(id))",
        "CREATE TABLE filing_ec_row ("
        " filing INTEGER NOT NULL REFERENCES filing_ec_list(filing),"
        " position INTEGER NOT NULL,"
        " vat_id TEXT NOT NULL,"
        " kind TEXT NOT NULL,"  // L goods, S services
        " euros INTEGER NOT NULL,"
        " PRIMARY KEY (filing, position))",
        "CREATE TRIGGER filing_ec_list_kept BEFORE UPDATE ON filing_ec_list"
        " BEGIN SELECT RAISE(ABORT, 'a filing is never changed'); END",
        "CREATE TRIGGER filing_ec_list_not_deleted BEFORE DELETE ON filing_ec_list"
        " BEGIN SELECT RAISE(ABORT, 'a filing is never deleted'); END",
        "CREATE TRIGGER filing_ec_row_kept BEFORE UPDATE ON filing_ec_row"
        " BEGIN SELECT RAISE(ABORT, 'a filing is never changed'); END",
        "CREATE TRIGGER filing_ec_row_not_deleted BEFORE DELETE ON filing_ec_row"
        " BEGIN SELECT RAISE(ABORT, 'a filing is never deleted'); END"}},
      // The further figures of the exact classification, in cents; none
      // for the filings before.
      {3,
       {"ALTER TABLE filing ADD COLUMN kz21 INTEGER", "ALTER TABLE filing ADD COLUMN kz35 INTEGER",
        "ALTER TABLE filing ADD COLUMN kz36 INTEGER", "ALTER TABLE filing ADD COLUMN kz43 INTEGER",
        "ALTER TABLE filing ADD COLUMN kz45 INTEGER",
        "ALTER TABLE filing ADD COLUMN zero_rate INTEGER"}},
  };
  return migrations;
}

int NewestVersion() {
  return Migrations().back().version;
}

const char* KindName(EntryKind kind) {
  switch (kind) {
    case EntryKind::Receipt:
      return "receipt";
    case EntryKind::Expense:
      return "expense";
    case EntryKind::OtherCash:
      return "other";
    default:
      return "order";
  }
}

EntryKind KindOf(std::string_view name) {
  if (name == "receipt") return EntryKind::Receipt;
  if (name == "expense") return EntryKind::Expense;
  if (name == "other") return EntryKind::OtherCash;
  return EntryKind::Order;
}

std::string IsoDay(double dayNumber) {
  const CalendarDate date = DecodeDate(dayNumber);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

double DayOfIso(std::string_view text) {
  const auto number = [&](size_t at, size_t n) {
    return std::stoi(std::string(text.substr(at, n)));
  };
  if (text.size() != 10) throw std::runtime_error("date");
  return EncodeDate(number(0, 4), number(5, 2), number(8, 2));
}

TPeriodKind PeriodKindOf(std::string_view name, double firstDay) {
  if (name == "month") return TPeriodKind::Monat;
  static constexpr TPeriodKind quarters[] = {TPeriodKind::Quartal1, TPeriodKind::Quartal2,
                                             TPeriodKind::Quartal3, TPeriodKind::Quartal4};
  return quarters[(DecodeDate(firstDay).month - 1) / 3 % 4];
}

}  // namespace vorlex::ledger
