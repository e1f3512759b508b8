#include "ui/text/CsvExport.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <stdexcept>

#include "util/uWholeFile.h"

namespace vorlex {

namespace {

const std::string& Text(const std::string& line) { return line; }
const std::string& Text(const ListLine& line) { return line.text; }

template <class Line>
std::string Bytes(const std::vector<Line>& lines) {
  // One buffer of the final size: a year's list is many megabytes.
  size_t size = 0;
  for (const Line& line : lines) size += Text(line).size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (const Line& line : lines) {
    const size_t start = bytes.size();
    bytes += Text(line);
    std::replace(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end(), '|', ';');
    bytes += "\r\n";
  }
  return bytes;
}

}  // namespace

std::string CsvBytes(const std::vector<std::string>& lines) {
  return Bytes(lines);
}

std::string CsvBytes(const std::vector<ListLine>& lines) {
  return Bytes(lines);
}

void WriteCsvFile(const std::string& path, const std::string& bytes, const std::string& shownName) {
  std::error_code ignored;
  const bool existed = std::filesystem::exists(path, ignored);
  errno = 0;
  const SaveOutcome outcome = SaveWholeFile(path, bytes);
  // The call that failed last left its reason; a folder in the file's place
  // fails without one.
  int reason = errno;
  if (outcome == SaveOutcome::Saved) return;
  if (reason == 0 && std::filesystem::is_directory(path, ignored)) reason = EISDIR;
  if (outcome == SaveOutcome::CannotCreate) {
    throw ECsvWriteError("Datei " + shownName + " kann nicht erstellt werden", outcome, reason,
                         shownName, existed);
  }
  throw ECsvWriteError("Stream-Write-Fehler", outcome, reason, shownName, existed);
}

}  // namespace vorlex
