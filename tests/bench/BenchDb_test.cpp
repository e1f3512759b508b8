#include "bench/BenchDb.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestPlatform.h"
#include "bench/Probe.h"
#include "tests/ScratchFolder.h"
#include "util/uDatum.h"
namespace vorlex::bench {
namespace {

namespace fs = std::filesystem;

GenOptions Small() {
  GenOptions o;
  o.orders = 400;
  o.linesPerOrder = 3;
  o.cashEntries = 150;
  o.customers = 40;
  o.years = 2;
  o.lastYear = 2023;
  o.seed = 7;
  return o;
}

TEST(GenerateBenchDb, HoldsExactlyTheRowsAskedForWithinTheYears) {
  testing::ScratchFolder dir{"vorlex-bench-test"};
  const GenOptions o = Small();
  GenerateBenchDb(dir.File("db"), o);
  const probe::Db db(dir.File("db"));
  struct Count {
    const char* sql;
    double expected;
  };
  const Count counts[] = {
      {"SELECT COUNT(*) FROM auftrag", 400},
      {"SELECT COUNT(*) FROM verbindauftrag", 1200},
      {"SELECT COUNT(*) FROM kasse", 150},
      {"SELECT COUNT(*) FROM besitzer", 40},
      {"SELECT COUNT(*) FROM settingsmandant", 1},
      // every order exactly its lines, and no line without an order
      {"SELECT COUNT(*) FROM (SELECT auftragindex FROM verbindauftrag GROUP BY auftragindex "
       "HAVING COUNT(*) = 3)",
       400},
      {"SELECT COUNT(*) FROM verbindauftrag WHERE auftragindex NOT IN (SELECT id FROM auftrag)", 0},
      {"SELECT MIN(termin) >= 44562 AND MAX(termin) < 45292 FROM auftrag", 1},  // 2022..2023
      {"SELECT MIN(termin) >= 44562 AND MAX(termin) < 45292 FROM kasse", 1},
      {"SELECT COUNT(*) FROM auftrag WHERE bezahltam <> 0 AND bezahltam < termin", 0},
  };
  for (const Count& c : counts) EXPECT_EQ(db.Number(c.sql), c.expected) << c.sql;

  const Period last = LastYear(o);
  EXPECT_EQ(last.firstDay, EncodeDate(2023, 1, 1));
  EXPECT_EQ(last.lastDay, EncodeDate(2023, 12, 31));
}

// The benchmark is only worth its figures if the data has the cases in which
// an evaluation could go wrong or slow.
TEST(GenerateBenchDb, MixesInTheCasesThatMatter) {
  testing::ScratchFolder dir{"vorlex-bench-test"};
  GenOptions o = Small();
  o.orders = 3000;
  o.cashEntries = 1000;
  o.customers = 300;
  GenerateBenchDb(dir.File("db"), o);
  const probe::Db db(dir.File("db"));
  const char* const present[] = {
      "SELECT COUNT(*) FROM verbindauftrag WHERE anzahl <> CAST(anzahl AS INTEGER)",
      "SELECT COUNT(*) FROM verbindauftrag WHERE preis * 100 <> CAST(preis * 100 AS INTEGER)",
      "SELECT COUNT(*) FROM verbindauftrag WHERE preis < 0",
      "SELECT COUNT(*) FROM auftrag WHERE auftragstyp = -99 AND rechbetrag < 0",
      "SELECT COUNT(*) FROM auftrag WHERE papierkorb <> 0",
      "SELECT COUNT(*) FROM auftrag WHERE bezahlt = 0 AND davonbezahlt IS NULL",
      "SELECT COUNT(*) FROM auftrag WHERE bezahlt = 0 AND davonbezahlt = 0",
      "SELECT COUNT(*) FROM auftrag WHERE mwst = 0",
      "SELECT COUNT(*) FROM auftrag WHERE skonto <> 0",
      "SELECT COUNT(*) FROM auftrag WHERE termin <> CAST(termin AS INTEGER)",
      "SELECT COUNT(*) FROM auftrag WHERE besitzerindex NOT IN (SELECT id FROM besitzer)",
      "SELECT COUNT(*) FROM auftrag WHERE length(bezeichnung) > 40",
      "SELECT COUNT(*) FROM kasse WHERE mwst NOT IN (0, 7, 19)",
      "SELECT COUNT(*) FROM kasse WHERE neinaus = 1 AND lieferantindex IS NOT NULL",
      "SELECT COUNT(*) FROM kasse WHERE neinaus = 0 AND besitzerindex IS NOT NULL",
  };
  for (const char* sql : present) EXPECT_GT(db.Number(sql), 0) << sql;
  EXPECT_EQ(db.Rows("SELECT land FROM besitzer GROUP BY land ORDER BY land"),
            "\nA\nAT\nCH\nD\nE\nF\nLUX\nNL\nch\n");
  EXPECT_EQ(db.Rows("SELECT land, ust_id <> '' FROM besitzer WHERE land IN ('A', 'E', 'LUX') "
                    "GROUP BY 1, 2 ORDER BY 1, 2"),
            "A|0\nA|1\nE|0\nE|1\nLUX|0\nLUX|1\n");
}

TEST(GenerateBenchDb, SameOptionsSameRowsAndTheIndexChangesNoRow) {
  testing::ScratchFolder dir{"vorlex-bench-test"};
  GenOptions o = Small();
  GenerateBenchDb(dir.File("a"), o);
  GenerateBenchDb(dir.File("b"), o);
  o.index = false;
  GenerateBenchDb(dir.File("c"), o);
  o.seed = 8;
  GenerateBenchDb(dir.File("d"), o);
  const std::string a = probe::Db(dir.File("a")).Dump();
  EXPECT_EQ(a, probe::Db(dir.File("b")).Dump());
  EXPECT_EQ(a, probe::Db(dir.File("c")).Dump());
  EXPECT_NE(a, probe::Db(dir.File("d")).Dump());

  const std::string lineIndexes =
      "SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = 'verbindauftrag'";
  EXPECT_EQ(probe::Db(dir.File("a")).Number(lineIndexes), 1);
  EXPECT_EQ(probe::Db(dir.File("c")).Number(lineIndexes), 0);
}

TEST(ParseGenArgs, TakesEveryOptionAndTheOutput) {
  const GenArgs c = ParseGenArgs({"--orders", "12", "--lines-per-order", "0", "--cash-entries", "3",
                                  "--customers", "4", "--years", "5", "--last-year", "2020",
                                  "--no-index", "--seed", "99", "out.db"});
  GenOptions expected;
  expected.orders = 12;
  expected.linesPerOrder = 0;
  expected.cashEntries = 3;
  expected.customers = 4;
  expected.years = 5;
  expected.lastYear = 2020;
  expected.index = false;
  expected.seed = 99;
  EXPECT_EQ(c.options, expected);
  EXPECT_EQ(c.output, "out.db");
  EXPECT_EQ(ParseGenArgs({"x.db"}).options, GenOptions{});
  EXPECT_TRUE(ParseGenArgs({"--no-index", "--index", "x.db"}).options.index);
  // Describe gives back a command line that parses to the same options.
  std::vector<std::string> again;
  std::string text = Describe(expected) + " ";
  for (size_t at; (at = text.find(' ')) != std::string::npos; text.erase(0, at + 1)) {
    again.push_back(text.substr(0, at));
  }
  again.push_back("out.db");
  EXPECT_EQ(ParseGenArgs(again).options, expected);
}

TEST(ParseGenArgs, RefusesWhatItCannotUse) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--orders", "10"},
      {"--orders", "x.db"},
      {"--orders", "-1", "x.db"},
      {"--orders", "1e5", "x.db"},
      {"--orders", "12 ", "x.db"},
      {"--customers", "0", "x.db"},
      {"--years", "0", "x.db"},
      {"--years", "200", "x.db"},
      {"--last-year", "1900", "--years", "2", "x.db"},
      {"--seed", "-3", "x.db"},
      {"--verbose", "x.db"},
      {"a.db", "b.db"},
  };
  for (const auto& args : bad) {
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_THROW(ParseGenArgs(args), std::invalid_argument) << joined;
  }
}

}  // namespace
}  // namespace vorlex::bench
