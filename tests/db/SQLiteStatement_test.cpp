#include "db/SQLiteStatement.h"

#include <gtest/gtest.h>

#include "DbTest.h"
#include "db/SQLiteDatabase.h"
#include "tests/util/FormatTest.h"

namespace vorlex {
namespace {

using testing::MessageOf;

class SQLiteStatementTest : public testing::DbTest {};

TEST_F(SQLiteStatementTest, StepsRowsInTheirStoredTypes) {
  TSQLiteDatabase db(
      MakeTable("k INTEGER, v VARCHAR(9)",
                {{{"k", int64_t{9007199254740993}}, {"v", 2.5}}, {{"k", 1.5}, {"v", nullptr}}}),
      kGerman);
  TSQLiteStatement statement(db, "SELECT k, v, k * 2 FROM t ORDER BY rowid");
  EXPECT_EQ(statement.ColumnCount(), 3);
  EXPECT_EQ(statement.DeclaredType(0), "INTEGER");
  EXPECT_EQ(statement.DeclaredType(2), "");
  ASSERT_TRUE(statement.Step());
  EXPECT_EQ(statement.ColumnInt64(0), 9007199254740993);
  EXPECT_EQ(statement.ColumnText(1), "2.5");
  EXPECT_EQ(statement.ColumnInt64(2), 18014398509481986);
  ASSERT_TRUE(statement.Step());
  EXPECT_EQ(statement.ColumnDouble(0), 1.5);
  EXPECT_EQ(statement.ColumnText(1), "");
  EXPECT_EQ(statement.ColumnDouble(2), 3.0);
  EXPECT_FALSE(statement.Step());

  // Failures carry the messages of the whole-result reads.
  EXPECT_EQ(MessageOf([&] { TSQLiteStatement bad(db, "SELECT * FROM nirgends"); }),
            "Error executing SQL \"SELECT * FROM nirgends\" : no such table: nirgends");
  TSQLiteStatement overflow(db, "SELECT SUM(column1) FROM (VALUES (9223372036854775807), (1))");
  EXPECT_EQ(MessageOf([&] { overflow.Step(); }),
            "Could not retrieve data \"SELECT SUM(column1) FROM (VALUES (9223372036854775807), "
            "(1))\" : integer overflow");
}

}  // namespace
}  // namespace vorlex
