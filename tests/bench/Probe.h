// Reading a database the tests made, straight through SQLite: counts, single
// values and a dump of every row, independent of the program's access layer.
#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>

namespace vorlex::probe {

class Db {
 public:
  explicit Db(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      sqlite3_close(db_);
      throw std::runtime_error("cannot open " + path);
    }
  }
  ~Db() { sqlite3_close(db_); }
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  // Every row of the result, cells as SQLite's text joined by "|", rows by "\n".
  std::string Rows(const std::string& sql) const {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
      throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    }
    std::string out;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        if (i > 0) out += '|';
        if (sqlite3_column_type(stmt, i) == SQLITE_NULL) {
          out += "NULL";
        } else {
          const auto* text = sqlite3_column_text(stmt, i);
          out.append(reinterpret_cast<const char*>(text), sqlite3_column_bytes(stmt, i));
        }
      }
      out += '\n';
    }
    sqlite3_finalize(stmt);
    return out;
  }

  // The first cell of the first row as a number; 0 for none or NULL.
  double Number(const std::string& sql) const {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
      throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    }
    const double value = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_double(stmt, 0) : 0;
    sqlite3_finalize(stmt);
    return value;
  }

  // Every row of the six tables the program reads, in key order.
  std::string Dump() const {
    std::string out;
    for (const char* table :
         {"auftrag", "verbindauftrag", "besitzer", "lieferant", "kasse", "settingsmandant"}) {
      out += std::string("== ") + table + "\n" +
             Rows(std::string("SELECT * FROM ") + table + " ORDER BY rowid");
    }
    return out;
  }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace vorlex::probe
