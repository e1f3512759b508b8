#include "db/LineSumsSql.h"

#include "db/SQLiteDatabase.h"

namespace vorlex {

std::string LineCell(const char* column, bool read) {
  if (!read) return column;
  return std::string(kNumberFunction) + "(" + column + ", '" + column + "')";
}

std::string LineSumsSql(const LineSumsQuery& query, const LineVat& vat) {
  std::string sql = "SELECT " + query.key + "SUM(" +
                    (query.readCells ? vat.readingCells : vat.plain) + ")" + query.vatAs +
                    ", SUM(" + LineCell("anzahl", query.readCells) + "*" +
                    LineCell("preis", query.readCells) + ")" + query.netAs + query.extra;
  if (query.textLinesAs) {
    // Text and blobs compare above every number, the infinite too; the unary
    // plus takes the column's affinity away, under which the number would be
    // compared as text.
    sql += ", COUNT(*) FILTER (WHERE +anzahl > 9e999 OR +preis > 9e999 OR +mwst > 9e999)" +
           *query.textLinesAs;
  }
  if (query.ratesAs) {
    // The unary plus compares the stored number, whatever the column's
    // affinity; lines holding text are counted above and read cell by cell.
    const std::string& as = *query.ratesAs;
    // Comparisons rather than a list, which the plan would read as a table of
    // its own.
    const std::string other = "(+mwst <> 19 AND +mwst <> 7 AND +mwst <> 0)";
    // A line without a rate counts as one at 0 %, as its cell reads as 0.
    for (const char* rate : {"+mwst = 19", "+mwst = 7", "IFNULL(+mwst, 0) = 0"}) {
      sql += ", SUM(CASE WHEN " + std::string(rate) + " THEN anzahl*preis END)" + as;
    }
    sql += ", SUM(CASE WHEN " + other + " THEN anzahl*preis END)" + as;
    sql += ", MIN(CASE WHEN " + other + " THEN +mwst END)" + as;
    sql += ", MAX(CASE WHEN " + other + " THEN +mwst END)" + as;
  }
  return sql + " FROM verbindauftrag WHERE " + query.where + query.tail;
}

}  // namespace vorlex
