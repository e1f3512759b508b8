#include "tax/EcSalesList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "db/uDB.h"
#include "output/SummaryList.h"
#include "tax/EvaluationRun.h"
#include "tax/GeneratedDb.h"
#include "tax/TaxPeriod.h"
#include "tests/util/FormatTest.h"
#include "util/DateText.h"
#include "util/MoneyText.h"

namespace vorlex {
namespace {

// The correction of a filed list repeats no row reported right, gives a
// changed or new row its whole sum, and cancels a row that is gone with 0;
// the same VAT id under another kind is another row.
TEST(EcSalesList, CorrectionHoldsOnlyTheRowsThatDiffer) {
  const auto row = [](const char* vatId, char kind, int64_t euros) {
    return EcSalesRow{.vatId = vatId, .kind = kind, .cents = 0, .euros = euros};
  };
  const std::vector<EcSalesRow> filed = {row("ATU63452871", 'L', 468), row("ESB86212420", 'L', 669),
                                         row("FR40303265045", 'L', 100)};
  EXPECT_TRUE(EcSalesCorrection(filed, filed).empty());
  const std::vector<EcSalesRow> now = {row("ATU63452871", 'L', 500), row("ESB86212420", 'L', 669),
                                       row("FR40303265045", 'S', 100), row("IT00743110157", 'L', 0),
                                       row("IT12345678901", 'L', 50)};
  EXPECT_EQ(EcSalesCorrection(filed, now),
            (std::vector<EcSalesCorrectionRow>{{"ATU63452871", 'L', 500, 468},
                                               {"FR40303265045", 'L', 0, 100},
                                               {"FR40303265045", 'S', 100, std::nullopt},
                                               {"IT12345678901", 'L', 50, std::nullopt}}));
  // Everything filed has gone: each row cancelled.
  EXPECT_EQ(EcSalesCorrection({row("ATU63452871", 'L', 468)}, {}),
            (std::vector<EcSalesCorrectionRow>{{"ATU63452871", 'L', 0, 468}}));
}

// Runs of every month and quarter of generated data: the rows add up to field
// 41 in whole euros, and each lies less than a euro from its exact sum.
TEST(EcSalesList, RowsAddUpToFieldFortyOneOnGeneratedData) {
  const testing::GeneratedDb generated("ecsales", 6000, 2);
  TDBase db(generated.Path(), kGerman);
  std::vector<TTaxPeriod> periods;
  for (int month = 1; month <= 12; ++month) periods.push_back(MonthPeriod(2025, month));
  for (int quarter = 1; quarter <= 4; ++quarter) periods.push_back(QuarterPeriod(2024, quarter));
  size_t rowsSeen = 0;
  for (const TaxationBasis basis : {TaxationBasis::Ist, TaxationBasis::Soll}) {
    for (const TTaxPeriod& period : periods) {
      SCOPED_TRACE(FormatDate(period.FirstDay, kGerman) + " basis " + BasisText(basis));
      TRunList run(kGerman);
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
