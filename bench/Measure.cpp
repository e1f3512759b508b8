#include "bench/Measure.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

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

EBudgetExceeded::EBudgetExceeded(double seconds, int stage, int steps, int maximum)
    : std::runtime_error("the run took longer than its time budget"),
      seconds(seconds),
      stage(stage),
      steps(steps),
      maximum(maximum) {}

double EBudgetExceeded::EstimatedSeconds() const {
  if (stage != 1 || steps <= 0) return seconds;
  return seconds * maximum / steps;
}

void TCollectingSink::ProgressStart(int maximum) {
  TRunList::ProgressStart(maximum);
  ++stage_;
  steps_ = 0;
  maximum_ = maximum;
}

void TCollectingSink::ProgressStep() {
  ++steps_;
  // Reading the clock on every step would show up in the figures.
  if (budget_ > 0 && steps_ % 64 == 0) {
    const double spent = clock_.Seconds();
    if (spent > budget_) throw EBudgetExceeded(spent, stage_, steps_, maximum_);
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
  const TStopwatch clock;
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

namespace {

void SendAll(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = send(fd, p, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("the child launcher has gone");
    p += n;
    size -= static_cast<size_t>(n);
  }
}

// False at a clean end of the connection before the first byte.
bool ReceiveAll(int fd, void* data, size_t size) {
  char* p = static_cast<char*>(data);
  const size_t wanted = size;
  while (size > 0) {
    const ssize_t n = recv(fd, p, size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 && size == wanted) return false;
    if (n <= 0) throw std::runtime_error("the child launcher has gone");
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

void SendText(int fd, const std::string& text) {
  const uint64_t size = text.size();
  SendAll(fd, &size, sizeof size);
  SendAll(fd, text.data(), text.size());
}

std::string ReceiveText(int fd) {
  uint64_t size = 0;
  if (!ReceiveAll(fd, &size, sizeof size)) throw std::runtime_error("the child launcher has gone");
  std::string text(size, '\0');
  if (size > 0 && !ReceiveAll(fd, text.data(), size)) {
    throw std::runtime_error("the child launcher has gone");
  }
  return text;
}

struct Request {
  uint64_t words;  // program, output file, arguments
  double timeoutSeconds;
};

struct Reply {
  int started;
  int exitStatus;
  int signal;
  int timedOut;
  double seconds;
  long maxRssKb;
};

// The launcher's loop: one child per request, until the connection closes.
[[noreturn]] void ServeLaunches(int fd) {
  try {
    Request request{};
    while (ReceiveAll(fd, &request, sizeof request)) {
      std::vector<std::string> words;
      for (uint64_t i = 0; i < request.words; ++i) words.push_back(ReceiveText(fd));
      Reply reply{};
      std::string error;
      try {
        const std::vector<std::string> args(words.begin() + 2, words.end());
        const ChildResult r = RunChild(words.at(0), args, request.timeoutSeconds, words.at(1));
        reply = Reply{1, r.exitStatus, r.signal, r.timedOut ? 1 : 0, r.seconds, r.maxRssKb};
      } catch (const std::exception& e) {
        error = e.what();
      }
      SendAll(fd, &reply, sizeof reply);
      SendText(fd, error);
    }
  } catch (...) {
    _exit(1);
  }
  _exit(0);
}

}  // namespace

TChildLauncher::TChildLauncher() {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
    throw std::runtime_error(std::string("cannot connect to a child launcher: ") +
                             std::strerror(errno));
  }
  const pid_t pid = fork();
  if (pid < 0) {
    close(ends[0]);
    close(ends[1]);
    throw std::runtime_error(std::string("cannot start a child launcher: ") + std::strerror(errno));
  }
  if (pid == 0) {
    close(ends[0]);
    ServeLaunches(ends[1]);
  }
  close(ends[1]);
  pid_ = pid;
  socket_ = ends[0];
}

TChildLauncher::~TChildLauncher() {
  close(socket_);
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
}

ChildResult TChildLauncher::Run(const std::string& program, const std::vector<std::string>& args,
                               double timeoutSeconds, const std::string& outputFile) {
  const Request request{args.size() + 2, timeoutSeconds};
  SendAll(socket_, &request, sizeof request);
  SendText(socket_, program);
  SendText(socket_, outputFile);
  for (const std::string& a : args) SendText(socket_, a);
  Reply reply{};
  if (!ReceiveAll(socket_, &reply, sizeof reply)) {
    throw std::runtime_error("the child launcher has gone");
  }
  const std::string error = ReceiveText(socket_);
  if (reply.started == 0) throw std::runtime_error(error);
  ChildResult r;
  r.exitStatus = reply.exitStatus;
  r.signal = reply.signal;
  r.timedOut = reply.timedOut != 0;
  r.seconds = reply.seconds;
  r.maxRssKb = reply.maxRssKb;
  return r;
}

}  // namespace vorlex::bench
