#include "ui/text/CsvExport.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <stdexcept>

#include "util/uPlatform.h"
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
  const bool existed = std::filesystem::exists(PathFromText(path), ignored);
  errno = 0;
  const SaveOutcome outcome = SaveWholeFile(path, bytes);
  // The call that failed last left its reason; a folder in the file's place
  // fails without one.
  int reason = errno;
  if (outcome == SaveOutcome::Saved) return;
  if (reason == 0 && std::filesystem::is_directory(PathFromText(path), ignored)) reason = EISDIR;
  if (outcome == SaveOutcome::CannotCreate) {
    throw ECsvWriteError("Datei " + shownName + " kann nicht erstellt werden", outcome, reason,
                         shownName, existed);
  }
  throw ECsvWriteError("Stream-Write-Fehler", outcome, reason, shownName, existed);
}

std::string ExportFileStem(const TTaxPeriod& period, TaxationBasis basis) {
  const auto number = [](int value, int width) {
    std::string text = std::to_string(value);
    return std::string(static_cast<size_t>(std::max(0, width - static_cast<int>(text.size()))),
                       '0') +
           text;
  };
  const auto day = [&](const CalendarDate& d) {
    return number(d.year, 4) + "-" + number(d.month, 2) + "-" + number(d.day, 2);
  };
  std::string name;
  switch (period.PeriodKind) {
    case TPeriodKind::Jahr:
      name = number(period.Year, 4);
      break;
    case TPeriodKind::Quartal1:
      name = number(period.Year, 4) + "-Q1";
      break;
    case TPeriodKind::Quartal2:
      name = number(period.Year, 4) + "-Q2";
      break;
    case TPeriodKind::Quartal3:
      name = number(period.Year, 4) + "-Q3";
      break;
    case TPeriodKind::Quartal4:
      name = number(period.Year, 4) + "-Q4";
      break;
    case TPeriodKind::Monat:
      name = number(period.Year, 4) + "-" + number(period.Month, 2);
      break;
    case TPeriodKind::VonBis:
      name = day(period.First) + " bis " + day(period.Last);
      break;
    case TPeriodKind::None:
      return {};
  }
  return "Vorlex " + name + " " + BasisText(basis);
}

}  // namespace vorlex
