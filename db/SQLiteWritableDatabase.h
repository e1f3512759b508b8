// A connection to Vorlex's own database file, which it writes: bound values,
// transactions, and a short wait where another Vorlex process writes at the
// same moment. Pelmora's database is never opened this way.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "db/SQLiteDatabase.h"

namespace vorlex {

class TSQLiteWritableDatabase {
 public:
  // Opens the file for reading and writing, making an empty database where
  // none is. A lock held by another connection is waited for up to
  // busyMilliseconds before a statement raises the busy failure. Raises
  // "Failed to open database "%s" : %s".
  explicit TSQLiteWritableDatabase(const std::string& fileName, int busyMilliseconds = 5000);

  // For statements with bound values (TSQLiteStatement).
  TSQLiteDatabase& Connection() { return db_; }
  void Execute(const std::string& sql) { db_.Execute(sql); }
  // The first column of the first row as a number; 0 for none.
  int64_t QueryInt(const std::string& sql);

  // Runs change inside one transaction that holds the write lock from its
  // start, so that two writers never both read what the other is about to
  // change. Anything change raises rolls the whole transaction back.
  void InTransaction(const std::function<void()>& change);
  // Runs read inside one transaction that writes nothing: its statements see
  // one state of the file, also while another connection commits.
  void InReadTransaction(const std::function<void()>& read);

 private:
  void Within(const char* begin, const std::function<void()>& work);
  TSQLiteDatabase db_;
};

}  // namespace vorlex
