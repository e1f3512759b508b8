#include "util/uPlatform.h"

#include <fcntl.h>
#include <io.h>
#include <shlobj.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cwchar>
#include <memory>

#include "util/uString.h"

namespace vorlex {

namespace {

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                      nullptr, nullptr);
  return utf8;
}

bool IsSlash(char c) {
  return c == '/' || c == '\\';
}

}  // namespace

const char kPathSeparator = '\\';

std::filesystem::path PathFromText(std::string_view text) {
  return std::filesystem::path(Wide(text));
}

std::string PathText(const std::filesystem::path& path) {
  std::filesystem::path native = path;
  return Utf8(native.make_preferred().native());
}

std::string EnvironmentValue(const std::string& name) {
  const wchar_t* value = _wgetenv(Wide(name).c_str());
  return value != nullptr ? Utf8(value) : std::string();
}

std::string UserSettingsFolder() {
  PWSTR folder = nullptr;
  std::string result;
  if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder) == S_OK) {
    result = Utf8(folder);
  }
  CoTaskMemFree(folder);
  return result;
}

bool IsAbsoluteSettingsPath(std::string_view path) {
  if (!path.empty() && IsSlash(path.front())) return true;  // the current drive's root, a share
  const bool drive = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') ||
                                          (path[0] >= 'a' && path[0] <= 'z'));
  return drive && path[1] == ':' && IsSlash(path[2]);
}

std::string NativeSeparators(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string SettingsTextAsFileName(std::string_view text) {
  return StoredTextAsUtf8(text);
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(
      CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
  if (!wide) return std::vector<std::string>(argv + 1, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8(wide.get()[i]));
  return arguments;
}

void PrepareStandardStreams() {
  // The program writes UTF-8; a console shows it as such.
  SetConsoleOutputCP(CP_UTF8);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

bool IsDiskFullError(int reason) {
  return reason == ENOSPC;
}

std::tm LocalTime(std::time_t t) {
  std::tm local{};
  localtime_s(&local, &t);
  return local;
}

}  // namespace vorlex
