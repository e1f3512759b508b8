#include "util/Platform.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace vorlex {

const System kSystem = System::Posix;
const char kPathSeparator = '/';

std::filesystem::path PathFromText(std::string_view text) {
  return std::filesystem::path(std::string(text));
}

std::string PathText(const std::filesystem::path& path) {
  return path.string();
}

std::string EnvironmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value != nullptr ? std::string(value) : std::string();
}

namespace {

// $variable when it names an absolute folder (a relative one is invalid and
// ignored), else the folder below the home folder.
std::string XdgFolder(const char* variable, const char* belowHome) {
  const std::string folder = EnvironmentValue(variable);
  if (!folder.empty() && folder.front() == '/') return folder;
  std::string home = EnvironmentValue("HOME");
  if (home.empty()) {
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr) {
      home = pw->pw_dir;
    }
  }
  return home + belowHome;
}

}  // namespace

std::string UserSettingsFolder() {
  return XdgFolder("XDG_CONFIG_HOME", "/.config");
}

std::string UserDataFolder() {
  return XdgFolder("XDG_DATA_HOME", "/.local/share");
}

std::string SystemFontsFolder() {
  return {};
}

bool IsAbsoluteSettingsPath(std::string_view path) {
  return !path.empty() && path.front() == '/';
}

std::string NativeSeparators(std::string path) {
  return path;
}

std::string SettingsTextAsFileName(std::string_view text) {
  return std::string(text);
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void PrepareStandardStreams() {
  std::signal(SIGXFSZ, SIG_IGN);
}

void WriteStandardStream(std::FILE* stream, std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

bool FlushStandardStream(std::FILE* stream) {
  return std::fflush(stream) == 0 && !std::ferror(stream);
}

std::optional<std::array<std::uint16_t, 4>> FileVersionNumbers(const std::string&) {
  return std::nullopt;
}

bool IsDiskFullError(int reason) {
  return reason == ENOSPC || reason == EDQUOT;
}

std::tm LocalTime(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  return local;
}

}  // namespace vorlex
