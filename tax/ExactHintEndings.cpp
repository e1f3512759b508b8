#include "tax/ExactHintEndings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "tax/FormFields.h"
#include "util/MoneyText.h"

namespace vorlex::hints {

namespace {

// How a field that the exact classification adds to is named.
std::string ExactFieldName(TotalKind total) {
  if (total == TotalKind::Steuerfrei) return "\"0 % / steuerfrei\"";
  return FieldName(total);
}

// " Zuordnung genau: Kz 86": the fields that the exact classification gives
// the entry, with their amounts where it splits it.
std::string ExactEnding(const std::vector<EntryShare>& shares, const FormatSettings& format) {
  bool tax36 = false;
  std::vector<EntryShare> named;
  for (const EntryShare& share : shares) {
    if (share.total == TotalKind::Steuer36) {
      tax36 = true;
      continue;
    }
    const auto same = std::find_if(named.begin(), named.end(), [&](const EntryShare& n) {
      return ExactFieldName(n.total) == ExactFieldName(share.total);
    });
    if (same == named.end()) {
      named.push_back(share);
    } else {
      same->added += share.added;
    }
  }
  std::stable_sort(named.begin(), named.end(), [](const EntryShare& a, const EntryShare& b) {
    return std::fabs(a.added) > std::fabs(b.added);
  });
  std::string text = " Zuordnung genau: ";
  if (named.empty()) return text + "keine Kennzahl";
  for (size_t i = 0; i < named.size(); ++i) {
    if (i > 0) text += ", ";
    text += ExactFieldName(named[i].total);
    if (named.size() > 1) text += " " + FormatMoney(named[i].added, format);
  }
  if (tax36) text += named.size() > 1 ? ", Steuer in Kz 36" : " mit der Steuer in Kz 36";
  return text;
}

}  // namespace

void ApplyRules(HintList& list, size_t index, const RunEntry& entry, const OrderCountry& of,
                bool exact, std::span<const Rule> rules, std::vector<Fired>* fired,
                std::span<const Rule> sameUnderEither) {
  for (const Rule rule : rules) {
    const size_t first = list.Size();
    rule(list, index, entry, of, exact);
    const bool noted = fired != nullptr && list.Size() > first &&
                       std::find(sameUnderEither.begin(), sameUnderEither.end(), rule) ==
                           sameUnderEither.end();
    for (size_t hint = first; noted && hint < list.Size(); ++hint) {
      fired->push_back({static_cast<uint32_t>(index), static_cast<uint32_t>(hint), rule});
    }
  }
}

void EndWithExactFields(HintList& list, const std::vector<Fired>& fired,
                        const ExactSharesOf& exactOf) {
  const std::vector<RunEntry>& entries = list.Entries();
  std::vector<const RunEntry*> asked;
  for (const Fired& f : fired) {
    if (asked.empty() || asked.back() != &entries[f.index]) asked.push_back(&entries[f.index]);
  }
  if (exactOf.prepare) exactOf.prepare(asked);
  std::optional<RunEntry> asExact;
  std::vector<EntryShare> shares;
  std::vector<Hint> probe;
  OrderCountry country;
  size_t made = SIZE_MAX;
  for (const Fired& f : fired) {
    const RunEntry& entry = entries[f.index];
    if (made != f.index) {
      made = f.index;
      shares = exactOf.of(entry);
      asExact = entry;
      if (shares.empty()) {
        asExact->total = TotalKind::None;  // the exact classification counts it nowhere
        asExact->SetShareList({});
      } else {
        SetShares(*asExact, shares);
      }
    }
    probe.clear();
    HintList probeList(entries, probe, list.Format());
    f.rule(probeList, f.index, *asExact, country.Of(entry.country()), true);
    if (probe.empty()) list.EndWith(f.first, ExactEnding(shares, list.Format()));
  }
}

}  // namespace vorlex::hints
