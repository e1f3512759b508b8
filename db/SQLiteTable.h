// The result of one query, read whole into memory when the query runs and
// then walked once with a forward-only cursor.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/SQLiteStatement.h"

namespace vorlex {

class TSQLiteDatabase;

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

}  // namespace vorlex
