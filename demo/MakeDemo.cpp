// vorlex-make-demo DIR [--today YYYY-MM-DD]: a demo installation of Pelmora for
// APPDATA=DIR, dated up to today.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "demo/DemoData.h"
#include "util/Platform.h"

namespace {

constexpr const char* kUsage =
    "usage: vorlex-make-demo DIR [--today YYYY-MM-DD]\n"
    "Writes DIR/Pelmora/pelmora.ini and the demo database it names; start Vorlex\n"
    "with APPDATA=DIR to use them. DIR must not hold a Pelmora installation yet.\n";

}  // namespace

int main(int argc, char** argv) {
  std::string dir;
  std::string today;
  const std::vector<std::string> args = vorlex::ProgramArguments(argc, argv);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--today" && i + 1 < args.size()) {
      today = args[++i];
    } else if (!arg.empty() && arg[0] != '-' && dir.empty()) {
      dir = arg;
    } else {
      std::cerr << kUsage;
      return 2;
    }
  }
  if (dir.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    const vorlex::CalendarDate date =
        today.empty() ? vorlex::demo::LocalToday() : vorlex::demo::ParseIsoDate(today);
    const auto made = vorlex::demo::MakeDemoInstallation(vorlex::PathFromText(dir), date);
    std::cout << "Demo installation: " << vorlex::PathText(made.settingsFile) << " names "
              << vorlex::PathText(made.database) << "\n";
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "vorlex-make-demo: " << e.what() << "\n";
    return 1;
  }
}
