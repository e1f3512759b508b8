#include "db/SQLiteAccess.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "TestFolder.h"
#include "testdb/PelmoraDb.h"
#include "testdb/SplitMix64.h"
#include "util/uFormat.h"

namespace vorlex {
namespace {

using testdb::PelmoraDb;
using testdb::Value;

std::string CellTextByName(const TSQLiteTable& table, std::string_view name) {
  return table.CellText(table.ColumnIndex(name));
}

class SQLiteAccessTest : public ::testing::Test {
 protected:
  void SetUp() override { Format() = FormatSettings{}; }
  void TearDown() override { Format() = FormatSettings{}; }

  // A database holding one table t with the given column definitions and rows.
  std::string MakeTable(const std::string& columns,
                        const std::vector<std::vector<std::pair<std::string, Value>>>& rows) {
    const std::string path = folder_.File("t.db");
    PelmoraDb db(path);
    db.Exec("CREATE TABLE t (" + columns + ")");
    for (const auto& row : rows) db.Insert("t", row);
    return path;
  }

  // The message of the ESQLiteException that f raises.
  template <typename F>
  static std::string MessageOf(F f) {
    try {
      f();
    } catch (const ESQLiteException& e) {
      return e.what();
    }
    return "(nothing raised)";
  }
  // Its result code; -1 when nothing is raised.
  template <typename F>
  static int CodeOf(F f) {
    try {
      f();
    } catch (const ESQLiteException& e) {
      return e.Code();
    }
    return -1;
  }

  testing::TestFolder folder_;
};

TEST_F(SQLiteAccessTest, KindsFromDeclaredTypesAndTheirText) {
  struct Row {
    const char* declared;
    Value stored;
    ColumnKind kind;
    const char* text;  // under the German format settings
  };
  const Row rows[] = {
      {"INTEGER", 5, ColumnKind::Integer, "5"},
      {"BOOLEAN", 1, ColumnKind::Integer, "1"},
      {"NUMERIC", 12.5, ColumnKind::Float, "12,5"},
      {"FLOAT", 3.0, ColumnKind::Float, "3"},
      {"DOUBLE", 1.0 / 3.0, ColumnKind::Float, "0,333333333333333"},
      {"REAL", 1234.5, ColumnKind::Float, "1234,5"},
      {"BLOB", "xyz", ColumnKind::Blob, "xyz"},
      // Only the exact upper-case words count; everything else is text.
      {"Double", 2.5, ColumnKind::Text, "2.5"},
      {"numeric", 2.5, ColumnKind::Text, "2.5"},
      {"boolean", 1, ColumnKind::Text, "1"},
      {"float", 2.5, ColumnKind::Text, "2.5"},
      // The library itself reports its standard type names (INT, INTEGER, REAL,
      // TEXT, BLOB) in upper case, however they were declared.
      {"integer", 5, ColumnKind::Integer, "5"},
      {"real", 2.5, ColumnKind::Float, "2,5"},
      {"INT", 5, ColumnKind::Text, "5"},
      {"VARCHAR(20)", "abc", ColumnKind::Text, "abc"},
      {"DOUBLE PRECISION", 12.5, ColumnKind::Text, "12.5"},
      {"DECIMAL(10,2)", 12.5, ColumnKind::Text, "12.5"},
      {"TEXT", "M\xE4rz", ColumnKind::Text, "M\xE4rz"},
      // The column's kind decides which accessor the library converts through.
      {"INTEGER", 2.7, ColumnKind::Integer, "2"},
      {"DOUBLE", 7, ColumnKind::Float, "7"},
      {"DOUBLE", " 7.5 ", ColumnKind::Float, "7,5"},
      // Text the library cannot read wholly as a number is read as that text,
      // so that the reader's conversion takes it or names it, rather than as
      // the 0 or the leading digits the library would make of it; blank text
      // stays 0.
      {"INTEGER", "abc", ColumnKind::Integer, "abc"},
      {"DOUBLE", "12,5", ColumnKind::Float, "12,5"},
      {"DOUBLE", "", ColumnKind::Float, "0"},
      {"BOOLEAN", "ja", ColumnKind::Integer, "ja"},
      {"TEXT", 7, ColumnKind::Text, "7"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.declared);
    std::filesystem::remove(folder_.File("t.db"));
    const std::string path = MakeTable(std::string("v ") + r.declared, {{{"v", r.stored}}});
    TSQLiteDatabase db(path);
    auto table = db.OpenTable("SELECT v FROM t");
    ASSERT_EQ(table->RowCount(), 1);
    EXPECT_EQ(table->Kind(0), r.kind);
    EXPECT_EQ(table->CellText(0), r.text);
    EXPECT_EQ(table->CellTextOrEmpty(0), r.text);
  }
}

TEST_F(SQLiteAccessTest, DecimalTextKeepsThePointWhateverTheLocale) {
  const std::string path = MakeTable("v DECIMAL(10,2), w DOUBLE", {{{"v", 12.5}, {"w", 12.5}}});
  TSQLiteDatabase db(path);
  for (char separator : {',', '.'}) {
    Format().DecimalSeparator = separator;
    auto table = db.OpenTable("SELECT v, w FROM t");
    EXPECT_EQ(table->CellText(0), "12.5");
    EXPECT_EQ(table->CellText(1), std::string("12") + separator + "5");
  }
}

TEST_F(SQLiteAccessTest, ExpressionKindsComeFromTheFirstRow) {
  const std::string path =
      MakeTable("n INTEGER, v DOUBLE, u",
                {{{"n", 1}, {"v", 2.5}, {"u", 4}}, {{"n", 2}, {"v", 3.5}, {"u", "x"}}});
  TSQLiteDatabase db(path);
  {
    auto table = db.OpenTable(
        "SELECT 1, 2.5, 'x', x'00ff', NULL, (SELECT SUM(v) FROM t WHERE n > 9), u FROM t "
        "ORDER BY n");
    const ColumnKind expected[] = {ColumnKind::Integer, ColumnKind::Float, ColumnKind::Text,
                                   ColumnKind::Blob,    ColumnKind::Null,  ColumnKind::Null,
                                   ColumnKind::Integer};
    ASSERT_EQ(table->ColumnCount(), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(table->Kind(i), expected[i]) << i;
    EXPECT_EQ(table->CellText(0), "1");
    EXPECT_EQ(table->CellText(1), "2,5");
    EXPECT_EQ(table->CellText(3), std::string("\0\xFF", 2));
    EXPECT_EQ(table->CellText(4), "");
    EXPECT_EQ(table->CellText(6), "4");
    table->MoveNext();
    // The second row's text "x" is no number for the integer kind of the
    // column; it reads as itself.
    EXPECT_EQ(table->CellText(6), "x");
  }
  {
    // A sum over no rows: one row, null kind, empty text either way.
    auto table = db.OpenTable("SELECT SUM(v) AS s FROM t WHERE n > 9");
    ASSERT_EQ(table->RowCount(), 1);
    EXPECT_EQ(table->Kind(0), ColumnKind::Null);
    EXPECT_EQ(table->CellText(0), "");
    EXPECT_EQ(table->CellTextOrEmpty(0), "");
  }
  {
    // NULL in the first row makes the null kind; later values read as empty text.
    auto table = db.OpenTable("SELECT CASE WHEN n = 1 THEN NULL ELSE 7 END FROM t ORDER BY n");
    EXPECT_EQ(table->Kind(0), ColumnKind::Null);
    table->MoveNext();
    EXPECT_EQ(table->CellText(0), "");
    EXPECT_EQ(table->CellTextOrEmpty(0), "");
    EXPECT_TRUE(table->MoveNext());
  }
  {
    // An integer first row fixes the integer kind: 2.5 later reads as 2.
    auto table = db.OpenTable("SELECT CASE WHEN n = 1 THEN 1 ELSE 2.5 END FROM t ORDER BY n");
    EXPECT_EQ(table->Kind(0), ColumnKind::Integer);
    table->MoveNext();
    EXPECT_EQ(table->CellText(0), "2");
  }
}

TEST_F(SQLiteAccessTest, NullCellsOfEveryKind) {
  const std::string path =
      MakeTable("i INTEGER, f DOUBLE, t TEXT, b BLOB, e BLOB",
                {{{"i", nullptr}, {"f", nullptr}, {"t", nullptr}, {"b", nullptr}, {"e", ""}}});
  // An empty blob is held like NULL.
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(writer, "UPDATE t SET e = zeroblob(0)", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(writer);

  TSQLiteDatabase db(path);
  auto table = db.OpenTable("SELECT i, f, t, b, e, NULL AS n FROM t");
  struct Row {
    const char* name;
    ColumnKind kind;
    const char* text;
  };
  const Row rows[] = {{"i", ColumnKind::Integer, "0"}, {"f", ColumnKind::Float, "0"},
                      {"t", ColumnKind::Text, ""},     {"b", ColumnKind::Blob, ""},
                      {"e", ColumnKind::Blob, ""},     {"n", ColumnKind::Null, ""}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const int index = table->ColumnIndex(r.name);
    EXPECT_EQ(table->Kind(index), r.kind);
    EXPECT_TRUE(table->CellIsNull(index));
    EXPECT_EQ(table->CellText(index), r.text);
    EXPECT_EQ(table->CellTextOrEmpty(index), "");
    EXPECT_EQ(table->CellInteger(index), 0);
    EXPECT_EQ(table->CellFloat(index), 0.0);
    EXPECT_EQ(table->CellBlob(index), nullptr);
    EXPECT_EQ(table->CellBlobText(index), "");
  }
}

TEST_F(SQLiteAccessTest, CellReadersByKind) {
  const std::string path = MakeTable(
      "i INTEGER, f DOUBLE, t TEXT, b BLOB",
      {{{"i", int64_t{4294967301}}, {"f", -2.75}, {"t", "abc"}, {"b", std::string("a\0b", 3)}}});
  TSQLiteDatabase db(path);
  auto table = db.OpenTable("SELECT i, f, t, b, 'x' || NULL AS n, t AS n2 FROM t");
  EXPECT_EQ(table->CellInteger(0), 4294967301);
  EXPECT_EQ(table->CellFloat(0), 4294967301.0);
  EXPECT_EQ(table->CellFloat(1), -2.75);
  EXPECT_EQ(table->CellInteger(1), -2);
  ASSERT_NE(table->CellBlob(3), nullptr);
  EXPECT_EQ(*table->CellBlob(3), std::string("a\0b", 3));  // blobs keep zero bytes
  EXPECT_EQ(table->CellBlobText(3), std::string("a\0b", 3));
  EXPECT_EQ(CellTextByName(*table, "T"), "abc");

  const std::string notNumeric = "Not an integer or numeric field";
  EXPECT_EQ(MessageOf([&] { table->CellInteger(2); }), notNumeric);
  EXPECT_EQ(MessageOf([&] { table->CellFloat(2); }), notNumeric);
  EXPECT_EQ(MessageOf([&] { table->CellInteger(3); }), notNumeric);
  EXPECT_EQ(MessageOf([&] { table->CellFloat(3); }), notNumeric);
  EXPECT_EQ(MessageOf([&] { table->CellBlob(0); }), "Not a Blob field");
  EXPECT_EQ(MessageOf([&] { table->CellBlob(1); }), "Not a Blob field");
  EXPECT_EQ(MessageOf([&] { table->CellBlob(2); }), "Not a Blob field");
}

TEST_F(SQLiteAccessTest, TextThatIsNoNumberInANumericColumnReadsAsItsConversion) {
  const std::string path =
      MakeTable("f DOUBLE, i INTEGER", {{{"f", "12,5"}, {"i", "7"}}, {{"f", "zehn"}, {"i", "ja"}}});
  TSQLiteDatabase db(path);
  auto table = db.OpenTable("SELECT f, i FROM t ORDER BY rowid");
  // "7" became a number when it was stored; "12,5" is read in the user's format.
  EXPECT_EQ(table->CellFloat(0), 12.5);
  EXPECT_EQ(table->CellInteger(1), 7);
  table->MoveNext();
  const auto conversionError = [](const std::function<void()>& read) {
    try {
      read();
    } catch (const EConvertError& e) {
      return std::string(e.what());
    }
    return std::string("<no conversion error>");
  };
  EXPECT_EQ(conversionError([&] { table->CellFloat(0); }),
            std::string(kConvertErrorText) + ": \"zehn\"");
  EXPECT_EQ(conversionError([&] { table->CellInteger(1); }),
            std::string(kConvertErrorText) + ": \"ja\"");
}

// Whether text in a numeric column is a number is decided by our own reading;
// it must agree with the library's, which stores such text as a number.
TEST_F(SQLiteAccessTest, NumberTextAsTheLibraryStoresIt) {
  const char* const texts[] = {
      "0",     "-7",    "+7",     " 12 ",   "\t3.5\n", "1e3",   "1E-3",  ".5",      "5.",
      "-.5e+2", "00012", "1e",     "e5",     ".",       "-",     "+",     "3 Stk",   "12,50",
      "1.2.3", "0x10",  "1 2",    "Inf",    "NaN",     "--1",   "1e+",   "12345678901234567890",
      "1.5e400", "",    "   ",    "\xC2\xA0" "12"};
  std::vector<std::vector<std::pair<std::string, Value>>> rows;
  for (const char* text : texts) rows.push_back({{"v", Value(std::string(text))}});
  TSQLiteDatabase db(MakeTable("v NUMERIC", rows));
  TSQLiteStatement stored(db, "SELECT typeof(v) FROM t ORDER BY rowid");
  for (const char* text : texts) {
    ASSERT_TRUE(stored.Step());
    EXPECT_EQ(IsNumberText(text), stored.ColumnText(0) != "text")
        << "\"" << text << "\" stored as " << stored.ColumnText(0);
  }
}

// A REAL in a column of the text kind reads as the library's text of it up to
// version 3.42 (later versions write up to 17 digits), on every version.
TEST_F(SQLiteAccessTest, RealsInTextColumnsReadWithFifteenDigits) {
  struct Row {
    double value;
    const char* text;
  };
  const Row rows[] = {
      {45839.9999999999927, "45840.0"},  // a trace before midnight: the next day
      {3643.125, "3643.125"},
      {0.1 + 0.2, "0.3"},
      {-2.5, "-2.5"},
      {-0.0, "0.0"},
      {1e20, "1.0e+20"},
      {1.5e-7, "1.5e-07"},
      {1e-4, "0.0001"},
      {1e-5, "1.0e-05"},
      {1e14, "100000000000000.0"},
      {1e15, "1.0e+15"},
      {123456789012345678.0, "1.23456789012346e+17"},
      {1e100, "1.0e+100"},
      {4.9e-324, "4.94065645841247e-324"},
      {309877512856908.5, "309877512856908.0"},  // a tie, as that library rounded it
      {HUGE_VAL, "Inf"},
      {-HUGE_VAL, "-Inf"},
  };
  std::vector<std::vector<std::pair<std::string, Value>>> stored;
  for (const Row& r : rows) stored.push_back({{"d", r.value}, {"s", r.value}});
  // Declared types of the text kind that keep a whole REAL a REAL.
  TSQLiteDatabase db(MakeTable("d DOUBLE PRECISION, s FLOAT8", stored));
  auto table = db.OpenTable("SELECT d, s FROM t ORDER BY rowid");
  for (const Row& r : rows) {
    ASSERT_FALSE(table->AtEnd());
    EXPECT_EQ(RealText(r.value), r.text);
    EXPECT_EQ(table->CellText(0), r.text);
    std::string scratch;
    EXPECT_EQ(table->CellTextView(1, scratch), r.text);
    table->MoveNext();
  }
  // Where the library is of that age, its own text for any value.
  if (sqlite3_libversion_number() >= 3043000) return;
  testdb::SplitMix64 random(26);
  for (int i = 0; i < 100000; ++i) {
    const uint64_t bits = random.Next();
    double any = 0;
    std::memcpy(&any, &bits, sizeof any);
    // Any bits, amounts and days with a fraction, and halves at the 16th digit.
    const int64_t whole = static_cast<int64_t>(bits >> 14);
    for (const double value : {any, static_cast<double>(whole % 1000000000000) / 1000.0,
                               static_cast<double>(whole % 1000000000000000) + 0.5}) {
      if (std::isnan(value)) continue;
      char* text = sqlite3_mprintf("%!.15g", value);
      EXPECT_EQ(RealText(value), text) << bits;
      sqlite3_free(text);
    }
  }
}

TEST_F(SQLiteAccessTest, IntegersAreHeldWithAllSixtyFourBits) {
  const int64_t values[] = {2147483647,  2147483648,          4294967301, -2147483649,
                            -4294967296, 9223372036854775807, INT64_MIN};
  std::vector<std::vector<std::pair<std::string, Value>>> rows;
  for (int64_t v : values) rows.push_back({{"v", v}});
  TSQLiteDatabase db(MakeTable("v INTEGER", rows));
  auto table = db.OpenTable("SELECT v FROM t ORDER BY rowid");
  for (int64_t v : values) {
    ASSERT_FALSE(table->AtEnd());
    EXPECT_EQ(table->CellInteger(0), v);
    EXPECT_EQ(table->CellText(0), std::to_string(v));
    table->MoveNext();
  }
  EXPECT_TRUE(table->AtEnd());
}

TEST_F(SQLiteAccessTest, ColumnLookup) {
  const std::string path =
      MakeTable("Betrag DOUBLE, name TEXT", {{{"Betrag", 1.5}, {"name", "a"}}});
  TSQLiteDatabase db(path);
  auto table = db.OpenTable("SELECT t.*, 'b' AS name, 'c' AS NAME FROM t");
  for (const char* name : {"betrag", "BETRAG", "Betrag", "bEtRaG"}) {
    EXPECT_EQ(table->ColumnIndex(name), 0) << name;
  }
  EXPECT_EQ(table->ColumnName(0), "BETRAG");
  // Two columns of the same name: the first is found.
  EXPECT_EQ(table->ColumnIndex("Name"), 1);
  EXPECT_EQ(CellTextByName(*table, "name"), "a");
  // The message carries the name as the caller wrote it.
  EXPECT_EQ(MessageOf([&] { table->ColumnIndex("Mwst"); }), "Field not found in dataset: Mwst");

  auto empty = db.OpenTable("SELECT * FROM t WHERE 0");
  EXPECT_EQ(empty->ColumnCount(), 0);
  EXPECT_EQ(MessageOf([&] { empty->ColumnIndex("Betrag"); }),
            "Field Betrag Not found. Empty dataset");
}

TEST_F(SQLiteAccessTest, CursorOnZeroOneAndFiveRows) {
  for (int n : {0, 1, 5}) {
    SCOPED_TRACE(n);
    std::vector<std::vector<std::pair<std::string, Value>>> rows;
    for (int i = 0; i < n; ++i) rows.push_back({{"v", i}});
    std::filesystem::remove(folder_.File("t.db"));
    TSQLiteDatabase db(MakeTable("v INTEGER", rows));
    auto table = db.OpenTable("SELECT v FROM t ORDER BY v");
    EXPECT_EQ(table->RowCount(), n);
    for (int i = 0; i < n; ++i) {
      ASSERT_FALSE(table->AtEnd());
      EXPECT_EQ(table->CellInteger(0), i);
      EXPECT_TRUE(table->MoveNext());  // also when this step passes the last row
      EXPECT_EQ(table->RowCount(), n);
    }
    EXPECT_TRUE(table->AtEnd());
    EXPECT_FALSE(table->MoveNext());
    EXPECT_TRUE(table->AtEnd());
    if (n > 0) {
      // Every cell reader refuses to read past the end.
      const std::string atEnd = "Table is at End of File";
      EXPECT_EQ(MessageOf([&] { table->CellText(0); }), atEnd);
      EXPECT_EQ(MessageOf([&] { table->CellTextOrEmpty(0); }), atEnd);
      EXPECT_EQ(MessageOf([&] { table->CellInteger(0); }), atEnd);
      EXPECT_EQ(MessageOf([&] { table->CellFloat(0); }), atEnd);
      EXPECT_EQ(MessageOf([&] { table->CellBlob(0); }), atEnd);
    }
  }
}

TEST_F(SQLiteAccessTest, TextEndsAtAZeroByte) {
  TSQLiteDatabase db(MakeTable("v TEXT", {{{"v", std::string("ab\0cd", 5)}}}));
  auto table = db.OpenTable("SELECT v, length(CAST(v AS BLOB)) AS n FROM t");
  EXPECT_EQ(table->CellText(0), "ab");
  EXPECT_EQ(CellTextByName(*table, "n"), "5");  // the database holds all five bytes
}

TEST_F(SQLiteAccessTest, OnlyTheFirstOfTwoStatementsRuns) {
  TSQLiteDatabase db(MakeTable("v INTEGER", {{{"v", 1}}}));
  auto table = db.OpenTable("SELECT 1 AS a; SELECT 2 AS a, 3 AS b");
  EXPECT_EQ(table->RowCount(), 1);
  EXPECT_EQ(table->ColumnCount(), 1);
  EXPECT_EQ(table->CellText(0), "1");
  // The second statement would fail if it were even prepared.
  EXPECT_NO_THROW(db.Execute("PRAGMA temp_store = MEMORY; SELECT no_such_function()"));
}

TEST_F(SQLiteAccessTest, EveryMessageText) {
  const std::string path = MakeTable("v INTEGER", {{{"v", 1}}});
  TSQLiteDatabase db(path);
  struct Row {
    const char* name;
    std::function<void()> action;
    std::string message;
    int code;
  };
  const Row rows[] = {
      {"missing table", [&] { db.OpenTable("SELECT * FROM nosuch"); },
       "Error executing SQL \"SELECT * FROM nosuch\" : no such table: nosuch", SQLITE_ERROR},
      {"missing column", [&] { db.OpenTable("SELECT w FROM t"); },
       "Error executing SQL \"SELECT w FROM t\" : no such column: w", SQLITE_ERROR},
      {"empty text", [&] { db.OpenTable(""); },
       "Could not prepare SQL statement \"\" : No message", SQLITE_ERROR},
      {"only a comment", [&] { db.OpenTable("  -- nothing"); },
       "Could not prepare SQL statement \"  -- nothing\" : No message", SQLITE_ERROR},
      {"execute with no statement", [&] { db.Execute(" "); },
       "Could not prepare SQL statement \" \" : No message", SQLITE_ERROR},
      {"execute that writes", [&] { db.Execute("CREATE TABLE x (a)"); },
       "Error executing SQL statement \"CREATE TABLE x (a)\" : attempt to write a readonly "
       "database",
       SQLITE_READONLY},
      {"execute that returns rows", [&] { db.Execute("SELECT 1"); },
       "Error executing SQL statement \"SELECT 1\" : another row available", SQLITE_ROW},
      {"failure while stepping", [&] { db.OpenTable("SELECT abs(-9223372036854775807 - 1)"); },
       "Could not retrieve data \"SELECT abs(-9223372036854775807 - 1)\" : integer overflow",
       SQLITE_ERROR},
      {"no file", [&] { TSQLiteDatabase(folder_.File("fehlt.db")); },
       "Failed to open database \"" + folder_.File("fehlt.db") + "\" : unable to open database file",
       SQLITE_CANTOPEN},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(MessageOf(r.action), r.message) << r.name;
    EXPECT_EQ(CodeOf(r.action), r.code) << r.name;
  }
  // By hand: the connection's last error, whatever raised it.
  EXPECT_ANY_THROW(db.OpenTable("SELECT * FROM nosuch"));
  EXPECT_EQ(MessageOf([&] { db.RaiseLastError("Some action", "SELECT 1"); }),
            "Some action \"SELECT 1\" : no such table: nosuch");
  // After failures the connection still answers.
  EXPECT_EQ(db.OpenTable("SELECT v FROM t")->CellText(0), "1");
}

TEST_F(SQLiteAccessTest, OpeningNeverCreatesOrChangesAFile) {
  struct Row {
    const char* name;
    std::string path;
  };
  const Row rows[] = {{"missing file", folder_.File("missing.db")},
                      {"missing folder", folder_.File("nofolder/missing.db")}};
  for (const Row& r : rows) {
    EXPECT_EQ(MessageOf([&] { TSQLiteDatabase db(r.path); }),
              "Failed to open database \"" + r.path + "\" : unable to open database file")
        << r.name;
    EXPECT_FALSE(std::filesystem::exists(r.path)) << r.name;
  }
  EXPECT_TRUE(folder_.Names().empty());

  const std::string path = MakeTable("v INTEGER", {{{"v", 1}}});
  const auto read = [&] {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string before = read();
  const auto modified = std::filesystem::last_write_time(path);
  {
    TSQLiteDatabase db(path);
    EXPECT_ANY_THROW(db.Execute("INSERT INTO t VALUES (2)"));
    EXPECT_ANY_THROW(db.Execute("PRAGMA journal_mode=WAL"));
    EXPECT_EQ(db.OpenTable("SELECT count(*) FROM t")->CellText(0), "1");
  }
  EXPECT_EQ(read(), before);
  EXPECT_EQ(std::filesystem::last_write_time(path), modified);
  EXPECT_EQ(folder_.Names(), (std::set<std::string>{"t.db"}));
}

TEST_F(SQLiteAccessTest, BusyDatabaseFailsAtOnce) {
  const std::string path = MakeTable("v INTEGER", {{{"v", 1}}});
  TSQLiteDatabase db(path);
  EXPECT_EQ(db.OpenTable("SELECT v FROM t")->CellText(0), "1");  // schema is read

  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(
      sqlite3_exec(writer, "BEGIN EXCLUSIVE; INSERT INTO t VALUES (2)", nullptr, nullptr, nullptr),
      SQLITE_OK);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(MessageOf([&] { db.OpenTable("SELECT v FROM t"); }),
            "Could not prepare SQL statement \"SELECT v FROM t\" : SQLite is Busy");
  EXPECT_EQ(CodeOf([&] { db.OpenTable("SELECT v FROM t"); }), SQLITE_BUSY);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));

  // A new connection must read the schema for its settings; that fails, and
  // no connection results. The message names the file.
  EXPECT_EQ(MessageOf([&] { TSQLiteDatabase fresh(path); }),
            "Failed to open database \"" + path + "\" : database is locked");

  ASSERT_EQ(sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(writer);
  // Once the lock is gone the same connections read again.
  EXPECT_EQ(db.OpenTable("SELECT count(*) FROM t")->CellText(0), "2");
  EXPECT_EQ(TSQLiteDatabase(path).OpenTable("SELECT count(*) FROM t")->CellText(0), "2");
}

TEST_F(SQLiteAccessTest, DatabaseInWalMode) {
  const std::string path = folder_.File("wal.db");
  {
    testdb::Schema schema;
    schema.wal = true;
    PelmoraDb db(path, schema);
    db.Exec("CREATE TABLE t (v INTEGER)");
    db.Insert("t", {{"v", 1}});
  }
  ASSERT_EQ(folder_.Names(), (std::set<std::string>{"wal.db"}));
  const auto modified = std::filesystem::last_write_time(path);
  const auto size = std::filesystem::file_size(path);
  {
    // Closed cleanly: only the database file is there. Reading a WAL database
    // needs its shared-memory index, so the library makes the two side files;
    // a read-only connection cannot check them back in, so they stay after it
    // closes (empty log, no data). The database file itself is untouched.
    TSQLiteDatabase db(path);
    EXPECT_EQ(db.OpenTable("PRAGMA journal_mode")->CellText(0), "wal");
    EXPECT_EQ(db.OpenTable("SELECT count(*) FROM t")->CellText(0), "1");
  }
  EXPECT_EQ(folder_.Names(), (std::set<std::string>{"wal.db", "wal.db-shm", "wal.db-wal"}));
  EXPECT_EQ(std::filesystem::file_size(path + "-wal"), 0u);
  EXPECT_EQ(std::filesystem::last_write_time(path), modified);
  EXPECT_EQ(std::filesystem::file_size(path), size);

  // Another connection holds the database open and has written to it.
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(writer, "INSERT INTO t VALUES (2)", nullptr, nullptr, nullptr), SQLITE_OK);
  {
    TSQLiteDatabase db(path);
    EXPECT_EQ(db.OpenTable("SELECT sum(v) FROM t")->CellText(0), "3");
    // A write in progress elsewhere neither blocks nor shows.
    ASSERT_EQ(sqlite3_exec(writer, "BEGIN; INSERT INTO t VALUES (4)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(db.OpenTable("SELECT sum(v) FROM t")->CellText(0), "3");
    ASSERT_EQ(sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(db.OpenTable("SELECT sum(v) FROM t")->CellText(0), "7");
  }
  sqlite3_close(writer);
  // The writer, closing last, removes its own side files.
  EXPECT_EQ(folder_.Names(), (std::set<std::string>{"wal.db"}));
}

TEST_F(SQLiteAccessTest, MovedConnectionStaysUsable) {
  TSQLiteDatabase first(MakeTable("v INTEGER", {{{"v", 1}}}));
  TSQLiteDatabase second(std::move(first));
  EXPECT_EQ(first.Handle(), nullptr);
  EXPECT_EQ(second.OpenTable("SELECT v FROM t")->CellText(0), "1");
}

}  // namespace
}  // namespace vorlex
