#include "db/uDB.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DbTest.h"
#include "db/uDB_Help.h"
#include "testdb/PelmoraDb.h"
#include "tests/util/FormatTest.h"
#include "util/NumberText.h"

namespace vorlex {
namespace {

using namespace testdb;
using vorlex::testing::MessageOf;

class DBaseTest : public vorlex::testing::DbTest {};

TEST_F(DBaseTest, OpenFailureLeavesNoDatabaseAndNoFile) {
  const std::string path = folder_.File("pelmora.db");
  EXPECT_EQ(MessageOf([&] { TDBase db(path, kGerman); }),
            "Failed to open database \"" + path + "\" : unable to open database file");
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(DBaseTest, FieldValueAndFieldTextByKind) {
  const std::string path = folder_.File("pelmora.db");
  {
    PelmoraDb db(path);
    db.Exec("CREATE TABLE t (i INTEGER, f DOUBLE, s VARCHAR(20), d DECIMAL(10,2))");
    db.Insert("t", {{"i", 7}, {"f", 1234.5}, {"s", "M\xE4rz"}, {"d", 12.5}});
    db.Insert("t", {{"i", nullptr}, {"f", nullptr}, {"s", nullptr}, {"d", nullptr}});
  }
  TDBase db(path, kGerman);
  auto table = db.Query("SELECT i, f, s, d, (SELECT SUM(f) FROM t WHERE 0) AS n FROM t");
  struct Row {
    const char* name;
    const char* value;  // FieldValue
    const char* text;   // FieldText
  };
  const Row values[] = {
      {"i", "7", "7"},
      {"f", "1234,5", "1234,5"},
      {"s", "M\xE4rz", "M\xE4rz"},
      {"d", "12.5", "12.5"},
      {"n", "", ""},
  };
  for (const Row& r : values) {
    EXPECT_EQ(table->FieldValue(r.name).Text(), r.value) << r.name;
    EXPECT_EQ(table->FieldText(r.name), r.text) << r.name;
  }
  table->MoveNext();
  // NULL: "0" in a number column, empty text otherwise; FieldText always empty.
  const Row nulls[] = {
      {"i", "0", ""}, {"f", "0", ""}, {"s", "", ""}, {"d", "", ""}, {"n", "", ""},
  };
  for (const Row& r : nulls) {
    EXPECT_EQ(table->FieldValue(r.name).Text(), r.value) << r.name;
    EXPECT_EQ(table->FieldText(r.name), r.text) << r.name;
  }
  table->MoveNext();
  EXPECT_EQ(MessageOf([&] { table->FieldValue("i"); }), "Table is at End of File");
  EXPECT_EQ(MessageOf([&] { table->FieldText("i"); }), "Table is at End of File");
  EXPECT_EQ(MessageOf([&] { table->FieldValue("x"); }), "Field not found in dataset: x");
}

TEST_F(DBaseTest, NumbersTravelAsTextInTheLocale) {
  const std::string path = folder_.File("pelmora.db");
  {
    PelmoraDb db(path);
    db.Exec("CREATE TABLE t (f DOUBLE, s TEXT)");
    db.Insert("t", {{"f", 0.1 + 0.2}, {"s", "12.5"}});
  }
  TDBase db(path, kGerman);
  auto table = db.Query("SELECT f, s FROM t");
  // 0.30000000000000004 arrives rounded to 15 significant digits.
  EXPECT_EQ(table->FieldValue("f").Text(), "0,3");
  EXPECT_EQ(table->FieldValue("f").ToFloat(), 0.3);
  EXPECT_NE(table->FieldValue("f").ToFloat(), 0.1 + 0.2);
  // The library's own text of a text column converts too.
  EXPECT_EQ(table->FieldValue("s").ToFloat(), 12.5);

  TDBase point(path, kPoint);
  EXPECT_EQ(point.Query("SELECT f FROM t")->FieldValue("f").Text(), "0.3");
}

TEST_F(DBaseTest, VariantConvertsComparesAndConcatenates) {
  const TVariant number("12,5", kGerman);
  EXPECT_EQ(number.ToFloat(), 12.5);
  EXPECT_EQ(number.ToInt(), 12);
  EXPECT_TRUE(number == "12,5");
  EXPECT_EQ("Betrag " + std::string() + number, "Betrag 12,5");
  EXPECT_EQ(number + std::string(" EUR"), "12,5 EUR");
  EXPECT_TRUE(TVariant().IsEmpty());
  // The empty text of a NULL text cell is no number.
  EXPECT_THROW(TVariant("", kGerman).ToFloat(), EConvertError);
  EXPECT_THROW(TVariant("abc", kGerman).ToInt(), EConvertError);
  // Read back in the format it was made in.
  EXPECT_THROW(TVariant("12,5", kPoint).ToFloat(), EConvertError);
  EXPECT_EQ(TVariant("12.5", kPoint).ToFloat(), 12.5);
}

TEST_F(DBaseTest, RowCountWhileOnARow) {
  const std::string path = folder_.File("pelmora.db");
  {
    PelmoraDb db(path);
    for (int i = 1; i <= 5; ++i) db.Add(Customer{.id = i, .name = "K" + std::to_string(i)});
  }
  TDBase db(path, kGerman);
  auto table = db.Query("SELECT name FROM besitzer ORDER BY id");
  EXPECT_EQ(table->RowCount(), 5);
  for (int i = 0; i < 4; ++i) table->MoveNext();
  EXPECT_EQ(table->RowCount(), 5);
  EXPECT_EQ(table->FieldValue("name").Text(), "K5");
  table->MoveNext();
  EXPECT_EQ(table->RowCount(), 0);
  EXPECT_TRUE(table->AtEnd());
  EXPECT_FALSE(table->MoveNext());

  auto empty = db.Query("SELECT name FROM besitzer WHERE 0");
  EXPECT_TRUE(empty->AtEnd());
  EXPECT_EQ(empty->RowCount(), 0);
  EXPECT_EQ(MessageOf([&] { empty->FieldValue("name"); }), "Field name Not found. Empty dataset");
}

TEST_F(DBaseTest, SeveralResultsAliveAtOnce) {
  const std::string path = folder_.File("pelmora.db");
  {
    PelmoraDb db(path);
    db.Add(Order{.id = 1});
    db.Add(Order{.id = 2});
    db.Add(Line{.auftragindex = 1, .anzahl = 2.0, .preis = 10.0});
    db.Add(Line{.auftragindex = 2, .anzahl = 1.0, .preis = 2.5});
  }
  TDBase db(path, kGerman);
  auto orders = db.Query("SELECT id FROM auftrag ORDER BY id");
  std::string sums;
  while (!orders->AtEnd()) {
    auto lines = db.Query("SELECT SUM(anzahl*preis) AS s FROM verbindauftrag WHERE auftragindex=" +
                          orders->FieldValue("id").Text());
    sums += lines->FieldValue("s").Text() + ";";
    orders->MoveNext();
  }
  EXPECT_EQ(sums, "20;2,5;");
}

TEST_F(DBaseTest, OrderIdAboveThirtyTwoBitsSumsItsOwnLines) {
  // 4294967301 cut to 32 bits is 5: a cut id would sum order 5's lines.
  const std::string path = folder_.File("pelmora.db");
  {
    PelmoraDb db(path);
    db.Add(Order{.id = int64_t{4294967301}});
    db.Add(Order{.id = 5});
    db.Add(Line{.auftragindex = int64_t{4294967301}, .anzahl = 1.0, .preis = 100.0});
    db.Add(Line{.auftragindex = 5, .anzahl = 1.0, .preis = 1.0});
  }
  TDBase db(path, kGerman);
  auto orders = db.Query("SELECT id FROM auftrag WHERE id > 5");
  ASSERT_EQ(orders->FieldValue("id").Text(), "4294967301");
  const int64_t id = orders->FieldValue("id").ToInt();
  EXPECT_EQ(id, 4294967301);
  auto lines = db.Query(
      "SELECT SUM(anzahl*preis) AS betrag_sum FROM verbindauftrag WHERE "
      "auftragindex=" +
      std::to_string(id));
  EXPECT_EQ(lines->FieldValue("betrag_sum").ToFloat(), 100.0);
}

TEST_F(DBaseTest, FailedQueryLeavesTheDatabaseUsableAndCloseEndsIt) {
  const std::string path = folder_.File("pelmora.db");
  { PelmoraDb db(path); }
  TDBase db(path, kGerman);
  EXPECT_EQ(db.FileName(), path);
  EXPECT_EQ(MessageOf([&] { db.Query("SELECT * FROM nosuch"); }),
            "Error executing SQL \"SELECT * FROM nosuch\" : no such table: nosuch");
  EXPECT_TRUE(db.Query("SELECT COUNT(*) AS n FROM auftrag")->FieldValue("n") == "0");
  auto kept = db.Query("SELECT 1 AS one");
  db.Close();
  EXPECT_FALSE(db.IsOpen());
  // A result read before closing stays readable; no query runs afterwards.
  EXPECT_EQ(kept->FieldValue("one").Text(), "1");
  EXPECT_THROW(db.Query("SELECT 1"), ESQLiteException);
  db.Close();  // closing twice is harmless
}

TEST_F(DBaseTest, PeriodConditionWithSQLDate) {
  const std::string path = folder_.File("pelmora.db");
  {
    PelmoraDb db(path);
    const double dates[] = {45291.99, 45292.0, 45292.75, 45382.0, 45382.5, 45383.0};
    for (int i = 0; i < 6; ++i) db.Add(Order{.id = i + 1, .termin = dates[i]});
  }
  TDBase db(path, kGerman);
  auto table = db.Query("SELECT id FROM auftrag WHERE (termin >= " + SQLDate(2024, 1, 1) +
                        ") AND (termin <= " + SQLDate(2024, 3, 31) + ") ORDER BY id");
  std::string ids;
  for (; !table->AtEnd(); table->MoveNext()) ids += table->FieldValue("id").Text() + " ";
  EXPECT_EQ(ids, "2 3 4 ");
}

// What a read by name gives: the text, or the message of the error it raises.
template <typename F>
std::string Outcome(F f) {
  try {
    return "value " + f();
  } catch (const std::exception& e) {
    return std::string("error ") + e.what();
  }
}

TEST_F(DBaseTest, FieldsFoundOnceReadAsReadsByName) {
  const std::string path = folder_.File("pelmora.db");
  {
    PelmoraDb db(path);
    db.Exec("CREATE TABLE t (i INTEGER, f DOUBLE, s VARCHAR(20))");
    // Every kind of value in every kind of column, the library's conversions
    // and the cells it holds as text included.
    const std::vector<Value> values = {7,
                                       int64_t{9007199254740993},
                                       -2.75,
                                       1.0 / 3.0,
                                       123456789.123456789,
                                       1e22,
                                       "12",
                                       "12,5",
                                       "zehn",
                                       "",
                                       nullptr,
                                       0.1 + 0.2,
                                       "1e400",
                                       -0.0,
                                       int64_t{-4294967296}};
    for (const Value& v : values) db.Insert("t", {{"i", v}, {"f", v}, {"s", v}});
  }
  for (const FormatSettings& settings : {kGerman, kPoint}) {
    TDBase db(path, settings);
    auto table = db.Query("SELECT i, f, s FROM t");
    const TDBField fields[] = {TDBField("i"), TDBField("F"), TDBField("s")};
    for (int row = 0; !table->AtEnd(); table->MoveNext(), ++row) {
      for (const TDBField& field : fields) {
        SCOPED_TRACE("row " + std::to_string(row) + ", column " + field.Name());
        const std::string& name = field.Name();
        EXPECT_EQ(Outcome([&] { return table->FieldValue(field).Text(); }),
                  Outcome([&] { return table->FieldValue(name).Text(); }));
        EXPECT_EQ(Outcome([&] { return table->FieldText(field); }),
                  Outcome([&] { return table->FieldText(name); }));
        // To the last bit, and the same error where the text is no number.
        EXPECT_EQ(Outcome([&] {
                    return FormatFloat(table->FieldFloat(field), kGerman) + "|" +
                           std::to_string(table->FieldFloat(field));
                  }),
                  Outcome([&] {
                    const double v = table->FieldValue(name).ToFloat();
                    return FormatFloat(v, kGerman) + "|" + std::to_string(v);
                  }));
        EXPECT_EQ(Outcome([&] { return std::to_string(table->FieldInt(field)); }),
                  Outcome([&] { return std::to_string(table->FieldValue(name).ToInt()); }));
      }
    }
    // At the end, and for a column the result lacks, the same errors.
    EXPECT_EQ(MessageOf([&] { table->FieldFloat(fields[1]); }), "Table is at End of File");
    const TDBField missing("x");
    EXPECT_EQ(MessageOf([&] { table->FieldValue(missing); }), "Field not found in dataset: x");
  }
  // A field meets another result afresh.
  TDBase db(path, kGerman);
  TDBField field("s");
  auto first = db.Query("SELECT i, s FROM t");
  auto second = db.Query("SELECT s FROM t");
  EXPECT_EQ(first->Index(field), 1);
  EXPECT_EQ(second->Index(field), 0);
  auto empty = db.Query("SELECT s FROM t WHERE 0");
  EXPECT_EQ(MessageOf([&] { empty->Index(field); }), "Field s Not found. Empty dataset");
}

TEST_F(DBaseTest, ResultHoldsOnlyTheColumnsItsReaderNames) {
  const std::string path = folder_.File("pelmora.db");
  {
    PelmoraDb db(path);
    db.Exec("CREATE TABLE t (a INTEGER, b DOUBLE, c VARCHAR(9), d INTEGER)");
    db.Insert("t", {{"a", 1}, {"b", 2.5}, {"c", "x"}, {"d", 4}});
    db.Insert("t", {{"a", 5}, {"b", nullptr}, {"c", "y"}, {"d", 8}});
  }
  TDBase db(path, kGerman);
  // Two columns of one name: both held, the first found.
  auto table = db.Query("SELECT a, b, c, d, d * 10 AS A FROM t", {"A", "c"});
  const std::vector<std::string> expected[] = {{"1", "x"}, {"5", "y"}};
  for (const auto& row : expected) {
    EXPECT_EQ(table->FieldValue("a").Text(), row[0]);
    EXPECT_EQ(table->FieldValue("C").Text(), row[1]);
    // Not named: found by its name, but its cells are not there to read.
    EXPECT_EQ(MessageOf([&] { table->FieldValue("b"); }), "Field B not kept in dataset");
    EXPECT_EQ(MessageOf([&] { table->FieldText("d"); }), "Field D not kept in dataset");
    // A name the result lacks fails as it always did.
    EXPECT_EQ(MessageOf([&] { table->FieldValue("e"); }), "Field not found in dataset: e");
    table->MoveNext();
  }
  EXPECT_TRUE(table->AtEnd());
  // Naming a column the result lacks holds nothing more.
  auto none = db.Query("SELECT a FROM t", {"z"});
  EXPECT_EQ(none->RowCount(), 2);
  EXPECT_EQ(MessageOf([&] { none->FieldValue("a"); }), "Field A not kept in dataset");
}

}  // namespace
}  // namespace vorlex
