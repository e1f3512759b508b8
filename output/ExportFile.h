// The bytes of the summary list's CSV file and the names an export is
// proposed under.
#pragma once

#include <string>
#include <vector>

#include "output/SummaryList.h"
#include "tax/TaxPeriod.h"
#include "tax/TaxationBasis.h"
#include "util/WholeFile.h"

namespace vorlex {

// Every "|" turned into ";", CR LF after every line including the last, bytes
// as held, no byte-order mark.
std::string CsvBytes(const std::vector<ListLine>& lines);
// The same bytes a few lines at a time, for a file written as they are made;
// each piece is valid until the next is asked for. lines must outlive it.
BytePieces CsvPieces(const std::vector<ListLine>& lines);

// The files "-> .CSV" writes: the list as shown, the table for a spreadsheet,
// the EC sales list.
enum class ExportType { List, Table, EcSales };

// The name an export of period and basis is proposed under, without
// extension, one of its own for each type, so that one export never replaces
// another: "Vorlex 2026-12 Ist", "Vorlex 2026-Q2 Soll", "Vorlex 2026 Ist",
// "Vorlex 2026-11-15 bis 2026-12-10 Ist"; the table "Vorlex 2026-Q2 Soll
// Tabelle"; the EC sales list, which follows the invoice date on either
// basis, "Vorlex 2026-Q2 ZM". Empty text without a period.
std::string ExportFileStem(const TTaxPeriod& period, TaxationBasis basis,
                           ExportType type = ExportType::List);

}  // namespace vorlex
