// vorlex-bench-gen: writes one database of Pelmora's shape for measurements.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "bench/BenchDb.h"

int main(int argc, char** argv) {
  using namespace vorlex::bench;
  GenCommand command;
  try {
    command = ParseGenArgs(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    std::cerr << "vorlex-bench-gen: " << e.what() << "\n" << kGenUsage;
    return 2;
  }
  if (command.help) {
    std::cout << kGenUsage;
    return 0;
  }
  try {
    GenerateBenchDb(command.output, command.options);
  } catch (const std::exception& e) {
    std::cerr << "vorlex-bench-gen: " << e.what() << "\n";
    return 1;
  }
  std::cout << command.output << ": " << Describe(command.options) << "\n";
  return 0;
}
