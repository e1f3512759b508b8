// vorlex-bench overview: the year overview against a single run of the same
// year on the benchmark's databases, with and without the index on the line
// table, for both taxation bases.
#include <algorithm>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "bench/Args.h"
#include "bench/Benchmark.h"
#include "db/uDB.h"
#include "tax/EvaluationRun.h"
#include "tax/YearOverview.h"
#include "util/FormatSettings.h"

namespace vorlex::bench {

namespace {

const char* const kUsage =
    "usage: vorlex-bench overview [--dir DIR] [--runs N] [--check] [WORKLOAD...]\n"
    "The year overview against one run of the same year (lines and totals), medians\n"
    "of N rounds (5), on the benchmark's databases in DIR (the data folder beside\n"
    "vorlex-bench), generated there when missing. Workloads as vorlex-bench names\n"
    "them; default year-100k. --check also compares every row, bit for bit, with a\n"
    "run of its own period.\n";

double TimedYearRun(TDBase& db, const Period& period, TaxationBasis basis) {
  const TStopwatch clock;
  TCollectingSink sink;
  TaxTotals totals;
  EvaluateRun(db, period.firstDay, period.lastDay, basis, totals, sink);
  return clock.Seconds();
}

double TimedOverview(TDBase& db, int year, TaxationBasis basis) {
  const TStopwatch clock;
  const YearOverview overview = EvaluateYearOverview(db, year, basis);
  if (overview.rows.size() != 17) throw std::runtime_error("the overview has no seventeen rows");
  return clock.Seconds();
}

bool SameBits(const TaxTotals& a, const TaxTotals& b) {
  return std::memcmp(&a, &b, sizeof(TaxTotals)) == 0;
}

// The rows that differ from a run of their own period.
int CheckRows(TDBase& db, int year, TaxationBasis basis) {
  int differing = 0;
  for (const OverviewRow& row : EvaluateYearOverview(db, year, basis).rows) {
    TCollectingSink sink;
    TaxTotals totals;
    EvaluateRun(db, row.period.FirstDay, row.period.LastDay, basis, totals, sink);
    if (!SameBits(row.totals, totals)) ++differing;
  }
  return differing;
}

}  // namespace

int OverviewCommand(const std::vector<std::string>& args) {
  std::string dir = DataFolder();
  int runs = 5;
  bool check = false;
  std::vector<std::string> workloads;
  try {
    TArgs arg(args);
    while (arg.Next()) {
      if (arg.DirOrRuns(dir, runs)) continue;
      if (arg.Is("--help")) {
        std::cout << kUsage;
        return 0;
      } else if (arg.Is("--check")) {
        check = true;
      } else if (FindWorkload(arg.Arg()) != nullptr) {
        workloads.push_back(arg.Arg());
      } else {
        arg.Unknown();
      }
    }
  } catch (const std::invalid_argument& e) {
    return WrongArguments("overview", e.what(), kUsage);
  }
  if (workloads.empty()) workloads.push_back("year-100k");
  double worst = 0;
  int status = 0;
  try {
    for (const std::string& name : workloads) {
      const Workload& w = *FindWorkload(name);
      for (const bool index : {true, false}) {
        bool reused = false;
        const std::string path = EnsureDatabase(dir, w, index, reused);
        const Period period = LastYear(w.options);
        TDBase db(path, FormatSettings{});  // German figures
        for (const TaxationBasis basis : {TaxationBasis::Ist, TaxationBasis::Soll}) {
          TimedYearRun(db, period, basis);  // warm-up
          TimedOverview(db, w.options.lastYear, basis);
          std::vector<double> run, overview;
          for (int i = 0; i < runs; ++i) {
            run.push_back(TimedYearRun(db, period, basis));
            overview.push_back(TimedOverview(db, w.options.lastYear, basis));
          }
          const double ratio = Median(overview) / Median(run);
          worst = std::max(worst, ratio);
          std::cout << w.name << ", " << (index ? "index" : "no-index") << ", "
                    << (basis == TaxationBasis::Ist ? "Ist " : "Soll") << ": year run "
                    << Fixed(Median(run), 3) << " s, overview " << Fixed(Median(overview), 3)
                    << " s, overview/run " << Fixed(ratio, 2) << "\n";
          if (check) {
            const int differing = CheckRows(db, w.options.lastYear, basis);
            std::cout << "  rows against runs of their periods: "
                      << (differing == 0 ? "all 17 the same"
                                         : std::to_string(differing) + " DIFFERENT")
                      << "\n";
            if (differing != 0) status = 1;
          }
          std::cout.flush();
        }
        db.Close();
      }
    }
  } catch (const std::exception& e) {
    return Failed("overview", e.what());
  }
  std::cout << "highest overview/run: " << Fixed(worst, 2) << "\n";
  return status;
}

}  // namespace vorlex::bench
