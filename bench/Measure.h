// Timing helpers of the benchmark: medians, a sink that collects a run's lines
// and stops a run that overruns its time budget, and a child process measured
// for its wall time and peak resident memory.
#pragma once

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "output/SummaryList.h"

namespace vorlex::bench {

// The middle value; the mean of the two middle values of an even count.
// Raises std::invalid_argument for no values.
double Median(std::vector<double> values);

class TStopwatch {
 public:
  TStopwatch() : start_(std::chrono::steady_clock::now()) {}
  double Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

 private:
  std::chrono::steady_clock::time_point start_;
};

// Thrown out of a run that takes longer than its budget. A run costs about the
// same per order, so the part done gives an estimate of the whole.
class EBudgetExceeded : public std::runtime_error {
 public:
  EBudgetExceeded(double seconds, int stage, int steps, int maximum);
  double seconds;  // spent when stopped
  int stage;       // 1 for the first progress stage (the orders), 2 for the next
  int steps;       // steps of that stage done
  int maximum;     // steps of that stage
  // The whole first stage, extrapolated from the part done.
  double EstimatedSeconds() const;
};

class TCollectingSink : public TRunList {
 public:
  // budgetSeconds <= 0: no limit.
  // The lines in German figures, as the measured runs have always made them.
  explicit TCollectingSink(double budgetSeconds = 0)
      : TRunList(FormatSettings{}), budget_(budgetSeconds) {}
  void ProgressStart(int maximum) override;
  void ProgressStep() override;
  int Stages() const { return stage_; }

 private:
  double budget_;
  TStopwatch clock_;
  int stage_ = 0;
  int steps_ = 0;
  int maximum_ = 0;
};

struct ChildResult {
  int exitStatus = -1;  // when it exited
  int signal = 0;       // when a signal ended it
  bool timedOut = false;
  double seconds = 0;
  long maxRssKb = 0;  // peak resident memory
  bool Succeeded() const { return !timedOut && signal == 0 && exitStatus == 0; }
};

// Runs program with args, its standard output and error into outputFile, and
// kills it once it has run timeoutSeconds. Raises std::runtime_error when it
// cannot be started. The peak memory counts the caller's own resident memory
// too (see TChildLauncher).
ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     double timeoutSeconds, const std::string& outputFile = "/dev/null");

// Starts children from a small process forked while the caller is still small.
// Linux hands a new child the resident pages of the process it was forked from
// and keeps their count in the child's peak across exec, so a child started
// straight from a large benchmark would report the benchmark's memory as its
// own. Make the launcher before loading anything large.
class TChildLauncher {
 public:
  TChildLauncher();
  ~TChildLauncher();  // ends the launcher
  TChildLauncher(const TChildLauncher&) = delete;
  TChildLauncher& operator=(const TChildLauncher&) = delete;
  // As RunChild, started by the launcher.
  ChildResult Run(const std::string& program, const std::vector<std::string>& args,
                  double timeoutSeconds, const std::string& outputFile = "/dev/null");

 private:
  int pid_ = -1;
  int socket_ = -1;  // our end of the connection to the launcher
};

}  // namespace vorlex::bench
