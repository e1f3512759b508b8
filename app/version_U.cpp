#include "app/version_U.h"

#include <charconv>

#include "util/Platform.h"

#ifndef VORLEX_VERSION
#define VORLEX_VERSION ""
#endif

namespace vorlex {

FileVersion ParseFileVersion(std::string_view text) {
  uint16_t parts[4] = {0, 0, 0, 0};
  const char* p = text.data();
  const char* end = text.data() + text.size();
  for (int i = 0; i < 4 && p < end; ++i) {
    uint16_t value = 0;
    auto [next, ec] = std::from_chars(p, end, value);
    if (ec != std::errc()) break;
    parts[i] = value;
    p = next;
    if (p < end && *p != '.') break;
    ++p;
  }
  return FileVersion{parts[0], parts[1], parts[2], parts[3]};
}

FileVersion ReadFileVersion() {
  // The program file's own version where it carries one (on Windows),
  // else the build's.
  if (const auto numbers = FileVersionNumbers("")) {
    return FileVersion{(*numbers)[0], (*numbers)[1], (*numbers)[2], (*numbers)[3]};
  }
  return ParseFileVersion(VORLEX_VERSION);
}

std::string ProgramVersion() {
  const FileVersion v = ReadFileVersion();
  return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.release) +
         "." + std::to_string(v.build);
}

}  // namespace vorlex
