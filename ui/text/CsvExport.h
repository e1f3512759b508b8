// The CSV bytes of the summary list.
#pragma once

#include <string>
#include <vector>

#include "ui/text/SummaryList.h"

namespace vorlex {

// Every "|" turned into ";", CR LF after every line including the last, bytes
// as held, no byte-order mark.
std::string CsvBytes(const std::vector<std::string>& lines);
std::string CsvBytes(const std::vector<ListLine>& lines);

}  // namespace vorlex
