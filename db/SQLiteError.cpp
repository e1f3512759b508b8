#include "db/SQLiteError.h"

#include <sqlite3.h>

namespace vorlex {

SQLiteFailure ESQLiteException::Failure() const {
  switch (code_ & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return SQLiteFailure::Busy;
    case SQLITE_NOTADB:
      return SQLiteFailure::NotADatabase;
    case SQLITE_CORRUPT:
      return SQLiteFailure::Corrupt;
    case SQLITE_IOERR:
      return SQLiteFailure::ReadError;
    default:
      return SQLiteFailure::Other;
  }
}

}  // namespace vorlex
