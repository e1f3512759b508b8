// The sums of one evaluation run, in euros, and the special prepayment that
// the period's return deducts.
#pragma once

#include <cstdint>

#include "tax/RunEntry.h"

namespace vorlex {

struct TaxTotals {
  double NichtEU = 0;
  double InnergemOhneUStId = 0;
  double InnergemMitUStId = 0;
  double Umsatz19 = 0;
  double Umsatz7 = 0;
  double Vorsteuer7 = 0;
  double Vorsteuer19 = 0;
  // Filled by the exact classification only; 0 under the simple one.
  double Leistungen21 = 0;
  double Umsatz35 = 0;
  double Steuer36 = 0;
  double Ausfuhr43 = 0;
  double Ausland45 = 0;
  double Steuerfrei = 0;
  double VorsteuerAndere = 0;

  // Field 39 in cents: the special prepayment that a December return of a
  // monthly filer with the extension deducts. No run adds it; the caller sets it
  // from the filing settings, and field 83 is what remains after it.
  int64_t field39 = 0;

  // The sum an entry adds into; nullptr for TotalKind::None.
  double* Of(TotalKind kind) {
    switch (kind) {
      case TotalKind::NichtEU: return &NichtEU;
      case TotalKind::InnergemOhneUStId: return &InnergemOhneUStId;
      case TotalKind::InnergemMitUStId: return &InnergemMitUStId;
      case TotalKind::Umsatz19: return &Umsatz19;
      case TotalKind::Umsatz7: return &Umsatz7;
      case TotalKind::Vorsteuer7: return &Vorsteuer7;
      case TotalKind::Vorsteuer19: return &Vorsteuer19;
      case TotalKind::Leistungen21: return &Leistungen21;
      case TotalKind::Umsatz35: return &Umsatz35;
      case TotalKind::Steuer36: return &Steuer36;
      case TotalKind::Ausfuhr43: return &Ausfuhr43;
      case TotalKind::Ausland45: return &Ausland45;
      case TotalKind::Steuerfrei: return &Steuerfrei;
      case TotalKind::VorsteuerAndere: return &VorsteuerAndere;
      case TotalKind::None: break;
    }
    return nullptr;
  }
  const double* Of(TotalKind kind) const { return const_cast<TaxTotals&>(*this).Of(kind); }

  // Adds what the entry went into: its amount, or each of its shares.
  void Add(const RunEntry& entry) {
    entry.ForEachShare([this](TotalKind kind, double amount) {
      if (double* sum = Of(kind)) *sum += amount;
    });
  }
};

}  // namespace vorlex
