// vorlex-bench: measurements of the evaluation on generated databases, and the
// generator of those databases. The sub-command comes first; without one the
// run is measured.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "bench/Benchmark.h"

namespace vorlex::bench {

namespace {

const char* const kUsage =
    "usage: vorlex-bench [run] [OPTION...]     the evaluation run against SQLite alone\n"
    "       vorlex-bench window [OPTION...]    the same run in the window\n"
    "       vorlex-bench overview [OPTION...]  the year overview against one run\n"
    "       vorlex-bench gen [OPTION...] FILE  one database of Pelmora's shape\n"
    "vorlex-bench SUB-COMMAND --help describes each.\n";

}  // namespace

int WrongArguments(const std::string& command, const std::string& message, const char* usage) {
  std::cerr << "vorlex-bench " << command << ": " << message << "\n" << usage;
  return 2;
}

int Failed(const std::string& command, const std::string& message) {
  std::cerr << "vorlex-bench " << command << ": " << message << "\n";
  return 1;
}

int GenCommand(const std::vector<std::string>& args) {
  GenArgs command;
  try {
    command = ParseGenArgs(args);
  } catch (const std::exception& e) {
    return WrongArguments("gen", e.what(), kGenUsage);
  }
  if (command.help) {
    std::cout << kGenUsage;
    return 0;
  }
  try {
    GenerateBenchDb(command.output, command.options);
  } catch (const std::exception& e) {
    return Failed("gen", e.what());
  }
  std::cout << command.output << ": " << Describe(command.options) << "\n";
  return 0;
}

}  // namespace vorlex::bench

int main(int argc, char** argv) {
  using namespace vorlex::bench;
  std::vector<std::string> args(argv + 1, argv + argc);
  const std::string command = args.empty() ? "" : args.front();
  const auto rest = [&args] { return std::vector<std::string>(args.begin() + 1, args.end()); };
  if (command == "run") return RunCommand(rest());
  if (command == "overview") return OverviewCommand(rest());
  if (command == "gen") return GenCommand(rest());
  if (command == "window") {
#ifdef VORLEX_BENCH_WINDOW
    return WindowCommand(rest(), argc, argv);
#else
    std::cerr << "vorlex-bench window: this build has no window\n";
    return 1;
#endif
  }
  if (command == "--help" || command == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (!command.empty() && command[0] != '-') {
    std::cerr << "vorlex-bench: unknown sub-command \"" << command << "\"\n" << kUsage;
    return 2;
  }
  return RunCommand(args);
}
