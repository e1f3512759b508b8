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

// Writes the CSV bytes to path, whole or not at all: an existing file keeps its
// content unless every byte was written. Raises std::runtime_error with
// "Datei <shownName> kann nicht erstellt werden" or "Stream-Write-Fehler".
void WriteCsvFile(const std::string& path, const std::string& bytes, const std::string& shownName);

}  // namespace vorlex
