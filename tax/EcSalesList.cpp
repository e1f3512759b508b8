#include "tax/EcSalesList.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <utility>

#include "db/uDB.h"
#include "tax/CountryCodes.h"
#include "tax/EvaluationSink.h"
#include "tax/ExactClassification.h"
#include "tax/FormFields.h"
#include "tax/PlausibilityHints.h"
#include "tax/SalesEvaluation.h"
#include "util/MoneyText.h"
#include "util/uDatum.h"
#include "util/uString.h"

namespace vorlex {

namespace {

// Cents to whole euros, halves away from zero.
int64_t RoundedEuros(int64_t cents) {
  const int64_t euros = cents / 100;
  const int64_t rest = cents % 100;
  if (rest >= 50) return euros + 1;
  if (rest <= -50) return euros - 1;
  return euros;
}

// Turns the rounding of the rows rounded furthest the other way, one euro
// each, until the rows add up to total.
void MatchTotal(std::vector<EcSalesRow>& rows, int64_t total) {
  if (rows.empty()) return;
  int64_t difference = -total;
  for (const EcSalesRow& row : rows) difference += row.euros;
  while (difference != 0) {
    const int64_t step = difference > 0 ? -1 : 1;
    // How far each row was rounded against the direction of the step, in cents.
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t{0});
    const auto against = [&](size_t i) { return -step * (rows[i].euros * 100 - rows[i].cents); };
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return against(a) > against(b); });
    for (size_t i : order) {
      if (difference == 0) break;
      rows[i].euros += step;
      difference += step;
    }
  }
}

// Keeps the orders; no list lines, no progress.
class TOrderSink : public IEvaluationSink {
 public:
  explicit TOrderSink(std::vector<RunEntry>& entries) : entries_(entries) {}
  void AppendEntry(RunEntry entry) override { entries_.push_back(std::move(entry)); }
  void RunComplete(const TaxTotals& /*totals*/) override {}
  void ProgressStart(int maximum) override {
    entries_.reserve(entries_.size() + static_cast<size_t>(std::max(0, maximum)));
  }
  void ProgressStep() override {}

 private:
  std::vector<RunEntry>& entries_;
};

}  // namespace

EcSalesOrders ReadEcSalesOrders(TDBase& db, double firstDay, double lastDay,
                                ClassificationChoice choice) {
  EcSalesOrders orders;
  const TReadTransaction snapshot(db);
  TOrderSink sink(orders.entries);
  SalesEvaluation(db, firstDay, lastDay, kEcSalesListBasis, orders.totals, sink, choice);
  return orders;
}

std::string ReportedVatId(std::string_view vatId) {
  std::string id;
  for (char c : vatId) {
    if (c == ' ' || c == '.' || c == '-') continue;
    id += AsciiUpper(c);
  }
  return id;
}

namespace {

bool InEcSalesList(const RunEntry& entry) {
  return entry.kind == EntryKind::Order && (entry.total == TotalKind::InnergemMitUStId ||
                                            entry.total == TotalKind::Leistungen21);
}

}  // namespace

VatIdFault EcSalesVatIdFault(const RunEntry& entry) {
  if (!InEcSalesList(entry)) return VatIdFault::None;
  const std::string id = ReportedVatId(entry.vatId());
  if (id.empty()) return VatIdFault::Blank;
  if (!HasVatIdShape(id)) return VatIdFault::NoShape;
  const Country country = CountryOf(entry.country());
  // A Northern Irish id goes with a British customer.
  if (id.starts_with("XI") && !country.state) return VatIdFault::None;
  if (!country.state || id.compare(0, 2, country.state->vatPrefix) != 0) {
    return VatIdFault::OtherCountry;
  }
  return VatIdFault::None;
}

std::vector<int32_t> EcSalesMissing(const std::vector<RunEntry>& entries) {
  std::vector<int32_t> missing;
  for (size_t i = 0; i < entries.size(); ++i) {
    const RunEntry& entry = entries[i];
    if (entry.kind != EntryKind::Order || InEcSalesList(entry)) continue;
    if (IsIntraCommunity(entry.country(), entry.vatId(), ForeignSales::Goods)) {
      missing.push_back(static_cast<int32_t>(i));
    }
  }
  return missing;
}

EcSalesList BuildEcSalesList(const std::vector<RunEntry>& entries, double field41,
                             double field21) {
  const std::optional<int64_t> field41Cents = ShownCents(field41);
  if (!field41Cents) throw std::runtime_error("Kz 41 ist keine darstellbare Zahl");
  const std::optional<int64_t> field21Cents = ShownCents(field21);
  if (!field21Cents) throw std::runtime_error("Kz 21 ist keine darstellbare Zahl");
  EcSalesList list;
  list.field41Euros = EnteredCents(FormFieldNumbered(41), *field41Cents) / 100;
  list.field21Euros = EnteredCents(FormFieldNumbered(21), *field21Cents) / 100;

  std::map<std::string, int64_t> goods;
  std::map<std::string, int64_t> services;
  for (size_t i = 0; i < entries.size(); ++i) {
    const RunEntry& entry = entries[i];
    if (!InEcSalesList(entry)) continue;
    if (EcSalesVatIdFault(entry) != VatIdFault::None) {
      list.faulty.push_back(static_cast<int32_t>(i));
      continue;
    }
    auto& cents = entry.total == TotalKind::Leistungen21 ? services : goods;
    cents[ReportedVatId(entry.vatId())] += ShownCents(entry.added).value_or(0);
  }
  // Each kind adds up to its own field.
  const auto rowsOf = [&list](const std::map<std::string, int64_t>& cents, char kind,
                              int64_t field) {
    std::vector<EcSalesRow> rows;
    for (const auto& [vatId, sum] : cents) rows.push_back({vatId, kind, sum, RoundedEuros(sum)});
    if (list.faulty.empty()) MatchTotal(rows, field);
    list.rows.insert(list.rows.end(), rows.begin(), rows.end());
  };
  rowsOf(goods, 'L', list.field41Euros);
  rowsOf(services, 'S', list.field21Euros);
  std::stable_sort(list.rows.begin(), list.rows.end(),
                   [](const EcSalesRow& a, const EcSalesRow& b) { return a.vatId < b.vatId; });
  std::erase_if(list.rows, [](const EcSalesRow& row) { return row.euros == 0; });
  return list;
}

bool IsEcSalesPeriod(double firstDay, double lastDay) {
  const CalendarDate first = DecodeDate(firstDay);
  const CalendarDate last = DecodeDate(lastDay);
  if (first.day != 1 || first.year != last.year) return false;
  if (last.day != DaysInMonth(static_cast<uint16_t>(last.year), static_cast<uint16_t>(last.month)))
    return false;
  const bool month = first.month == last.month;
  const bool quarter = first.month % 3 == 1 && last.month == first.month + 2;
  return month || quarter;
}

std::vector<EcSalesCorrectionRow> EcSalesCorrection(const std::vector<EcSalesRow>& filed,
                                                    const std::vector<EcSalesRow>& now) {
  using Key = std::pair<std::string, char>;
  std::map<Key, std::pair<std::optional<int64_t>, std::optional<int64_t>>> rows;
  for (const EcSalesRow& row : filed) rows[{row.vatId, row.kind}].first = row.euros;
  for (const EcSalesRow& row : now) rows[{row.vatId, row.kind}].second = row.euros;
  std::vector<EcSalesCorrectionRow> correction;
  for (const auto& [key, sums] : rows) {
    const int64_t corrected = sums.second.value_or(0);
    if (sums.first && *sums.first == corrected) continue;
    // A row neither filed nor of any sum now is nothing to report.
    if (!sums.first && corrected == 0) continue;
    correction.push_back({key.first, key.second, corrected, sums.first});
  }
  return correction;
}

}  // namespace vorlex
