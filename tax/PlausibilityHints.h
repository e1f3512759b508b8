// Hints after a run where the simple classification has likely put an entry
// into the wrong field, or where the period itself is odd. They name the entry
// and say what to check; they change no figure, line or file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tax/Classification.h"
#include "tax/ExactClassification.h"
#include "tax/RunEntry.h"
#include "util/FormatSettings.h"

namespace vorlex {

struct Hint {
  // Index of its entry in the run's entries; -1 for the period and for an
  // entry without a line in the list (EntryKind::Undated).
  int32_t entry = -1;
  std::string text;  // one German sentence (Windows-1252), its entry named first
  // The exact classification would not give it; the text ends with what that
  // does with the entry.
  bool exactResolves = false;
};

// rules: the classification the run used; the exact one resolves the hints
// on an order's rate and names its own (the 0 % figure, the EU-wide
// distance-selling threshold).
// format: how the hints write amounts and dates.
// exactOf: for a run of the simple classification, what the exact one does
// with an entry; then each hint that the exact classification resolves ends
// with the fields it gives that entry (" Zuordnung genau: Kz 86").
std::vector<Hint> PlausibilityHints(const std::vector<RunEntry>& entries, double firstDay,
                                    double lastDay, const FormatSettings& format,
                                    Classification rules = Classification::Simple,
                                    const ExactSharesOf& exactOf = {});

// The EU-wide threshold of distance sales to customers in other member
// states without a VAT id, per calendar year, in euros.
inline constexpr double kDistanceSalesThreshold = 10000;

// Two letters, then letters, digits, "+" or "*", 4 to 14 characters with at
// least two digits after the letters; blanks, dots and hyphens are ignored.
bool HasVatIdShape(std::string_view vatId);

}  // namespace vorlex
