// How the library means to run a statement, from its EXPLAIN QUERY PLAN: each
// line that reads a table taken apart. A plan changes with the library's
// version, the schema and its statistics; callers check what they rely on and
// take a slower way where the plan does not say it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/SQLiteAccess.h"

namespace vorlex {

// One SCAN or SEARCH line: "SEARCH verbindauftrag USING INDEX i (auftragindex=?)".
struct TableRead {
  bool search = false;      // through a key condition; otherwise row after row
  std::string table;
  std::string index;        // the index read through; empty for none
  bool covering = false;    // the index alone answers
  bool rowid = false;       // through the rowid
  std::string condition;    // "auftragindex=?", "rowid>? AND rowid<?"; empty for none
  bool plain = false;       // nothing after the table's name: the table itself, row after row
};

class TQueryPlan {
 public:
  // Raises as preparing sql raises.
  TQueryPlan(TSQLiteDatabase& db, const std::string& sql);

  // The plan's only line when it reads table (case-insensitive), or nullptr.
  const TableRead* OnlyRead(std::string_view table) const;
  // Some line searches index (not covering) with a key condition, so that the
  // rows come in the index's order.
  bool SearchesIndex(std::string_view index) const;
  // Rows are sorted or grouped in a temporary B-tree.
  bool UsesTempBTree() const { return tempBTree_; }

 private:
  int lines_ = 0;
  std::vector<TableRead> reads_;
  bool tempBTree_ = false;
};

// True when index has exactly these key columns, in this order
// (case-insensitive).
bool IndexKeysAre(TSQLiteDatabase& db, const std::string& index,
                  const std::vector<std::string>& columns);

}  // namespace vorlex
