#include "tax/PeriodLineSums.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>

#include "util/uFormat.h"

namespace vorlex {

namespace {

std::string LineSumsSql(const EvaluationSettings& settings, const std::string& where) {
  return std::string("SELECT SUM(") + LineVatExpression(settings) +
         ") AS mwst_sum, SUM(anzahl*preis) AS betrag_sum FROM verbindauftrag WHERE " + where;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

// The figure an order's own query reads from a sum (the sum's text read back
// as a number; no lines: 0). False where that read would not give a plain
// number; the order's own query gives the error or figure then.
bool SumFigure(const TSQLiteStatement& row, int column, double& figure) {
  switch (row.ColumnType(column)) {
    case SQLITE_NULL:
      figure = 0;
      return true;
    case SQLITE_INTEGER:
      figure = static_cast<double>(row.ColumnInt64(column));
      return true;
    case SQLITE_FLOAT: {
      // INF and NAN do not read back as numbers; near the end of the double
      // range the text decides.
      const double sum = row.ColumnDouble(column);
      if (!(std::fabs(sum) <= 1e290)) return false;
      figure = FloatTextValue(sum);
      return true;
    }
    default:
      return false;
  }
}

bool SumFigures(const TSQLiteStatement& row, int first, LineSums& sums) {
  return SumFigure(row, first, sums.vat) && SumFigure(row, first + 1, sums.net);
}

}  // namespace

bool LinesReadInTableOrder(TDBase& db, const EvaluationSettings& settings) {
  TSQLiteDatabase& connection = db.Connection();
  // One step: a scan of the table itself ("SCAN verbindauftrag", before 3.36
  // "SCAN TABLE verbindauftrag"), or a search of an index on auftragindex
  // alone, which holds an order's lines in the table's order. Anything else
  // (an index on more columns, a view) may read them in another order.
  std::string index;
  {
    TSQLiteStatement plan(connection,
                          "EXPLAIN QUERY PLAN " + LineSumsSql(settings, "auftragindex=?"));
    int steps = 0;
    bool known = false;
    while (plan.Step()) {
      ++steps;
      std::string_view detail = plan.ColumnText(3);
      const bool scan = detail.starts_with("SCAN ");
      if (!scan && !detail.starts_with("SEARCH ")) continue;
      detail.remove_prefix(scan ? 5 : 7);
      if (detail.starts_with("TABLE ")) detail.remove_prefix(6);
      const std::string_view table = detail.substr(0, detail.find(' '));
      if (!EqualsIgnoringCase(table, "verbindauftrag")) continue;
      detail.remove_prefix(table.size());
      constexpr std::string_view kIndex = " USING INDEX ";
      constexpr std::string_view kKey = " (auftragindex=?)";
      if (scan) {
        known = detail.empty();
      } else if (detail.starts_with(kIndex) && detail.size() > kIndex.size() + kKey.size() &&
                 EqualsIgnoringCase(detail.substr(detail.size() - kKey.size()), kKey)) {
        index = detail.substr(kIndex.size(), detail.size() - kIndex.size() - kKey.size());
        known = true;
      }
    }
    if (steps != 1 || !known) return false;
  }
  if (index.empty()) return true;
  TSQLiteStatement keys(connection, "SELECT name FROM pragma_index_xinfo(?) WHERE key = 1");
  keys.BindText(1, index);
  int count = 0;
  bool order = false;
  while (keys.Step()) {
    ++count;
    order = EqualsIgnoringCase(keys.ColumnText(0), "auftragindex");
  }
  return count == 1 && order;
}

PeriodLineSums::PeriodLineSums(TDBase& db, const std::string& ordersFromWhere,
                               const EvaluationSettings& settings)
    : db_(db), settings_(settings) {
  try {
    perOrder_ = std::make_unique<TSQLiteStatement>(db.Connection(),
                                                   LineSumsSql(settings, "auftragindex=?"));
    if (LinesReadInTableOrder(db, settings)) ReadPeriod(ordersFromWhere);
  } catch (const ESQLiteException&) {
    // Whatever failed here, each order's own query meets it again in its
    // place, with its own message.
    onePass_ = false;
    entries_.clear();
  }
}

PeriodLineSums::~PeriodLineSums() = default;

void PeriodLineSums::ReadPeriod(const std::string& ordersFromWhere) {
  // The lines of every order of the period whose id is stored as an integer,
  // compared with the id as the order's own query compares with its number
  // (the unary plus takes the id column's affinity away, as a number in the
  // query text has none), added in the table's order.
  const std::string sql =
      std::string("SELECT ids.id, SUM(") + LineVatExpression(settings_) +
      ") OVER w, SUM(anzahl*preis) OVER w FROM (SELECT DISTINCT id FROM (SELECT +auftrag.id AS id" +
      ordersFromWhere +
      ") WHERE typeof(id) = 'integer') AS ids JOIN verbindauftrag ON "
      "verbindauftrag.auftragindex = ids.id WINDOW w AS (PARTITION BY ids.id ORDER BY "
      "verbindauftrag.rowid ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED FOLLOWING)";
  TSQLiteStatement lines(db_.Connection(), sql);
  while (lines.Step()) {
    const int64_t id = lines.ColumnInt64(0);
    if (!entries_.empty() && entries_.back().id == id) continue;  // the same order's next line
    Entry entry;
    entry.id = id;
    entry.plain = SumFigures(lines, 1, entry.sums);
    entries_.push_back(entry);
  }
  // Partitions come in the order of their ids as compared in SQL, which is
  // that of the integers.
  onePass_ = std::is_sorted(entries_.begin(), entries_.end(),
                            [](const Entry& a, const Entry& b) { return a.id < b.id; });
  if (!onePass_) entries_.clear();
}

LineSums PeriodLineSums::Literal(int64_t orderId) {
  ++literalQueries_;
  return OrderLineSums(db_, orderId, settings_);
}

LineSums PeriodLineSums::Of(const TDBTable& orders, const TDBField& idField, int64_t orderId) {
  if (onePass_ && orders.Result().CellHeldAsInteger(orders.Index(idField))) {
    const auto found =
        std::lower_bound(entries_.begin(), entries_.end(), orderId,
                         [](const Entry& entry, int64_t id) { return entry.id < id; });
    if (found == entries_.end() || found->id != orderId) return LineSums{};  // no lines
    if (found->plain) return found->sums;
    return Literal(orderId);
  }
  if (perOrder_ == nullptr) return Literal(orderId);
  LineSums sums;
  bool plain = false;
  try {
    perOrder_->Reset();
    perOrder_->BindInt64(1, orderId);
    plain = perOrder_->Step() && SumFigures(*perOrder_, 0, sums);
  } catch (const ESQLiteException&) {
    plain = false;  // the literal query raises it again, naming its text
  }
  perOrder_->Reset();
  return plain ? sums : Literal(orderId);
}

}  // namespace vorlex
