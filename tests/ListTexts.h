// A list's lines as their texts, and texts as list lines: the tests compare a
// run's list with the texts they expect.
#pragma once

#include <string>
#include <vector>

#include "output/ExportFile.h"
#include "output/SummaryList.h"

namespace vorlex {

// The list of a period without entries: the eleven lines of the totals, all zero.
inline const std::vector<std::string> kEmptySummary = {
    "-------",
    "     Nicht EU:  0,00",
    "     Innergem. Lief. mit USt-IdNr:  0,00",
    "     Innergem. Lief. ohne USt-IdNr:  0,00",
    "     Umsatz St.satz 19 v.H:  0,00",
    "     Umsatz St.satz  7 v.H:  0,00",
    "     Umsatzsteuer:  0,00",
    "",
    "     Vorst. 7%:  0,00",
    "     Vorst. 19%:  0,00",
    "     Vorsteuer:  0,00",
};

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
