#include "bench/Benchmark.h"

#include "bench/Args.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "db/uDB.h"
#include "output/ExportFile.h"
#include "tax/EvaluationRun.h"
#include "tax/TaxTotals.h"

namespace vorlex::bench {

namespace fs = std::filesystem;

const std::vector<Workload>& Workloads() {
  static const std::vector<Workload> workloads = [] {
    const auto make = [](const char* name, int64_t orders, int64_t cash, int64_t customers) {
      GenOptions o;
      o.orders = orders;
      o.linesPerOrder = 5;
      o.cashEntries = cash;
      o.customers = customers;
      o.years = 1;
      return Workload{name, o};
    };
    // Each step doubles everything, so that a linear run doubles its time.
    return std::vector<Workload>{
        make("smoke", 300, 60, 30),
        make("year-20k", 20000, 4000, 400),
        make("year-100k", 100000, 20000, 2000),
        make("year-200k", 200000, 40000, 4000),
    };
  }();
  return workloads;
}

const Workload* FindWorkload(const std::string& name) {
  for (const Workload& w : Workloads()) {
    if (w.name == name) return &w;
  }
  return nullptr;
}

const char* const kBenchUsage =
    "usage: vorlex-bench [run] [--workload NAME]... [--runs N] [--budget SECONDS]\n"
    "                          [--dir DIR] [--report PROGRAM] [--smoke]\n"
    "Measures the evaluation run (taxation basis \"Soll\", the whole last year of the\n"
    "data) against SQLite alone, with and without the index on\n"
    "verbindauftrag.auftragindex, and the peak memory of vorlex-report.\n"
    "Workloads: smoke, year-20k, year-100k, year-200k (default: year-100k and\n"
    "year-200k; --smoke: smoke alone). --runs: rounds per measurement, median taken\n"
    "(default 5). --budget: a run or reporter taking longer is stopped and its time\n"
    "estimated (default 60). --dir: where the generated databases are kept and\n"
    "reused (default: data beside the program). The last line is \"ratio: X.XX\",\n"
    "the highest run/baseline ratio of year-100k (of the first workload otherwise).\n";

BenchArgs ParseBenchArgs(const std::vector<std::string>& args) {
  BenchArgs b;
  TArgs arg(args);
  while (arg.Next()) {
    if (arg.DirOrRuns(b.dir, b.runs)) continue;
    if (arg.Is("--help") || arg.Is("-h")) {
      b.help = true;
    } else if (arg.Is("--smoke")) {
      b.smoke = true;
    } else if (arg.Is("--budget")) {
      b.budgetSeconds = arg.Number<double>(0.001, 86400);
    } else if (arg.Is("--report")) {
      b.report = arg.Value();
    } else if (arg.Is("--workload")) {
      const std::string& name = arg.Value();
      if (FindWorkload(name) == nullptr)
        throw std::invalid_argument("no workload \"" + name + "\"");
      b.workloads.push_back(name);
    } else {
      arg.Unknown();
    }
  }
  if (b.workloads.empty()) {
    b.workloads = b.smoke ? std::vector<std::string>{"smoke"}
                          : std::vector<std::string>{"year-100k", "year-200k"};
  }
  return b;
}

std::string EnsureDatabase(const std::string& dir, const Workload& workload, bool index,
                           bool& reused) {
  GenOptions options = workload.options;
  options.index = index;
  const fs::path path = fs::path(dir) / (workload.name + (index ? "-index.db" : "-no-index.db"));
  const fs::path stamp = fs::path(path).concat(".options");
  const std::string wanted = Describe(options) + "\n";
  if (fs::exists(path) && fs::exists(stamp)) {
    std::ifstream in(stamp, std::ios::binary);
    std::stringstream held;
    held << in.rdbuf();
    if (held.str() == wanted) {
      reused = true;
      return path.string();
    }
  }
  reused = false;
  fs::create_directories(dir);
  fs::remove(stamp);
  const fs::path partial = fs::path(path).concat(".part");
  GenerateBenchDb(partial.string(), options);
  fs::rename(partial, path);
  std::ofstream(stamp, std::ios::binary) << wanted;
  return path.string();
}

namespace {

struct RunOutcome {
  double seconds = 0;
  size_t lines = 0;
  size_t csvBytes = 0;
};

RunOutcome TimedRun(TDBase& db, const Period& period, bool csv, double budgetSeconds) {
  TaxTotals totals;
  TCollectingSink sink(budgetSeconds);
  const TStopwatch clock;
  EvaluateRun(db, period.firstDay, period.lastDay, TaxationBasis::Soll, totals, sink);
  RunOutcome outcome;
  if (csv) outcome.csvBytes = CsvBytes(sink.lines).size();
  outcome.seconds = clock.Seconds();
  outcome.lines = sink.lines.size();
  return outcome;
}

Timing Stopped(const EBudgetExceeded& e) {
  Timing t;
  t.estimated = true;
  t.seconds = e.EstimatedSeconds();
  t.note = "stopped after " + Fixed(e.seconds, 1) + " s at " + std::to_string(e.steps) + " of " +
           std::to_string(e.maximum) + (e.stage == 1 ? " orders" : " cash-book entries");
  return t;
}

}  // namespace

VariantResult MeasureVariant(const std::string& path, const GenOptions& options, int runs,
                             double budgetSeconds) {
  const Period period = LastYear(options);
  TDBase db(path, FormatSettings{});
  const TReadOnlyConnection raw(path);
  VariantResult result;
  result.counts = RunBaseline(raw.get(), period.firstDay, period.lastDay);  // warm-up
  bool stopped = false;
  try {
    TimedRun(db, period, true, budgetSeconds);  // warm-up
  } catch (const EBudgetExceeded& e) {
    result.run = result.runCsv = Stopped(e);
    stopped = true;
  }
  std::vector<double> baseline, run, runCsv;
  for (int i = 0; i < runs; ++i) {
    const TStopwatch clock;
    const BaselineResult counts = RunBaseline(raw.get(), period.firstDay, period.lastDay);
    baseline.push_back(clock.Seconds());
    if (counts.orderRows != result.counts.orderRows) {
      throw std::runtime_error("the baseline read a different number of orders on a second pass");
    }
    if (stopped) continue;
    RunOutcome plain, withCsv;
    try {
      plain = TimedRun(db, period, false, budgetSeconds);
      withCsv = TimedRun(db, period, true, budgetSeconds);
    } catch (const EBudgetExceeded& e) {
      result.run = result.runCsv = Stopped(e);
      stopped = true;
      continue;
    }
    if (i > 0 && (plain.lines != result.lines || withCsv.lines != result.lines)) {
      throw std::runtime_error("two runs over the same data gave different numbers of lines");
    }
    result.lines = plain.lines;
    result.csvBytes = withCsv.csvBytes;
    run.push_back(plain.seconds);
    runCsv.push_back(withCsv.seconds);
  }
  result.baseline = Median(baseline);
  if (!stopped) {
    result.run.seconds = Median(run);
    result.runCsv.seconds = Median(runCsv);
  }
  db.Close();
  return result;
}

std::string DataFolder() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ((ec ? fs::current_path() : self.parent_path()) / "data").string();
}

std::string Fixed(double value, int decimals) {
  char buffer[64];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return "?";
  return std::string(buffer, end);
}

}  // namespace vorlex::bench
