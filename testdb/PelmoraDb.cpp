#include "PelmoraDb.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#include "util/Platform.h"

namespace vorlex::testdb {

struct PelmoraDb::Statements {
  std::map<std::string, sqlite3_stmt*, std::less<>> bySql;
  ~Statements() {
    for (auto& entry : bySql) sqlite3_finalize(entry.second);
  }
};

namespace {

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
  throw std::runtime_error("test database: " + what + ": " +
                           (db != nullptr ? sqlite3_errmsg(db) : "no connection"));
}

void Bind(sqlite3* db, sqlite3_stmt* stmt, int index, const Value& value) {
  int rc = SQLITE_OK;
  if (const auto* i = std::get_if<int64_t>(&value.get())) {
    rc = sqlite3_bind_int64(stmt, index, *i);
  } else if (const auto* d = std::get_if<double>(&value.get())) {
    rc = sqlite3_bind_double(stmt, index, *d);
  } else if (const auto* s = std::get_if<std::string>(&value.get())) {
    // The raw bytes, zero bytes included, with no character-set conversion.
    rc = sqlite3_bind_text64(stmt, index, s->data(), s->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  } else {
    rc = sqlite3_bind_null(stmt, index);
  }
  if (rc != SQLITE_OK) Fail(db, "binding parameter " + std::to_string(index));
}

}  // namespace

PelmoraDb::PelmoraDb(const std::string& path, const Schema& schema)
    : path_(path), schema_(schema), statements_(std::make_unique<Statements>()) {
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
    std::error_code ignored;
    std::filesystem::remove(PathFromText(path + suffix), ignored);
  }
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    const std::string message =
        "cannot create " + path + ": " + (db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory");
    sqlite3_close(db_);
    db_ = nullptr;
    throw std::runtime_error("test database: " + message);
  }
  try {
    // Our own new file: no journal and no syncing while it is built.
    Exec(schema.wal ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=OFF");
    Exec("PRAGMA synchronous=OFF");
    const std::string& key = schema.keyType;
    const std::string& amount = schema.amountType;
    const std::string& date = schema.dateType;
    const std::string& text = schema.textType;
    const std::string ustId = "ust_id " + text + ", ";
    Exec("CREATE TABLE besitzer (id " + key + " PRIMARY KEY, name " + text + ", vorname " + text +
         ", kundennr " + text + ", land " + text + ", " + (schema.ustIdInBesitzer ? ustId : "") +
         "strasse " + text + ", plz " + text + ", ort " + text + ")");
    Exec("CREATE TABLE lieferant (id " + key + " PRIMARY KEY, name " + text + ", ort " + text +
         ")");
    Exec("CREATE TABLE auftrag (id " + key + " PRIMARY KEY, auftragsnr " + text +
         ", besitzerindex " + key + ", papierkorb " + key + ", bezahlt " + key + ", davonbezahlt " +
         amount + ", termin " + date + ", bezahltam " + date + ", bezeichnung " + text + ", mwst " +
         amount + ", skonto " + amount + ", auftragstyp " + key + ", rechbetrag " + amount + ", " +
         (schema.ustIdInBesitzer ? "" : ustId) + "bemerkung " + text + ", erstellt " + date + ")");
    Exec("CREATE TABLE verbindauftrag (id INTEGER PRIMARY KEY, auftragindex " + key +
         ", artikelnr " + text + ", anzahl " + amount + ", preis " + amount + ", mwst " + amount +
         ", einheit " + text + ")");
    if (schema.lineIndex) {
      Exec("CREATE INDEX verbindauftrag_auftragindex ON verbindauftrag (auftragindex)");
    }
    Exec("CREATE TABLE kasse (id INTEGER PRIMARY KEY, belegnr " + text + ", papierkorb " + key +
         ", besitzerindex " + key + ", lieferantindex " + key + ", neinaus " + key + ", termin " +
         date + ", bezeichnung " + text + ", betrag " + amount + ", mwst " + amount + ", konto " +
         key + ")");
    Exec("CREATE TABLE settingsmandant (id INTEGER PRIMARY KEY, firma " + text + ", ustidnummer " +
         text + ")");
  } catch (...) {
    Close();
    throw;
  }
}

PelmoraDb::~PelmoraDb() {
  try {
    Close();
  } catch (...) {
    // A destructor must not throw; Close() reports its errors when called directly.
  }
}

void PelmoraDb::Add(const Customer& c) {
  std::vector<std::pair<std::string, Value>> columns = {{"id", c.id},
                                                        {"name", c.name},
                                                        {"vorname", c.vorname},
                                                        {"kundennr", c.kundennr},
                                                        {"land", c.land}};
  if (schema_.ustIdInBesitzer) columns.emplace_back("ust_id", c.ust_id);
  Insert("besitzer", columns);
}

void PelmoraDb::Add(const Supplier& s) {
  Insert("lieferant", {{"id", s.id}, {"name", s.name}});
}

void PelmoraDb::Add(const Order& o) {
  std::vector<std::pair<std::string, Value>> columns = {{"id", o.id},
                                                        {"besitzerindex", o.besitzerindex},
                                                        {"papierkorb", o.papierkorb},
                                                        {"bezahlt", o.bezahlt},
                                                        {"davonbezahlt", o.davonbezahlt},
                                                        {"termin", o.termin},
                                                        {"bezahltam", o.bezahltam},
                                                        {"bezeichnung", o.bezeichnung},
                                                        {"mwst", o.mwst},
                                                        {"skonto", o.skonto},
                                                        {"auftragstyp", o.auftragstyp},
                                                        {"rechbetrag", o.rechbetrag}};
  if (!schema_.ustIdInBesitzer) columns.emplace_back("ust_id", o.ust_id);
  Insert("auftrag", columns);
}

void PelmoraDb::Add(const Line& l) {
  Insert("verbindauftrag", {{"auftragindex", l.auftragindex},
                            {"anzahl", l.anzahl},
                            {"preis", l.preis},
                            {"mwst", l.mwst}});
}

void PelmoraDb::Add(const CashEntry& e) {
  Insert("kasse", {{"papierkorb", e.papierkorb},
                   {"besitzerindex", e.besitzerindex},
                   {"lieferantindex", e.lieferantindex},
                   {"neinaus", e.neinaus},
                   {"termin", e.termin},
                   {"bezeichnung", e.bezeichnung},
                   {"betrag", e.betrag},
                   {"mwst", e.mwst}});
}

void PelmoraDb::SetVatId(const Value& ustidnummer) {
  Exec("DELETE FROM settingsmandant");
  Insert("settingsmandant", {{"firma", "Vorlex Testhandel"}, {"ustidnummer", ustidnummer}});
}

void PelmoraDb::Insert(const std::string& table,
                       const std::vector<std::pair<std::string, Value>>& columns) {
  if (db_ == nullptr) throw std::runtime_error("test database: " + path_ + " is closed");
  std::string sql = "INSERT INTO " + table + " (";
  std::string marks;
  for (size_t i = 0; i < columns.size(); ++i) {
    sql += (i > 0 ? ", " : "") + columns[i].first;
    marks += i > 0 ? ", ?" : "?";
  }
  sql += ") VALUES (" + marks + ")";
  auto found = statements_->bySql.find(sql);
  if (found == statements_->bySql.end()) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
      sqlite3_finalize(stmt);
      Fail(db_, sql);
    }
    found = statements_->bySql.emplace(sql, stmt).first;
  }
  sqlite3_stmt* stmt = found->second;
  for (size_t i = 0; i < columns.size(); ++i) {
    Bind(db_, stmt, static_cast<int>(i + 1), columns[i].second);
  }
  const int rc = sqlite3_step(stmt);
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  if (rc != SQLITE_DONE) Fail(db_, sql);
}

void PelmoraDb::Exec(const std::string& sql) {
  if (db_ == nullptr) throw std::runtime_error("test database: " + path_ + " is closed");
  char* error = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error != nullptr ? error : sqlite3_errmsg(db_);
    sqlite3_free(error);
    throw std::runtime_error("test database: " + sql + ": " + message);
  }
}

void PelmoraDb::Begin() {
  Exec("BEGIN");
}

void PelmoraDb::Commit() {
  Exec("COMMIT");
}

void PelmoraDb::Close() {
  if (db_ == nullptr) return;
  statements_->bySql.clear();  // finalised below
  for (sqlite3_stmt* stmt = sqlite3_next_stmt(db_, nullptr); stmt != nullptr;
       stmt = sqlite3_next_stmt(db_, nullptr)) {
    sqlite3_finalize(stmt);
  }
  const bool inTransaction = sqlite3_get_autocommit(db_) == 0;
  std::string error;
  if (inTransaction && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    error = sqlite3_errmsg(db_);
  }
  sqlite3_close(db_);
  db_ = nullptr;
  if (!error.empty()) throw std::runtime_error("test database: COMMIT: " + error);
}

void WriteSettingsFile(const std::string& path, const std::string& dbPfad,
                       const std::string& dbName) {
  std::filesystem::path file = PathFromText(path);
  std::error_code ignored;
  if (std::filesystem::is_directory(file, ignored)) file /= "pelmora.ini";
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << "[Allgemein]\r\n"
      << "db_pfad=" << dbPfad << "\r\n"
      << "db_name=" << dbName << "\r\n";
  out.close();
  if (!out) throw std::runtime_error("test settings file: cannot write " + path);
}

}  // namespace vorlex::testdb
