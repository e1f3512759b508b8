#include "bench/Measure.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace vorlex::bench {

double Median(std::vector<double> values) {
  if (values.empty()) throw std::invalid_argument("median of no values");
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

BudgetExceeded::BudgetExceeded(double seconds, int stage, int steps, int maximum)
    : std::runtime_error("the run took longer than its time budget"),
      seconds(seconds),
      stage(stage),
      steps(steps),
      maximum(maximum) {}

double BudgetExceeded::EstimatedSeconds() const {
  if (stage != 1 || steps <= 0) return seconds;
  return seconds * maximum / steps;
}

void CollectingSink::ProgressStart(int maximum) {
  ++stage_;
  steps_ = 0;
  maximum_ = maximum;
}

void CollectingSink::ProgressStep() {
  ++steps_;
  // Reading the clock on every step would show up in the figures.
  if (budget_ > 0 && steps_ % 64 == 0) {
    const double spent = clock_.Seconds();
    if (spent > budget_) throw BudgetExceeded(spent, stage_, steps_, maximum_);
  }
}

namespace {

class SpawnActions {
 public:
  SpawnActions() { posix_spawn_file_actions_init(&actions_); }
  ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     double timeoutSeconds, const std::string& outputFile) {
  std::vector<std::string> argvText;
  argvText.push_back(program);
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);

  SpawnActions actions;
  posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, outputFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(actions.get(), STDOUT_FILENO, STDERR_FILENO);
  posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);

  ChildResult result;
  const Stopwatch clock;
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program.c_str(), actions.get(), nullptr, argv.data(), environ);
  if (rc != 0) {
    throw std::runtime_error("cannot start " + program + ": " + std::strerror(rc));
  }
  int status = 0;
  rusage usage{};
  for (;;) {
    const pid_t done = wait4(pid, &status, WNOHANG, &usage);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) {
      throw std::runtime_error("waiting for " + program + ": " + std::strerror(errno));
    }
    if (!result.timedOut && timeoutSeconds > 0 && clock.Seconds() > timeoutSeconds) {
      result.timedOut = true;
      kill(pid, SIGKILL);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  result.seconds = clock.Seconds();
  result.maxRssKb = usage.ru_maxrss;
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

}  // namespace vorlex::bench
