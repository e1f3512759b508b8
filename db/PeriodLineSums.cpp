#include "db/PeriodLineSums.h"

#include <algorithm>

#include "db/LineSumValues.h"
#include "db/QueryPlan.h"
#include "db/SQLiteAccess.h"
#include "db/uDB.h"
#include "util/uString.h"

namespace vorlex {

bool LinesReadInTableOrder(TSQLiteDatabase& connection, const LineVat& vat, std::string* byIndex) {
  // One step: a scan of the table itself, or a search of an index on
  // auftragindex alone, which holds an order's lines in the table's order.
  // Anything else (an index on more columns, a view) may read them in another
  // order.
  const TQueryPlan plan(connection, LineSumsSql({.where = "auftragindex=?"}, vat));
  const TableRead* read = plan.OnlyRead("verbindauftrag");
  if (read == nullptr) return false;
  if (!read->search && read->plain) return true;
  if (!read->search || read->index.empty() || read->covering ||
      !EqualsIgnoringAsciiCase(read->condition, "auftragindex=?") ||
      !IndexKeysAre(connection, read->index, {"auftragindex"})) {
    return false;
  }
  if (byIndex != nullptr) *byIndex = read->index;
  return true;
}

TPeriodLineSums::TPeriodLineSums(TDBase& db, const std::string& ordersFromWhere, LineVat vat,
                                 bool rates)
    : db_(db), vat_(std::move(vat)), rates_(rates) {
  try {
    std::vector<int64_t> ids;
    integerIds_ = ReadOrderIds(ordersFromWhere, ids);
    perOrder_ = std::make_unique<TSQLiteStatement>(
        Connection(), LineSumsSql({.where = "auftragindex=?", .textLinesAs = ""}, vat_));
    std::string index;
    if (LinesReadInTableOrder(Connection(), vat_, &index)) {
      ReadPeriod(ordersFromWhere, ids, index);
    }
  } catch (const ESQLiteException&) {
    // Whatever failed here, each order's own query meets it again in its
    // place, with its own message.
    onePass_ = false;
    entries_.clear();
    rateNets_.clear();
    textStretches_.clear();
  }
}

TPeriodLineSums::~TPeriodLineSums() = default;

TSQLiteDatabase& TPeriodLineSums::Connection() {
  return db_.Connection();
}

bool TPeriodLineSums::ReadOrderIds(const std::string& ordersFromWhere, std::vector<int64_t>& ids) {
  // The same rows as the orders query, whose id column (auftrag.*) has the
  // same declared type, so that an id held as an integer here (a stored
  // integer in a column of the integer kind) is held so there.
  TSQLiteStatement rows(Connection(), "SELECT auftrag.id" + ordersFromWhere);
  bool integers = true;
  int64_t count = 0;
  while (rows.Step()) {
    if (count++ == 0) integers = TSQLiteTable::KindOf(rows, 0) == ColumnKind::Integer;
    if (integers && rows.ColumnType(0) == ColumnKind::Integer) ids.push_back(rows.ColumnInt64(0));
  }
  orderRows_ = count;
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return integers;
}

void TPeriodLineSums::ReadPeriod(const std::string& ordersFromWhere,
                                 const std::vector<int64_t>& ids, const std::string& index) {
  // The lines of every order of the period whose id is stored as an integer,
  // compared with the id as the order's own query compares with its number
  // (the unary plus takes the id column's affinity away, as a number in the
  // query text has none). Where the ids lie close together and the key column
  // compares numbers as numbers, the lines between the lowest and the highest
  // id: a cheaper test on every line, and a few more orders summed.
  const int64_t count = static_cast<int64_t>(ids.size());
  const int64_t lowest = ids.empty() ? 0 : ids.front();
  const int64_t highest = ids.empty() ? 0 : ids.back();
  const bool close =
      count > 0 && static_cast<double>(highest) - static_cast<double>(lowest) < 2.0 * count &&
      NumericAffinity(TSQLiteStatement(Connection(), "SELECT auftragindex FROM verbindauftrag")
                          .DeclaredType(0));
  const std::string lines = close ? "auftragindex >= " + std::to_string(lowest) +
                                        " AND auftragindex <= " + std::to_string(highest)
                                  : "auftragindex IN (SELECT +auftrag.id" + ordersFromWhere +
                                        "AND typeof(auftrag.id) = 'integer')";
  // Through the index, each order's lines one after the other in the index's
  // order, as its own query reads them, when the plan says so: the index
  // searched, and no sorting for the groups.
  const std::string grouped = LineSumsSql({.where = lines,
                                           .key = "auftragindex, ",
                                           .vatAs = "",
                                           .netAs = "",
                                           .textLinesAs = TextLinesAs(""),
                                           .ratesAs = RatesAs(""),
                                           .tail = " GROUP BY auftragindex"},
                                          vat_);
  bool inIndexOrder = false;
  if (!index.empty()) {
    const TQueryPlan plan(Connection(), grouped);
    inIndexOrder = plan.SearchesIndex(index) && !plan.UsesTempBTree();
  }
  if (index.empty()) {
    try {
      if (ReadByRowidRanges(lines, ids)) return;
    } catch (const ESQLiteException&) {
      // No rowid to read by (a table without one): the window below.
    }
    entries_.clear();
    rateNets_.clear();
    textStretches_.clear();
  }
  // Otherwise a window partitioned by order adds the lines in the table's
  // order, as the scan of the order's own query does.
  const std::string sql =
      inIndexOrder ? grouped
                   : LineSumsSql({.where = lines,
                                  .key = "auftragindex, ",
                                  .vatAs = " OVER w",
                                  .netAs = " OVER w",
                                  .textLinesAs = TextLinesAs(" OVER w"),
                                  .ratesAs = RatesAs(" OVER w"),
                                  .tail = " WINDOW w AS (PARTITION BY auftragindex ORDER BY rowid "
                                          "ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED "
                                          "FOLLOWING)"},
                                 vat_);
  TSQLiteStatement sums(Connection(), sql);
  entries_.reserve(ids.size());
  int64_t last = 0;
  bool first = true;
  while (sums.Step()) {
    int64_t id = 0;
    if (!LineKeyOf(sums, id)) continue;      // matches no order; not expected
    if (!first && last == id) continue;  // the same order's next line
    first = false;
    last = id;
    // Between the lowest and the highest id lie orders of other periods too.
    if (!std::binary_search(ids.begin(), ids.end(), id)) continue;
    Entry entry;
    entry.id = id;
    entry.plain = SumFigures(sums, 1, entry.sums);
    ReadLinesColumn(sums, 3, entry);
    entries_.push_back(entry);
  }
  // Keys held as text come in the order of their texts.
  const auto byId = [](const Entry& a, const Entry& b) { return a.id < b.id; };
  if (!std::is_sorted(entries_.begin(), entries_.end(), byId)) {
    std::sort(entries_.begin(), entries_.end(), byId);
  }
  onePass_ = std::adjacent_find(entries_.begin(), entries_.end(),
                                [](const Entry& a, const Entry& b) { return a.id == b.id; }) ==
             entries_.end();
  if (!onePass_) {
    entries_.clear();
    rateNets_.clear();
  }
}

bool TPeriodLineSums::ReadByRowidRanges(const std::string& lines, const std::vector<int64_t>& ids) {
  // The order's own query scans the whole table in rowid order and adds the
  // lines of its order as it meets them. The lines between the order's first
  // and last line, read in rowid order with the same condition, are the same
  // lines in the same order: one pass over the period's lines finds these
  // stretches, and a statement reading only its stretch adds each order's
  // lines, where the plan says it reads the stretch by rowid.
  const std::string stretchSql =
      LineSumsSql({.where = "rowid >= ?1 AND rowid <= ?2 AND auftragindex=?3",
                   .vatAs = "",
                   .netAs = "",
                   .extra = ", COUNT(*)",
                   .textLinesAs = TextLinesAs(""),
                   .ratesAs = RatesAs("")},
                  vat_);
  {
    const TQueryPlan plan(Connection(), stretchSql);
    const TableRead* read = plan.OnlyRead("verbindauftrag");
    if (read == nullptr || !read->search || !read->rowid ||
        !EqualsIgnoringAsciiCase(read->condition, "rowid>? AND rowid<?")) {
      return false;
    }
  }
  std::vector<Stretch> stretches(ids.size());
  int64_t linesFound = 0;
  TSQLiteStatement scan(Connection(),
                        "SELECT auftragindex, rowid FROM verbindauftrag WHERE " + lines);
  while (scan.Step()) {
    int64_t id = 0;
    const auto found = LineKeyOf(scan, id) ? std::lower_bound(ids.begin(), ids.end(), id) : ids.end();
    if (found == ids.end() || *found != id) {
      // Lines of the orders between the period's, where the lines are chosen
      // by the range of ids; any other line cannot be vouched for.
      if (scan.ColumnType(0) == ColumnKind::Integer) continue;
      return false;
    }
    Stretch& stretch = stretches[static_cast<size_t>(found - ids.begin())];
    const int64_t rowid = scan.ColumnInt64(1);
    if (stretch.lines == 0) stretch.first = rowid;
    stretch.last = rowid;
    ++stretch.lines;
    ++linesFound;
  }
  TSQLiteStatement stretchSums(Connection(), stretchSql);
  entries_.reserve(ids.size());
  int64_t linesSummed = 0;
  for (size_t i = 0; i < ids.size(); ++i) {
    const Stretch& stretch = stretches[i];
    if (stretch.lines == 0) continue;
    stretchSums.Reset();
    stretchSums.BindInt64(1, stretch.first);
    stretchSums.BindInt64(2, stretch.last);
    stretchSums.BindInt64(3, ids[i]);
    if (!stretchSums.Step()) return false;
    Entry entry;
    entry.id = ids[i];
    entry.plain = SumFigures(stretchSums, 0, entry.sums);
    ReadLinesColumn(stretchSums, 3, entry);
    if (entry.text) textStretches_.emplace_back(ids[i], stretch);
    linesSummed += stretchSums.ColumnInt64(2);
    entries_.push_back(entry);
  }
  // Every line of the pass, and no other, was added to its order.
  onePass_ = linesSummed == linesFound;
  if (!onePass_) {
    entries_.clear();
    rateNets_.clear();
    textStretches_.clear();
  }
  return onePass_;
}


void TPeriodLineSums::ReadLinesColumn(const TSQLiteStatement& row, int column, Entry& entry) {
  if (!rates_) {
    entry.text = row.ColumnInt64(column) > 0;
    return;
  }
  entry.rateBegin = static_cast<uint32_t>(rateNets_.size());
  const RatesRead read = ReadRateNets(row, column, rateNets_);
  entry.ratesKnown = read == RatesRead::Known;
  entry.text = read == RatesRead::TextInLines;
  // The aggregate keeps at most kRateNetsMost rates; more are its NULL.
  entry.rateCount = static_cast<uint8_t>(rateNets_.size() - entry.rateBegin);
}

RateNets TPeriodLineSums::RatesOf(const TDBTable& orders, const TDBField& idField,
                                  int64_t orderId) {
  if (onePass_ && rates_ && integerIds_ &&
      orders.result_->CellHeldAsInteger(orders.Index(idField))) {
    const auto found =
        std::lower_bound(entries_.begin(), entries_.end(), orderId,
                         [](const Entry& entry, int64_t id) { return entry.id < id; });
    if (found == entries_.end() || found->id != orderId) return {};  // no lines
    if (!found->text && found->ratesKnown) {
      const auto begin = rateNets_.begin() + found->rateBegin;
      return RateNets(begin, begin + found->rateCount);
    }
  }
  // Text in a cell is read as a number as everywhere else.
  if (orderRates_ == nullptr) orderRates_ = std::make_unique<TOrderRates>(db_, vat_);
  return orderRates_->Of(orderId);
}

LineSumsAnswer TPeriodLineSums::OwnQuery(bool readCells) {
  ++ownQueries_;
  return {std::nullopt, readCells};
}

LineSumsAnswer TPeriodLineSums::ReadingCells(int64_t orderId) {
  ++cellReads_;
  // By the order's stretch where its lines were read so, otherwise as its own
  // query reads them.
  const auto found = std::lower_bound(
      textStretches_.begin(), textStretches_.end(), orderId,
      [](const std::pair<int64_t, Stretch>& entry, int64_t id) { return entry.first < id; });
  const bool byStretch = found != textStretches_.end() && found->first == orderId;
  std::unique_ptr<TSQLiteStatement>& statement = byStretch ? cellsByStretch_ : cellsByOrder_;
  LineSums sums;
  try {
    if (statement == nullptr) {
      statement = std::make_unique<TSQLiteStatement>(
          Connection(),
          LineSumsSql({.where = byStretch ? "rowid >= ?1 AND rowid <= ?2 AND auftragindex=?3"
                                          : "auftragindex=?3",
                       .vatAs = "",
                       .netAs = "",
                       .readCells = true},
                      vat_));
    }
    statement->Reset();
    if (byStretch) {
      statement->BindInt64(1, found->second.first);
      statement->BindInt64(2, found->second.last);
    }
    statement->BindInt64(3, orderId);
    const bool plain = statement->Step() && SumFigures(*statement, 0, sums);
    statement->Reset();
    if (plain) return {sums};
  } catch (const ECellConvertError&) {
    statement->Reset();
    throw;
  } catch (const ESQLiteException&) {
    // The literal query meets it again, naming its text.
  }
  return OwnQuery(true);
}

LineSumsAnswer TPeriodLineSums::Of(const TDBTable& orders, const TDBField& idField,
                                   int64_t orderId) {
  if (onePass_ && integerIds_ && orders.result_->CellHeldAsInteger(orders.Index(idField))) {
    const auto found =
        std::lower_bound(entries_.begin(), entries_.end(), orderId,
                         [](const Entry& entry, int64_t id) { return entry.id < id; });
    if (found == entries_.end() || found->id != orderId) return {LineSums{}};  // no lines
    if (found->text) return ReadingCells(orderId);
    if (found->plain) return {found->sums};
    return OwnQuery(false);
  }
  if (perOrder_ == nullptr) return OwnQuery(false);
  LineSums sums;
  bool plain = false;
  bool text = false;
  try {
    perOrder_->Reset();
    perOrder_->BindInt64(1, orderId);
    if (perOrder_->Step()) {
      text = perOrder_->ColumnInt64(2) > 0;
      plain = SumFigures(*perOrder_, 0, sums);
    }
  } catch (const ESQLiteException&) {
    plain = false;  // the literal query raises it again, naming its text
  }
  perOrder_->Reset();
  if (text) return ReadingCells(orderId);
  return plain ? LineSumsAnswer{sums} : OwnQuery(false);
}

}  // namespace vorlex
