#include "tax/CashBookEvaluation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/uDB.h"
#include "tax/RecordingSink.h"
#include "tax/TaxDbTest.h"
#include "tests/ListTexts.h"
#include "util/NumberText.h"

namespace vorlex {
namespace {

using testing::Day;
using testing::RecordingSink;

constexpr int kReceipt = 0;
constexpr int kExpense = 1;

class CashBookTest : public testing::TaxDbTest {
 protected:
  testdb::PelmoraDb& BuildWithNames(const testdb::Schema& schema = {}) {
    auto& b = Build(schema);
    b.Add(testdb::Customer{.id = 1, .name = "Laufkunde"});
    b.Add(testdb::Supplier{.id = 1, .name = "Post AG"});
    return b;
  }
  static testdb::CashEntry Entry(int direction, const char* text, testdb::Value betrag,
                                 testdb::Value mwst, double termin = Day(2024, 3, 5)) {
    return {.besitzerindex = direction == kReceipt ? testdb::Value(1) : testdb::Value(nullptr),
            .lieferantindex = direction == kExpense ? testdb::Value(1) : testdb::Value(nullptr),
            .neinaus = direction,
            .termin = termin,
            .bezeichnung = text,
            .betrag = betrag,
            .mwst = mwst};
  }
  std::vector<std::string> Run(double first = Day(2024, 3, 1), double last = Day(2024, 3, 31)) {
    sink_ = RecordingSink{};
    totals_ = TaxTotals{};
    CashBookEvaluation(Open(), first, last, totals_, sink_);
    return LineTexts(sink_.lines);
  }

  RecordingSink sink_;
  TaxTotals totals_;
};

TEST_F(CashBookTest, QueryText) {
  EXPECT_EQ(CashBookQuery(Day(2024, 1, 1) + 0.5, Day(2024, 3, 31) + 0.25),
            "SELECT DISTINCT kasse.*, besitzer.name AS k_name, besitzer.vorname, "
            "besitzer.kundennr, lieferant.name as l_name FROM (kasse LEFT JOIN besitzer ON "
            "(besitzer.id = kasse.besitzerindex)) LEFT JOIN lieferant ON (lieferant.id = "
            "kasse.lieferantindex) WHERE (kasse.papierkorb = 0) AND (termin >= 45292) AND (termin "
            "< 45383)  ORDER BY kasse.neinaus, kasse.bezeichnung,termin");
}

TEST_F(CashBookTest, RatesDecideTheTotals) {
  struct Row {
    const char* name;
    int direction;
    testdb::Value mwst;
    const char* rateText;
    double umsatz7, umsatz19, vorsteuer7, vorsteuer19;
  };
  const Row rows[] = {
      {"receipt 7", kReceipt, 7.0, "7", 100, 0, 0, 0},
      {"receipt 19", kReceipt, 19.0, "19", 0, 100, 0, 0},
      {"receipt 18.6 counts at 19, whole", kReceipt, 18.6, "18,6", 0, 100, 0, 0},
      {"receipt 19.4 counts at 19", kReceipt, 19.4, "19,4", 0, 100, 0, 0},
      {"receipt 6.5 rounds to 6", kReceipt, 6.5, "6,5", 0, 0, 0, 0},
      {"receipt 7.5 rounds to 8", kReceipt, 7.5, "7,5", 0, 0, 0, 0},
      {"receipt 18.5 rounds to 18", kReceipt, 18.5, "18,5", 0, 0, 0, 0},
      {"receipt 19.5 rounds to 20", kReceipt, 19.5, "19,5", 0, 0, 0, 0},
      {"receipt 16", kReceipt, 16.0, "16", 0, 0, 0, 0},
      {"receipt 0", kReceipt, 0.0, "0", 0, 0, 0, 0},
      {"receipt NULL reads 0", kReceipt, nullptr, "0", 0, 0, 0, 0},
      {"receipt integer 19", kReceipt, 19, "19", 0, 100, 0, 0},
      {"expense 7", kExpense, 7.0, "7", 0, 0, 7, 0},
      {"expense 19", kExpense, 19.0, "19", 0, 0, 0, 19},
      {"expense 18.6 with its own rate", kExpense, 18.6, "18,6", 0, 0, 0, 18.6},
      {"expense 19.4 with its own rate", kExpense, 19.4, "19,4", 0, 0, 0, 19.4},
      {"expense 6.5", kExpense, 6.5, "6,5", 0, 0, 0, 0},
      {"expense 7.4 counts at 7", kExpense, 7.4, "7,4", 0, 0, 7.4, 0},
      {"expense 16", kExpense, 16.0, "16", 0, 0, 0, 0},
      {"expense 0", kExpense, 0.0, "0", 0, 0, 0, 0},
      {"expense NULL reads 0", kExpense, nullptr, "0", 0, 0, 0, 0},
      {"expense rate beyond four decimals", kExpense, 19.00004, "19,00004", 0, 0, 0, 19},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    BuildWithNames().Add(Entry(row.direction, "Posten", 100.0, row.mwst));
    const auto lines = Run();
    const std::string marker = row.direction == kReceipt ? "E" : "A";
    const std::string name = row.direction == kReceipt ? "Laufkunde" : "Post AG";
    std::vector<std::string> expected;
    if (row.direction == kExpense) expected.push_back("-------");
    expected.push_back(marker + "   |   05.03.2024   |   Posten   |   " + name +
                       "   |   100,00   |   " + row.rateText + "%");
    EXPECT_EQ(lines, expected);
    EXPECT_NEAR(totals_.Umsatz7, row.umsatz7, 1e-9);
    EXPECT_NEAR(totals_.Umsatz19, row.umsatz19, 1e-9);
    EXPECT_NEAR(totals_.Vorsteuer7, row.vorsteuer7, 1e-9);
    EXPECT_NEAR(totals_.Vorsteuer19, row.vorsteuer19, 1e-9);
    EXPECT_EQ(totals_.NichtEU + totals_.InnergemMitUStId + totals_.InnergemOhneUStId, 0);
  }
}

TEST_F(CashBookTest, DividerStandsOnlyBeforeTheExpenses) {
  struct Row {
    const char* name;
    std::vector<int> directions;
    std::vector<std::string> markers;  // first character of each line
  };
  const Row rows[] = {
      {"only receipts", {kReceipt, kReceipt}, {"E", "E"}},
      {"only expenses", {kExpense, kExpense}, {"-", "A", "A"}},
      {"both", {kExpense, kReceipt, kExpense, kReceipt}, {"E", "E", "-", "A", "A"}},
      {"empty", {}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto& b = BuildWithNames();
    for (int direction : row.directions) b.Add(Entry(direction, "x", 1.0, 19.0));
    std::vector<std::string> markers;
    for (const std::string& line : Run()) markers.push_back(line.substr(0, 1));
    EXPECT_EQ(markers, row.markers);
    EXPECT_EQ(sink_.maxima, std::vector<int>{static_cast<int>(row.directions.size())});
    EXPECT_EQ(sink_.position, static_cast<int>(row.directions.size()));
  }
}

TEST_F(CashBookTest, OrderSelectionAndNames) {
  auto& b = BuildWithNames();
  b.Add(Entry(kExpense, "Miete", 500.0, 0.0, Day(2024, 3, 1)));
  b.Add(Entry(kReceipt, "Verkauf", 10.0, 19.0, Day(2024, 3, 9)));
  b.Add(Entry(kReceipt, "Verkauf", 20.0, 19.0, Day(2024, 3, 2)));
  b.Add(Entry(kReceipt, "Buch", 30.0, 7.0, Day(2024, 3, 31) + 0.9));  // late on the last day
  b.Add(Entry(kReceipt, "April", 40.0, 7.0, Day(2024, 4, 1)));
  b.Add(Entry(kReceipt, "Februar", 50.0, 7.0, Day(2024, 2, 29) + 0.99));
  auto bin = Entry(kReceipt, "Papierkorb", 60.0, 19.0);
  bin.papierkorb = 1;
  b.Add(bin);
  b.Add({.besitzerindex = 42,
         .neinaus = kReceipt,
         .termin = Day(2024, 3, 3),
         .bezeichnung = "Ohne Kunde",
         .betrag = -5.0,
         .mwst = 19.0});
  b.Add({.lieferantindex = 42,
         .neinaus = kExpense,
         .termin = Day(2024, 3, 4),
         .bezeichnung = "Ohne Lieferant",
         .betrag = -100.0,
         .mwst = 7.0});
  // A receipt shows the customer, an expense the supplier, whatever else is set.
  b.Add({.besitzerindex = 1,
         .lieferantindex = 1,
         .neinaus = kExpense,
         .termin = Day(2024, 3, 6),
         .bezeichnung = "Beides",
         .betrag = 1.0,
         .mwst = 0.0});

  const std::vector<std::string> expected = {
      "E   |   31.03.2024   |   Buch   |   Laufkunde   |   30,00   |   7%",
      "E   |   03.03.2024   |   Ohne Kunde   |      |   -5,00   |   19%",
      "E   |   02.03.2024   |   Verkauf   |   Laufkunde   |   20,00   |   19%",
      "E   |   09.03.2024   |   Verkauf   |   Laufkunde   |   10,00   |   19%",
      "-------",
      "A   |   06.03.2024   |   Beides   |   Post AG   |   1,00   |   0%",
      "A   |   01.03.2024   |   Miete   |   Post AG   |   500,00   |   0%",
      "A   |   04.03.2024   |   Ohne Lieferant   |      |   -100,00   |   7%",
  };
  EXPECT_EQ(Run(), expected);
  EXPECT_NEAR(totals_.Umsatz7, 30, 1e-9);
  EXPECT_NEAR(totals_.Umsatz19, 25, 1e-9);
  EXPECT_NEAR(totals_.Vorsteuer7, -7, 1e-9);
  EXPECT_EQ(totals_.Vorsteuer19, 0);
}

TEST_F(CashBookTest, EntryNeitherReceiptNorExpenseIsListedAndCountsNowhere) {
  auto& b = BuildWithNames();
  b.Add(Entry(kReceipt, "Einnahme", 10.0, 19.0));
  auto odd = Entry(kReceipt, "Umbuchung", 99.0, 19.0);
  odd.neinaus = 2;
  b.Add(odd);
  EXPECT_EQ(Run(), (std::vector<std::string>{
                       "E   |   05.03.2024   |   Einnahme   |   Laufkunde   |   10,00   |   19%",
                       "-------",
                       "?   |   05.03.2024   |   Umbuchung   |   Laufkunde   |   99,00   |   19%",
                   }));
  EXPECT_NEAR(totals_.Umsatz19, 10, 1e-9);
}

TEST_F(CashBookTest, DescriptionIsCutAfterFortyCharacters) {
  auto& b = BuildWithNames();
  b.Add(Entry(kReceipt, "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 1.0, 19.0));
  b.Add(Entry(kReceipt, "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb", 1.0, 19.0));
  const auto lines = Run();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("|   " + std::string(40, 'a') + "   |"), std::string::npos);
  EXPECT_NE(lines[1].find("|   " + std::string(40, 'b') + "...   |"), std::string::npos);
}

TEST_F(CashBookTest, AConversionErrorNamesTheEntry) {
  testdb::Schema schema;
  schema.amountType = "VARCHAR(20)";
  // A text column delivers the library's own text of a number ("19.0").
  struct Row {
    const char* name;
    testdb::Value betrag, mwst;
    double termin;
    std::vector<std::string> linesBefore;
    std::string message;
  };
  const Row rows[] = {
      {"letters in the amount",
       "zehn",
       19.0,
       Day(2024, 3, 5),
       {"E   |   01.03.2024   |   gut   |   Laufkunde   |   1,00   |   19.0%", "-------"},
       std::string(kConvertErrorText) +
           ": \"zehn\" (Spalte betrag, Kassenbuch-Eintrag vom 05.03.2024 \"Porto | Briefe\")"},
      {"NULL rate in a text column",
       10.0,
       nullptr,
       Day(2024, 3, 5),
       {"E   |   01.03.2024   |   gut   |   Laufkunde   |   1,00   |   19.0%", "-------"},
       std::string(kConvertErrorText) +
           ": \"\" (Spalte mwst, Kassenbuch-Eintrag vom 05.03.2024 \"Porto | Briefe\")"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto& b = BuildWithNames(schema);
    b.Add(Entry(kReceipt, "gut", 1.0, 19.0, Day(2024, 3, 1)));
    b.Add(Entry(kExpense, "Porto | Briefe", row.betrag, row.mwst, row.termin));
    b.Add(Entry(kExpense, "Zuletzt", 1.0, 19.0, Day(2024, 3, 6)));
    sink_ = RecordingSink{};
    totals_ = TaxTotals{};
    try {
      CashBookEvaluation(Open(), Day(2024, 3, 1), Day(2024, 3, 31), totals_, sink_);
      ADD_FAILURE() << "no conversion error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), row.message);
    }
    EXPECT_EQ(LineTexts(sink_.lines), row.linesBefore);
    EXPECT_NEAR(totals_.Umsatz19, 1, 1e-9);
  }
}

TEST_F(CashBookTest, TheEntrysDateIsNamedAsStoredWhenItIsNoNumber) {
  testdb::Schema schema;
  schema.keyType = "VARCHAR(20)";
  schema.dateType = "VARCHAR(20)";
  struct Row {
    const char* name;
    testdb::Value neinaus, termin;
    std::string place;
  };
  const Row rows[] = {
      {"bad direction", "Ausgabe", "45356",
       "(Spalte neinaus, Kassenbuch-Eintrag vom 05.03.2024 \"Porto\")"},
      {"bad date", "1", "1x", "(Spalte termin, Kassenbuch-Eintrag vom 1x \"Porto\")"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    // Text dates compare as text with the bounds "0" and "5", which include both.
    BuildWithNames(schema).Insert("kasse", {{"papierkorb", 0},
                                            {"neinaus", row.neinaus},
                                            {"termin", row.termin},
                                            {"bezeichnung", "Porto"},
                                            {"betrag", 1.0},
                                            {"mwst", 19.0}});
    try {
      Run(0, 4);
      ADD_FAILURE() << "no conversion error";
    } catch (const EConvertError& e) {
      EXPECT_NE(std::string(e.what()).find(row.place), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace vorlex
