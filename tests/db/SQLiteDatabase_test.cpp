#include "db/SQLiteDatabase.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>

#include "DbTest.h"
#include "db/SQLiteStatement.h"
#include "db/SQLiteTable.h"
#include "tests/util/FormatTest.h"

namespace vorlex {
namespace {

using testing::CodeOf;
using testing::MessageOf;

class SQLiteDatabaseTest : public testing::DbTest {};

TEST_F(SQLiteDatabaseTest, OnlyTheFirstOfTwoStatementsRuns) {
  TSQLiteDatabase db(MakeTable("v INTEGER", {{{"v", 1}}}), kGerman);
  auto table = db.OpenTable("SELECT 1 AS a; SELECT 2 AS a, 3 AS b");
  EXPECT_EQ(table->RowCount(), 1);
  EXPECT_EQ(table->ColumnCount(), 1);
  EXPECT_EQ(table->CellText(0), "1");
  // The second statement would fail if it were even prepared.
  EXPECT_NO_THROW(db.Execute("PRAGMA temp_store = MEMORY; SELECT no_such_function()"));
}

TEST_F(SQLiteDatabaseTest, EveryMessageText) {
  const std::string path = MakeTable("v INTEGER", {{{"v", 1}}});
  TSQLiteDatabase db(path, kGerman);
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
      {"empty text", [&] { db.OpenTable(""); }, "Could not prepare SQL statement \"\" : No message",
       SQLITE_ERROR},
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
      {"no file", [&] { TSQLiteDatabase(folder_.File("fehlt.db"), kGerman); },
       "Failed to open database \"" + folder_.File("fehlt.db") +
           "\" : unable to open database file",
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

TEST_F(SQLiteDatabaseTest, OpeningNeverCreatesOrChangesAFile) {
  struct Row {
    const char* name;
    std::string path;
  };
  const Row rows[] = {{"missing file", folder_.File("missing.db")},
                      {"missing folder", folder_.File("nofolder/missing.db")}};
  for (const Row& r : rows) {
    EXPECT_EQ(MessageOf([&] { TSQLiteDatabase db(r.path, kGerman); }),
              "Failed to open database \"" + r.path + "\" : unable to open database file")
        << r.name;
    EXPECT_FALSE(std::filesystem::exists(r.path)) << r.name;
  }
  EXPECT_TRUE(folder_.Names().empty());

  const std::string path = MakeTable("v INTEGER", {{{"v", 1}}});
  const std::string before = testing::ReadBytes(path);
  const auto modified = std::filesystem::last_write_time(path);
  {
    TSQLiteDatabase db(path, kGerman);
    EXPECT_ANY_THROW(db.Execute("INSERT INTO t VALUES (2)"));
    EXPECT_ANY_THROW(db.Execute("PRAGMA journal_mode=WAL"));
    EXPECT_EQ(db.OpenTable("SELECT count(*) FROM t")->CellText(0), "1");
  }
  EXPECT_EQ(testing::ReadBytes(path), before);
  EXPECT_EQ(std::filesystem::last_write_time(path), modified);
  EXPECT_EQ(folder_.Names(), (std::set<std::string>{"t.db"}));
}

TEST_F(SQLiteDatabaseTest, BusyDatabaseFailsAtOnce) {
  const std::string path = MakeTable("v INTEGER", {{{"v", 1}}});
  TSQLiteDatabase db(path, kGerman);
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
  TSQLiteStatement statement(db, "SELECT v FROM t");
  EXPECT_EQ(MessageOf([&] { statement.Step(); }),
            "Could not prepare SQL statement \"SELECT v FROM t\" : SQLite is Busy");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));

  // A new connection must read the schema for its settings; that fails, and
  // no connection results. The message names the file.
  EXPECT_EQ(MessageOf([&] { TSQLiteDatabase fresh(path, kGerman); }),
            "Failed to open database \"" + path + "\" : database is locked");

  ASSERT_EQ(sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(writer);
  // Once the lock is gone the same connections read again.
  EXPECT_EQ(db.OpenTable("SELECT count(*) FROM t")->CellText(0), "2");
  EXPECT_EQ(TSQLiteDatabase(path, kGerman).OpenTable("SELECT count(*) FROM t")->CellText(0), "2");
}

TEST_F(SQLiteDatabaseTest, DatabaseInWalMode) {
  const std::string path = folder_.File("wal.db");
  {
    testdb::Schema schema;
    schema.wal = true;
    testdb::PelmoraDb db(path, schema);
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
    TSQLiteDatabase db(path, kGerman);
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
    TSQLiteDatabase db(path, kGerman);
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

TEST_F(SQLiteDatabaseTest, MovedConnectionStaysUsable) {
  std::optional<TSQLiteDatabase> first(std::in_place, MakeTable("v INTEGER", {{{"v", 1}}}),
                                       kGerman);
  TSQLiteDatabase second(std::move(*first));
  // The connection went along: ending the old object closes nothing.
  first.reset();
  EXPECT_EQ(second.OpenTable("SELECT v FROM t")->CellText(0), "1");
  EXPECT_EQ(MessageOf([&] { second.OpenTable("SELECT * FROM nosuch"); }),
            "Error executing SQL \"SELECT * FROM nosuch\" : no such table: nosuch");
}

}  // namespace
}  // namespace vorlex
