// Builds databases of the invoicing product's shape for tests, the demo and the
// benchmarks. Rows are inserted with bound parameters; texts are raw bytes, so
// Windows-1252 data can be made as well as UTF-8.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

struct sqlite3;

namespace vorlex::testdb {

struct Null {};

// One cell: NULL, an integer, a float, or text bytes.
class Value {
 public:
  Value() : v_(Null{}) {}
  Value(std::nullptr_t) : v_(Null{}) {}
  Value(int i) : v_(static_cast<int64_t>(i)) {}
  Value(int64_t i) : v_(i) {}
  Value(double d) : v_(d) {}
  Value(const char* s) : v_(std::string(s)) {}
  Value(std::string s) : v_(std::move(s)) {}
  const std::variant<Null, int64_t, double, std::string>& get() const { return v_; }
  bool IsNull() const { return std::holds_alternative<Null>(v_); }

 private:
  std::variant<Null, int64_t, double, std::string> v_;
};

// Declared types of the columns; tests choose them to steer the access layer's
// column kinds. Amounts and day numbers need a float word to travel as numbers.
struct Schema {
  std::string keyType = "INTEGER";    // ids, indexes, flags, auftragstyp, neinaus
  std::string amountType = "DOUBLE";  // amounts and rates
  std::string dateType = "DOUBLE";    // day numbers
  std::string textType = "VARCHAR(255)";
  bool ustIdInBesitzer = true;  // false: ust_id is a column of auftrag instead
  bool lineIndex = true;        // index on verbindauftrag.auftragindex
  bool wal = false;             // journal_mode=WAL
};

struct Customer {
  int64_t id = 0;
  Value name = "";
  Value vorname = "";
  Value kundennr = "";
  Value land = "D";
  Value ust_id = "";
};

struct Supplier {
  int64_t id = 0;
  Value name = "";
};

struct Order {
  int64_t id = 0;
  Value besitzerindex = 0;
  Value papierkorb = 0;
  Value bezahlt = -1;
  Value davonbezahlt = 0.0;
  Value termin = 0.0;     // invoice date, day number
  Value bezahltam = 0.0;  // payment date, day number
  Value bezeichnung = "";
  Value mwst = 19.0;
  Value skonto = 0.0;
  Value auftragstyp = 0;
  Value rechbetrag = 0.0;
  Value ust_id = "";  // only when Schema::ustIdInBesitzer is false
};

struct Line {
  Value auftragindex = 0;
  Value anzahl = 1.0;
  Value preis = 0.0;
  Value mwst = 19.0;
};

struct CashEntry {
  Value papierkorb = 0;
  Value besitzerindex = nullptr;
  Value lieferantindex = nullptr;
  Value neinaus = 0;
  Value termin = 0.0;
  Value bezeichnung = "";
  Value betrag = 0.0;
  Value mwst = 19.0;
};

// Each table's key column `id` is declared "id <keyType> PRIMARY KEY" (auftrag,
// besitzer, lieferant), so ids are unique and joins find them by index; with
// keyType "INTEGER" the id is SQLite's row id and holds integers only, with any
// other type (say "INT") it may hold any value. Lines, cash-book entries and the
// settings row number themselves.
class PelmoraDb {
 public:
  // Creates (replacing) the file at path with the six tables and a few columns
  // the program does not read. While the builder is open the file is written
  // without a journal and without syncing; wrap large inserts in Begin/Commit.
  explicit PelmoraDb(const std::string& path, const Schema& schema = {});
  ~PelmoraDb();
  PelmoraDb(const PelmoraDb&) = delete;
  PelmoraDb& operator=(const PelmoraDb&) = delete;

  void Add(const Customer& c);
  void Add(const Supplier& s);
  void Add(const Order& o);
  void Add(const Line& l);
  void Add(const CashEntry& e);
  void SetVatId(const Value& ustidnummer);  // one row of settingsmandant

  // Any row of any table, by column name.
  void Insert(const std::string& table, const std::vector<std::pair<std::string, Value>>& columns);
  void Exec(const std::string& sql);
  void Begin();
  void Commit();
  // Closes the connection (committing an open Begin); the file stays.
  void Close();
  bool IsOpen() const { return db_ != nullptr; }

  const std::string& Path() const { return path_; }
  const Schema& GetSchema() const { return schema_; }

 private:
  std::string path_;
  Schema schema_;
  sqlite3* db_ = nullptr;
  struct Statements;  // prepared inserts, re-used
  std::unique_ptr<Statements> statements_;
};

// Writes a settings file with section "Allgemein" and the keys "db_pfad" and
// "db_name" (CR LF line ends). path is the file, or an existing folder to
// write "pelmora.ini" into; missing parent folders are created.
void WriteSettingsFile(const std::string& path, const std::string& dbPfad,
                       const std::string& dbName);

}  // namespace vorlex::testdb
