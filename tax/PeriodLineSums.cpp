#include "tax/PeriodLineSums.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "util/uFormat.h"

namespace vorlex {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool Contains(const std::string& upper, const char* word) {
  return upper.find(word) != std::string::npos;
}

// The library's rule from a declared type to a column's affinity; true for the
// numeric ones (INTEGER, REAL, NUMERIC). In such a column a line belongs to an
// order exactly when its key is that order's whole number, whatever its
// storage type; text and blob keys belong to none.
bool NumericAffinity(const std::string& declared) {
  std::string upper = declared;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  if (Contains(upper, "INT")) return true;
  if (Contains(upper, "CHAR") || Contains(upper, "CLOB") || Contains(upper, "TEXT")) return false;
  if (Contains(upper, "BLOB") || upper.empty()) return false;
  return true;  // REAL, FLOA, DOUB, or anything else: NUMERIC
}

// The key of a line as a whole number; false when no order id can equal it.
bool LineKey(const TSQLiteStatement& lines, int64_t& key) {
  switch (lines.ColumnType(0)) {
    case SQLITE_INTEGER:
      key = lines.ColumnInt64(0);
      return true;
    case SQLITE_FLOAT: {
      const double value = lines.ColumnDouble(0);
      if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0)) return false;
      if (value != std::trunc(value)) return false;
      key = static_cast<int64_t>(value);
      return true;
    }
    default:
      return false;
  }
}

void Add(SqlSum& sum, const TSQLiteStatement& row, int column) {
  switch (row.ColumnType(column)) {
    case SQLITE_INTEGER:
      sum.AddInteger(row.ColumnInt64(column));
      break;
    case SQLITE_FLOAT:
      sum.AddFloat(row.ColumnDouble(column));
      break;
    default:
      break;  // NULL is left out, as SUM leaves it out
  }
}

// The figure an order's own query reads from its sum (the sum's text read back
// as a number; no text, no lines: 0). False where that read would not give a
// plain number.
bool SumFigure(const SqlSum& sum, double& figure) {
  if (sum.IsNull()) {
    figure = 0;
    return true;
  }
  if (sum.Overflowed()) return false;  // the query itself fails
  if (!sum.IsFloat()) {
    figure = static_cast<double>(sum.Integer());
    return true;
  }
  // INF and NAN do not read back as numbers; near the end of the double range
  // the text decides. The order's own query gives the error or figure then.
  if (!(std::fabs(sum.Float()) <= 1e290)) return false;
  figure = FloatTextValue(sum.Float());
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// SqlSum

void SqlSum::AddInteger(int64_t value) {
  any_ = true;
  real_ += static_cast<double>(value);
  if (!approx_ && !overflow_ && __builtin_add_overflow(integer_, value, &integer_)) {
    approx_ = overflow_ = true;
  }
}

void SqlSum::AddFloat(double value) {
  any_ = true;
  real_ += value;
  approx_ = true;
}

bool LibrarySumAddsLikeSqlSum(TDBase& db) {
  // Sequences where adding in long double, compensated, out of order or with a
  // float result for whole numbers would each show.
  static const char* const kSequences[] = {
      "(1e16),(1.0),(1.0)",
      "(1.0),(1e100),(1.0),(-1e100)",
      "(0.1),(0.2),(0.3)",
      "(9007199254740993),(0.5),(1)",
      "(9007199254740993),(1)",
      "(NULL),(2.5),(NULL)",
      "(NULL)",
      "(9223372036854775807),(1)",
  };
  TSQLiteDatabase& connection = db.Connection();
  for (const char* values : kSequences) {
    SqlSum expected;
    {
      TSQLiteStatement rows(connection, std::string("SELECT column1 FROM (VALUES ") + values + ")");
      while (rows.Step()) Add(expected, rows, 0);
    }
    TSQLiteStatement sum(connection,
                         std::string("SELECT SUM(column1) FROM (VALUES ") + values + ")");
    bool failed = false;
    try {
      if (!sum.Step()) return false;
    } catch (const ESQLiteException&) {
      failed = true;
    }
    if (failed || expected.Overflowed()) {
      if (failed != expected.Overflowed()) return false;
      continue;
    }
    const int type = sum.ColumnType(0);
    if (expected.IsNull()) {
      if (type != SQLITE_NULL) return false;
    } else if (expected.IsFloat()) {
      if (type != SQLITE_FLOAT || sum.ColumnDouble(0) != expected.Float()) return false;
    } else if (type != SQLITE_INTEGER || sum.ColumnInt64(0) != expected.Integer()) {
      return false;
    }
  }
  return true;
}

bool LinesReadInTableOrder(TDBase& db) {
  TSQLiteDatabase& connection = db.Connection();
  {
    // A view or a virtual table may read its rows in any order.
    TSQLiteStatement kind(connection,
                          "SELECT type, sql LIKE 'CREATE TABLE%' FROM sqlite_master WHERE "
                          "lower(name) = 'verbindauftrag' AND type IN ('table', 'view')");
    int tables = 0;
    while (kind.Step()) {
      if (kind.ColumnText(0) != "table" || kind.ColumnInt64(1) != 1) return false;
      ++tables;
    }
    if (tables != 1) return false;
  }
  // The key columns of every index of the line table. An index on auftragindex
  // alone gives an order's lines in table order; one that has auftragindex
  // among other key columns (or an expression) can give them in another, in
  // the order's own query as well as in a covering scan.
  TSQLiteStatement keys(connection,
                        "SELECT il.name, ix.cid, ix.name FROM pragma_index_list('verbindauftrag') "
                        "AS il, pragma_index_xinfo(il.name) AS ix WHERE ix.key = 1");
  struct Index {
    int keyColumns = 0;
    bool auftragindex = false;
    bool expression = false;
  };
  std::map<std::string, Index> indexes;
  while (keys.Step()) {
    Index& index = indexes[std::string(keys.ColumnText(0))];
    ++index.keyColumns;
    if (keys.ColumnInt64(1) < 0) index.expression = true;
    if (EqualsIgnoringCase(keys.ColumnText(2), "auftragindex")) index.auftragindex = true;
  }
  for (const auto& [name, index] : indexes) {
    if (index.expression) return false;
    if (index.auftragindex && index.keyColumns > 1) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// PeriodLineSums

PeriodLineSums::PeriodLineSums(TDBase& db, const std::string& ordersFromWhere,
                               const TDBTable& orders, const TDBField& idField,
                               const EvaluationSettings& settings)
    : db_(db), settings_(settings) {
  try {
    batched_ = LibrarySumAddsLikeSqlSum(db) && LinesReadInTableOrder(db) &&
               ReadLines(ordersFromWhere, orders, idField);
  } catch (const ESQLiteException&) {
    // Whatever failed here, each order's own query meets it again in its
    // place, with its own message.
    batched_ = false;
  }
  if (!batched_) {
    dense_.clear();
    scattered_.clear();
  }
}

bool PeriodLineSums::ReadLines(const std::string& ordersFromWhere, const TDBTable& orders,
                               const TDBField& idField) {
  // The ids the orders hold as integers; orders with any other id ask their
  // own query.
  const TSQLiteTable& result = orders.Result();
  const int idColumn = orders.Index(idField);
  int64_t count = 0;
  int64_t lowest = 0;
  int64_t highest = 0;
  for (int row = 0; row < result.RowCount(); ++row) {
    const std::optional<int64_t> id = result.HeldInteger(row, idColumn);
    if (!id) continue;
    lowest = count == 0 ? *id : std::min(lowest, *id);
    highest = count == 0 ? *id : std::max(highest, *id);
    ++count;
  }
  if (count == 0) return false;

  // Close ids: the lines whose key lies between the lowest and the highest,
  // a cheap test on every line or a range of the index. Scattered ids (a few
  // old invoices paid in the period): the lines of exactly those orders.
  const bool close = static_cast<double>(highest) - static_cast<double>(lowest) < 2.0 * count;
  std::string sql = std::string("SELECT auftragindex, ") + LineVatExpression(settings_) +
                    ", anzahl*preis FROM verbindauftrag WHERE " +
                    (close ? "auftragindex >= " + std::to_string(lowest) +
                                 " AND auftragindex <= " + std::to_string(highest)
                           : "auftragindex IN (SELECT auftrag.id" + ordersFromWhere + ")");
  TSQLiteStatement lines(db_.Connection(), sql);
  if (!NumericAffinity(lines.DeclaredType(0))) return false;
  if (close) {
    first_ = lowest;
    dense_.resize(static_cast<size_t>(highest - lowest) + 1);
  }

  Entry* last = nullptr;
  int64_t lastKey = 0;
  while (lines.Step()) {
    int64_t key = 0;
    if (!LineKey(lines, key)) continue;
    if (last == nullptr || key != lastKey) {
      last = Find(key);
      if (last == nullptr) last = &scattered_[key];
      lastKey = key;
    }
    Add(last->vat, lines, 1);
    Add(last->net, lines, 2);
  }
  return true;
}

PeriodLineSums::Entry* PeriodLineSums::Find(int64_t key) {
  if (!dense_.empty()) {
    // Unsigned, so that a key far below the first wraps to far above the end.
    const uint64_t offset = static_cast<uint64_t>(key) - static_cast<uint64_t>(first_);
    if (offset < dense_.size()) return &dense_[offset];
    return nullptr;
  }
  const auto found = scattered_.find(key);
  return found != scattered_.end() ? &found->second : nullptr;
}

LineSums PeriodLineSums::Of(const TDBTable& orders, const TDBField& idField, int64_t orderId) {
  // An id that the library holds as an integer is one of the keys whose lines
  // the pass read; any other id is compared by the order's own query.
  if (batched_ && orders.Result().CellHeldAsInteger(orders.Index(idField))) {
    const Entry* entry = Find(orderId);
    if (entry == nullptr) return LineSums{};  // no lines
    LineSums sums;
    if (SumFigure(entry->vat, sums.vat) && SumFigure(entry->net, sums.net)) return sums;
  }
  ++ownQueries_;
  return OrderLineSums(db_, orderId, settings_);
}

}  // namespace vorlex
