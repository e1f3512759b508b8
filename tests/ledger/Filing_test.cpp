// What a run is found to have changed since its period was filed, and how
// the status line says it.
#include "ledger/Filing.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tax/FormFields.h"
#include "tests/util/FormatTest.h"
#include "util/FormatSettings.h"
#include "util/uDatum.h"

namespace vorlex {
namespace {

double March(int day) {
  return EncodeDate(2026, 3, day);
}

FiledEntry Order(int64_t id, const std::string& description, const std::string& customer,
                 double net, int day = 10) {
  return {EntryKind::Order, id, March(day), description, customer, 19, net, net * 1.19, net, 81};
}

FiledEntry Cash(EntryKind kind, const std::string& description, const std::string& name,
                double amount, int day) {
  return {kind, 0, March(day), description, name, 19, amount, amount, amount * 0.19, 66};
}

Filing Filed() {
  Filing f;
  f.filedOn = EncodeDate(2026, 4, 10);
  f.cents[2] = 10000;  // Kz 81
  f.cents[5] = 1900;   // Kz 83
  f.entries = {Order(17, "Rechnung 2026-017", "Gruber", 100),
               Order(18, "Rechnung 2026-018", "Huber", 50),
               Cash(EntryKind::Expense, "Porto", "Post", 20, 3),
               Cash(EntryKind::Expense, "Porto", "Post", 20, 4)};
  return f;
}

TEST(FilingChangesTest, NamesEachKindOfChange) {
  struct Case {
    const char* what;
    std::function<void(std::vector<FiledEntry>&)> change;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"unchanged", [](auto&) {}, {}},
      {"order added",
       [](auto& e) { e.push_back(Order(31, "Rechnung 2026-031", "Gruber", 10)); },
       {"Rechnung 2026-031 neu"}},
      {"order removed",
       [](auto& e) { e.erase(e.begin() + 1); },
       {"Rechnung 2026-018 nicht mehr enthalten"}},
      {"amount",
       [](auto& e) { e[0] = Order(17, "Rechnung 2026-017", "Gruber", 200); },
       {"Rechnung 2026-017: 200,00 statt 100,00"}},
      {"date",
       [](auto& e) { e[0].date = March(13); },
       {"Rechnung 2026-017: Datum 13.03.2026 statt 10.03.2026"}},
      {"customer",
       [](auto& e) { e[0].customer = "Maier"; },
       {"Rechnung 2026-017: Kunde Maier statt Gruber"}},
      {"field", [](auto& e) { e[1].field = 41; }, {"Rechnung 2026-018: Kz 41 statt Kz 81"}},
      {"order's description",
       [](auto& e) { e[1].description = "Rechnung 2026-018a"; },
       {"Rechnung 2026-018a: bisher Rechnung 2026-018"}},
      // Two alike expenses on two days: the one changed is named, on its day.
      {"cash amount",
       [](auto& e) { e[3].net = 25; },
       {"Kassenbuch Porto (04.03.2026): 25,00 statt 20,00"}},
      {"cash date",
       [](auto& e) { e[3].date = March(6); },
       {"Kassenbuch Porto (06.03.2026): Datum 06.03.2026 statt 04.03.2026"}},
      {"cash removed and another added",
       [](auto& e) {
         e.pop_back();
         e.push_back(Cash(EntryKind::Receipt, "Barverkauf", "", 30, 5));
       },
       {"Kassenbuch Barverkauf (05.03.2026) neu",
        "Kassenbuch Porto (04.03.2026) nicht mehr enthalten"}},
      {"cash supplier",
       [](auto& e) { e[2].customer = "Paketdienst"; },
       {"Kassenbuch Porto (03.03.2026): Lieferant Paketdienst statt Post"}},
  };
  for (const Case& c : cases) {
    Filing now = Filed();
    c.change(now.entries);
    const FilingChanges changes = CompareWithFiling(Filed(), now, kGerman);
    EXPECT_EQ(changes.entries, c.lines) << c.what;
    EXPECT_TRUE(changes.figures.empty()) << c.what;
    EXPECT_EQ(changes.Changed(), !c.lines.empty()) << c.what;
  }
}

TEST(FilingChangesTest, StatusLineSaysTheFiguresThatMoved) {
  Filing now = Filed();
  EXPECT_EQ(FilingStatusLine(CompareWithFiling(Filed(), now, kGerman), kGerman),
            "Abgegeben am 10.04.2026 \x96 unver\xE4ndert");

  now.entries[1].customer = "Hofer";
  EXPECT_EQ(FilingStatusLine(CompareWithFiling(Filed(), now, kGerman), kGerman),
            "Seit der Abgabe am 10.04.2026 ge\xE4ndert: 1 Eintrag, Kennzahlen gleich");

  now.cents[2] = 20000;
  now.cents[5] = 3800;
  now.cents[4] = 1000;  // Kz 66, which was empty
  const FilingChanges changes = CompareWithFiling(Filed(), now, kGerman);
  EXPECT_EQ(FilingStatusLine(changes, kGerman),
            "Seit der Abgabe am 10.04.2026 ge\xE4ndert: Kz 81 +100,00, Kz 66 nicht berechenbar, "
            "Kz 83 +19,00");
  now = Filed();
  now.cents[2] = 9000;
  EXPECT_EQ(FilingStatusLine(CompareWithFiling(Filed(), now, kGerman), kGerman),
            "Seit der Abgabe am 10.04.2026 ge\xE4ndert: Kz 81 -10,00");
}

TEST(FilingChangesTest, CorrectedReturnShowsEveryFieldNowFiledAndTheDifference) {
  Filing filed = Filed();
  for (size_t i = 0; i < kFiledFieldCount; ++i) filed.cents[i] = 100 * static_cast<int64_t>(i);
  Filing now = filed;
  EXPECT_EQ(CorrectedReturnLines(CompareWithFiling(filed, now, kGerman), kGerman),
            std::vector<std::string>{});
  now.cents[2] = 10200;       // Kz 81
  now.cents[5] = 500 - 1900;  // Kz 83 turns into a refund
  now.cents[6].reset();
  EXPECT_EQ(CorrectedReturnLines(CompareWithFiling(filed, now, kGerman), kGerman),
            (std::vector<std::string>{
                "Berichtigte Anmeldung (Kz 10: 1)", "Kz 41: 0,00 | abgegeben 0,00 | 0,00",
                "Kz 44: 1,00 | abgegeben 1,00 | 0,00", "Kz 81: 102,00 | abgegeben 2,00 | +100,00",
                "Kz 86: 3,00 | abgegeben 3,00 | 0,00", "Kz 66: 4,00 | abgegeben 4,00 | 0,00",
                "Kz 83: -14,00 | abgegeben 5,00 | -19,00", "Kz 39: - | abgegeben 6,00 | -"}));
}

// A filing of the exact classification is compared in its further figures
// too; one made before they were kept differs in none of them. A period
// compared under the filing's rules, not the run's, names them.
TEST(FilingChangesTest, FurtherFiguresOfTheExactClassification) {
  Filing filed = Filed();
  filed.classification = "exact";
  for (size_t i = 0; i < kFurtherFiledCount; ++i) filed.further[i] = 0;
  filed.further[3] = 50000;  // Kz 43
  filed.further[5] = 1000;   // the 0 % figure
  Filing now = filed;
  EXPECT_FALSE(CompareWithFiling(filed, now, kGerman).Changed());
  now.further[3] = 60000;
  now.further[5] = 0;
  const FilingChanges changes = CompareWithFiling(filed, now, kGerman);
  EXPECT_EQ(FilingStatusLine(changes, kGerman),
            "Seit der Abgabe am 10.04.2026 ge\xE4ndert: Kz 43 +100,00, 0 % / steuerfrei -10,00");
  const std::vector<std::string> lines = CorrectedReturnLines(changes, kGerman);
  ASSERT_EQ(lines.size(), 1 + kFiledFieldCount + kFurtherFiledCount);
  EXPECT_EQ(lines[1 + kFiledFieldCount + 3], "Kz 43: 600,00 | abgegeben 500,00 | +100,00");
  EXPECT_EQ(lines.back(), "0 % / steuerfrei: 0,00 | abgegeben 10,00 | -10,00");

  Filing older = filed;
  for (auto& figure : older.further) figure.reset();
  EXPECT_FALSE(CompareWithFiling(older, now, kGerman).Changed());

  EXPECT_TRUE(SameClassification(filed, now));
  now.classification = "simple";
  EXPECT_FALSE(SameClassification(filed, now));
  EXPECT_TRUE(SameClassification(Filed(), now));
  FilingChanges other = CompareWithFiling(filed, filed, kGerman);
  other.filedRules = "genau";
  EXPECT_EQ(FilingStatusLine(other, kGerman),
            "Abgegeben am 10.04.2026 (Zuordnung genau) \x96 unver\xE4ndert");
}

TEST(FilingChangesTest, FilingOfARunKeepsItsEntriesAndFigures) {
  std::vector<RunEntry> entries(4);
  entries[0].kind = EntryKind::Order;
  entries[0].id = 7;
  entries[0].total = TotalKind::Umsatz19;
  entries[0].net = entries[0].added = 1234.5;
  entries[0].SetDescription("Regal");
  entries[1].kind = EntryKind::Separator;
  entries[2].kind = EntryKind::Expense;
  entries[2].total = TotalKind::Vorsteuer19;
  entries[2].added = 19;
  entries[3].kind = EntryKind::Undated;
  TaxTotals totals;
  totals.Umsatz19 = 1234.5;
  totals.Vorsteuer19 = 19;
  const Filing f = FilingOfRun(QuarterPeriod(2024, 1), TaxationBasis::Soll, entries, totals);
  EXPECT_EQ(f.periodKind, TPeriodKind::Quartal1);
  EXPECT_EQ(f.basis, TaxationBasis::Soll);
  ASSERT_EQ(f.entries.size(), 2u);
  EXPECT_EQ(f.entries[0].description, "Regal");
  EXPECT_EQ(f.entries[0].field, 81);
  EXPECT_EQ(f.entries[1].field, 66);
  EXPECT_EQ(f.cents[2], 123450);            // Kz 81
  EXPECT_EQ(f.cents[4], 1900);              // Kz 66
  EXPECT_EQ(f.cents[5], 1234 * 19 - 1900);  // Kz 83 from whole euros
  EXPECT_EQ(f.cents[6], 0);                 // Kz 39
  totals.Ausfuhr43 = 80.5;
  EXPECT_EQ(FilingOfRun(QuarterPeriod(2024, 1), TaxationBasis::Soll, entries, totals).further[3],
            8050);
  EXPECT_EQ(FiledPeriodName(f), "2024-Q1");
}

}  // namespace
}  // namespace vorlex
