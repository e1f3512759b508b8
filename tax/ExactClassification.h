// The exact classification of one order: which fields its net amount goes
// into, by the customer's country, VAT identification number and the rates
// of its lines. The amount itself is the one the simple classification adds.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "db/LineSumsSql.h"
#include "tax/Classification.h"
#include "tax/RunEntry.h"

namespace vorlex {

struct ExactOrder {
  std::string_view country;
  std::string_view vatId;
  double net = 0;         // the order's net amount
  double mwst = 0;        // the order's own rate
  int64_t orderType = 0;  // auftragstyp; -99 a credit note
  RateNets lines;         // its lines' net by rate
};

// A business customer in another member state (a VAT id and an EU country;
// for goods also a Northern Irish "XI" id): a tax-free intra-Community
// supply, declared for the period of its invoice.
bool IsIntraCommunity(std::string_view country, std::string_view vatId, ForeignSales sales);

// The shares of the order's net amount, at least one; they add up to it.
std::vector<EntryShare> ExactShares(const ExactOrder& order, ForeignSales sales);

// Makes the shares the entry's: a single share as its total and amount, more
// as its shares with the largest first.
void SetShares(RunEntry& entry, std::vector<EntryShare> shares);

// The share of turnover at a rate of a domestic sale: 19 % Kz 81, 7 % Kz 86,
// another rate above 0 Kz 35 with its tax in Kz 36, else the 0 % figure.
void AddRateShare(std::vector<EntryShare>& shares, double rate, double net);

}  // namespace vorlex
