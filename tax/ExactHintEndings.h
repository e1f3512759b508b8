// The rules applied to an entry, and the ending a hint of the simple
// classification gets where the exact one would not give it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tax/ExactClassification.h"
#include "tax/HintList.h"

namespace vorlex::hints {

// A hint that a rule gave on an entry of a simple run, numbered first. Small,
// as a year's run notes tens of thousands.
struct Fired {
  uint32_t index;
  uint32_t first;
  Rule rule;
};

// Applies the rules to one entry; with fired, each rule that gives hints is
// noted there, but for those of sameUnderEither, which read nothing that the
// classification decides and so give their hints under either.
void ApplyRules(HintList& list, size_t index, const RunEntry& entry, const OrderCountry& of,
                bool exact, std::span<const Rule> rules, std::vector<Fired>* fired,
                std::span<const Rule> sameUnderEither = {});

// A hint of the simple classification that the exact one would not give ends
// with what that does with its entry. Every entry is asked for at once, so
// that the lines of their orders are read in one pass.
void EndWithExactFields(HintList& list, const std::vector<Fired>& fired,
                        const ExactSharesOf& exactOf);

}  // namespace vorlex::hints
