#include "db/PeriodLineSums.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "db/QueryPlan.h"
#include "db/SQLiteAccess.h"
#include "db/uDB.h"
#include "util/NumberText.h"
#include "util/uString.h"

namespace vorlex {

namespace {

// The figure an order's own query reads from a sum (the sum's text read back
// as a number; no lines: 0). False where that read would not give a plain
// number; the order's own query gives the error or figure then.
bool SumFigure(const TSQLiteStatement& row, int column, double& figure) {
  switch (row.ColumnType(column)) {
    case ColumnKind::Null:
      figure = 0;
      return true;
    case ColumnKind::Integer:
      figure = static_cast<double>(row.ColumnInt64(column));
      return true;
    case ColumnKind::Float: {
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

// The order id a line key stands for: the same whole number stored as an
// integer, a float or (in a text column) its text.
bool KeyOf(const TSQLiteStatement& row, int64_t& key) {
  switch (row.ColumnType(0)) {
    case ColumnKind::Integer:
      key = row.ColumnInt64(0);
      return true;
    case ColumnKind::Float: {
      const double value = row.ColumnDouble(0);
      if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0)) return false;
      if (value != std::trunc(value)) return false;
      key = static_cast<int64_t>(value);
      return true;
    }
    case ColumnKind::Text: {
      const std::string_view text = row.ColumnText(0);
      const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), key);
      return error == std::errc() && end == text.data() + text.size() && !text.empty() &&
             text == std::to_string(key);
    }
    default:
      return false;
  }
}

bool SumFigures(const TSQLiteStatement& row, int first, LineSums& sums) {
  return SumFigure(row, first, sums.vat) && SumFigure(row, first + 1, sums.net);
}

}  // namespace

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
                                           .textLinesAs = "",
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
                                  .textLinesAs = " OVER w",
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
    if (!KeyOf(sums, id)) continue;      // matches no order; not expected
    if (!first && last == id) continue;  // the same order's next line
    first = false;
    last = id;
    // Between the lowest and the highest id lie orders of other periods too.
    if (!std::binary_search(ids.begin(), ids.end(), id)) continue;
    Entry entry;
    entry.id = id;
    entry.plain = SumFigures(sums, 1, entry.sums);
    entry.text = sums.ColumnInt64(3) > 0;
    if (rates_) ReadRateColumn(sums, 4, entry);
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
                   .textLinesAs = "",
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
    const auto found = KeyOf(scan, id) ? std::lower_bound(ids.begin(), ids.end(), id) : ids.end();
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
    entry.text = stretchSums.ColumnInt64(3) > 0;
    if (entry.text) textStretches_.emplace_back(ids[i], stretch);
    linesSummed += stretchSums.ColumnInt64(2);
    if (rates_) ReadRateColumn(stretchSums, 4, entry);
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

namespace {

// The nets of a value of kRateNetsFunction; false for NULL.
bool ReadRateNets(const TSQLiteStatement& row, int column, RateNets& nets) {
  if (row.ColumnType(column) != ColumnKind::Blob) return false;
  const std::string_view bytes = row.ColumnBlob(column);
  const size_t pairs = bytes.size() / (2 * sizeof(double));
  for (size_t i = 0; i < pairs; ++i) {
    RateNet net;
    std::memcpy(&net.rate, bytes.data() + 2 * i * sizeof(double), sizeof(double));
    std::memcpy(&net.net, bytes.data() + (2 * i + 1) * sizeof(double), sizeof(double));
    if (net.net != 0) nets.push_back(net);
  }
  return true;
}

}  // namespace

void TPeriodLineSums::ReadRateColumn(const TSQLiteStatement& row, int column, Entry& entry) {
  entry.rateBegin = static_cast<uint32_t>(rateNets_.size());
  entry.ratesKnown = ReadRateNets(row, column, rateNets_);
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

TOrderRates::TOrderRates(TDBase& db, LineVat vat) : db_(db), vat_(std::move(vat)) {}

TOrderRates::~TOrderRates() = default;

size_t TOrderRates::Prefetch(const std::vector<int64_t>& orderIds) {
  if (orderIds.empty()) return 0;
  std::string ids = "[";
  for (const int64_t id : orderIds) ids += (ids.size() > 1 ? "," : "") + std::to_string(id);
  ids += "]";
  std::vector<Read> read;
  RateNets readNets;
  try {
    // Through the index one order at a time where there is one, else in one
    // scan of the lines; each order's lines added as its own query adds them.
    // The cells are taken as stored, as the period's pass takes them; an
    // order with a line holding text is left to its own query, which reads
    // them by the number rules.
    TSQLiteStatement lines(db_.Connection(),
                           LineSumsSql({.where = "auftragindex IN (SELECT value FROM json_each(?1))",
                                        .key = "auftragindex, ",
                                        .textLinesAs = "",
                                        .ratesAs = "",
                                        .sums = false,
                                        .tail = " GROUP BY auftragindex"},
                                       vat_));
    lines.BindText(1, ids);
    while (lines.Step()) {
      // A key held as text is the order of that number, as its own query
      // compares it.
      int64_t id = 0;
      if (lines.ColumnType(0) == ColumnKind::Integer) {
        id = lines.ColumnInt64(0);
      } else if (lines.ColumnType(0) == ColumnKind::Text) {
        const std::string_view text = lines.ColumnText(0);
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
        if (error != std::errc() || end != text.data() + text.size()) continue;
      } else {
        continue;
      }
      if (lines.ColumnInt64(1) > 0) continue;
      // More rates than the aggregate keeps: left to the order's own query.
      const auto begin = static_cast<uint32_t>(readNets.size());
      if (ReadRateNets(lines, 2, readNets)) {
        read.push_back({id, begin, static_cast<uint32_t>(readNets.size()) - begin});
      }
    }
  } catch (const std::exception&) {
    return 0;  // each order's own query meets the trouble in its place
  }
  std::sort(read.begin(), read.end(), [](const Read& a, const Read& b) { return a.id < b.id; });
  read_ = std::move(read);
  readNets_ = std::move(readNets);
  return read_.size();
}

RateNets TOrderRates::Of(int64_t orderId) {
  const auto found = std::lower_bound(read_.begin(), read_.end(), orderId,
                                     [](const Read& r, int64_t id) { return r.id < id; });
  if (found != read_.end() && found->id == orderId) {
    return RateNets(readNets_.begin() + found->begin,
                    readNets_.begin() + found->begin + found->count);
  }
  if (ratesOfOrder_ == nullptr) {
    ratesOfOrder_ = std::make_unique<TSQLiteStatement>(
        db_.Connection(), LineSumsSql({.where = "auftragindex=?1",
                                       .vatAs = "",
                                       .netAs = "",
                                       .ratesAs = "",
                                       .readCells = true},
                                      vat_));
  }
  RateNets nets;
  try {
    ratesOfOrder_->Reset();
    ratesOfOrder_->BindInt64(1, orderId);
    const bool known = ratesOfOrder_->Step() && ReadRateNets(*ratesOfOrder_, 2, nets);
    ratesOfOrder_->Reset();
    if (known) return nets;
  } catch (...) {
    ratesOfOrder_->Reset();
    throw;
  }
  // More rates than the aggregate keeps: the library groups them.
  if (ratesByOrder_ == nullptr) {
    // "+ 0" makes a rate held as text one with the same rate held as a number.
    ratesByOrder_ = std::make_unique<TSQLiteStatement>(
        db_.Connection(), "SELECT " + LineCell("mwst", true) + " + 0 AS rate, SUM(" +
                              LineCell("anzahl", true) + "*" + LineCell("preis", true) +
                              ") FROM verbindauftrag WHERE auftragindex=?1 GROUP BY rate ORDER BY rate");
  }
  nets.clear();
  ratesByOrder_->Reset();
  ratesByOrder_->BindInt64(1, orderId);
  try {
    while (ratesByOrder_->Step()) {
      RateNet net;
      if (!SumFigure(*ratesByOrder_, 0, net.rate) || !SumFigure(*ratesByOrder_, 1, net.net)) {
        continue;  // a sum beyond what a figure holds: left out of the split
      }
      if (net.net != 0) nets.push_back(net);
    }
  } catch (...) {
    ratesByOrder_->Reset();
    throw;
  }
  ratesByOrder_->Reset();
  return nets;
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
