// The program's version, as its file or the build gives it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlex {

struct FileVersion {
  uint16_t major = 0;
  uint16_t minor = 0;
  uint16_t release = 0;
  uint16_t build = 0;
};

// The four numbers of a version text "major.minor.release.build"; missing or
// unreadable numbers stay 0, so a build without a version reads 0.0.0.0.
FileVersion ParseFileVersion(std::string_view text);

// The version of the program file: on Windows from its version resource,
// elsewhere (and for a file without one) the version it was built with.
FileVersion ReadFileVersion();

// "%d.%d.%d.%d" of ReadFileVersion(): "1.0.0.2".
std::string ProgramVersion();

}  // namespace vorlex
