#include "db/SQLiteTable.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <optional>

#include "DbTest.h"
#include "db/SQLiteDatabase.h"
#include "db/SQLiteError.h"
#include "tests/util/FormatTest.h"
#include "util/NumberText.h"

namespace vorlex {
namespace {

using testdb::Value;
using testing::CodeOf;
using testing::MessageOf;

std::string CellTextByName(const TSQLiteTable& table, std::string_view name) {
  return table.CellText(table.ColumnIndex(name));
}

class SQLiteTableTest : public testing::DbTest {};

TEST_F(SQLiteTableTest, KindsFromDeclaredTypesAndTheirText) {
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
    const std::string path = MakeTable(std::string("v ") + r.declared, {{{"v", r.stored}}});
    TSQLiteDatabase db(path, kGerman);
    auto table = db.OpenTable("SELECT v FROM t");
    ASSERT_EQ(table->RowCount(), 1);
    EXPECT_EQ(table->Kind(0), r.kind);
    EXPECT_EQ(table->CellText(0), r.text);
    EXPECT_EQ(table->CellTextOrEmpty(0), r.text);
  }
}

TEST_F(SQLiteTableTest, DecimalTextKeepsThePointWhateverTheLocale) {
  const std::string path = MakeTable("v DECIMAL(10,2), w DOUBLE", {{{"v", 12.5}, {"w", 12.5}}});
  for (char separator : {',', '.'}) {
    TSQLiteDatabase db(path, FormatSettings{.decimalSeparator = separator});
    auto table = db.OpenTable("SELECT v, w FROM t");
    EXPECT_EQ(table->CellText(0), "12.5");
    EXPECT_EQ(table->CellText(1), std::string("12") + separator + "5");
  }
}

TEST_F(SQLiteTableTest, ExpressionKindsComeFromTheFirstRow) {
  const std::string path =
      MakeTable("n INTEGER, v DOUBLE, u",
                {{{"n", 1}, {"v", 2.5}, {"u", 4}}, {{"n", 2}, {"v", 3.5}, {"u", "x"}}});
  TSQLiteDatabase db(path, kGerman);
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

TEST_F(SQLiteTableTest, NullCellsOfEveryKind) {
  const std::string path =
      MakeTable("i INTEGER, f DOUBLE, t TEXT, b BLOB, e BLOB",
                {{{"i", nullptr}, {"f", nullptr}, {"t", nullptr}, {"b", nullptr}, {"e", ""}}});
  // An empty blob is held like NULL.
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(writer, "UPDATE t SET e = zeroblob(0)", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(writer);

  TSQLiteDatabase db(path, kGerman);
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

TEST_F(SQLiteTableTest, CellReadersByKind) {
  const std::string path = MakeTable(
      "i INTEGER, f DOUBLE, t TEXT, b BLOB",
      {{{"i", int64_t{4294967301}}, {"f", -2.75}, {"t", "abc"}, {"b", std::string("a\0b", 3)}}});
  TSQLiteDatabase db(path, kGerman);
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

TEST_F(SQLiteTableTest, TextThatIsNoNumberInANumericColumnReadsAsItsConversion) {
  const std::string path =
      MakeTable("f DOUBLE, i INTEGER", {{{"f", "12,5"}, {"i", "7"}}, {{"f", "zehn"}, {"i", "ja"}}});
  TSQLiteDatabase db(path, kGerman);
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

TEST_F(SQLiteTableTest, IntegersAreHeldWithAllSixtyFourBits) {
  const int64_t values[] = {2147483647,  2147483648,          4294967301, -2147483649,
                            -4294967296, 9223372036854775807, INT64_MIN};
  testing::Rows rows;
  for (int64_t v : values) rows.push_back({{"v", v}});
  TSQLiteDatabase db(MakeTable("v INTEGER", rows), kGerman);
  auto table = db.OpenTable("SELECT v FROM t ORDER BY rowid");
  for (int64_t v : values) {
    ASSERT_FALSE(table->AtEnd());
    EXPECT_EQ(table->CellInteger(0), v);
    EXPECT_EQ(table->CellText(0), std::to_string(v));
    table->MoveNext();
  }
  EXPECT_TRUE(table->AtEnd());
}

TEST_F(SQLiteTableTest, ColumnLookup) {
  const std::string path =
      MakeTable("Betrag DOUBLE, name TEXT", {{{"Betrag", 1.5}, {"name", "a"}}});
  TSQLiteDatabase db(path, kGerman);
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

TEST_F(SQLiteTableTest, CursorOnZeroOneAndFiveRows) {
  for (int n : {0, 1, 5}) {
    SCOPED_TRACE(n);
    testing::Rows rows;
    for (int i = 0; i < n; ++i) rows.push_back({{"v", i}});
    TSQLiteDatabase db(MakeTable("v INTEGER", rows), kGerman);
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

TEST_F(SQLiteTableTest, TextEndsAtAZeroByte) {
  TSQLiteDatabase db(MakeTable("v TEXT", {{{"v", std::string("ab\0cd", 5)}}}), kGerman);
  auto table = db.OpenTable("SELECT v, length(CAST(v AS BLOB)) AS n FROM t");
  EXPECT_EQ(table->CellText(0), "ab");
  EXPECT_EQ(CellTextByName(*table, "n"), "5");  // the database holds all five bytes
}

TEST_F(SQLiteTableTest, IntegersHeldAsStored) {
  TSQLiteDatabase db(
      MakeTable("i INTEGER, f DOUBLE", {{{"i", int64_t{-9223372036854775807 - 1}}, {"f", 3}},
                                        {{"i", 4294967297}, {"f", 3}},
                                        {{"i", 2.5}, {"f", 3}},
                                        {{"i", "x"}, {"f", 3}},
                                        {{"i", nullptr}, {"f", 3}}}),
      kGerman);
  auto table = db.OpenTable("SELECT i, f FROM t");
  struct Row {
    std::optional<int64_t> held;
    bool number;
  };
  const Row rows[] = {{int64_t{-9223372036854775807 - 1}, true},
                      {int64_t{4294967297}, true},
                      {std::nullopt, true},  // a float, cut by the library
                      {std::nullopt, false},
                      {std::nullopt, true}};  // NULL
  for (int row = 0; row < 5; ++row, table->MoveNext()) {
    SCOPED_TRACE(row);
    EXPECT_EQ(table->HeldInteger(row, 0), rows[row].held);
    EXPECT_EQ(table->CellHeldAsInteger(0), rows[row].held.has_value());
    EXPECT_EQ(table->CellHeldAsNumber(0), rows[row].number);
    // A float column never holds integers, though its numbers are numbers.
    EXPECT_EQ(table->HeldInteger(row, 1), std::nullopt);
    EXPECT_TRUE(table->CellHeldAsNumber(1));
  }
}


// What every reader of a cell makes of it, an error as its message.
std::string CellReading(const TSQLiteTable& table, int column) {
  const auto outcome = [](const std::function<std::string()>& read) {
    try {
      return read();
    } catch (const std::exception& e) {
      return std::string("error: ") + e.what();
    }
  };
  return outcome([&] { return table.CellText(column); }) + " | " +
         outcome([&] { return std::to_string(table.CellInteger(column)); }) + " | " +
         outcome([&] { return FormatFloat(table.CellFloat(column), kGerman); }) + " | " +
         std::to_string(table.CellIsNull(column)) +
         std::to_string(table.CellHeldAsInteger(column)) +
         std::to_string(table.CellHeldAsNumber(column));
}

TEST_F(SQLiteTableTest, ReadRowByRowEveryCellReadsAsInTheWholeResult) {
  const std::string path = MakeTable(
      "n INTEGER, i INTEGER, f DOUBLE, t TEXT, b BLOB, u",
      {{{"n", 1}, {"i", 5}, {"f", 2.5}, {"t", "M\xE4rz"}, {"b", "xyz"}, {"u", 4}},
       {{"n", 2}, {"i", "zehn"}, {"f", "12,50"}, {"t", 7.25}, {"b", ""}, {"u", "x"}},
       {{"n", 3}, {"i", 2.7}, {"f", nullptr}, {"t", std::string("ab\0cd", 5)}, {"b", nullptr},
        {"u", 2.5}},
       {{"n", 4}, {"i", int64_t{4294967297}}, {"f", " 7.5 "}, {"t", nullptr}, {"b", 3}, {"u", nullptr}}});
  TSQLiteDatabase db(path, kGerman);
  // The kind of the expression column u comes from the first row in both.
  const std::string sql = "SELECT n, i, f, t, b, u, u + 0 AS w FROM t ORDER BY n DESC";
  const auto whole = db.OpenTable(sql);
  const auto byRow = db.OpenTable(sql, {}, TableReading::RowByRow);
  ASSERT_EQ(byRow->ColumnCount(), whole->ColumnCount());
  for (int i = 0; i < whole->ColumnCount(); ++i) EXPECT_EQ(byRow->Kind(i), whole->Kind(i)) << i;
  int rows = 0;
  for (; !whole->AtEnd(); whole->MoveNext(), byRow->MoveNext(), ++rows) {
    ASSERT_FALSE(byRow->AtEnd());
    EXPECT_EQ(byRow->RowCount(), 1);
    for (int i = 0; i < whole->ColumnCount(); ++i) {
      EXPECT_EQ(CellReading(*byRow, i), CellReading(*whole, i)) << rows << ", " << i;
    }
    EXPECT_EQ(byRow->HeldInteger(0, 1), whole->HeldInteger(rows, 1)) << rows;
  }
  EXPECT_EQ(rows, 4);
  EXPECT_TRUE(byRow->AtEnd());
  EXPECT_EQ(byRow->RowCount(), 0);
  EXPECT_FALSE(byRow->MoveNext());

  // Only the columns named are held, as in the whole result.
  const auto kept = db.OpenTable(sql, {"T"}, TableReading::RowByRow);
  EXPECT_EQ(kept->CellText(3), "");
  EXPECT_NE(MessageOf([&] { kept->CellText(0); }).find("not kept"), std::string::npos);
  kept->MoveNext();
  EXPECT_EQ(CellTextByName(*kept, "t"), "ab");
}

TEST_F(SQLiteTableTest, ReadRowByRowAFailingRowRaisesWhereTheCursorReachesIt) {
  TSQLiteDatabase db(
      MakeTable("n INTEGER, v TEXT", {{{"n", 1}, {"v", "3"}}, {{"n", 2}, {"v", "zehn"}}}), kGerman);
  // In the table's order, without sorting, each row is made as it is stepped to.
  const std::string sql = std::string("SELECT ") + kNumberFunction + "(v, 'v') FROM t";
  // Read whole, the query raises at once.
  EXPECT_THROW(db.OpenTable(sql), ECellConvertError);
  // Row by row, the first row is read; the second raises on the way to it and
  // leaves the table at its end.
  const auto table = db.OpenTable(sql, {}, TableReading::RowByRow);
  EXPECT_EQ(table->CellText(0), "3");
  EXPECT_THROW(table->MoveNext(), ECellConvertError);
  EXPECT_TRUE(table->AtEnd());
}

TEST_F(SQLiteTableTest, TheNumberFunctionReadsTextInTheConnectionsFormat) {
  const std::string path = MakeTable("v TEXT", {{{"v", "12,5"}}});
  const std::string sql = std::string("SELECT ") + kNumberFunction + "(v, 'v') AS n FROM t";
  EXPECT_EQ(TSQLiteDatabase(path, kGerman).OpenTable(sql)->CellFloat(0), 12.5);
  EXPECT_THROW(TSQLiteDatabase(path, kPoint).OpenTable(sql), ECellConvertError);
}

}  // namespace
}  // namespace vorlex
