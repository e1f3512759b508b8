// The amount of one order for the VAT pre-return.
#pragma once

#include <cstdint>

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
// for net prices. The line-sum query adds it up with SUM.
const char* LineVatExpression(const EvaluationSettings& settings = kProgramSettings);

// The sums of one order's lines, from its own query.
LineSums OrderLineSums(TDBase& db, int64_t orderId,
                       const EvaluationSettings& settings = kProgramSettings);

// Net (gross false) or gross amount of the current row of an orders result.
// Reads fields of that row only; never moves its cursor.
double OrderAmount(TDBase& db, const TDBTable& order, int64_t orderId, bool gross,
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
