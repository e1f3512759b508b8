// The amount of one order for the VAT pre-return.
#pragma once

#include <cstdint>

namespace vorlex {

class TDBase;
class TDBTable;

struct EvaluationSettings {
  bool BruttoPreise = false;  // line prices are net; VAT comes on top
  int8_t Rundungsmodus = 0;   // 0 none, 1 remove a residue of one cent, 2 round to five cents
  int Versteuerung = 0;       // 0 "Ist" (cash basis), 1 "Soll" (accrual basis)
};

// The program's fixed settings; Versteuerung is passed to each run.
inline constexpr EvaluationSettings kProgramSettings{};

struct LineSums {
  double net = 0;  // betrag_sum
  double vat = 0;  // mwst_sum
};

LineSums OrderLineSums(TDBase& db, int64_t orderId,
                       const EvaluationSettings& settings = kProgramSettings);

// Net (gross false) or gross amount of the current row of an orders result.
// Reads fields of that row only; never moves its cursor.
double OrderAmount(TDBase& db, const TDBTable& order, int64_t orderId, bool gross,
                   const EvaluationSettings& settings = kProgramSettings);

double CentRound(double amount, int8_t rundungsmodus = kProgramSettings.Rundungsmodus);

}  // namespace vorlex
