// The benchmark's workloads, its arguments, and one measured variant: the
// evaluation run of the core against SQLite alone on the same database.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bench/Baseline.h"
#include "bench/BenchDb.h"
#include "bench/Measure.h"

namespace vorlex::bench {

struct Workload {
  std::string name;
  GenOptions options;
};

// smoke, year-20k, year-100k, year-200k.
const std::vector<Workload>& Workloads();
const Workload* FindWorkload(const std::string& name);

struct BenchArgs {
  std::string dir;  // empty: the data folder beside the program
  int runs = 5;
  double budgetSeconds = 60;
  std::string report;  // empty: the reporter of this build
  std::vector<std::string> workloads;
  bool smoke = false;
  bool help = false;
};
// Raises std::invalid_argument with a message for the user.
BenchArgs ParseBenchArgs(const std::vector<std::string>& args);
extern const char* const kBenchUsage;

// "<dir>/<name>-index.db" or "-no-index.db", generated unless a database made
// with the same options is there already. reused tells which.
std::string EnsureDatabase(const std::string& dir, const Workload& workload, bool index,
                           bool& reused);

struct Timing {
  double seconds = 0;      // the median, or the estimate of a run stopped at its budget
  bool estimated = false;  // a run overran the budget; seconds is extrapolated
  std::string note;        // how far the stopped run came
};

struct VariantResult {
  double baseline = 0;
  Timing run;     // lines and totals
  Timing runCsv;  // and the CSV bytes of the lines
  size_t lines = 0;
  size_t csvBytes = 0;
  BaselineResult counts;
};

// Opens the database once for the core and once for SQLite alone, warms both
// up, then takes runs rounds of baseline, run, run + CSV side by side. The
// period is the last year of the data, taxation basis "Soll" (every order of
// the year). Errors of the run other than the budget propagate.
VariantResult MeasureVariant(const std::string& path, const GenOptions& options, int runs,
                             double budgetSeconds);

// The folder "data" beside the program, where the generated databases are kept
// unless --dir names another.
std::string DataFolder();

// The sub-commands of vorlex-bench. Each takes the arguments after its name
// and returns the program's exit status: 2 for wrong arguments, with the
// usage; 1 when the measurement failed.
// The evaluation run against SQLite alone, and the reporter's memory.
int RunCommand(const std::vector<std::string>& args);
// The same run in the window, without a screen; argc and argv for Qt.
int WindowCommand(const std::vector<std::string>& args, int& argc, char** argv);
// The year overview against one run of the year.
int OverviewCommand(const std::vector<std::string>& args);
// One database of Pelmora's shape.
int GenCommand(const std::vector<std::string>& args);

// "vorlex-bench NAME: message" and the usage on standard error; 2.
int WrongArguments(const std::string& command, const std::string& message, const char* usage);
// "vorlex-bench NAME: message" on standard error; 1.
int Failed(const std::string& command, const std::string& message);

// Fixed-point text with the given decimals, independent of any locale.
std::string Fixed(double value, int decimals);

}  // namespace vorlex::bench
