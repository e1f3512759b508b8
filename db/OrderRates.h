// Single orders' nets by rate, beside the period's statements.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "db/LineSumsSql.h"

namespace vorlex {

class TDBase;
class TSQLiteStatement;

// The net of one order's lines by their rates, order by order, the cells read
// as numbers are read everywhere else: for an order that no period's statement
// answers, and for a single order.
class TOrderRates {
 public:
  TOrderRates(TDBase& db, LineVat vat);
  ~TOrderRates();
  TOrderRates(const TOrderRates&) = delete;
  TOrderRates& operator=(const TOrderRates&) = delete;

  RateNets Of(int64_t orderId);
  // Reads the lines of all these orders in one statement, for Of to answer
  // from; an order that statement does not answer (no lines, more rates than
  // it keeps) is left to its own query. Returns how many orders it answers.
  size_t Prefetch(const std::vector<int64_t>& orderIds);

 private:
  TDBase& db_;
  LineVat vat_;
  // By Prefetch: each order's nets in readNets_, by id.
  struct Read {
    int64_t id;
    uint32_t begin;
    uint32_t count;
  };
  std::vector<Read> read_;
  RateNets readNets_;
  std::unique_ptr<TSQLiteStatement> ratesOfOrder_;  // made at its first use
  std::unique_ptr<TSQLiteStatement> ratesByOrder_;  // made at its first use
};

}  // namespace vorlex
