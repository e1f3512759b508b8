// A generated database of Pelmora's shape for tests that compare whole runs:
// orders, their lines and cash-book entries spread over whole years ending
// with 2025, in a scratch folder of its own, removed again with the object.
#pragma once

#include <cstdint>
#include <string>

#include "bench/BenchDb.h"
#include "tests/ScratchFolder.h"

namespace vorlex::testing {

class GeneratedDb {
 public:
  static constexpr int kLastYear = 2025;

  GeneratedDb(const std::string& name, int64_t orders, int years = 1, bool index = true,
              uint64_t seed = 1)
      : folder_("vorlex-" + name), path_(folder_.File("generated.db")) {
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
  const std::string& Path() const { return path_; }

 private:
  ScratchFolder folder_;
  std::string path_;
};

}  // namespace vorlex::testing
