// One open connection to one database file, read-only; Vorlex's own file is
// opened for writing only through TSQLiteWritableDatabase.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/SQLiteTable.h"
#include "util/FormatSettings.h"

struct sqlite3;

namespace vorlex {

// The SQL function NAME(cell, 'column') of every connection, which reads a cell
// as the facade reads a number cell: a number or NULL as it is, text that the
// library reads as a number and blank text as they are (the library makes the
// number or 0 of them), any other text or a blob's bytes by StrToFloat, in the
// connection's format settings. A cell StrToFloat cannot read ends the statement with
// ECellConvertError.
inline constexpr const char* kNumberFunction = "vorlex_number";
// An aggregate (also a window function) of an order's lines: (net, rate) of
// each line, the nets added per rate in the order the lines come, a NULL net
// left out, a NULL rate taken as 0. Its value is a blob of (rate, net) pairs of
// doubles in the order of their rates, or NULL for more than kRateNetsMost
// rates. One column for what would otherwise take a sum per rate.
// Over the cells as stored, (anzahl, preis, rate): the net multiplied as the
// library multiplies; where a line holds text or a blob in one of the three,
// its value is the number of such lines instead, which saves counting them.
inline constexpr const char* kRateNetsFunction = "vorlex_rate_nets";
inline constexpr int kRateNetsMost = 16;

class TSQLiteDatabase {
 public:
  // Opens an existing database read-only; never creates or changes a file.
  // Raises "Failed to open database "%s" : %s". format: how the user writes
  // numbers, by which cells of text are read as numbers and float cells
  // become text.
  TSQLiteDatabase(const std::string& fileName, const FormatSettings& format);
  ~TSQLiteDatabase();
  TSQLiteDatabase(const TSQLiteDatabase&) = delete;
  TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;
  TSQLiteDatabase(TSQLiteDatabase&& other) noexcept = default;
  TSQLiteDatabase& operator=(TSQLiteDatabase&& other) noexcept = default;

  // Runs the first statement of sql, which returns no rows.
  void Execute(const std::string& sql);
  // kept: the columns whose cells the reader reads (all when empty). Every
  // column keeps its name and kind, so that lookups find what they always
  // found; a cell of a column not kept cannot be read.
  std::unique_ptr<TSQLiteTable> OpenTable(const std::string& sql,
                                          const std::vector<std::string>& kept = {},
                                          TableReading reading = TableReading::Whole);

  // The SQL function name(a, b) of this connection's statements: test(a, b),
  // 1 or 0, each argument the text a text column's cell is read as (NULL as
  // empty text, a REAL as RealText, other text up to a zero byte). Defining
  // the name again replaces the test, also for statements already prepared.
  using TextTest = std::function<bool(std::string_view, std::string_view)>;
  void DefineTextTest(const std::string& name, TextTest test);

  // The one place where a result code of the library becomes an exception:
  // anything but SQLITE_OK raises the connection's last error for action.
  void Check(int rc, const char* action, const std::string& sql) {
    if (rc != 0) RaiseLastError(action, sql);
  }
  // "<action> "<sql>" : <the library's text, or No message>". Raises
  // ECellConvertError instead where a cell read through kNumberFunction made
  // the statement fail.
  [[noreturn]] void RaiseLastError(const std::string& action, const std::string& sql);

  const FormatSettings& Format() const { return numbers_->format; }

  // What a failed call of kNumberFunction left for RaiseLastError.
  struct CellFailure {
    bool failed = false;
    std::string message;
    std::string column;
  };
  // The user data of kNumberFunction; kept apart from the connection, so that
  // a move leaves it where the library finds it.
  struct NumberCells {
    FormatSettings format;
    CellFailure failure;
  };

 private:
  // Only a statement works on the library's connection.
  friend class TSQLiteStatement;
  // Vorlex's own file, which it writes: read and write, made where missing.
  friend class TSQLiteWritableDatabase;
  struct Writable {
    int busyMilliseconds;  // how long a statement waits for another writer's lock
  };
  TSQLiteDatabase(const std::string& fileName, Writable writable);
  void Open(const std::string& fileName, int flags, int busyMilliseconds);

  sqlite3* Handle() const { return db_.get(); }

  struct Closer {
    void operator()(sqlite3* db) const;
  };
  std::unique_ptr<NumberCells> numbers_;
  // Where the library finds each text test; they outlive the connection.
  std::map<std::string, std::unique_ptr<TextTest>> textTests_;
  std::unique_ptr<sqlite3, Closer> db_;
};

}  // namespace vorlex
