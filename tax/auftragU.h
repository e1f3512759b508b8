// The amount of one order for the VAT pre-return.
#pragma once

#include <cstdint>
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

// The VAT of one line as SQL, by the price basis: "anzahl*(preis*(mwst/100.0))"
// for net prices. The line-sum query adds it up with SUM. readCells: each cell
// read through LineCell (db/LineSumsSql.h), which takes text in the user's
// format.
std::string LineVatExpression(const EvaluationSettings& settings = kProgramSettings,
                              bool readCells = false);
// Both forms of it, for the queries that add up lines.
LineVat LineVatOf(const EvaluationSettings& settings = kProgramSettings);

// The sums of one order's lines, from its own query. readCells: its cells read
// through LineCell; a cell that is no number raises EFieldConvertError naming
// the column and the order's lines.
LineSums OrderLineSums(TDBase& db, int64_t orderId,
                       const EvaluationSettings& settings = kProgramSettings,
                       bool readCells = false);

// The sums of the order on the current row of orders from the period's sums,
// or from the order's own query where they leave the order to it; the same
// figures and errors as OrderLineSums.
LineSums PeriodOrderLineSums(TDBase& db, TPeriodLineSums& period, const TDBTable& orders,
                             const TDBField& idField, int64_t orderId,
                             const EvaluationSettings& settings = kProgramSettings);

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
