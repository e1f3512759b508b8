// The line sums of all the orders of a period, each the very figure of its
// order's own query (SELECT ... WHERE auftragindex=<id>), added by the library
// itself. Where that query reads an order's lines in the table's order (a
// scan of the table, or an index on the order alone), one statement over the
// period's lines adds each order's lines in that order: grouped through that
// index, as a window partitioned by order, or stretch by stretch of rowids;
// otherwise the order's query is prepared once and asked per order. Each of
// these statements also counts an order's lines that hold text in anzahl,
// preis or mwst, which the library's arithmetic would take as 0 or as their
// leading digits; such an order's cells are read by the number rules of every
// other cell and then added by the library, in the same order.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "db/LineSumsSql.h"
#include "db/OrderRates.h"

namespace vorlex {

class TDBase;
class TDBField;
class TDBTable;
class TSQLiteDatabase;
class TSQLiteStatement;

// What the period's sums say of one order.
struct LineSumsAnswer {
  // None where only the order's own query, run as its literal text, can
  // answer: it raises the error the library meets, or reads a sum that is no
  // plain number.
  std::optional<LineSums> sums;
  // That query reads its cells through LineCell, as some lines hold text.
  bool readCells = false;
};

class TPeriodLineSums {
 public:
  // ordersFromWhere: the FROM and WHERE text of the orders query, whose rows
  // are walked afterwards; the ids of its orders are read here, so that the
  // orders' rows need not be held.
  // rates: the sums by the lines' rates are wanted too (RatesOf).
  TPeriodLineSums(TDBase& db, const std::string& ordersFromWhere, LineVat vat,
                  bool rates = false);
  ~TPeriodLineSums();
  TPeriodLineSums(const TPeriodLineSums&) = delete;
  TPeriodLineSums& operator=(const TPeriodLineSums&) = delete;

  // The sums of the order on the current row of orders, whose id (read from
  // idField) is orderId. A cell of its lines that is no number raises
  // ECellConvertError.
  LineSumsAnswer Of(const TDBTable& orders, const TDBField& idField, int64_t orderId);

  // The net of the lines of that order by their rates (only with rates set):
  // from the period's statement where it had them, else from a query of the
  // order's lines grouped by rate, their cells read as numbers are read.
  RateNets RatesOf(const TDBTable& orders, const TDBField& idField, int64_t orderId);

  // The rows of the orders' FROM and WHERE text (each order once, unless a
  // join doubles it): how many orders a walk of them meets.
  int64_t OrderRows() const { return orderRows_; }
  // Whether the sums came from one statement over the period's lines.
  bool OnePass() const { return onePass_; }
  // How many orders were left to their own literal query.
  int64_t OwnQueries() const { return ownQueries_; }
  // How many orders had their cells read one by one, as some of their lines
  // hold text.
  int64_t CellReads() const { return cellReads_; }

 private:
  struct Entry {
    int64_t id = 0;
    LineSums sums;
    // With rates: the order's nets by rate, where known (ratesKnown), are
    // rateCount entries of rateNets_ from rateBegin on.
    uint32_t rateBegin = 0;
    uint8_t rateCount = 0;
    bool ratesKnown = false;
    bool plain = true;  // false: the order's literal query answers
    bool text = false;  // lines with text: their cells are read one by one
  };
  // An order's lines lie between its first and its last row id.
  struct Stretch {
    int64_t first = 0;
    int64_t last = 0;
    int64_t lines = 0;  // 0: the order has no lines
  };

  TSQLiteDatabase& Connection();
  // The ids held as integers of the rows of ordersFromWhere, ascending, each
  // once; false where its id column is not of the integer kind.
  bool ReadOrderIds(const std::string& ordersFromWhere, std::vector<int64_t>& ids);
  // index: the index the order's query searches; empty: it scans the table.
  void ReadPeriod(const std::string& ordersFromWhere, const std::vector<int64_t>& ids,
                  const std::string& index);
  // Without an index: each order's lines read by their stretch of rowids;
  // lines: the condition that chooses the period's lines.
  // False where the plan or the lines found cannot be vouched for.
  bool ReadByRowidRanges(const std::string& lines, const std::vector<int64_t>& ids);
  LineSumsAnswer OwnQuery(bool readCells);
  // With rates, the rates' column also tells the lines that hold text, in
  // place of their count.
  std::optional<std::string> RatesAs(const char* as) const {
    return rates_ ? std::optional<std::string>(as) : std::nullopt;
  }
  std::optional<std::string> TextLinesAs(const char* as) const {
    return rates_ ? std::nullopt : std::optional<std::string>(as);
  }
  // The column after the sums: the count of lines with text, or the rates.
  void ReadLinesColumn(const TSQLiteStatement& row, int column, Entry& entry);
  // The sums of an order whose lines hold text: each cell read as a number
  // cell is read, then added by the library as any other order's, in the same
  // order.
  LineSumsAnswer ReadingCells(int64_t orderId);

  TDBase& db_;
  LineVat vat_;
  bool rates_ = false;
  RateNets rateNets_;  // one pass with rates: what the entries point into
  std::unique_ptr<TOrderRates> orderRates_;  // made at its first use
  std::unique_ptr<TSQLiteStatement> perOrder_;  // null when it does not prepare
  bool onePass_ = false;
  // The ids were read from a column of the integer kind. Only then is an
  // order whose id is held as an integer, and that is not among them, an order
  // without lines.
  bool integerIds_ = false;
  std::vector<Entry> entries_;  // one pass: by id
  // Read by their stretches, the orders with text in their lines, by id.
  std::vector<std::pair<int64_t, Stretch>> textStretches_;
  std::unique_ptr<TSQLiteStatement> cellsByOrder_;    // made at its first use
  std::unique_ptr<TSQLiteStatement> cellsByStretch_;  // made at its first use
  int64_t orderRows_ = 0;
  int64_t ownQueries_ = 0;
  int64_t cellReads_ = 0;
};

// True when the order's own line-sum query reads an order's lines in the
// table's order: as a scan of the whole table, or through an index on
// auftragindex alone.
// byIndex: the name of that index, empty for the scan.
bool LinesReadInTableOrder(TSQLiteDatabase& db, const LineVat& vat, std::string* byIndex = nullptr);

}  // namespace vorlex
