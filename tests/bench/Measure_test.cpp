#include "bench/Measure.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <thread>

#include "bench/Benchmark.h"
#include "bench/Probe.h"
#include "tests/ScratchFolder.h"

namespace vorlex::bench {
namespace {

namespace fs = std::filesystem;

TEST(Median, TakesTheMiddleOfOddAndEvenCounts) {
  struct Case {
    std::vector<double> values;
    double median;
  };
  const Case cases[] = {
      {{3}, 3}, {{5, 1, 3}, 3}, {{4, 1, 3, 2}, 2.5}, {{9, 1, 1, 1, 9}, 1}, {{2, 2}, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(Median(c.values), c.median);
  EXPECT_THROW(Median({}), std::invalid_argument);
}

TEST(TCollectingSink, StopsARunPastItsBudgetAndEstimatesTheWhole) {
  TCollectingSink sink(0.05);
  sink.ProgressStart(1000);
  RunEntry one;
  one.kind = EntryKind::Receipt;
  one.SetDescription("one");
  sink.AppendEntry(one);
  int steps = 0;
  try {
    for (; steps < 1000; ++steps) {
      sink.ProgressStep();
      if (steps % 64 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    FAIL() << "the budget never stopped the run";
  } catch (const EBudgetExceeded& e) {
    EXPECT_EQ(e.stage, 1);
    EXPECT_EQ(e.maximum, 1000);
    EXPECT_EQ(e.steps % 64, 0);
    EXPECT_LT(e.steps, 1000);
    EXPECT_GT(e.seconds, 0.05);
    EXPECT_DOUBLE_EQ(e.EstimatedSeconds(), e.seconds * 1000 / e.steps);
  }
  ASSERT_EQ(sink.lines.size(), 1u);
  EXPECT_NE(sink.lines[0].text.find("one"), std::string::npos);

  TCollectingSink unlimited;
  unlimited.ProgressStart(5);
  unlimited.ProgressStart(100000);
  for (int i = 0; i < 100000; ++i) unlimited.ProgressStep();
  EXPECT_EQ(unlimited.Stages(), 2);
}

TEST(RunChild, ReportsExitSignalTimeoutAndOutput) {
  testing::ScratchFolder dir{"vorlex-bench-test"};
  const std::string log = dir.File("out.log");

  ChildResult r = RunChild("/bin/sh", {"-c", "echo out; echo err >&2; exit 3"}, 10, log);
  EXPECT_EQ(r.exitStatus, 3);
  EXPECT_FALSE(r.Succeeded());
  EXPECT_EQ(testing::ReadBytes(log), "out\nerr\n");
  EXPECT_GT(r.maxRssKb, 0);

  r = RunChild("/bin/sh", {"-c", "kill -TERM $$"}, 10);
  EXPECT_EQ(r.signal, SIGTERM);
  EXPECT_FALSE(r.Succeeded());

  r = RunChild("/bin/sh", {"-c", "sleep 20"}, 0.2);
  EXPECT_TRUE(r.timedOut);
  EXPECT_LT(r.seconds, 5);

  r = RunChild("/bin/true", {}, 10);
  EXPECT_TRUE(r.Succeeded());

  EXPECT_THROW(RunChild(dir.File("no-such-program"), {}, 10), std::runtime_error);
}

TEST(RunChild, MeasuresThePeakMemoryOfTheChild) {
  // A child that holds 32 MB at its peak and then lets it go.
  const ChildResult r = RunChild("/bin/sh",
                                 {"-c",
                                  "x=$(head -c 33554432 /dev/zero | tr '\\0' a); "
                                  "echo ${#x} > /dev/null"},
                                 60);
  ASSERT_TRUE(r.Succeeded());
  EXPECT_GT(r.maxRssKb, 32 * 1024);
  EXPECT_LT(r.maxRssKb, 1024 * 1024);
}

// A child started straight from a large process reports that process's
// memory as its own; one started by the launcher made early does not.
TEST(TChildLauncher, ReportsTheChildsOwnPeakEvenFromALargeProcess) {
  TChildLauncher launcher;
  const long small = launcher.Run("/bin/true", {}, 10).maxRssKb;
  std::vector<char> ballast(256 << 20);
  for (size_t i = 0; i < ballast.size(); i += 4096) ballast[i] = 1;

  const ChildResult launched = launcher.Run("/bin/true", {}, 10);
  EXPECT_TRUE(launched.Succeeded());
  EXPECT_GT(launched.maxRssKb, 0);
  EXPECT_LT(launched.maxRssKb, small + 32 * 1024);

  testing::ScratchFolder dir{"vorlex-bench-test"};
  const ChildResult r =
      launcher.Run("/bin/sh", {"-c", "echo out; exit 4"}, 10, dir.File("launched.log"));
  EXPECT_EQ(r.exitStatus, 4);
  EXPECT_EQ(testing::ReadBytes(dir.File("launched.log")), "out\n");
  EXPECT_TRUE(launcher.Run("/bin/sh", {"-c", "sleep 20"}, 0.2).timedOut);
  EXPECT_THROW(launcher.Run(dir.File("no-such-program"), {}, 10), std::runtime_error);
  // The launcher carries on after a failed start.
  EXPECT_TRUE(launcher.Run("/bin/true", {}, 10).Succeeded());
  EXPECT_EQ(ballast[4096], 1);
}

TEST(ParseBenchArgs, DefaultsAndEveryOption) {
  BenchArgs b = ParseBenchArgs({});
  EXPECT_EQ(b.workloads, (std::vector<std::string>{"year-100k", "year-200k"}));
  EXPECT_EQ(b.runs, 5);
  EXPECT_FALSE(b.smoke);
  b = ParseBenchArgs({"--smoke"});
  EXPECT_EQ(b.workloads, std::vector<std::string>{"smoke"});
  b = ParseBenchArgs({"--workload", "year-20k", "--runs", "7", "--budget", "2.5", "--dir", "d",
                      "--report", "r", "--workload", "smoke"});
  EXPECT_EQ(b.workloads, (std::vector<std::string>{"year-20k", "smoke"}));
  EXPECT_EQ(b.runs, 7);
  EXPECT_EQ(b.budgetSeconds, 2.5);
  EXPECT_EQ(b.dir, "d");
  EXPECT_EQ(b.report, "r");

  const std::vector<std::vector<std::string>> bad = {
      {"--runs"},     {"--runs", "0"},           {"--runs", "five"}, {"--budget", "0"},
      {"--workload"}, {"--workload", "year-1m"}, {"--orders", "5"},  {"year-100k"},
  };
  for (const auto& args : bad) {
    EXPECT_THROW(ParseBenchArgs(args), std::invalid_argument) << args.front();
  }
}

TEST(Workloads, DoubleEverythingFromOneToTheNext) {
  const Workload* small = FindWorkload("year-100k");
  const Workload* large = FindWorkload("year-200k");
  ASSERT_NE(small, nullptr);
  ASSERT_NE(large, nullptr);
  EXPECT_EQ(small->options.orders, 100000);
  EXPECT_EQ(small->options.linesPerOrder, 5);
  EXPECT_EQ(small->options.cashEntries, 20000);
  EXPECT_EQ(small->options.customers, 2000);
  EXPECT_EQ(small->options.years, 1);
  EXPECT_EQ(large->options.orders, 2 * small->options.orders);
  EXPECT_EQ(large->options.cashEntries, 2 * small->options.cashEntries);
  EXPECT_EQ(large->options.customers, 2 * small->options.customers);
  EXPECT_EQ(large->options.linesPerOrder, small->options.linesPerOrder);
  EXPECT_EQ(FindWorkload("year-1m"), nullptr);
}

TEST(EnsureDatabase, GeneratesOnceThenReusesUntilTheOptionsDiffer) {
  testing::ScratchFolder dir{"vorlex-bench-test"};
  Workload w{"tiny", {}};
  w.options.orders = 20;
  w.options.cashEntries = 5;
  w.options.customers = 3;
  bool reused = true;
  const std::string path = EnsureDatabase(dir.Path().string(), w, false, reused);
  EXPECT_FALSE(reused);
  EXPECT_EQ(fs::path(path).filename(), "tiny-no-index.db");
  EXPECT_EQ(probe::Db(path).Number("SELECT COUNT(*) FROM auftrag"), 20);

  EXPECT_EQ(EnsureDatabase(dir.Path().string(), w, false, reused), path);
  EXPECT_TRUE(reused);

  w.options.orders = 30;
  EnsureDatabase(dir.Path().string(), w, false, reused);
  EXPECT_FALSE(reused);
  EXPECT_EQ(probe::Db(path).Number("SELECT COUNT(*) FROM auftrag"), 30);

  EXPECT_EQ(fs::path(EnsureDatabase(dir.Path().string(), w, true, reused)).filename(),
            "tiny-index.db");
  EXPECT_FALSE(reused);
}

TEST(Baseline, ReadsTheLiveRowsOfTheLastYear) {
  testing::ScratchFolder dir{"vorlex-bench-test"};
  GenOptions o;
  o.orders = 600;
  o.linesPerOrder = 2;
  o.cashEntries = 200;
  o.customers = 25;
  o.years = 2;
  GenerateBenchDb(dir.File("db"), o);
  const probe::Db db(dir.File("db"));
  const Period p = LastYear(o);
  const std::string period =
      " AND termin >= " + Fixed(p.firstDay, 0) + " AND termin < " + Fixed(p.lastDay + 1, 0);
  const TReadOnlyConnection raw(dir.File("db"));
  const BaselineResult r = RunBaseline(raw.get(), p.firstDay, p.lastDay);
  const double orders = db.Number("SELECT COUNT(*) FROM auftrag WHERE papierkorb = 0" + period);
  EXPECT_GT(orders, 200);
  EXPECT_LT(orders, 400);  // the other year is left out
  EXPECT_EQ(r.orderRows, orders);
  EXPECT_EQ(r.lineSumRows, orders);
  EXPECT_EQ(r.cashRows, db.Number("SELECT COUNT(*) FROM kasse WHERE papierkorb = 0" + period));
  EXPECT_NE(r.checksum, 0);

  EXPECT_THROW(TReadOnlyConnection(dir.File("missing.db")), std::runtime_error);
  EXPECT_FALSE(fs::exists(dir.File("missing.db")));
}

TEST(Fixed, WritesAPointAndTheDecimalsAsked) {
  EXPECT_EQ(Fixed(1.234567, 3), "1.235");
  EXPECT_EQ(Fixed(2.5, 0), "2");
  EXPECT_EQ(Fixed(1.0 / 3.0, 2), "0.33");
  EXPECT_EQ(Fixed(-0.125, 2), "-0.12");
}

}  // namespace
}  // namespace vorlex::bench
