#include "tax/EcSalesList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "db/uDB.h"
#include "tax/EvaluationRun.h"
#include "tax/GeneratedDb.h"
#include "tax/TaxPeriod.h"
#include "ui/text/SummaryList.h"
#include "util/uFormat.h"

namespace vorlex {
namespace {

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
  for (const TaxationBasis basis : {TaxationBasis::Ist, TaxationBasis::Soll}) {
    for (const TTaxPeriod& period : periods) {
      SCOPED_TRACE(FormatDate(period.FirstDay) + " basis " + BasisText(basis));
      TRunList run;
      TaxTotals totals;
      EvaluateRun(db, period.FirstDay, period.LastDay, basis, totals, run);
      // The generator writes "AU", "EU" and "LUXU" before the customer's
      // number; the list wants the member state's prefix.
      for (RunEntry& e : run.entries) {
        if (e.total != TotalKind::InnergemMitUStId) continue;
        const std::string_view vatId = e.vatId();
        const std::string number(vatId.substr(vatId.rfind('U') + 1));
        e.SetVatId((e.country() == "A" ? "ATU" : e.country() == "E" ? "ESX" : "LU") + number + "00");
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
