// Every query that adds up order lines (table verbindauftrag) has one shape,
// so that each adds the same figures in the same way.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vorlex {

// The sums of an order's lines.
struct LineSums {
  double net = 0;  // betrag_sum
  double vat = 0;  // mwst_sum
};

// The net sum of an order's lines at one rate.
struct RateNet {
  double rate = 0;
  double net = 0;
};
// An order's lines by rate, in the order of their rates; no entry for a rate
// without lines.
using RateNets = std::vector<RateNet>;

// The number of columns that ratesAs adds to a line-sum query.
inline constexpr int kRateColumns = 1;

// A cell of a line as SQL: the column itself, or (read) the column read
// through the connection's number function, which takes text in the user's
// format.
std::string LineCell(const char* column, bool read);

// The VAT of one line as SQL, as the price basis computes it, once over the
// cells as stored and once over the cells read (LineCell).
struct LineVat {
  std::string plain;
  std::string readingCells;
};

// "SELECT <key>SUM(<VAT of a line>)<vatAs>, SUM(anzahl*preis)<netAs><extra>
// [, <text lines><textLinesAs>][, <rates><ratesAs>] FROM verbindauftrag WHERE
// <where><tail>".
struct LineSumsQuery {
  std::string where = {};
  std::string key = {};                // "auftragindex, ": the order before its sums
  std::string vatAs = " AS mwst_sum";  // " OVER w" for a window's sums
  std::string netAs = " AS betrag_sum";
  std::string extra = {};  // ", COUNT(*)"
  // When set, a last column counts the lines that hold text (or a blob) in
  // anzahl, preis or mwst, which the library would add as the 0 or the
  // leading digits it makes of them.
  std::optional<std::string> textLinesAs = std::nullopt;
  // When set, kRateColumns more columns follow: the lines' nets by rate
  // (kRateNetsFunction, db/SQLiteDatabase.h); over the cells as stored they
  // also tell the lines that hold text, so that textLinesAs is not needed
  // beside them.
  std::optional<std::string> ratesAs = std::nullopt;
  bool sums = true;        // false: none of the two sums nor extra, only what follows them
  bool readCells = false;  // the cells read through LineCell
  std::string tail = {};   // " GROUP BY auftragindex"
};
std::string LineSumsSql(const LineSumsQuery& query, const LineVat& vat);

}  // namespace vorlex
