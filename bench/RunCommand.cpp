// vorlex-bench run: the evaluation run against SQLite alone on generated
// databases, with and without the index on the line table, and the peak memory
// of the reporter.
#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench/Benchmark.h"

namespace vorlex::bench {

namespace fs = std::filesystem;

namespace {

std::string DefaultReporter() {
#ifdef VORLEX_REPORT_PATH
  return VORLEX_REPORT_PATH;
#else
  return (fs::path(DataFolder()).parent_path().parent_path() / "report" / "vorlex-report").string();
#endif
}

std::string MachineText() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line, model = "unknown processor";
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("model name", 0) == 0) {
      const size_t colon = line.find(':');
      if (colon != std::string::npos) model = line.substr(colon + 2);
      break;
    }
  }
  return model + ", " + std::to_string(std::thread::hardware_concurrency()) + " cores";
}

std::string Seconds(const Timing& t) {
  return (t.estimated ? "~" : "") + Fixed(t.seconds, 3) + " s";
}

std::string Pad(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

struct Measured {
  VariantResult result;
  std::string path;
};

std::string VariantName(bool index) {
  return index ? "index" : "no-index";
}

}  // namespace

int RunCommand(const std::vector<std::string>& arguments) {
  BenchArgs args;
  try {
    args = ParseBenchArgs(arguments);
  } catch (const std::exception& e) {
    return WrongArguments("run", e.what(), kBenchUsage);
  }
  if (args.help) {
    std::cout << kBenchUsage;
    return 0;
  }
  // Before anything large is loaded, so that the reporter's peak is its own.
  TChildLauncher launcher;
  const std::string dir = args.dir.empty() ? DataFolder() : args.dir;
  const std::string reporter = args.report.empty() ? DefaultReporter() : args.report;
  int status = 0;

  std::cout << "Vorlex benchmark: medians of " << args.runs << " rounds, budget "
            << Fixed(args.budgetSeconds, 0) << " s per run\n"
            << "machine: " << MachineText() << "\n"
            << "run: EvaluateRun, taxation basis Soll, the whole last year of the data\n"
            << "baseline: SQLite alone, orders and cash-book queries stepped to their ends,"
               " one grouped line-sum query\n";
  std::cout.flush();

  std::map<std::string, Measured> measured;  // by "<workload> <variant>"
  try {
    for (const std::string& name : args.workloads) {
      const Workload& w = *FindWorkload(name);
      for (const bool index : {true, false}) {
        std::cout << "\n"
                  << w.name << ", " << VariantName(index) << " (" << w.options.orders
                  << " orders x " << w.options.linesPerOrder << " lines, " << w.options.cashEntries
                  << " cash-book entries, " << w.options.customers << " customers)\n";
        std::cout.flush();
        bool reused = false;
        const TStopwatch generation;
        const std::string path = EnsureDatabase(dir, w, index, reused);
        std::cout << "  database     " << path
                  << (reused ? " (reused)"
                             : " (generated in " + Fixed(generation.Seconds(), 1) + " s)")
                  << "\n";
        std::cout.flush();
        const VariantResult r = MeasureVariant(path, w.options, args.runs, args.budgetSeconds);
        std::cout << "  read         " << r.counts.orderRows << " orders, " << r.counts.lineSumRows
                  << " line sums, " << r.counts.cashRows << " cash-book entries"
                  << (r.run.estimated ? ""
                                      : "; the run lists " + std::to_string(r.lines) +
                                            " lines, CSV " + std::to_string(r.csvBytes) + " bytes")
                  << "\n"
                  << "  baseline     " << Fixed(r.baseline, 3) << " s\n"
                  << "  run          " << Pad(Seconds(r.run), 14) << "run/baseline "
                  << Fixed(r.run.seconds / r.baseline, 2) << "\n"
                  << "  run + CSV    " << Pad(Seconds(r.runCsv), 14) << "run/baseline "
                  << Fixed(r.runCsv.seconds / r.baseline, 2) << "\n";
        if (r.run.estimated) std::cout << "  (estimated: " << r.run.note << ")\n";
        std::cout.flush();
        measured[w.name + " " + VariantName(index)] = Measured{r, path};
      }
    }
  } catch (const std::exception& e) {
    return Failed("run", e.what());
  }

  const bool growth = measured.count("year-100k index") && measured.count("year-200k index");
  if (growth) {
    std::cout << "\ngrowth, time at 200k / time at 100k (run + CSV):";
    for (const bool index : {true, false}) {
      const Timing& small = measured["year-100k " + VariantName(index)].result.runCsv;
      const Timing& large = measured["year-200k " + VariantName(index)].result.runCsv;
      std::cout << " " << VariantName(index) << " "
                << (small.estimated || large.estimated ? "~" : "")
                << Fixed(large.seconds / small.seconds, 2);
    }
    std::cout << "\n";
  }

  const std::string headline =
      measured.count("year-100k index") ? "year-100k" : args.workloads.front();
  std::cout << "\n";
  if (!fs::exists(reporter)) {
    std::cout << "vorlex-report not found at " << reporter << ": its memory is not measured\n";
  } else {
    const GenOptions& o = FindWorkload(headline)->options;
    for (const bool index : {true, false}) {
      const Measured& m = measured[headline + " " + VariantName(index)];
      const std::string log = (fs::path(dir) / ("report-" + headline + ".log")).string();
      const ChildResult child = launcher.Run(
          reporter, {"--db", m.path, "--year", std::to_string(o.lastYear), "--basis", "soll"},
          args.budgetSeconds, log);
      std::cout << "vorlex-report on " << headline << ", " << Pad(VariantName(index) + ":", 10)
                << "peak resident memory " << Fixed(child.maxRssKb / 1024.0, 1) << " MB, "
                << Fixed(child.seconds, 3) << " s";
      if (child.timedOut) {
        std::cout << " (stopped at the budget; the peak so far)";
      } else if (!child.Succeeded()) {
        std::cout << " (FAILED: "
                  << (child.signal != 0 ? "signal " + std::to_string(child.signal)
                                        : "exit status " + std::to_string(child.exitStatus))
                  << ", see " << log << ")";
        status = 1;
      }
      std::cout << "\n";
    }
  }

  double worst = 0;
  bool estimated = false;
  for (const bool index : {true, false}) {
    const VariantResult& r = measured[headline + " " + VariantName(index)].result;
    worst = std::max({worst, r.run.seconds / r.baseline, r.runCsv.seconds / r.baseline});
    estimated = estimated || r.run.estimated;
  }
  std::cout << "\nhighest run/baseline of " << headline << " (with and without the index, with"
            << " and without the CSV bytes)" << (estimated ? ", estimated" : "") << ":\n"
            << "ratio: " << Fixed(worst, 2) << "\n";
  return status;
}

}  // namespace vorlex::bench
