// A run as a table for a spreadsheet or the tax adviser, beside the list's CSV:
// a header row, one row per entry, then one row per figure. UTF-8 with a
// byte-order mark, ";" between cells, cells quoted where they must be, a
// decimal comma without grouping, dates as DD.MM.YYYY, CR LF after each row.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tax/RunEntry.h"
#include "tax/TaxTotals.h"

namespace vorlex {

// The cells of the header row, every row has as many.
inline constexpr const char* kTableColumns[] = {
    "Art",        "Datum", "Beleg",  "Kunde oder Lieferant", "Land", "USt-IdNr.",
    "Steuersatz", "Netto", "Brutto", "Kz"};

// A cell as written: in quotes, inner quotes doubled, when it holds ";", a
// quote, a carriage return or a line feed; as it is otherwise.
std::string TableCell(std::string_view text);

// The table's bytes. Every database text is decoded to UTF-8 whatever its
// stored encoding; dividers are left out. After the entries, the figures of
// fields 41, 44, 81, 86, 66 and 83 and the sales outside the EU, each with its
// label and its value in the column "Netto".
std::string TableBytes(const std::vector<RunEntry>& entries, const TaxTotals& totals);

}  // namespace vorlex
