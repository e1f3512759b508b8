// The CSV bytes of any list: every line once, bars turned into semicolons,
// CR LF after each, nothing else.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "output/ExportFile.h"

using namespace vorlex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One list line per line feed of the input.
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += static_cast<char>(data[i]);
    }
  }
  if (!line.empty()) lines.push_back(line);

  std::vector<ListLine> listLines;
  for (const std::string& l : lines) listLines.push_back({l});
  const std::string bytes = CsvBytes(listLines);
  size_t expectedSize = 0;
  for (const std::string& l : lines) expectedSize += l.size() + 2;
  FUZZ_CHECK(bytes.size() == expectedSize);
  size_t pos = 0;
  for (const std::string& l : lines) {
    // The line with its bars as semicolons, then CR LF.
    for (size_t i = 0; i < l.size(); ++i) {
      FUZZ_CHECK(bytes[pos + i] == (l[i] == '|' ? ';' : l[i]));
    }
    pos += l.size();
    FUZZ_CHECK(bytes.compare(pos, 2, "\r\n") == 0);
    pos += 2;
  }
  FUZZ_CHECK(std::count(bytes.begin(), bytes.end(), '|') == 0);
  return 0;
}
