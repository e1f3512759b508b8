// A list's lines as their texts, and texts as list lines: the tests compare a
// run's list with the texts they expect.
#pragma once

#include <string>
#include <vector>

#include "output/ExportFile.h"
#include "output/SummaryList.h"

namespace vorlex {

inline std::vector<std::string> LineTexts(const std::vector<ListLine>& lines) {
  std::vector<std::string> texts;
  texts.reserve(lines.size());
  for (const ListLine& line : lines) texts.push_back(line.text);
  return texts;
}

inline std::vector<ListLine> ListLinesOf(const std::vector<std::string>& texts) {
  std::vector<ListLine> lines;
  lines.reserve(texts.size());
  for (const std::string& text : texts) lines.push_back({text});
  return lines;
}

// The CSV bytes of a list with these texts.
inline std::string CsvBytes(const std::vector<std::string>& texts) {
  return CsvBytes(ListLinesOf(texts));
}

}  // namespace vorlex
