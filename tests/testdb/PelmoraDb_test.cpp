#include "testdb/PelmoraDb.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>

#include "db/uDB.h"
#include "tests/ScratchFolder.h"
#include "tests/util/FormatTest.h"

namespace vorlex {
namespace {

using namespace testdb;

class PelmoraDbTest : public ::testing::Test {
 protected:
  // Column name -> declared type of a table, read through the program's own layer.
  static std::map<std::string, std::string> Columns(TDBase& db, const std::string& table) {
    std::map<std::string, std::string> columns;
    auto info = db.Query("PRAGMA table_info(" + table + ")");
    for (; !info->AtEnd(); info->MoveNext()) {
      columns[info->FieldText("name")] = info->FieldText("type");
    }
    return columns;
  }

  vorlex::testing::ScratchFolder folder_;
};

TEST_F(PelmoraDbTest, TablesAndDeclaredTypesFollowTheSchema) {
  Schema schema;
  schema.keyType = "INT";
  schema.amountType = "REAL";
  schema.dateType = "FLOAT";
  schema.textType = "TEXT";
  const std::string path = folder_.File("p.db");
  { PelmoraDb db(path, schema); }
  TDBase db(path, kGerman);
  // One column of each kind of value; every other column follows the same choice.
  struct Row {
    const char *table, *column, *type;
  };
  const Row rows[] = {
      {"auftrag", "id", "INT"},       {"kasse", "neinaus", "INT"},
      {"auftrag", "termin", "FLOAT"}, {"verbindauftrag", "preis", "REAL"},
      {"besitzer", "land", "TEXT"},   {"settingsmandant", "ustidnummer", "TEXT"},
  };
  std::map<std::string, std::map<std::string, std::string>> tables;
  for (const Row& r : rows) {
    if (!tables.count(r.table)) tables[r.table] = Columns(db, r.table);
    EXPECT_EQ(tables[r.table][r.column], r.type) << r.table << "." << r.column;
  }
  EXPECT_EQ(tables["besitzer"].count("ust_id"), 1u);
  // ust_id belongs to exactly one of the two joined tables.
  EXPECT_EQ(tables["auftrag"].count("ust_id"), 0u);
  // A few columns the program does not read.
  EXPECT_GT(tables["auftrag"].size(), 12u);
  EXPECT_GT(tables["besitzer"].size(), 6u);
  EXPECT_TRUE(db.Query("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = "
                       "'verbindauftrag' AND sql IS NOT NULL")
                  ->RowCount() == 1);
}

TEST_F(PelmoraDbTest, SchemaChoices) {
  Schema schema;
  schema.ustIdInBesitzer = false;
  schema.lineIndex = false;
  const std::string path = folder_.File("p.db");
  {
    PelmoraDb db(path, schema);
    db.Add(Customer{.id = 1, .ust_id = "ignored"});
    db.Add(Order{.id = 1, .besitzerindex = 1, .ust_id = "DE123"});
  }
  TDBase db(path, kGerman);
  EXPECT_EQ(Columns(db, "besitzer").count("ust_id"), 0u);
  EXPECT_EQ(db.Query("SELECT ust_id FROM auftrag")->FieldText("ust_id"), "DE123");
  EXPECT_TRUE(db.Query("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = "
                       "'verbindauftrag' AND sql IS NOT NULL")
                  ->AtEnd());
}

TEST_F(PelmoraDbTest, RowsRoundTripThroughTheProgramsQueries) {
  const std::string path = folder_.File("p.db");
  {
    PelmoraDb db(path);
    db.Add(Customer{.id = 3, .name = "M\xFCller", .land = "A", .ust_id = "ATU1"});
    db.Add(Supplier{.id = 4, .name = "Gro\xC3\x9Fhandel"});  // UTF-8 bytes
    db.Add(Order{.id = 10,
                 .besitzerindex = 3,
                 .bezahlt = 0,
                 .davonbezahlt = nullptr,
                 .termin = 45292.5,
                 .bezeichnung = std::string("a\0b", 3),
                 .mwst = 7.0,
                 .auftragstyp = -99,
                 .rechbetrag = 107.0});
    db.Add(Line{.auftragindex = 10, .anzahl = 2.0, .preis = 50.0, .mwst = 7.0});
    db.Add(CashEntry{.lieferantindex = 4, .neinaus = 1, .termin = 45300.0, .betrag = 10.0});
    db.SetVatId("DE999");
    db.SetVatId("DE111");  // one row only
  }
  TDBase db(path, kGerman);
  auto order = db.Query(
      "SELECT DISTINCT auftrag.*, besitzer.name AS b_name,besitzer.vorname AS b_vor, "
      "besitzer.kundennr AS b_kdnr, besitzer.land, ust_id FROM (auftrag LEFT JOIN besitzer ON "
      "auftrag.besitzerindex=besitzer.id) WHERE (auftrag.papierkorb = 0)");
  ASSERT_EQ(order->RowCount(), 1);
  EXPECT_EQ(order->FieldValue("b_name").Text(),
            "M\xFC"
            "ller");
  EXPECT_EQ(order->FieldValue("land").Text(), "A");
  EXPECT_EQ(order->FieldValue("ust_id").Text(), "ATU1");
  EXPECT_EQ(order->FieldValue("termin").Text(), "45292,5");
  EXPECT_EQ(order->FieldValue("bezeichnung").Text(), "a");  // text ends at the zero byte
  EXPECT_EQ(order->FieldValue("auftragstyp").ToInt(), -99);
  EXPECT_EQ(order->FieldValue("rechbetrag").ToFloat(), 107.0);
  EXPECT_EQ(order->FieldValue("davonbezahlt").Text(), "0");  // NULL in a float column
  EXPECT_EQ(order->FieldText("davonbezahlt"), "");

  auto cash = db.Query(
      "SELECT DISTINCT kasse.*, besitzer.name AS k_name, lieferant.name as l_name FROM (kasse "
      "LEFT JOIN besitzer ON (besitzer.id = kasse.besitzerindex)) LEFT JOIN lieferant ON "
      "(lieferant.id = kasse.lieferantindex) WHERE (kasse.papierkorb = 0)");
  EXPECT_EQ(cash->FieldValue("l_name").Text(),
            "Gro\xC3\x9F"
            "handel");
  EXPECT_EQ(cash->FieldValue("k_name").Text(), "");
  EXPECT_EQ(cash->FieldValue("neinaus").Text(), "1");

  auto vat = db.Query("SELECT ustidnummer FROM settingsmandant");
  EXPECT_EQ(vat->RowCount(), 1);
  EXPECT_EQ(vat->FieldValue("ustidnummer").Text(), "DE111");
}

TEST_F(PelmoraDbTest, ReplacesAnExistingFileAndItsSideFiles) {
  const std::string path = folder_.File("p.db");
  for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
    std::ofstream(path + suffix) << "old";
  }
  {
    PelmoraDb db(path);
    db.Add(Order{.id = 1});
  }
  EXPECT_EQ(folder_.Names(), (std::set<std::string>{"p.db"}));
  TDBase db(path, kGerman);
  EXPECT_EQ(db.Query("SELECT COUNT(*) AS n FROM auftrag")->FieldValue("n").Text(), "1");
}

TEST_F(PelmoraDbTest, ErrorsAreReported) {
  PelmoraDb db(folder_.File("p.db"));
  EXPECT_THROW(db.Insert("auftrag", {{"no_such_column", 1}}), std::runtime_error);
  db.Add(Order{.id = 1});
  EXPECT_THROW(db.Add(Order{.id = 1}), std::runtime_error);  // ids are unique
  EXPECT_THROW(db.Exec("SELECT * FROM nosuch"), std::runtime_error);
  db.Close();
  EXPECT_FALSE(db.IsOpen());
  EXPECT_THROW(db.Add(Order{.id = 2}), std::runtime_error);
  EXPECT_THROW(PelmoraDb(folder_.File("no/folder/p.db")), std::runtime_error);
}

TEST_F(PelmoraDbTest, CloseCommitsAnOpenBatch) {
  const std::string path = folder_.File("p.db");
  {
    PelmoraDb db(path);
    db.Begin();
    for (int i = 1; i <= 3; ++i) db.Add(Order{.id = i});
  }
  TDBase db(path, kGerman);
  EXPECT_EQ(db.Query("SELECT COUNT(*) AS n FROM auftrag")->FieldValue("n").Text(), "3");
}

TEST_F(PelmoraDbTest, LargeBatchesAreQuick) {
  const std::string path = folder_.File("p.db");
  const auto start = std::chrono::steady_clock::now();
  {
    PelmoraDb db(path);
    db.Begin();
    for (int i = 1; i <= 20000; ++i) {
      db.Add(Order{.id = i, .termin = 45292.0 + i % 365});
      for (int j = 0; j < 5; ++j) db.Add(Line{.auftragindex = i, .anzahl = 1.5, .preis = 2.25});
    }
    db.Commit();
  }
  // 120,000 rows; generous bound so that a sanitizer build passes too.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  TDBase db(path, kGerman);
  auto sums = db.Query("SELECT COUNT(*) AS n, SUM(anzahl*preis) AS s FROM verbindauftrag");
  EXPECT_EQ(sums->FieldValue("n").Text(), "100000");
  EXPECT_EQ(sums->FieldValue("s").ToFloat(), 337500.0);
}

TEST_F(PelmoraDbTest, SettingsFile) {
  const std::string expected = "[Allgemein]\r\ndb_pfad=C:\\Daten\\\r\ndb_name=pelmora.db\r\n";
  const std::string file = folder_.File("sub/Pelmora/pelmora.ini");
  WriteSettingsFile(file, "C:\\Daten\\", "pelmora.db");
  EXPECT_EQ(testing::ReadBytes(file), expected);
  // A folder gets the file of the usual name.
  WriteSettingsFile(folder_.File("sub"), "C:\\Daten\\", "pelmora.db");
  EXPECT_EQ(testing::ReadBytes(folder_.File("sub/pelmora.ini")), expected);
}

}  // namespace
}  // namespace vorlex
