// A generated database of Pelmora's shape for tests that compare whole runs:
// orders, their lines and cash-book entries spread over whole years ending
// with 2025, in the temporary folder, removed again with the object.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "bench/BenchDb.h"

namespace vorlex::testing {

class GeneratedDb {
 public:
  static constexpr int kLastYear = 2025;

  GeneratedDb(const std::string& name, int64_t orders, int years = 1, bool index = true,
              uint64_t seed = 1)
      : path_((std::filesystem::temp_directory_path() /
               ("vorlex-" + name + "-" + std::to_string(::getpid()) + ".db"))
                  .string()) {
    bench::GenOptions options;
    options.orders = orders;
    options.linesPerOrder = 3;
    options.cashEntries = orders / 2;
    options.customers = 50 + orders / 20;
    options.years = years;
    options.lastYear = kLastYear;
    options.index = index;
    options.seed = seed;
    bench::GenerateBenchDb(path_, options);
  }
  ~GeneratedDb() { std::filesystem::remove(path_); }
  GeneratedDb(const GeneratedDb&) = delete;
  GeneratedDb& operator=(const GeneratedDb&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace vorlex::testing
