#include "db/QueryPlan.h"

#include "util/uString.h"

namespace vorlex {

namespace {

bool Consume(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

// "SCAN t", "SEARCH t USING INDEX i (a=?)", before 3.36 "SCAN TABLE t ...".
bool ParseRead(std::string_view detail, TableRead& read) {
  if (Consume(detail, "SEARCH ")) {
    read.search = true;
  } else if (!Consume(detail, "SCAN ")) {
    return false;
  }
  Consume(detail, "TABLE ");
  read.table = std::string(detail.substr(0, detail.find(' ')));
  detail.remove_prefix(read.table.size());
  read.plain = detail.empty();
  // The key condition closes the line in parentheses.
  if (detail.ends_with(')')) {
    const size_t open = detail.rfind(" (");
    if (open != std::string_view::npos) {
      read.condition = std::string(detail.substr(open + 2, detail.size() - open - 3));
      detail = detail.substr(0, open);
    }
  }
  if (detail == " USING INTEGER PRIMARY KEY") {
    read.rowid = true;
  } else if (Consume(detail, " USING COVERING INDEX ")) {
    read.covering = true;
    read.index = std::string(detail);
  } else if (Consume(detail, " USING INDEX ")) {
    read.index = std::string(detail);
  }
  return true;
}

}  // namespace

TQueryPlan::TQueryPlan(TSQLiteDatabase& db, const std::string& sql) {
  TSQLiteStatement plan(db, "EXPLAIN QUERY PLAN " + sql);
  while (plan.Step()) {
    ++lines_;
    const std::string_view detail = plan.ColumnText(3);
    if (detail.starts_with("USE TEMP B-TREE")) tempBTree_ = true;
    TableRead read;
    if (ParseRead(detail, read)) reads_.push_back(std::move(read));
  }
}

const TableRead* TQueryPlan::OnlyRead(std::string_view table) const {
  if (lines_ != 1 || reads_.size() != 1) return nullptr;
  return EqualsIgnoringAsciiCase(reads_[0].table, table) ? &reads_[0] : nullptr;
}

bool TQueryPlan::SearchesIndex(std::string_view index) const {
  for (const TableRead& read : reads_) {
    if (read.index == index && !read.covering && !read.condition.empty()) return true;
  }
  return false;
}

bool IndexKeysAre(TSQLiteDatabase& db, const std::string& index,
                  const std::vector<std::string>& columns) {
  TSQLiteStatement keys(db, "SELECT name FROM pragma_index_xinfo(?) WHERE key = 1 ORDER BY seqno");
  keys.BindText(1, index);
  size_t count = 0;
  bool same = true;
  while (keys.Step()) {
    same = same && count < columns.size() &&
           EqualsIgnoringAsciiCase(keys.ColumnText(0), columns[count]);
    ++count;
  }
  return same && count == columns.size();
}

}  // namespace vorlex
