// The exact classification of one order: which fields its net amount goes
// into, by the customer's country, VAT identification number and the rates
// of its lines. The amount itself is the one the simple classification adds.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "db/uDB.h"
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

// Whether the order's lines are asked for their rates: a sale with VAT that is
// taxed here and no credit note (valued by its stored amount); not an
// intra-Community supply nor one to a customer outside the EU.
bool SplitByLineRates(std::string_view country, std::string_view vatId, double mwst,
                      int64_t orderType, ForeignSales sales);

// The shares of the order's net amount, at least one; they add up to it.
std::vector<EntryShare> ExactShares(const ExactOrder& order, ForeignSales sales);

// The shares of an order entry read so far; linesOf(order id) gives its lines'
// nets by rate and is asked only where they decide.
template <class LinesOf>
std::vector<EntryShare> ExactOrderShares(const RunEntry& entry, ForeignSales sales,
                                         LinesOf&& linesOf) {
  ExactOrder order{.country = entry.country(),
                   .vatId = entry.vatId(),
                   .net = entry.net,
                   .mwst = entry.rate,
                   .orderType = entry.orderType,
                   .lines = {}};
  if (SplitByLineRates(order.country, order.vatId, order.mwst, order.orderType, sales)) {
    order.lines = linesOf(entry.id);
  }
  return ExactShares(order, sales);
}

// Makes the shares the entry's: a single share as its total and amount, more
// as its shares with the largest first.
void SetShares(RunEntry& entry, std::vector<EntryShare> shares);

// The share of turnover at a rate of a domestic sale: 19 % Kz 81, 7 % Kz 86,
// another rate above 0 Kz 35 with its tax in Kz 36, else the 0 % figure.
void AddRateShare(std::vector<EntryShare>& shares, double rate, double net);

class TDBase;

// What the exact classification does with an order or a cash-book entry of a
// run under the simple one: the shares it would add to. linesOf(order id) is
// asked for an order's lines by rate only where they decide.
std::vector<EntryShare> ExactSharesOfEntry(const RunEntry& entry, ForeignSales sales,
                                           const std::function<RateNets(int64_t)>& linesOf);

// What the exact classification does with entries of a simple run: of(entry)
// its shares; prepare, where set, is told every entry to be asked for first.
struct ExactSharesOf {
  std::function<void(const std::vector<const RunEntry*>&)> prepare;
  std::function<std::vector<EntryShare>(const RunEntry&)> of;
  explicit operator bool() const { return static_cast<bool>(of); }
};

// ExactSharesOfEntry with the lines read from db, which must stay open while
// it is used: those of all the orders prepared in one statement.
ExactSharesOf ExactSharesFromDatabase(TDBase& db, ForeignSales sales);

}  // namespace vorlex
