// The lowest layer between the program and the SQLite library: one connection,
// results read whole into memory, one exception type for every failure.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "util/uFormat.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vorlex {

// What kind of failure the library reported, as far as the user can act on it.
enum class SQLiteFailure : uint8_t {
  Busy,          // another program holds the database (busy or locked)
  NotADatabase,  // the file is no database
  Corrupt,       // the database is damaged
  ReadError,     // the system could not read the file
  Other,
};

// The library's result code (SQLITE_BUSY, SQLITE_CORRUPT ...) beside the text;
// SQLITE_ERROR where the failure is ours rather than the library's.
class ESQLiteException : public std::runtime_error {
 public:
  explicit ESQLiteException(const std::string& message, int code = 1, std::string path = {})
      : std::runtime_error(message), code_(code), path_(std::move(path)) {}
  int Code() const { return code_; }
  SQLiteFailure Failure() const;
  // The file an open failed on; empty for every other failure.
  const std::string& Path() const { return path_; }

 private:
  int code_;
  std::string path_;
};

// The SQL function NAME(cell, 'column') of every connection, which reads a cell
// as the facade reads a number cell: a number or NULL as it is, text that the
// library reads as a number and blank text as they are (the library makes the
// number or 0 of them), any other text or a blob's bytes by StrToFloat, in the
// user's format. A cell StrToFloat cannot read ends the statement with
// ECellConvertError.
inline constexpr const char* kNumberFunction = "vorlex_number";

// The conversion error of a cell read through kNumberFunction, and the column
// its second argument names.
class ECellConvertError : public EConvertError {
 public:
  ECellConvertError(const std::string& message, std::string column)
      : EConvertError(message), column_(std::move(column)) {}
  const std::string& Column() const { return column_; }

 private:
  std::string column_;
};

// True when the library reads text as a number in a numeric column: a decimal
// number, optionally signed, with fraction and exponent, blanks around it.
bool IsNumberText(std::string_view text);

// The text of a REAL in text context as the library wrote it up to version
// 3.42 (its printf's "%!.15g"): 15 significant digits, a point, at least one
// digit after it, an exponent as "e+20" or "e-07" beyond 15 digits or below
// 1e-4 ("45840.0", "3643.125", "1.0e+20", "1.5e-07", "Inf"). Later versions
// write up to 17 digits, which a reader of the text would take for another
// value; made here, the text is the same on every version.
std::string RealText(double value);

// The library's rule from a declared type to a column's affinity: true for the
// numeric ones (INTEGER, REAL, NUMERIC), where numbers compare as numbers and
// text is greater than any number.
bool NumericAffinity(std::string_view declaredType);

// The library's fundamental type codes, decided once per column from the first row.
enum class ColumnKind : uint8_t { Integer = 1, Float = 2, Text = 3, Blob = 4, Null = 5 };

class TSQLiteTable;

class TSQLiteDatabase {
 public:
  // Opens an existing database read-only; never creates or changes a file.
  // Raises "Failed to open database "%s" : %s".
  explicit TSQLiteDatabase(const std::string& fileName);
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
                                          const std::vector<std::string>& kept = {});
  // Raises ECellConvertError instead where a cell read through
  // kNumberFunction made the statement fail.
  [[noreturn]] void RaiseLastError(const std::string& action, const std::string& sql);

  sqlite3* Handle() const { return db_.get(); }

  // What a failed call of kNumberFunction left for RaiseLastError; kept apart
  // from the connection, so that a move leaves it where the library finds it.
  struct CellFailure {
    bool failed = false;
    std::string message;
    std::string column;
  };

 private:
  struct Closer {
    void operator()(sqlite3* db) const;
  };
  std::unique_ptr<CellFailure> cellFailure_;
  std::unique_ptr<sqlite3, Closer> db_;
};

class TSQLiteTable {
 public:
  TSQLiteTable(TSQLiteDatabase& db, const std::string& sql,
               const std::vector<std::string>& kept = {});
  ~TSQLiteTable();
  TSQLiteTable(const TSQLiteTable&) = delete;
  TSQLiteTable& operator=(const TSQLiteTable&) = delete;

  int RowCount() const { return rowCount_; }
  int ColumnCount() const { return columnCount_; }
  bool AtEnd() const { return cursor_ >= rowCount_; }
  bool MoveNext();

  // Case-insensitive for the ASCII letters, the first of equal names wins.
  // Raises "Field <name> Not found. Empty dataset" on a result without rows and
  // "Field not found in dataset: <name>" otherwise.
  int ColumnIndex(std::string_view name) const;
  ColumnKind Kind(int index) const;
  const std::string& ColumnName(int index) const;  // upper case

  bool CellIsNull(int index) const;
  // True when the cell is of the integer kind and the library stored an integer
  // there, so that CellInteger is that very value (not a converted text or float).
  bool CellHeldAsInteger(int index) const;
  // The same for any row (from 0), without moving the cursor: the integer, or
  // nothing.
  std::optional<int64_t> HeldInteger(int row, int index) const;
  // True when the cell is of a number kind and the library stored a number or
  // NULL there: its text is then that of CellInteger or CellFloat, and no
  // conversion by the library stands between.
  bool CellHeldAsNumber(int index) const;
  std::string CellText(int index) const;
  // The same text without a copy where the table holds it as text; otherwise
  // made in scratch. Valid while the table and scratch are.
  std::string_view CellTextView(int index, std::string& scratch) const;
  std::string CellTextOrEmpty(int index) const;
  // Integer cells whole, all 64 bits; a float cell truncated toward zero.
  int64_t CellInteger(int index) const;
  double CellFloat(int index) const;
  // The blob's bytes; nullptr for a NULL or empty blob. Owned by the table.
  const std::string* CellBlob(int index) const;
  std::string CellBlobText(int index) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int rowCount_ = 0;
  int columnCount_ = 0;
  int cursor_ = 0;
};

// One statement, prepared once and stepped row by row, for results that need
// not be held whole; values are read in the types the library gives them.
class TSQLiteStatement {
 public:
  // Raises "Error executing SQL" as OpenTable does.
  TSQLiteStatement(TSQLiteDatabase& db, std::string sql);
  ~TSQLiteStatement();
  TSQLiteStatement(const TSQLiteStatement&) = delete;
  TSQLiteStatement& operator=(const TSQLiteStatement&) = delete;

  // True on a new row, false at the end. Raises the busy and retrieval
  // failures as OpenTable does.
  bool Step();
  // Back to before the first row, the bound values kept.
  void Reset();
  void BindInt64(int index, int64_t value);
  void BindText(int index, const std::string& value);
  int ColumnCount() const;
  // The library's type of the current row's value.
  ColumnKind ColumnType(int index) const;
  int64_t ColumnInt64(int index) const;
  double ColumnDouble(int index) const;
  std::string_view ColumnText(int index) const;
  // The declared type of a plain column reference; empty for an expression.
  std::string DeclaredType(int index) const;

 private:
  TSQLiteDatabase& db_;
  std::string sql_;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace vorlex
