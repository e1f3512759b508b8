// One statement of the library, prepared once and stepped row by row. Every
// read of the layer goes through it: preparing, stepping and the busy
// failure are written here only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace vorlex {

// The library's fundamental type codes, decided once per column from the first row.
enum class ColumnKind : uint8_t { Integer = 1, Float = 2, Text = 3, Blob = 4, Null = 5 };

class TSQLiteDatabase;

// For results that need not be held whole; values are read in the types the
// library gives them.
class TSQLiteStatement {
 public:
  // Prepares the first statement of sql; the rest of the text is ignored.
  // Raises "Error executing SQL" where the library refuses it and "Could not
  // prepare SQL statement" where the text holds no statement.
  TSQLiteStatement(TSQLiteDatabase& db, std::string sql);
  ~TSQLiteStatement();
  TSQLiteStatement(const TSQLiteStatement&) = delete;
  TSQLiteStatement& operator=(const TSQLiteStatement&) = delete;

  // True on a new row, false at the end. A lock held elsewhere raises "SQLite
  // is Busy" at once, with no waiting and no retry; any other failure "Could
  // not retrieve data".
  bool Step();
  // Runs a statement that returns no rows; raises "Error executing SQL
  // statement" for any other outcome.
  void Execute();
  // Back to before the first row, the bound values kept.
  void Reset();
  void BindInt64(int index, int64_t value);
  void BindText(int index, const std::string& value);
  void BindDouble(int index, double value);
  void BindNull(int index);
  int ColumnCount() const;
  // The library's type of the current row's value.
  ColumnKind ColumnType(int index) const;
  int64_t ColumnInt64(int index) const;
  double ColumnDouble(int index) const;
  std::string_view ColumnText(int index) const;
  std::string_view ColumnBlob(int index) const;  // a blob's bytes
  // The declared type of a plain column reference; empty for an expression.
  std::string DeclaredType(int index) const;

 private:
  // The table reads every cell of its rows straight from the statement.
  friend class TSQLiteTable;

  TSQLiteDatabase& db_;
  std::string sql_;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace vorlex
