#include "ui/CsvExport.h"

#include <algorithm>

namespace vorlex {

std::string CsvBytes(const std::vector<std::string>& lines) {
  // One buffer of the final size: a year's list is many megabytes.
  size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (const std::string& line : lines) {
    const size_t start = bytes.size();
    bytes += line;
    std::replace(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end(), '|', ';');
    bytes += "\r\n";
  }
  return bytes;
}

}  // namespace vorlex
