#include "util/Platform.h"

#include <fcntl.h>
#include <io.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
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

// What the program knows of its standard output or error.
struct StandardStream {
  bool known = false;
  HANDLE console = nullptr;  // the console the stream shows in, if it does
  bool failed = false;       // a write to that console failed
};

StandardStream& StreamState(std::FILE* stream) {
  static StandardStream output, error, other;
  StandardStream& state = stream == stdout ? output : stream == stderr ? error : other;
  if (!state.known && &state != &other) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) state.console = handle;
    state.known = true;
  }
  return state;
}

std::wstring RunningProgramFile() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (n == 0) return {};
    if (n < name.size()) {
      name.resize(n);
      return name;
    }
    name.resize(name.size() * 2);
  }
}

// A known folder's path, or "" when the system names none.
std::string KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR folder = nullptr;
  std::string result;
  if (SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &folder) == S_OK) result = Utf8(folder);
  CoTaskMemFree(folder);
  return result;
}

}  // namespace

const System kSystem = System::Windows;
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
  return KnownFolder(FOLDERID_RoamingAppData);
}

std::string UserDataFolder() {
  return UserSettingsFolder();
}

std::string SystemFontsFolder() {
  return KnownFolder(FOLDERID_Fonts);
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
  // A console gets characters (WriteStandardStream), so its code page stays
  // as the user has it.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

void WriteStandardStream(std::FILE* stream, std::string_view bytes) {
  StandardStream& state = StreamState(stream);
  if (state.console == nullptr) {
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    return;
  }
  std::fflush(stream);  // whatever went through the C library before
  const std::wstring text = Wide(StoredTextAsUtf8(bytes));
  // In pieces, as older consoles refuse long writes; no piece ends between
  // the two halves of a surrogate pair.
  std::size_t done = 0;
  while (done < text.size()) {
    std::size_t n = std::min<std::size_t>(text.size() - done, 8192);
    if (done + n < text.size() && IS_HIGH_SURROGATE(text[done + n - 1])) --n;
    DWORD written = 0;
    if (!WriteConsoleW(state.console, text.data() + done, static_cast<DWORD>(n), &written,
                       nullptr) ||
        written == 0) {
      state.failed = true;
      return;
    }
    done += written;
  }
}

bool FlushStandardStream(std::FILE* stream) {
  const bool flushed = std::fflush(stream) == 0 && !std::ferror(stream);
  return flushed && !StreamState(stream).failed;
}

std::optional<std::array<std::uint16_t, 4>> FileVersionNumbers(const std::string& file) {
  const std::wstring name = file.empty() ? RunningProgramFile() : Wide(file);
  DWORD ignored = 0;
  const DWORD size = name.empty() ? 0 : GetFileVersionInfoSizeW(name.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<unsigned char> info(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoW(name.c_str(), 0, size, info.data()) ||
      !VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
      fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const DWORD high = fixed->dwFileVersionMS;
  const DWORD low = fixed->dwFileVersionLS;
  return std::array<std::uint16_t, 4>{HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low)};
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
