#include "tax/ExactClassification.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "db/uDB.h"
#include "tax/CashBookEvaluation.h"
#include "tax/CountryCodes.h"
#include "tax/EcSalesList.h"
#include "tax/auftragU.h"

namespace vorlex {

namespace {

void AddShare(std::vector<EntryShare>& shares, TotalKind total, double amount) {
  for (EntryShare& share : shares) {
    if (share.total == total) {
      share.added += amount;
      return;
    }
  }
  shares.push_back({total, amount});
}

}  // namespace

bool IsIntraCommunity(std::string_view country, std::string_view vatId, ForeignSales sales) {
  const std::string id = ReportedVatId(vatId);
  if (id.empty()) return false;
  if (CountryOf(country).kind == Country::EuMember) return true;
  // Northern Ireland stays in the EU's market for goods only.
  return sales == ForeignSales::Goods && id.starts_with("XI");
}

bool SplitByLineRates(std::string_view country, std::string_view vatId, double mwst,
                      int64_t orderType, ForeignSales sales) {
  return mwst != 0 && orderType != -99 && !IsIntraCommunity(country, vatId, sales) &&
         CountryOf(country).kind != Country::NonEu;
}

void AddRateShare(std::vector<EntryShare>& shares, double rate, double net) {
  if (rate == 19) {
    AddShare(shares, TotalKind::Umsatz19, net);
  } else if (rate == 7) {
    AddShare(shares, TotalKind::Umsatz7, net);
  } else if (rate > 0) {
    AddShare(shares, TotalKind::Umsatz35, net);
    AddShare(shares, TotalKind::Steuer36, net * rate / 100);
  } else {
    AddShare(shares, TotalKind::Steuerfrei, net);
  }
}

std::vector<EntryShare> ExactShares(const ExactOrder& order, ForeignSales sales) {
  const bool goods = sales == ForeignSales::Goods;
  if (IsIntraCommunity(order.country, order.vatId, sales)) {
    return {{goods ? TotalKind::InnergemMitUStId : TotalKind::Leistungen21, order.net}};
  }
  if (CountryOf(order.country).kind == Country::NonEu) {
    return {{goods ? TotalKind::Ausfuhr43 : TotalKind::Ausland45, order.net}};
  }
  // Taxable here: at home, for an unknown country, and for a customer in
  // another member state without a VAT id (below the distance-selling
  // threshold).
  std::vector<EntryShare> shares;
  if (order.mwst == 0) {
    AddShare(shares, TotalKind::Steuerfrei, order.net);
    return shares;
  }
  double lineNet = 0;
  for (const RateNet& line : order.lines) lineNet += line.net;
  // A credit note with VAT is valued by its stored amount, not by its lines.
  if (order.orderType == -99 || order.lines.empty() || lineNet == 0) {
    AddRateShare(shares, order.mwst, order.net);
    return shares;
  }
  if (order.lines.size() == 1) {
    AddRateShare(shares, order.lines.front().rate, order.net);
    return shares;
  }
  // The skonto (inside the net amount) is shared in proportion to the lines'
  // net; the last rate takes what is left, so the shares add up exactly.
  double left = order.net;
  for (size_t i = 0; i < order.lines.size(); ++i) {
    const RateNet& line = order.lines[i];
    const double share =
        i + 1 == order.lines.size() ? left : order.net * (line.net / lineNet);
    left -= share;
    AddRateShare(shares, line.rate, share);
  }
  return shares;
}

void SetShares(RunEntry& entry, std::vector<EntryShare> shares) {
  if (shares.size() == 1) {
    entry.total = shares.front().total;
    entry.added = shares.front().added;
    entry.SetShareList({});
    return;
  }
  // The tax of Kz 35 is never the share the entry is listed under.
  std::stable_sort(shares.begin(), shares.end(), [](const EntryShare& a, const EntryShare& b) {
    const bool taxA = a.total == TotalKind::Steuer36;
    const bool taxB = b.total == TotalKind::Steuer36;
    if (taxA != taxB) return taxB;
    return std::fabs(a.added) > std::fabs(b.added);
  });
  entry.total = shares.front().total;
  entry.added = shares.front().added;
  entry.SetShareList(shares);
}

std::vector<EntryShare> ExactSharesOfEntry(const RunEntry& entry, ForeignSales sales,
                                           const std::function<RateNets(int64_t)>& linesOf) {
  if (entry.kind != EntryKind::Order) {
    RunEntry exact = entry;
    if (exact.IsCash()) ClassifyOtherCashRate(exact);
    std::vector<EntryShare> shares;
    exact.ForEachShare([&shares](TotalKind total, double added) {
      shares.push_back({total, added});
    });
    return shares;
  }
  return ExactOrderShares(entry, sales, linesOf);
}

ExactSharesOf ExactSharesFromDatabase(TDBase& db, ForeignSales sales) {
  auto rates = std::make_shared<TOrderRates>(db, LineVatOf());
  return {.prepare =
              [rates, sales](const std::vector<const RunEntry*>& entries) {
                std::vector<int64_t> ids;
                for (const RunEntry* entry : entries) {
                  if (entry->kind == EntryKind::Order &&
                      SplitByLineRates(entry->country(), entry->vatId(), entry->rate,
                                       entry->orderType, sales)) {
                    ids.push_back(entry->id);
                  }
                }
                rates->Prefetch(ids);
              },
          .of =
              [rates, sales](const RunEntry& entry) {
                return ExactSharesOfEntry(entry, sales,
                                          [&rates](int64_t id) { return rates->Of(id); });
              }};
}

}  // namespace vorlex
