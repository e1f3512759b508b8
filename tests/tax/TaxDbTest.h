// A scratch database of Pelmora's shape per test: build it, then open it the
// way the program does.
#pragma once

#include <memory>
#include <string>

#include "db/DbTest.h"
#include "db/uDB.h"
#include "testdb/PelmoraDb.h"
#include "tests/util/FormatTest.h"
#include "util/uDatum.h"

namespace vorlex::testing {

inline double Day(int year, int month, int day) {
  return EncodeDate(year, month, day);
}

class TaxDbTest : public DbTest {
 protected:
  void TearDown() override {
    db_.reset();
    builder_.reset();
    DbTest::TearDown();
  }

  // A new, empty database (replacing the one built before).
  testdb::PelmoraDb& Build(const testdb::Schema& schema = {}) {
    db_.reset();
    builder_ = std::make_unique<testdb::PelmoraDb>(path_, schema);
    return *builder_;
  }
  // Closes the builder and opens the file as the program does.
  TDBase& Open() {
    if (builder_) builder_->Close();
    db_ = std::make_unique<TDBase>(path_, kGerman);
    return *db_;
  }

  const std::string path_ = folder_.File("pelmora.db");
  std::unique_ptr<testdb::PelmoraDb> builder_;
  std::unique_ptr<TDBase> db_;
};

}  // namespace vorlex::testing
