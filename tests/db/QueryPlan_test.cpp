#include "db/QueryPlan.h"

#include <gtest/gtest.h>

#include "testdb/PelmoraDb.h"
#include "tests/ScratchFolder.h"
#include "tests/util/FormatTest.h"

namespace vorlex {
namespace {

class QueryPlanTest : public ::testing::Test {
 protected:
  // A database with table Lines (mixed case, as a schema may spell it) and the
  // statements given.
  TSQLiteDatabase& Make(const std::string& sql) {
    db_.reset();  // a file still open cannot be replaced on Windows
    const std::string path = folder_.File("plan" + std::to_string(++made_) + ".db");
    {
      testdb::PelmoraDb db(path);
      db.Exec("CREATE TABLE Lines (Auftrag INTEGER, preis REAL, anzahl REAL)");
      if (!sql.empty()) db.Exec(sql);
    }
    db_ = std::make_unique<TSQLiteDatabase>(path, kGerman);
    return *db_;
  }

  testing::ScratchFolder folder_;
  std::unique_ptr<TSQLiteDatabase> db_;
  int made_ = 0;
};

TEST_F(QueryPlanTest, ReadsTakenApart) {
  struct Row {
    const char* name;
    const char* schema;
    const char* sql;
    bool search, plain, rowid, covering;
    const char* index;
    const char* condition;
  };
  const Row rows[] = {
      {"the table row after row", "", "SELECT SUM(preis) FROM Lines WHERE Auftrag=?", false, true,
       false, false, "", ""},
      {"through an index", "CREATE INDEX by_order ON Lines (Auftrag)",
       "SELECT SUM(preis) FROM Lines WHERE Auftrag=?", true, false, false, false, "by_order",
       "Auftrag=?"},
      {"the index alone answers", "CREATE INDEX by_order ON Lines (Auftrag)",
       "SELECT COUNT(*) FROM Lines WHERE Auftrag=?", true, false, false, true, "by_order",
       "Auftrag=?"},
      {"a stretch of rowids", "", "SELECT SUM(preis) FROM Lines WHERE rowid >= ?1 AND rowid <= ?2",
       true, false, true, false, "", "rowid>? AND rowid<?"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const TQueryPlan plan(Make(r.schema), r.sql);
    const TableRead* read = plan.OnlyRead("lines");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->search, r.search);
    EXPECT_EQ(read->plain, r.plain);
    EXPECT_EQ(read->rowid, r.rowid);
    EXPECT_EQ(read->covering, r.covering);
    EXPECT_EQ(read->index, r.index);
    EXPECT_EQ(read->condition, r.condition);
    EXPECT_EQ(plan.OnlyRead("other"), nullptr);
    EXPECT_FALSE(plan.UsesTempBTree());
  }
}

TEST_F(QueryPlanTest, GroupingInIndexOrderOrInATemporaryBTree) {
  const std::string grouped = "SELECT Auftrag, SUM(preis) FROM Lines WHERE Auftrag > 3 GROUP BY Auftrag";
  {
    const TQueryPlan plan(Make(""), grouped);
    EXPECT_TRUE(plan.UsesTempBTree());
    EXPECT_FALSE(plan.SearchesIndex("by_order"));
    EXPECT_EQ(plan.OnlyRead("Lines"), nullptr);  // more than one line
  }
  const TQueryPlan plan(Make("CREATE INDEX by_order ON Lines (Auftrag)"), grouped);
  EXPECT_FALSE(plan.UsesTempBTree());
  EXPECT_TRUE(plan.SearchesIndex("by_order"));
  EXPECT_FALSE(plan.SearchesIndex("by_Order"));
  EXPECT_THROW(TQueryPlan(*db_, "SELECT nosuch FROM Lines"), ESQLiteException);
}

TEST_F(QueryPlanTest, IndexKeysInTheirOrder) {
  TSQLiteDatabase& db = Make(
      "CREATE INDEX one ON Lines (Auftrag); CREATE INDEX two ON Lines (Auftrag, preis); "
      "CREATE INDEX expr ON Lines (Auftrag + 0)");
  EXPECT_TRUE(IndexKeysAre(db, "one", {"AUFTRAG"}));
  EXPECT_FALSE(IndexKeysAre(db, "two", {"Auftrag"}));
  EXPECT_TRUE(IndexKeysAre(db, "two", {"Auftrag", "preis"}));
  EXPECT_FALSE(IndexKeysAre(db, "two", {"preis", "Auftrag"}));
  EXPECT_FALSE(IndexKeysAre(db, "expr", {"Auftrag"}));
  EXPECT_FALSE(IndexKeysAre(db, "nosuch", {"Auftrag"}));
}

}  // namespace
}  // namespace vorlex
