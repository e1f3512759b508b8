// The result of one query, walked once with a forward-only cursor: read whole
// into memory when the query runs, or row by row as the cursor moves.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/SQLiteStatement.h"
#include "util/FormatSettings.h"

namespace vorlex {

class TSQLiteDatabase;

enum class TableReading : uint8_t {
  Whole,
  // Only the current row is held, and the statement stays open until the
  // last row is passed: for one walk of a large result, which must end (or
  // the table be destroyed) before the connection closes. A failing step
  // raises from MoveNext and leaves the table at its end.
  RowByRow,
};

class TSQLiteTable {
 public:
  TSQLiteTable(TSQLiteDatabase& db, const std::string& sql,
               const std::vector<std::string>& kept = {},
               TableReading reading = TableReading::Whole);
  ~TSQLiteTable();
  TSQLiteTable(const TSQLiteTable&) = delete;
  TSQLiteTable& operator=(const TSQLiteTable&) = delete;

  // The rows held: read row by row, 1 while on a row.
  int RowCount() const { return rowCount_; }
  int ColumnCount() const { return columnCount_; }
  bool AtEnd() const { return cursor_ >= rowCount_; }
  bool MoveNext();

  // Case-insensitive for the ASCII letters, the first of equal names wins.
  // Raises "Field <name> Not found. Empty dataset" on a result without rows and
  // "Field not found in dataset: <name>" otherwise.
  int ColumnIndex(std::string_view name) const;
  ColumnKind Kind(int index) const;
  // The kind a column of statement's result has in a table: by its declared
  // type, or for an expression the library's type in the current row (which
  // for a table is the first).
  static ColumnKind KindOf(const TSQLiteStatement& statement, int index);
  const std::string& ColumnName(int index) const;  // upper case
  // The connection's format settings, by which the cells are read.
  const FormatSettings& Format() const;

  bool CellIsNull(int index) const;
  // True when the cell is of the integer kind and the library stored an integer
  // there, so that CellInteger is that very value (not a converted text or float).
  bool CellHeldAsInteger(int index) const;
  // The same for any row held (from 0), without moving the cursor: the
  // integer, or nothing.
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
  // The next row of the statement into the columns; false at its end, where
  // the statement is finished.
  bool ReadRow();

  struct Impl;
  std::unique_ptr<Impl> impl_;
  bool rowByRow_ = false;
  int rowCount_ = 0;
  int columnCount_ = 0;
  int cursor_ = 0;
};

}  // namespace vorlex
