#include "output/ExportFile.h"

#include <algorithm>

namespace vorlex {

namespace {

void AppendCsvLine(std::string& bytes, const ListLine& line) {
  const size_t start = bytes.size();
  bytes += line.text;
  std::replace(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end(), '|', ';');
  bytes += "\r\n";
}

}  // namespace

std::string CsvBytes(const std::vector<ListLine>& lines) {
  // One buffer of the final size: a year's list is many megabytes.
  size_t size = 0;
  for (const ListLine& line : lines) size += line.text.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (const ListLine& line : lines) AppendCsvLine(bytes, line);
  return bytes;
}

BytePieces CsvPieces(const std::vector<ListLine>& lines) {
  constexpr size_t kPiece = 64 * 1024;
  return [&lines, next = size_t{0}, piece = std::string()]() mutable -> std::string_view {
    piece.clear();
    for (; next < lines.size() && piece.size() < kPiece; ++next) AppendCsvLine(piece, lines[next]);
    return piece;
  };
}

std::string ExportFileStem(const TTaxPeriod& period, TaxationBasis basis, ExportType type) {
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
    case TPeriodKind::Quartal2:
    case TPeriodKind::Quartal3:
    case TPeriodKind::Quartal4:
      name = number(period.Year, 4) + "-Q" +
             std::to_string(static_cast<int>(period.PeriodKind) -
                            static_cast<int>(TPeriodKind::Quartal1) + 1);
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
  switch (type) {
    case ExportType::List:
      break;
    case ExportType::Table:
      return "Vorlex " + name + " " + BasisText(basis) + " Tabelle";
    case ExportType::EcSales:
      return "Vorlex " + name + " ZM";
  }
  return "Vorlex " + name + " " + BasisText(basis);
}

}  // namespace vorlex
