#include "bench/Baseline.h"

#include <sqlite3.h>

#include <cmath>
#include <stdexcept>

namespace vorlex::bench {

namespace {

// The period as the run selects it: from the first day's start to the start of
// the day after the last day.
std::string PeriodCondition(const char* column, double firstDay, double lastDay) {
  const std::string c = column;
  return " AND (" + c + " >= " + std::to_string(static_cast<int64_t>(std::floor(firstDay))) +
         ") AND (" + c + " < " + std::to_string(static_cast<int64_t>(std::floor(lastDay)) + 1) +
         ") ";
}

class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) {
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
      throw std::runtime_error(std::string("baseline query failed: ") + sqlite3_errmsg(db));
    }
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Steps to the end, reading every column of every row; returns the rows.
  int64_t ReadAll(double& checksum) {
    int64_t rows = 0;
    int rc;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
      ++rows;
      const int columns = sqlite3_column_count(stmt_);
      for (int i = 0; i < columns; ++i) {
        switch (sqlite3_column_type(stmt_, i)) {
          case SQLITE_INTEGER:
            checksum += static_cast<double>(sqlite3_column_int64(stmt_, i));
            break;
          case SQLITE_FLOAT:
            checksum += sqlite3_column_double(stmt_, i);
            break;
          case SQLITE_TEXT:
            checksum +=
                sqlite3_column_text(stmt_, i) != nullptr ? sqlite3_column_bytes(stmt_, i) : 0;
            break;
          case SQLITE_BLOB:
            checksum +=
                sqlite3_column_blob(stmt_, i) != nullptr ? sqlite3_column_bytes(stmt_, i) : 0;
            break;
          default:
            break;
        }
      }
    }
    if (rc != SQLITE_DONE) {
      throw std::runtime_error(std::string("baseline query failed: ") +
                               sqlite3_errmsg(sqlite3_db_handle(stmt_)));
    }
    return rows;
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace

std::string BaselineOrdersSql(double firstDay, double lastDay) {
  return "SELECT DISTINCT auftrag.*, besitzer.name AS b_name,besitzer.vorname AS b_vor, "
         "besitzer.kundennr AS b_kdnr, besitzer.land, ust_id FROM (auftrag LEFT JOIN besitzer ON "
         "auftrag.besitzerindex=besitzer.id) WHERE (auftrag.papierkorb = 0)" +
         PeriodCondition("termin", firstDay, lastDay).substr(1) + " ORDER BY besitzer.land,termin";
}

std::string BaselineCashBookSql(double firstDay, double lastDay) {
  return "SELECT DISTINCT kasse.*, besitzer.name AS k_name, besitzer.vorname, besitzer.kundennr, "
         "lieferant.name as l_name FROM (kasse LEFT JOIN besitzer ON (besitzer.id = "
         "kasse.besitzerindex)) LEFT JOIN lieferant ON (lieferant.id = kasse.lieferantindex) WHERE "
         "(kasse.papierkorb = 0)" +
         PeriodCondition("termin", firstDay, lastDay) +
         " ORDER BY kasse.neinaus, kasse.bezeichnung,termin";
}

std::string BaselineLineSumsSql(double firstDay, double lastDay) {
  return "SELECT auftragindex, SUM(anzahl*(preis*(mwst/100.0))) AS mwst_sum, SUM(anzahl*preis) AS "
         "betrag_sum FROM verbindauftrag WHERE auftragindex IN (SELECT id FROM auftrag WHERE "
         "(auftrag.papierkorb = 0)" +
         PeriodCondition("termin", firstDay, lastDay) + ") GROUP BY auftragindex";
}

BaselineResult RunBaseline(sqlite3* db, double firstDay, double lastDay) {
  BaselineResult r;
  r.orderRows = Statement(db, BaselineOrdersSql(firstDay, lastDay)).ReadAll(r.checksum);
  r.lineSumRows = Statement(db, BaselineLineSumsSql(firstDay, lastDay)).ReadAll(r.checksum);
  r.cashRows = Statement(db, BaselineCashBookSql(firstDay, lastDay)).ReadAll(r.checksum);
  return r;
}

TReadOnlyConnection::TReadOnlyConnection(const std::string& path) {
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    const std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw std::runtime_error("cannot open " + path + ": " + message);
  }
  // The same setting the program makes on its own connection: sorts for
  // DISTINCT and GROUP BY stay in memory.
  sqlite3_exec(db_, "PRAGMA temp_store = MEMORY;", nullptr, nullptr, nullptr);
}

TReadOnlyConnection::~TReadOnlyConnection() {
  sqlite3_close(db_);
}

}  // namespace vorlex::bench
