// The taxation basis of a run: "Ist" counts an order when it is paid, "Soll"
// when it is invoiced.
#pragma once

#include <cstdint>

namespace vorlex {

// The numbers are the window's item index and the remembered setting.
enum class TaxationBasis : uint8_t { Ist = 0, Soll = 1 };

// "Ist" or "Soll", as the window and the file names say it.
constexpr const char* BasisText(TaxationBasis basis) {
  return basis == TaxationBasis::Soll ? "Soll" : "Ist";
}

// The date the basis selects orders by: "Zahlungsdatum" or "Rechnungsdatum".
constexpr const char* BasisDateName(TaxationBasis basis) {
  return basis == TaxationBasis::Soll ? "Rechnungsdatum" : "Zahlungsdatum";
}

}  // namespace vorlex
