#include "db/LineSumsSql.h"

#include "db/SQLiteDatabase.h"

namespace vorlex {

std::string LineCell(const char* column, bool read) {
  if (!read) return column;
  return std::string(kNumberFunction) + "(" + column + ", '" + column + "')";
}

std::string LineSumsSql(const LineSumsQuery& query, const LineVat& vat) {
  std::string sql = "SELECT " + query.key;
  // A key is followed by its comma; the columns after the first by theirs.
  const char* comma = "";
  if (query.sums) {
    sql += "SUM(" + (query.readCells ? vat.readingCells : vat.plain) + ")" + query.vatAs +
           ", SUM(" + LineCell("anzahl", query.readCells) + "*" +
           LineCell("preis", query.readCells) + ")" + query.netAs + query.extra;
    comma = ", ";
  }
  if (query.textLinesAs) {
    // Text and blobs compare above every number, the infinite too; the unary
    // plus takes the column's affinity away, under which the number would be
    // compared as text.
    sql += std::string(comma) +
           "COUNT(*) FILTER (WHERE +anzahl > 9e999 OR +preis > 9e999 OR +mwst > 9e999)" +
           *query.textLinesAs;
    comma = ", ";
  }
  if (query.ratesAs) {
    // The unary plus passes the stored rate, whatever the column's affinity.
    // Over the cells as stored, the aggregate takes the factors of the net as
    // the product above takes them, tells the lines holding text apart and
    // multiplies the rest as the library does; over the cells read, the
    // library multiplies the numbers they read as.
    sql += std::string(comma) + kRateNetsFunction + "(" +
           (query.readCells ? LineCell("anzahl", true) + "*" + LineCell("preis", true) + ", " +
                                  LineCell("mwst", true)
                            : std::string("anzahl, preis, +mwst")) +
           ")" + *query.ratesAs;
  }
  return sql + " FROM verbindauftrag WHERE " + query.where + query.tail;
}

}  // namespace vorlex
