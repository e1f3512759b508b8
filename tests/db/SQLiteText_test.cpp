#include "db/SQLiteText.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <cstring>

#include "DbTest.h"
#include "db/SQLiteDatabase.h"
#include "db/SQLiteStatement.h"
#include "db/SQLiteTable.h"
#include "testdb/SplitMix64.h"
#include "tests/util/FormatTest.h"

namespace vorlex {
namespace {

using testdb::Value;
using testing::CodeOf;
using testing::MessageOf;

class SQLiteTextTest : public testing::DbTest {};

// Whether text in a numeric column is a number is decided by our own reading;
// it must agree with the library's, which stores such text as a number.
TEST_F(SQLiteTextTest, NumberTextAsTheLibraryStoresIt) {
  const char* const texts[] = {
      "0",     "-7",    "+7",     " 12 ",   "\t3.5\n", "1e3",   "1E-3",  ".5",      "5.",
      "-.5e+2", "00012", "1e",     "e5",     ".",       "-",     "+",     "3 Stk",   "12,50",
      "1.2.3", "0x10",  "1 2",    "Inf",    "NaN",     "--1",   "1e+",   "12345678901234567890",
      "1.5e400", "",    "   ",    "\xC2\xA0" "12"};
  testing::Rows rows;
  for (const char* text : texts) rows.push_back({{"v", Value(std::string(text))}});
  TSQLiteDatabase db(MakeTable("v NUMERIC", rows), kGerman);
  TSQLiteStatement stored(db, "SELECT typeof(v) FROM t ORDER BY rowid");
  for (const char* text : texts) {
    ASSERT_TRUE(stored.Step());
    EXPECT_EQ(IsNumberText(text), stored.ColumnText(0) != "text")
        << "\"" << text << "\" stored as " << stored.ColumnText(0);
  }
}

// A REAL in a column of the text kind reads as the library's text of it up to
// version 3.42 (later versions write up to 17 digits), on every version.
TEST_F(SQLiteTextTest, RealsInTextColumnsReadWithFifteenDigits) {
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
  testing::Rows stored;
  for (const Row& r : rows) stored.push_back({{"d", r.value}, {"s", r.value}});
  // Declared types of the text kind that keep a whole REAL a REAL.
  TSQLiteDatabase db(MakeTable("d DOUBLE PRECISION, s FLOAT8", stored), kGerman);
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

}  // namespace
}  // namespace vorlex
