#include "tax/Prepayment.h"

#include <gtest/gtest.h>

#include <limits>

#include "tax/TaxTotals.h"
#include "tests/util/FormatTest.h"
#include "util/MoneyText.h"

namespace vorlex {
namespace {

TEST(PrepaymentTest, FieldEightyThreeFromTheFiguresAsTyped) {
  struct Row {
    const char* name;
    double field81, field86, field66;
    int64_t tax81, tax86, due;
  };
  const Row rows[] = {
      {"worked example", 100.99, 50.00, 19.70, 1900, 350, 280},
      {"refund keeps its sign", 0, 0, 12.40, 0, 0, -1240},
      {"nothing at all", 0, 0, 0, 0, 0, 0},
      // 99.999 shows as 100,00, so 100 euros are typed, not floor(99.999).
      {"base as shown, not cut from the double", 99.999, 0, 0, 1900, 0, 1900},
      // 32.995 is a trace below the half cent: 32,99 is shown, 32 euros typed.
      {"base below a tie", 32.995, 0, 0, 608, 0, 608},
      // 99.995 is a trace above it: 100,00 is shown.
      {"base above a tie", 99.995, 0, 0, 1900, 0, 1900},
      // 0.19 x 1234 is 234.45999... in binary; in cents it is 23446 exactly.
      {"tax in whole cents", 1234.56, 1.99, 0.015, 23446, 7, 23452},
      {"input tax shown with its cent", 0, 0, 19.99, 0, 0, -1999},
      {"negative base dropped toward zero", -100.99, -0.5, 0, -1900, 0, -1900},
      {"large figures stay exact", 12345678.91, 987654.32, 1234567.89, 234567882, 6913578,
       234567882 + 6913578 - 123456789},
  };
  for (const Row& r : rows) {
    const auto p = PrepaymentOf(r.field81, r.field86, r.field66);
    ASSERT_TRUE(p) << r.name;
    EXPECT_EQ(p->tax81, r.tax81) << r.name;
    EXPECT_EQ(p->tax86, r.tax86) << r.name;
    EXPECT_EQ(p->due, r.due) << r.name;
  }
  EXPECT_EQ(FormatCents(PrepaymentOf(100.99, 50.00, 19.70)->due, kGerman), "2,80");
  EXPECT_EQ(FormatCents(PrepaymentOf(0, 0, 12.40)->due, kGerman), "-12,40");
}

TEST(PrepaymentTest, FromTheTotalsOfARun) {
  TaxTotals totals;
  totals.Umsatz19 = 100.99;
  totals.Umsatz7 = 50;
  totals.Vorsteuer7 = 0.7;
  totals.Vorsteuer19 = 19.0;
  totals.InnergemMitUStId = 1000;  // no tax of its own
  totals.NichtEU = 500;
  const auto p = PrepaymentOf(totals);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->inputTax, 1970);
  EXPECT_EQ(p->due, 280);

  totals.Vorsteuer19 = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(PrepaymentOf(totals));
}

TEST(PrepaymentTest, StatusSaysWhetherToPayOrRefund) {
  EXPECT_EQ(PrepaymentStatus(280, kGerman), "Kz 83: 2,80 zu zahlen");
  EXPECT_EQ(PrepaymentStatus(-1240, kGerman), "Kz 83: -12,40 Erstattung");
  EXPECT_EQ(PrepaymentStatus(0, kGerman), "Kz 83: 0,00");
}

}  // namespace
}  // namespace vorlex
