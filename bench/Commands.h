// The sub-commands of vorlex-bench. Each takes the arguments after its name
// and returns the program's exit status: 2 for wrong arguments, with the
// usage; 1 when the measurement failed.
#pragma once

#include <string>
#include <vector>

namespace vorlex::bench {

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

}  // namespace vorlex::bench
