#include "tax/EcSalesList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "db/uDB.h"
#include "tax/EvaluationRun.h"
#include "tax/GeneratedDb.h"
#include "tax/PlausibilityHints.h"
#include "tax/TaxPeriod.h"
#include "ui/text/SummaryList.h"
#include "util/uDatum.h"
#include "util/uFormat.h"

namespace vorlex {
namespace {

RunEntry Order(const char* land, const char* vatId, double added, TotalKind total,
               int64_t type = 0) {
  RunEntry e;
  e.kind = EntryKind::Order;
  e.id = 17;
  e.date = EncodeDate(2026, 4, 9);
  e.description = "Rechnung";
  e.customer = "Kunde";
  e.country = land;
  e.vatId = vatId;
  e.total = total;
  e.orderType = type;
  e.net = e.gross = e.added = added;
  return e;
}

RunEntry In41(const char* land, const char* vatId, double added, int64_t type = 0) {
  return Order(land, vatId, added, TotalKind::InnergemMitUStId, type);
}

double Sum41(const std::vector<RunEntry>& entries) {
  double sum = 0;
  for (const RunEntry& e : entries) {
    if (e.total == TotalKind::InnergemMitUStId) sum += e.added;
  }
  return sum;
}

struct Row {
  std::string vatId;
  int64_t euros;
  friend bool operator==(const Row&, const Row&) = default;
  friend void PrintTo(const Row& row, std::ostream* out) { *out << row.vatId << "," << row.euros; }
};

std::vector<Row> Rows(const EcSalesList& list) {
  std::vector<Row> rows;
  for (const EcSalesRow& r : list.rows) rows.push_back({r.vatId, r.euros});
  return rows;
}

TEST(EcSalesList, OneRowPerVatIdInWholeEurosAddingUpToFieldFortyOne) {
  const std::vector<RunEntry> entries = {
      In41("A", "ATU63452871", 1000.40),
      In41("A", "ATU63452871", 250.30),
      In41("A", "atu 634.528-71", 10.00),  // the same number, written otherwise
      In41("E", "ESB86212420", 500.49),
      In41("E", "ESB86212420", -100.00, -99),  // a credit note
      In41("LUX", "LU20165772", 99.50),
      In41("E", "ESA1234567", 0.30),
      // Not in field 41.
      Order("A", "", 70.00, TotalKind::InnergemOhneUStId),
      Order("D", "DE123456789", 80.00, TotalKind::Umsatz19),
      RunEntry{},
  };
  // By hand: 1260,70 -> 1261; 400,49 -> 400; 99,50 -> 100; 0,30 -> 0; that is
  // 1761 against field 41's 1760,99 -> 1760. The row rounded up furthest, LU by
  // 0,50, goes down; ESA1234567 at 0 euros has no row.
  const EcSalesList list = BuildEcSalesList(entries, Sum41(entries));
  EXPECT_TRUE(list.faulty.empty());
  EXPECT_EQ(list.field41Euros, 1760);
  EXPECT_EQ(Rows(list), (std::vector<Row>{
                            {"ATU63452871", 1261}, {"ESB86212420", 400}, {"LU20165772", 99}}));
  EXPECT_EQ(list.rows[0].cents, 126070);

  // Up as well as down, and a negative row: 17,10 -> 17 against 10 + 10 - 4;
  // of the two rows rounded down by 0,40 the first goes up.
  const std::vector<RunEntry> up = {In41("A", "ATU1234567", 10.40), In41("E", "ESX1234567", 10.40),
                                    In41("LUX", "LU12345678", -3.70)};
  EXPECT_EQ(Rows(BuildEcSalesList(up, Sum41(up))),
            (std::vector<Row>{{"ATU1234567", 11}, {"ESX1234567", 10}, {"LU12345678", -4}}));

  // A month without field 41: no rows.
  EXPECT_TRUE(BuildEcSalesList({Order("D", "", 5, TotalKind::Umsatz19)}, 0).rows.empty());
}

TEST(EcSalesList, VatIdsTheListCannotTakeAreFoundAndHinted) {
  const std::vector<RunEntry> entries = {
      In41("A", "ATU63452871", 100),  // fine
      In41("A", "DE123456789", 100),  // another country's prefix
      In41("E", " - ", 100),          // no number at all
      In41("LUX", "20165772", 100),   // no prefix
      In41("E", "ES1", 100),          // too short
      In41("LUX", "ATU63452871", 100),
  };
  const EcSalesList list = BuildEcSalesList(entries, Sum41(entries));
  EXPECT_EQ(list.faulty, (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(EcSalesVatIdFault(entries[1]), VatIdFault::OtherCountry);
  EXPECT_EQ(EcSalesVatIdFault(entries[2]), VatIdFault::Blank);
  EXPECT_EQ(EcSalesVatIdFault(entries[3]), VatIdFault::NoShape);
  // Outside field 41 a VAT id is no matter of the list.
  EXPECT_EQ(EcSalesVatIdFault(Order("D", " - ", 1, TotalKind::Umsatz19)), VatIdFault::None);

  // Every entry the list refuses carries a hint.
  const std::vector<Hint> hints = PlausibilityHints(entries, entries[0].date, entries[0].date);
  for (const int32_t index : list.faulty) {
    bool hinted = false;
    for (const Hint& h : hints) hinted = hinted || h.entry == index;
    EXPECT_TRUE(hinted) << index;
  }
  // The one fault no other hint names says what it means for the list.
  bool named = false;
  for (const Hint& h : hints) {
    named = named || (h.entry == 2 && h.text.find("Zusammenfassende Meldung") != std::string::npos);
  }
  EXPECT_TRUE(named);
}

TEST(EcSalesList, FiledForAMonthOrAQuarter) {
  const auto days = [](const TTaxPeriod& p) { return IsEcSalesPeriod(p.FirstDay, p.LastDay); };
  EXPECT_TRUE(days(MonthPeriod(2026, 2)));
  EXPECT_TRUE(days(MonthPeriod(2024, 2)));
  EXPECT_TRUE(days(QuarterPeriod(2026, 4)));
  EXPECT_FALSE(days(YearPeriod(2026)));
  EXPECT_FALSE(days(RangePeriod({2026, 2, 1}, {2026, 4, 30})));  // three months, no quarter
  EXPECT_FALSE(days(RangePeriod({2026, 3, 2}, {2026, 3, 31})));
  EXPECT_FALSE(days(RangePeriod({2026, 3, 1}, {2026, 3, 30})));
  EXPECT_FALSE(days(RangePeriod({2025, 12, 1}, {2026, 1, 31})));
}

// Runs of every month and quarter of generated data: the rows add up to field
// 41 in whole euros, and each lies less than a euro from its exact sum.
TEST(EcSalesList, RowsAddUpToFieldFortyOneOnGeneratedData) {
  Format() = FormatSettings{};
  const testing::GeneratedDb generated("ecsales", 6000, 2);
  TDBase db(generated.Path());
  std::vector<TTaxPeriod> periods;
  for (int month = 1; month <= 12; ++month) periods.push_back(MonthPeriod(2025, month));
  for (int quarter = 1; quarter <= 4; ++quarter) periods.push_back(QuarterPeriod(2024, quarter));
  size_t rowsSeen = 0;
  for (const int basis : {0, 1}) {
    for (const TTaxPeriod& period : periods) {
      SCOPED_TRACE(FormatDate(period.FirstDay) + " basis " + std::to_string(basis));
      TRunList run;
      TaxTotals totals;
      EvaluateRun(db, period.FirstDay, period.LastDay, basis, totals, run);
      // The generator writes "AU", "EU" and "LUXU" before the customer's
      // number; the list wants the member state's prefix.
      for (RunEntry& e : run.entries) {
        if (e.total != TotalKind::InnergemMitUStId) continue;
        const std::string number = e.vatId.substr(e.vatId.rfind('U') + 1);
        e.vatId = (e.country == "A" ? "ATU" : e.country == "E" ? "ESX" : "LU") + number + "00";
      }
      const EcSalesList list = BuildEcSalesList(run.entries, totals.InnergemMitUStId);
      ASSERT_TRUE(list.faulty.empty());
      int64_t sum = 0;
      for (const EcSalesRow& row : list.rows) {
        sum += row.euros;
        EXPECT_LT(std::llabs(row.euros * 100 - row.cents), 100) << row.vatId;
      }
      EXPECT_EQ(sum, *ShownCents(totals.InnergemMitUStId) / 100);  // cents dropped
      rowsSeen += list.rows.size();
    }
  }
  EXPECT_GT(rowsSeen, 50u);
}

}  // namespace
}  // namespace vorlex
