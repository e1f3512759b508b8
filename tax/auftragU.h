// The amount of one order for the VAT pre-return.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "db/uDB.h"
#include "tax/TaxationBasis.h"

namespace vorlex {

struct EvaluationSettings {
  bool BruttoPreise = false;  // line prices are net; VAT comes on top
  int8_t Rundungsmodus = 0;   // 0 none, 1 remove a residue of one cent, 2 round to five cents
  TaxationBasis Versteuerung = TaxationBasis::Ist;
};

// The program's fixed settings; Versteuerung is passed to each run.
inline constexpr EvaluationSettings kProgramSettings{};

struct LineSums {
  double net = 0;  // betrag_sum
  double vat = 0;  // mwst_sum
};

// The VAT of one line as SQL, by the price basis: "anzahl*(preis*(mwst/100.0))"
// for net prices. The line-sum query adds it up with SUM. readCells: each cell
// read through kNumberFunction (db/SQLiteAccess.h), which takes text in the
// user's format.
std::string LineVatExpression(const EvaluationSettings& settings = kProgramSettings,
                              bool readCells = false);

// Every query that adds up lines has one shape, so that each adds the same
// figures in the same way: "SELECT <key>SUM(<VAT of a line>)<vatAs>,
// SUM(anzahl*preis)<netAs><extra>[, <text lines><textLinesAs>] FROM
// verbindauftrag WHERE <where><tail>".
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
  bool readCells = false;  // the cells read through kNumberFunction
  std::string tail = {};   // " GROUP BY auftragindex"
};
std::string LineSumsSql(const LineSumsQuery& query,
                        const EvaluationSettings& settings = kProgramSettings);

// The sums of one order's lines, from its own query. readCells: its cells read
// through kNumberFunction; a cell that is no number raises EFieldConvertError
// naming the column and the order's lines.
LineSums OrderLineSums(TDBase& db, int64_t orderId,
                       const EvaluationSettings& settings = kProgramSettings,
                       bool readCells = false);

// The fields that the amounts read from an orders result, each found in it
// once.
struct OrderFields {
  TDBField skonto{"skonto"};
  TDBField mwst{"mwst"};
  TDBField auftragstyp{"auftragstyp"};
  TDBField rechbetrag{"rechbetrag"};
};

struct OrderAmounts {
  double net = 0;
  double gross = 0;
  double mwst = 0;        // the order's rate as read
  int64_t orderType = 0;  // auftragstyp as read
};

// Both amounts of the current row from line sums already fetched: the same
// figures, and the same errors in the same order, as two OrderAmount calls.
OrderAmounts OrderAmountsOf(const TDBTable& order, const OrderFields& fields, int64_t orderId,
                            const LineSums& lines,
                            const EvaluationSettings& settings = kProgramSettings);

double CentRound(double amount, int8_t rundungsmodus = kProgramSettings.Rundungsmodus);

}  // namespace vorlex
