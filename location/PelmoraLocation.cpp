#include "location/PelmoraLocation.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "util/Platform.h"
#include "util/uString.h"

namespace vorlex {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxValueLength = 1023;
constexpr const char* kSection = "Allgemein";

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

// White space as the line rules below count it, without the C locale.
bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

// The settings file line by line, read like the platform's profile reader
// reads it: it knows no continuation lines (an indented key stays a key, so
// lines are handed over without their leading blanks) and no inline comments
// (a ";" belongs to the value), and a value may be longer than the line
// buffer of the line rules below. Every value is therefore kept aside and
// handed over as a short token, which the handler exchanges for it again.
class SettingsReader {
 public:
  explicit SettingsReader(std::istream& in) : in_(in) {}

  static char* Read(char* buffer, int size, void* self) {
    return static_cast<SettingsReader*>(self)->Next(buffer, static_cast<std::size_t>(size));
  }

  // The value behind a token, without the blanks around it.
  std::string Resolve(const char* token) const {
    const std::string_view t(token);
    if (t.size() < 2 || t.front() != kToken) return std::string(t);
    const std::size_t index = std::strtoul(token + 1, nullptr, 10);
    if (index >= values_.size() || t != Token(index)) return std::string(t);
    return TrimBlanks(values_[index]);
  }

 private:
  static constexpr char kToken = '\x01';
  static std::string Token(std::size_t index) { return kToken + std::to_string(index); }

  char* Next(char* buffer, std::size_t size) {
    std::string line;
    if (size < 2 || !std::getline(in_, line)) return nullptr;
    if (firstLine_ && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    firstLine_ = false;
    std::size_t start = 0;
    while (start < line.size() && IsSpace(line[start])) ++start;
    line.erase(0, start);
    const std::size_t separator = line.find_first_of("=:");
    if (!line.empty() && line[0] != ';' && line[0] != '#' && line[0] != '[' &&
        separator != std::string::npos) {
      values_.push_back(line.substr(separator + 1));
      line = line.substr(0, separator + 1) + Token(values_.size() - 1);
    }
    if (line.size() + 2 > size) line.resize(size - 2);
    line += '\n';
    std::memcpy(buffer, line.c_str(), line.size() + 1);
    return buffer;
  }

  std::istream& in_;
  bool firstLine_ = true;
  std::vector<std::string> values_;
};

struct Values {
  const SettingsReader* reader = nullptr;
  std::optional<std::string> dbPfad;
  std::optional<std::string> dbName;
};

// One pair of surrounding quotes is removed, then the value is cut to the
// length the platform's reader allows.
std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
  return value;
}

int Handler(void* user, const char* section, const char* name, const char* value) {
  auto& values = *static_cast<Values*>(user);
  if (!EqualsIgnoringAsciiCase(section, kSection)) return 1;
  // The first occurrence of a key counts.
  std::optional<std::string>* target = nullptr;
  if (EqualsIgnoringAsciiCase(name, "db_pfad")) target = &values.dbPfad;
  if (EqualsIgnoringAsciiCase(name, "db_name")) target = &values.dbName;
  if (target != nullptr && !target->has_value()) *target = Unquote(values.reader->Resolve(value));
  return 1;
}

// The line rules of the INI reader the settings file was first read with
// (libinih, built with its defaults; it has no Windows build in Debian, so
// they are kept here, for every system): lines of at most 199 bytes; ";" or
// "#" first starts a comment, and ";" after a blank ends a section's or a
// key's name; a section name keeps its first 49 bytes; a key line splits at
// its first "=" or ":"; lines that fit none of these are skipped.
using LineReader = char* (*)(char* buffer, int size, void* stream);
using LineHandler = int (*)(void* user, const char* section, const char* name, const char* value);

constexpr std::size_t kMaxLine = 200;
constexpr std::size_t kMaxSection = 50;

// Where one of chars is, or an inline comment begins, or the end.
std::size_t FindCharsOrComment(std::string_view text, std::string_view chars) {
  bool wasSpace = false;
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    if (chars.find(text[i]) != std::string_view::npos || (wasSpace && text[i] == ';')) break;
    wasSpace = IsSpace(text[i]);
  }
  return i;
}

std::string_view StripSpaces(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

void ParseLines(LineReader reader, void* stream, LineHandler handler, void* user) {
  char buffer[kMaxLine];
  std::string section;
  while (reader(buffer, static_cast<int>(kMaxLine), stream) != nullptr) {
    const std::string_view line = StripSpaces(buffer);  // up to the first NUL byte
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const std::string_view rest = line.substr(1);
      const std::size_t end = FindCharsOrComment(rest, "]");
      if (end < rest.size() && rest[end] == ']') {
        section = std::string(rest.substr(0, std::min(end, kMaxSection - 1)));
      }
      continue;
    }
    const std::size_t end = FindCharsOrComment(line, "=:");
    if (end == line.size() || line[end] == ';') continue;
    const std::string name(StripSpaces(line.substr(0, end)));
    std::string_view value = line.substr(end + 1);
    value = StripSpaces(value.substr(0, FindCharsOrComment(value, "")));
    handler(user, section.c_str(), name.c_str(), std::string(value).c_str());
  }
}

}  // namespace

std::string GetEnvVar(const std::string& name) {
  return EnvironmentValue(name);
}

std::string PelmoraAppDataDir() {
  std::string base = NativeSeparators(GetEnvVar("APPDATA"));
  if (base.empty()) base = UserSettingsFolder();
  if (base.empty() || (base.back() != '/' && base.back() != kPathSeparator)) {
    base += kPathSeparator;
  }
  return base + "Pelmora" + kPathSeparator;
}

DatabaseLocation ReadDatabaseLocation(const std::string& settingsFile,
                                      const std::string& appDataDir) {
  Values values;
  if (std::ifstream in(PathFromText(settingsFile), std::ios::binary); in) {
    SettingsReader reader(in);
    values.reader = &reader;
    // Lines the rules cannot parse are skipped, as the platform's reader does.
    ParseLines(&SettingsReader::Read, &reader, &Handler, &values);
  }

  DatabaseLocation location;
  std::string folder = SettingsTextAsFileName(values.dbPfad.value_or(""));
  // The file may come from a Windows installation.
  for (char& c : folder) {
    if (c == '\\') c = '/';
  }
  if (TrimBlanks(folder).empty()) {
    folder = appDataDir;
  } else if (!IsAbsoluteSettingsPath(folder)) {
    // Relative to the settings file's folder, "." and ".." resolved.
    const fs::path settingsFolder = fs::absolute(PathFromText(settingsFile)).parent_path();
    folder = PathText((settingsFolder / PathFromText(folder)).lexically_normal());
  } else {
    folder = NativeSeparators(folder);
  }
  if (folder.empty() || (folder.back() != '/' && folder.back() != kPathSeparator)) {
    folder += kPathSeparator;
  }
  location.DbFolder = folder;
  location.DbName = SettingsTextAsFileName(values.dbName.value_or(""));
  return location;
}

}  // namespace vorlex
