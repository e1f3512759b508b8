#include "tax/auftragU.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/uDB.h"
#include "tax/TaxDbTest.h"
#include "util/NumberText.h"

namespace vorlex {
namespace {

// The net (gross false) or gross amount of the current row, with its lines
// from the order's own query.
double OrderAmount(TDBase& db, const TDBTable& order, int64_t orderId, bool gross,
                   const EvaluationSettings& settings = kProgramSettings) {
  const OrderAmounts amounts =
      OrderAmountsOf(order, OrderFields{}, orderId, OrderLineSums(db, orderId, settings), settings);
  return gross ? amounts.gross : amounts.net;
}

using testing::TaxDbTest;

struct LineData {
  double anzahl;
  double preis;
  double mwst;
};

struct OrderData {
  double mwst = 19;
  double skonto = 0;
  int auftragstyp = 0;
  double rechbetrag = 0;
  std::vector<LineData> lines;
};

class OrderAmountTest : public TaxDbTest {
 protected:
  // Net and gross amount of one order, as the sales evaluation asks for them.
  std::pair<double, double> Amounts(const OrderData& data,
                                    const EvaluationSettings& settings = kProgramSettings) {
    auto& b = Build();
    b.Add(testdb::Order{.id = 5,
                        .mwst = data.mwst,
                        .skonto = data.skonto,
                        .auftragstyp = data.auftragstyp,
                        .rechbetrag = data.rechbetrag});
    // Lines of another order must not count.
    b.Add(testdb::Line{.auftragindex = 6, .anzahl = 1.0, .preis = 1000.0, .mwst = 19.0});
    for (const LineData& l : data.lines) {
      b.Add(testdb::Line{.auftragindex = 5, .anzahl = l.anzahl, .preis = l.preis, .mwst = l.mwst});
    }
    TDBase& db = Open();
    const auto order = db.Query("SELECT * FROM auftrag WHERE id=5");
    const double net = OrderAmount(db, *order, 5, false, settings);
    const double gross = OrderAmount(db, *order, 5, true, settings);
    EXPECT_FALSE(order->AtEnd());  // the cursor stays on the row
    return {net, gross};
  }
};

struct AmountRow {
  const char* name;
  OrderData order;
  double net;
  double gross;
};

TEST_F(OrderAmountTest, WorkedExamplesWithTheProgramsSettings) {
  const AmountRow rows[] = {
      {"net lines with VAT", {19, 0, 0, 0, {{2, 25, 19}, {1, 50, 19}}}, 100, 119},
      {"skonto adds to the net, not the gross",
       {19, 2, 0, 0, {{2, 25, 19}, {1, 50, 19}}},
       102,
       119},
      {"order without VAT: skonto ignored in the net, subtracted in the gross",
       {0, 2, 0, 0, {{1, 100, 19}}},
       100,
       117},
      {"no lines", {19, 0, 0, 0, {}}, 0, 0},
      {"no lines with skonto", {19, 3, 0, 0, {}}, 3, 0},
      {"credit note with VAT takes the invoice total",
       {19, 0, -99, -119, {{1, 500, 19}}},
       -119,
       141.61},
      {"credit note with VAT and skonto", {19, 1, -99, -119, {{1, 500, 19}}}, -120, 141.61},
      {"credit note without VAT takes its lines", {0, 0, -99, -999, {{2, 25, 19}}}, -50, -59.5},
      {"order rate 7 with lines at 19", {7, 0, 0, 0, {{1, 100, 19}}}, 100, 107},
      {"lines at mixed rates, order without VAT",
       {0, 0, 0, 0, {{1, 100, 7}, {2, 50, 19}}},
       200,
       226},
      {"fractional quantities", {19, 0, 0, 0, {{2.5, 3.3, 19}}}, 8.25, 9.8175},
      {"other type than -99 counts positive", {19, 0, -98, -119, {{1, 10, 19}}}, 10, 11.9},
  };
  for (const AmountRow& row : rows) {
    SCOPED_TRACE(row.name);
    const auto [net, gross] = Amounts(row.order);
    EXPECT_NEAR(net, row.net, 1e-9);
    EXPECT_NEAR(gross, row.gross, 1e-9);
  }
}

TEST_F(OrderAmountTest, OtherSettingsFollowTheirFormulas) {
  constexpr TaxationBasis kIst = TaxationBasis::Ist;
  struct Row {
    const char* name;
    EvaluationSettings settings;
    OrderData order;
    double net;
    double gross;
  };
  const Row rows[] = {
      {"gross prices with VAT", {true, 0, kIst}, {19, 0, 0, 0, {{1, 119, 19}}}, 100, 119},
      {"gross prices with VAT and skonto",
       {true, 0, kIst},
       {19, 2.38, 0, 0, {{1, 119, 19}}},
       102,
       116.62},
      {"gross prices without VAT", {true, 0, kIst}, {0, 2, 0, 0, {{1, 119, 19}}}, 100, 117},
      {"gross prices, credit note with VAT: the sign stays off the net",
       {true, 0, kIst},
       {19, 0, -99, -119, {}},
       100,
       -119},
      {"gross prices, credit note without VAT",
       {true, 0, kIst},
       {0, 0, -99, 0, {{1, 119, 19}}},
       -100,
       -119},
      {"five-cent rounding", {false, 2, kIst}, {19, 0, 0, 0, {{1, 10.03, 19}}}, 10.05, 11.9457},
      {"one-cent residue: the net without VAT is not rounded",
       {false, 1, kIst},
       {0, 0, 0, 0, {{1, 12.01, 0}}},
       12.01,
       12.00},
      {"one-cent residue with VAT",
       {false, 1, kIst},
       {19, 0, 0, 0, {{1, 12.99, 0}}},
       13.00,
       15.4581},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto [net, gross] = Amounts(row.order, row.settings);
    EXPECT_NEAR(net, row.net, 1e-9);
    EXPECT_NEAR(gross, row.gross, 1e-9);
  }
}

TEST(CentRoundTest, Modes) {
  struct Row {
    int8_t mode;
    double amount;
    double expected;
  };
  const Row rows[] = {
      {0, 12.3456, 12.3456}, {0, 12.01, 12.01},     {3, 12.01, 12.01},   {-1, 12.99, 12.99},
      {1, 12.01, 12.00},     {1, 12.99, 13.00},     {1, 12.02, 12.02},   {1, -3.99, -4.00},
      {1, -3.01, -3.00},     {1, 12.00, 12.00},     {1, 12.999, 12.999}, {1, 0.01, 0.00},
      {2, 12.03, 12.05},     {2, 12.07, 12.05},     {2, 12.08, 12.10},   {2, 12.12, 12.10},
      {2, 12.05, 12.05},     {2, 12.01, 12.00},     {2, 12.04, 12.05},   {2, 12.06, 12.05},
      {2, 12.09, 12.10},     {2, 12.10, 12.10},     {2, 12.999, 12.999}, {2, -3.97, -3.95},
      {2, -3.99, -4.00},     {2, 12.3456, 12.3456},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.mode) + " " + std::to_string(row.amount));
    EXPECT_NEAR(CentRound(row.amount, row.mode), row.expected, 1e-9);
  }
}

TEST_F(TaxDbTest, LineSumsOfOneOrderOnly) {
  auto& b = Build();
  const int64_t big = 3000000000;  // beyond 32 bits
  b.Add(testdb::Line{.auftragindex = big, .anzahl = 2.0, .preis = 10.0, .mwst = 19.0});
  b.Add(testdb::Line{.auftragindex = big, .anzahl = 1.0, .preis = 5.0, .mwst = 7.0});
  // Where a 32-bit cut of the id would point.
  b.Add(
      testdb::Line{.auftragindex = big - 4294967296, .anzahl = 1.0, .preis = 999.0, .mwst = 19.0});
  b.Add(testdb::Line{.auftragindex = 8, .anzahl = 1.0, .preis = 119.0, .mwst = 19.0});
  TDBase& db = Open();

  const LineSums sums = OrderLineSums(db, big);
  EXPECT_NEAR(sums.net, 25, 1e-9);
  EXPECT_NEAR(sums.vat, 3.8 + 0.35, 1e-9);

  const LineSums none = OrderLineSums(db, 77);
  EXPECT_EQ(none.net, 0);
  EXPECT_EQ(none.vat, 0);

  const LineSums grossPrices =
      OrderLineSums(db, 8, EvaluationSettings{true, 0, TaxationBasis::Ist});
  EXPECT_NEAR(grossPrices.net, 119, 1e-9);
  EXPECT_NEAR(grossPrices.vat, 19, 1e-9);
}

TEST_F(TaxDbTest, ConversionErrorNamesColumnAndOrder) {
  testdb::Schema schema;
  schema.amountType = "VARCHAR(20)";  // values travel as the library's text
  schema.keyType = "VARCHAR(20)";
  struct Row {
    const char* name;
    testdb::Order order;
    const char* text;
    const char* column;
  };
  const Row rows[] = {
      {"letters in skonto", {.id = 41, .skonto = "zw\xF6lf"}, "zw\xF6lf", "skonto"},
      {"NULL in a text-declared rate", {.id = 42, .mwst = nullptr}, "", "mwst"},
      {"letters in the type", {.id = 43, .auftragstyp = "Gutschrift"}, "Gutschrift", "auftragstyp"},
      {"letters in the invoice total of a credit note",
       {.id = 44, .mwst = 19.0, .auftragstyp = -99, .rechbetrag = "n/a"},
       "n/a",
       "rechbetrag"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Build(schema).Add(row.order);
    TDBase& db = Open();
    const auto order = db.Query("SELECT * FROM auftrag");
    const std::string id = std::to_string(row.order.id);
    try {
      OrderAmount(db, *order, row.order.id, false);
      ADD_FAILURE() << "no conversion error";
    } catch (const EConvertError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind(kConvertErrorText, 0), 0u) << message;
      EXPECT_NE(message.find(std::string("\"") + row.text + "\""), std::string::npos) << message;
      EXPECT_NE(message.find(std::string("(Spalte ") + row.column + ", Auftrag id " + id + ")"),
                std::string::npos)
          << message;
    }
  }
}

TEST_F(TaxDbTest, InvoiceTotalOfAnOrdinaryOrderIsNotRead) {
  testdb::Schema schema;
  schema.amountType = "VARCHAR(20)";
  Build(schema).Add(testdb::Order{.id = 1, .mwst = 19.0, .rechbetrag = "n/a"});
  TDBase& db = Open();
  const auto order = db.Query("SELECT * FROM auftrag");
  EXPECT_EQ(OrderAmount(db, *order, 1, false), 0);
}

}  // namespace
}  // namespace vorlex
