// The one exception type of the SQL access layer, and the conversion error of
// a cell that the library's number function could not read.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

#include "util/NumberText.h"

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

// The conversion error of a cell read through the number function of the
// connection (kNumberFunction, db/SQLiteDatabase.h), and the column its
// second argument names.
class ECellConvertError : public EConvertError {
 public:
  ECellConvertError(const std::string& message, std::string column)
      : EConvertError(message), column_(std::move(column)) {}
  const std::string& Column() const { return column_; }

 private:
  std::string column_;
};

}  // namespace vorlex
