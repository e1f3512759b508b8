#include "ui/CsvExport.h"

#include "util/uString.h"

namespace vorlex {

std::string CsvBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) {
    bytes += StrReplaceAll(line, "|", ";");
    bytes += "\r\n";
  }
  return bytes;
}

}  // namespace vorlex
