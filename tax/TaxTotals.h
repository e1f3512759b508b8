// The seven sums of one evaluation run, in euros.
#pragma once

namespace vorlex {

struct TaxTotals {
  double NichtEU = 0;
  double InnergemOhneUStId = 0;
  double InnergemMitUStId = 0;
  double Umsatz19 = 0;
  double Umsatz7 = 0;
  double Vorsteuer7 = 0;
  double Vorsteuer19 = 0;
};

// The program-wide totals of the last run.
extern TaxTotals Totals;

// Texts shared by the list's producers and consumers.
inline constexpr const char* ColumnSeparator = "   |   ";
inline constexpr const char* SeparatorLine = "-------";

}  // namespace vorlex
