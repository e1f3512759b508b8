// What SQLite alone costs for the data an evaluation run needs: the period's
// orders and cash-book entries stepped to their ends with every column read in
// its stored type, and the line sums of those orders from one grouped query.
// No text is formatted; this is the floor a run is measured against.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;

namespace vorlex::bench {

struct BaselineResult {
  int64_t orderRows = 0;
  int64_t cashRows = 0;
  int64_t lineSumRows = 0;
  double checksum = 0;  // of every value read, so that no read can be left out
};

// The three queries for the orders by invoice date ("Soll") of the whole days
// firstDay to lastDay.
std::string BaselineOrdersSql(double firstDay, double lastDay);
std::string BaselineCashBookSql(double firstDay, double lastDay);
std::string BaselineLineSumsSql(double firstDay, double lastDay);

// Raises std::runtime_error with SQLite's message on a failure.
BaselineResult RunBaseline(sqlite3* db, double firstDay, double lastDay);

// A read-only connection, closed when it goes.
class TReadOnlyConnection {
 public:
  explicit TReadOnlyConnection(const std::string& path);
  ~TReadOnlyConnection();
  TReadOnlyConnection(const TReadOnlyConnection&) = delete;
  TReadOnlyConnection& operator=(const TReadOnlyConnection&) = delete;
  sqlite3* get() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace vorlex::bench
