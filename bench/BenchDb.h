// Large databases of Pelmora's shape for measuring the evaluation: many
// customers, orders with their lines and cash-book entries, spread over whole
// years that end with a fixed year. The same options give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorlex::bench {

struct GenOptions {
  int64_t orders = 100000;
  int linesPerOrder = 5;
  int64_t cashEntries = 20000;
  int64_t customers = 2000;
  int years = 1;
  int lastYear = 2024;
  bool index = true;  // on verbindauftrag.auftragindex
  uint64_t seed = 1;
  friend bool operator==(const GenOptions&, const GenOptions&) = default;
};

// Whole days, the bounds of the last year that the data covers.
struct Period {
  double firstDay;
  double lastDay;
};
Period LastYear(const GenOptions& options);

// Writes (replacing) a database at path. Orders and cash-book entries are spread
// evenly at random over the years; every order has exactly linesPerOrder lines,
// a share of them with fractional quantities and prices of up to four decimals.
void GenerateBenchDb(const std::string& path, const GenOptions& options);

// The options as the generator's command line takes them.
std::string Describe(const GenOptions& options);

struct GenArgs {
  GenOptions options;
  std::string output;
  bool help = false;
};
// Raises std::invalid_argument with a message for the user on a bad argument.
GenArgs ParseGenArgs(const std::vector<std::string>& args);
extern const char* const kGenUsage;

}  // namespace vorlex::bench
