// What the tests need of the system where Windows and POSIX systems differ.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "util/Platform.h"

namespace vorlex::testing {

#ifdef _WIN32
inline constexpr bool kWindows = true;
inline int ProcessId() { return _getpid(); }
#else
inline constexpr bool kWindows = false;
inline int ProcessId() { return static_cast<int>(::getpid()); }
#endif

// A file's bytes, read and closed again: Windows removes no file still open.
inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Sets an environment variable to value (text as the program holds it), or
// removes it for nullptr.
inline void SetEnvironmentValue(const std::string& name, const char* value) {
#ifdef _WIN32
  const std::wstring wideName = PathFromText(name).native();
  const std::wstring wideValue = value != nullptr ? PathFromText(value).native() : L"";
  _wputenv_s(wideName.c_str(), wideValue.c_str());
#else
  if (value != nullptr) {
    ::setenv(name.c_str(), value, 1);
  } else {
    ::unsetenv(name.c_str());
  }
#endif
}

// A program of this build as a test starts it: under wine the build's POSIX
// path is seen through drive Z:.
inline std::string ProgramPath(const std::string& built) {
  return kWindows && !built.empty() && built.front() == '/' ? "Z:" + built : built;
}

}  // namespace vorlex::testing

// For a test whose set-up only POSIX systems have (file-size limits, FIFOs,
// /dev/full, the C locale's environment variables).
#define VORLEX_POSIX_ONLY(why)                                                      \
  do {                                                                             \
    if (::vorlex::testing::kWindows) GTEST_SKIP() << "POSIX only: " << (why);      \
  } while (0)
