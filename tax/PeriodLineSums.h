// The line sums of all the orders of a period from one pass over their lines,
// instead of one query per order. Each order gets the very figures its own
// query (OrderLineSums) gives: its lines are added in the order that query
// adds them, the way the library's SUM adds, and read back through the same
// 15-digit text. Where that cannot be vouched for (the library sums otherwise,
// an index would make the order's own query add its lines in another order, an
// id that is no stored integer, a sum that overflows or is no finite number),
// the order's own query answers instead.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/uDB.h"
#include "tax/auftragU.h"

namespace vorlex {

// How the library's SUM adds, as this library version does it: whole numbers
// exactly while they fit in 64 bits, and alongside in a double, value by value
// in the order the rows come; one float among them makes the result the
// double.
class SqlSum {
 public:
  void AddInteger(int64_t value);
  void AddFloat(double value);
  bool IsNull() const { return !any_; }
  bool Overflowed() const { return overflow_; }
  bool IsFloat() const { return approx_; }
  int64_t Integer() const { return integer_; }
  double Float() const { return real_; }

 private:
  int64_t integer_ = 0;
  double real_ = 0;
  bool any_ = false;  // a value was added, NULLs aside
  bool approx_ = false;
  bool overflow_ = false;
};

class PeriodLineSums {
 public:
  // orders: the result of the orders query, whose FROM and WHERE text is
  // ordersFromWhere; idField names its id column.
  PeriodLineSums(TDBase& db, const std::string& ordersFromWhere, const TDBTable& orders,
                 const TDBField& idField, const EvaluationSettings& settings = kProgramSettings);

  // The sums of the order on the current row of orders, whose id (read from
  // idField) is orderId.
  LineSums Of(const TDBTable& orders, const TDBField& idField, int64_t orderId);

  // Whether the pass was made; false: every order asks its own query.
  bool Batched() const { return batched_; }
  // How many orders had to ask their own query so far.
  int64_t OwnQueries() const { return ownQueries_; }

 private:
  struct Entry {
    SqlSum vat;
    SqlSum net;
  };

  bool ReadLines(const std::string& ordersFromWhere, const TDBTable& orders,
                 const TDBField& idField);
  Entry* Find(int64_t key);

  TDBase& db_;
  EvaluationSettings settings_;
  bool batched_ = false;
  int64_t ownQueries_ = 0;
  // Ids that lie close together are held in a plain array from the lowest
  // (most periods: ids are given in order); scattered ones by key.
  int64_t first_ = 0;
  std::vector<Entry> dense_;
  std::unordered_map<int64_t, Entry> scattered_;
};

// True when the library's SUM gives, for a few sequences where the way of
// adding shows, what SqlSum gives; the pass is only made then.
bool LibrarySumAddsLikeSqlSum(TDBase& db);

// True when every way the line table can be read for one order visits that
// order's lines in the table's own order: no index but plain ones on
// auftragindex alone, and the table a table.
bool LinesReadInTableOrder(TDBase& db);

}  // namespace vorlex
