// What the tests of db/ share: a scratch folder with a table made in it, and
// the message and result code of what a call raises.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "db/SQLiteError.h"
#include "testdb/PelmoraDb.h"
#include "tests/ScratchFolder.h"
#include "tests/util/FormatTest.h"

namespace vorlex::testing {

// The message of the ESQLiteException that f raises.
template <typename F>
std::string MessageOf(F f) {
  try {
    f();
  } catch (const ESQLiteException& e) {
    return e.what();
  }
  return "(nothing raised)";
}

// Its result code; -1 when nothing is raised.
template <typename F>
int CodeOf(F f) {
  try {
    f();
  } catch (const ESQLiteException& e) {
    return e.Code();
  }
  return -1;
}

using Rows = std::vector<std::vector<std::pair<std::string, testdb::Value>>>;

class DbTest : public ::testing::Test {
 protected:
  // A database holding one table t with the given column definitions and
  // rows, in place of the one made before.
  std::string MakeTable(const std::string& columns, const Rows& rows) {
    const std::string path = folder_.File("t.db");
    std::filesystem::remove(path);
    testdb::PelmoraDb db(path);
    db.Exec("CREATE TABLE t (" + columns + ")");
    for (const auto& row : rows) db.Insert("t", row);
    return path;
  }

  ScratchFolder folder_;
};

}  // namespace vorlex::testing
