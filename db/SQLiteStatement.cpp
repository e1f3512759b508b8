#include "db/SQLiteStatement.h"

#include <sqlite3.h>

#include <utility>

#include "db/SQLiteDatabase.h"
#include "db/SQLiteError.h"

namespace vorlex {

static_assert(static_cast<int>(ColumnKind::Integer) == SQLITE_INTEGER &&
              static_cast<int>(ColumnKind::Float) == SQLITE_FLOAT &&
              static_cast<int>(ColumnKind::Text) == SQLITE_TEXT &&
              static_cast<int>(ColumnKind::Blob) == SQLITE_BLOB &&
              static_cast<int>(ColumnKind::Null) == SQLITE_NULL);

TSQLiteStatement::TSQLiteStatement(TSQLiteDatabase& db, std::string sql)
    : db_(db), sql_(std::move(sql)) {
  const int rc = sqlite3_prepare_v2(db.Handle(), sql_.c_str(), -1, &stmt_, nullptr);
  if (rc != SQLITE_OK) {
    // No destructor runs for a constructor that raises.
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
  }
  db.Check(rc, "Error executing SQL", sql_);
  if (stmt_ == nullptr) db.RaiseLastError("Could not prepare SQL statement", sql_);
}

TSQLiteStatement::~TSQLiteStatement() {
  sqlite3_finalize(stmt_);
}

bool TSQLiteStatement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  if (rc == SQLITE_BUSY) {
    throw ESQLiteException("Could not prepare SQL statement \"" + sql_ + "\" : SQLite is Busy",
                           SQLITE_BUSY);
  }
  db_.RaiseLastError("Could not retrieve data", sql_);
}

void TSQLiteStatement::Execute() {
  const int rc = sqlite3_step(stmt_);
  db_.Check(rc == SQLITE_DONE ? SQLITE_OK : rc, "Error executing SQL statement", sql_);
}

void TSQLiteStatement::Reset() {
  sqlite3_reset(stmt_);
}

void TSQLiteStatement::BindInt64(int index, int64_t value) {
  db_.Check(sqlite3_bind_int64(stmt_, index, value), "Could not bind a value to", sql_);
}

void TSQLiteStatement::BindText(int index, const std::string& value) {
  db_.Check(sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()),
                              SQLITE_TRANSIENT),
            "Could not bind a value to", sql_);
}

void TSQLiteStatement::BindDouble(int index, double value) {
  db_.Check(sqlite3_bind_double(stmt_, index, value), "Could not bind a value to", sql_);
}

void TSQLiteStatement::BindNull(int index) {
  db_.Check(sqlite3_bind_null(stmt_, index), "Could not bind a value to", sql_);
}

int TSQLiteStatement::ColumnCount() const {
  return sqlite3_column_count(stmt_);
}

ColumnKind TSQLiteStatement::ColumnType(int index) const {
  return static_cast<ColumnKind>(sqlite3_column_type(stmt_, index));
}

int64_t TSQLiteStatement::ColumnInt64(int index) const {
  return sqlite3_column_int64(stmt_, index);
}

double TSQLiteStatement::ColumnDouble(int index) const {
  return sqlite3_column_double(stmt_, index);
}

std::string_view TSQLiteStatement::ColumnText(int index) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
  if (text == nullptr) return {};
  return std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, index)));
}

std::string_view TSQLiteStatement::ColumnBlob(int index) const {
  const void* blob = sqlite3_column_blob(stmt_, index);
  if (blob == nullptr) return {};
  return std::string_view(static_cast<const char*>(blob),
                          static_cast<size_t>(sqlite3_column_bytes(stmt_, index)));
}

std::string TSQLiteStatement::DeclaredType(int index) const {
  const char* declared = sqlite3_column_decltype(stmt_, index);
  return declared != nullptr ? declared : "";
}

}  // namespace vorlex
