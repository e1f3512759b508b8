#include "db/OrderRates.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <string>
#include <string_view>

#include "db/LineSumValues.h"
#include "db/SQLiteAccess.h"
#include "db/uDB.h"

namespace vorlex {

TOrderRates::TOrderRates(TDBase& db, LineVat vat) : db_(db), vat_(std::move(vat)) {}

TOrderRates::~TOrderRates() = default;

size_t TOrderRates::Prefetch(const std::vector<int64_t>& orderIds) {
  if (orderIds.empty()) return 0;
  std::string ids = "[";
  for (const int64_t id : orderIds) ids += (ids.size() > 1 ? "," : "") + std::to_string(id);
  ids += "]";
  std::vector<Read> read;
  RateNets readNets;
  try {
    // Through the index one order at a time where there is one, else in one
    // scan of the lines; each order's lines added as its own query adds them.
    // The cells are taken as stored, as the period's pass takes them; an
    // order with a line holding text is left to its own query, which reads
    // them by the number rules.
    TSQLiteStatement lines(db_.Connection(),
                           LineSumsSql({.where = "auftragindex IN (SELECT value FROM json_each(?1))",
                                        .key = "auftragindex, ",
                                        .ratesAs = "",
                                        .sums = false,
                                        .tail = " GROUP BY auftragindex"},
                                       vat_));
    lines.BindText(1, ids);
    while (lines.Step()) {
      // A key held as text is the order of that number, as its own query
      // compares it.
      int64_t id = 0;
      if (lines.ColumnType(0) == ColumnKind::Integer) {
        id = lines.ColumnInt64(0);
      } else if (lines.ColumnType(0) == ColumnKind::Text) {
        const std::string_view text = lines.ColumnText(0);
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
        if (error != std::errc() || end != text.data() + text.size()) continue;
      } else {
        continue;
      }
      // More rates than the aggregate keeps, or text: left to the order's own
      // query.
      const auto begin = static_cast<uint32_t>(readNets.size());
      if (ReadRateNets(lines, 1, readNets) == RatesRead::Known) {
        read.push_back({id, begin, static_cast<uint32_t>(readNets.size()) - begin});
      }
    }
  } catch (const std::exception&) {
    return 0;  // each order's own query meets the trouble in its place
  }
  std::sort(read.begin(), read.end(), [](const Read& a, const Read& b) { return a.id < b.id; });
  read_ = std::move(read);
  readNets_ = std::move(readNets);
  return read_.size();
}

RateNets TOrderRates::Of(int64_t orderId) {
  const auto found = std::lower_bound(read_.begin(), read_.end(), orderId,
                                      [](const Read& r, int64_t id) { return r.id < id; });
  if (found != read_.end() && found->id == orderId) {
    return RateNets(readNets_.begin() + found->begin,
                    readNets_.begin() + found->begin + found->count);
  }
  if (ratesOfOrder_ == nullptr) {
    ratesOfOrder_ = std::make_unique<TSQLiteStatement>(db_.Connection(),
                                                       LineSumsSql({.where = "auftragindex=?1",
                                                                    .vatAs = "",
                                                                    .netAs = "",
                                                                    .ratesAs = "",
                                                                    .readCells = true},
                                                                   vat_));
  }
  RateNets nets;
  try {
    ratesOfOrder_->Reset();
    ratesOfOrder_->BindInt64(1, orderId);
    // The cells read as numbers hold no text.
    const bool known =
        ratesOfOrder_->Step() && ReadRateNets(*ratesOfOrder_, 2, nets) == RatesRead::Known;
    ratesOfOrder_->Reset();
    if (known) return nets;
  } catch (...) {
    ratesOfOrder_->Reset();
    throw;
  }
  // More rates than the aggregate keeps: the library groups them.
  if (ratesByOrder_ == nullptr) {
    // "+ 0" makes a rate held as text one with the same rate held as a number.
    ratesByOrder_ = std::make_unique<TSQLiteStatement>(
        db_.Connection(),
        "SELECT " + LineCell("mwst", true) + " + 0 AS rate, SUM(" + LineCell("anzahl", true) + "*" +
            LineCell("preis", true) +
            ") FROM verbindauftrag WHERE auftragindex=?1 GROUP BY rate ORDER BY rate");
  }
  nets.clear();
  ratesByOrder_->Reset();
  ratesByOrder_->BindInt64(1, orderId);
  try {
    while (ratesByOrder_->Step()) {
      RateNet net;
      if (!SumFigure(*ratesByOrder_, 0, net.rate) || !SumFigure(*ratesByOrder_, 1, net.net)) {
        continue;  // a sum beyond what a figure holds: left out of the split
      }
      if (net.net != 0) nets.push_back(net);
    }
  } catch (...) {
    ratesByOrder_->Reset();
    throw;
  }
  ratesByOrder_->Reset();
  return nets;
}

}  // namespace vorlex
