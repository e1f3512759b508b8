#include "app/version_U.h"

#include <charconv>

#include "util/uPlatform.h"

#ifndef VORLEX_VERSION
#define VORLEX_VERSION ""
#endif

namespace vorlex {

TFileVersion ParseFileVersion(std::string_view text) {
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
  return TFileVersion{parts[0], parts[1], parts[2], parts[3]};
}

TFileVersion ReadFileVersion() {
  // The program file's own version where it carries one (on Windows),
  // else the build's.
  if (const auto numbers = FileVersionNumbers("")) {
    return TFileVersion{(*numbers)[0], (*numbers)[1], (*numbers)[2], (*numbers)[3]};
  }
  return ParseFileVersion(VORLEX_VERSION);
}

std::string ProgramVersion() {
  const TFileVersion v = ReadFileVersion();
  return std::to_string(v.Major) + "." + std::to_string(v.Minor) + "." + std::to_string(v.Release) +
         "." + std::to_string(v.Build);
}

}  // namespace vorlex
