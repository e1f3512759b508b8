// A scratch database of Pelmora's shape per test: build it, then open it the
// way the program does.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "db/uDB.h"
#include "testdb/PelmoraDb.h"
#include "util/uDatum.h"
#include "util/uFormat.h"

namespace vorlex::testing {

inline double Day(int year, int month, int day) {
  return EncodeDate(year, month, day);
}

class TaxDbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Format() = FormatSettings{};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = (std::filesystem::temp_directory_path() /
             ("vorlex-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" +
              info->name() + ".db"))
                .string();
  }
  void TearDown() override {
    db_.reset();
    builder_.reset();
    std::filesystem::remove(path_);
    Format() = FormatSettings{};
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
    db_ = std::make_unique<TDBase>(path_);
    return *db_;
  }

  std::string path_;
  std::unique_ptr<testdb::PelmoraDb> builder_;
  std::unique_ptr<TDBase> db_;
};

}  // namespace vorlex::testing
