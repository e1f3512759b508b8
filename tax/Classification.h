// Which rules put an order into a field of the pre-return. "einfach" (simple)
// goes by the customer's country alone, as Vorlex always did; "genau" (exact)
// by every member state, the lines' rates and, for foreign customers, whether
// the trader sells goods or services (Pelmora marks neither).
#pragma once

#include <cstdint>

namespace vorlex {

enum class Classification : uint8_t { Simple, Exact };

// What the trader supplies to customers abroad.
enum class ForeignSales : uint8_t { Goods, Services };

// Passed to a run as the basis is; the default is the simple classification.
struct ClassificationChoice {
  Classification rules = Classification::Simple;
  ForeignSales sales = ForeignSales::Goods;

  bool Exact() const { return rules == Classification::Exact; }
  friend bool operator==(const ClassificationChoice&, const ClassificationChoice&) = default;
};

// "simple" / "exact": the command line's and the JSON's words.
inline const char* ClassificationKey(Classification rules) {
  return rules == Classification::Exact ? "exact" : "simple";
}
// "einfach" / "genau": as the window and the hints name it.
inline const char* ClassificationName(Classification rules) {
  return rules == Classification::Exact ? "genau" : "einfach";
}

}  // namespace vorlex
