#include "db/SQLiteWritableDatabase.h"

#include <sqlite3.h>

#include "db/SQLiteStatement.h"

namespace vorlex {

TSQLiteWritableDatabase::TSQLiteWritableDatabase(const std::string& fileName, int busyMilliseconds)
    : db_(fileName, TSQLiteDatabase::Writable{busyMilliseconds}) {
  // What is recorded here exists nowhere else: every commit reaches the disk.
  db_.Execute("PRAGMA synchronous = FULL");
}

int64_t TSQLiteWritableDatabase::QueryInt(const std::string& sql) {
  TSQLiteStatement statement(db_, sql);
  return statement.Step() ? statement.ColumnInt64(0) : 0;
}

void TSQLiteWritableDatabase::InTransaction(const std::function<void()>& change) {
  db_.Execute("BEGIN IMMEDIATE");
  try {
    change();
    db_.Execute("COMMIT");
  } catch (...) {
    // A failed COMMIT may have ended the transaction already.
    if (sqlite3_get_autocommit(db_.Handle()) == 0)
      sqlite3_exec(db_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

}  // namespace vorlex
