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
  Within("BEGIN IMMEDIATE", change);
}

void TSQLiteWritableDatabase::InReadTransaction(const std::function<void()>& read) {
  Within("BEGIN", read);
}

void TSQLiteWritableDatabase::Within(const char* begin, const std::function<void()>& work) {
  db_.Execute(begin);
  try {
    work();
    db_.Execute("COMMIT");
  } catch (...) {
    // A failed COMMIT may have ended the transaction already.
    if (sqlite3_get_autocommit(db_.Handle()) == 0)
      sqlite3_exec(db_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

}  // namespace vorlex
