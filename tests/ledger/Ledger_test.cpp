// The ledger file: filings kept as filed, corrections beside them, files that
// are no ledger refused and left as they are, two writers at once.
#include "ledger/Ledger.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "TestPlatform.h"
#include "tests/ScratchFolder.h"
#include "tests/util/FormatTest.h"
#include "util/FormatSettings.h"
#include "util/uDatum.h"

namespace vorlex {
namespace {

using testing::ReadBytes;

Filing MarchFiling(double net) {
  Filing f = FilingOfRun(MonthPeriod(2026, 3), TaxationBasis::Ist, {}, {});
  f.filedOn = EncodeDate(2026, 4, 10);
  f.ticket = "et-123";
  f.vatId = "DE123456789";
  f.pelmoraPath = "/home/t/pelmora.db";
  f.programVersion = "1.0";
  f.cents[2] = static_cast<int64_t>(net * 100);
  f.cents[5].reset();  // no field 83
  f.entries = {
      {EntryKind::Order, 17, EncodeDate(2026, 3, 9) + 0.25, "Rechnung \xE4 2026-017",
       "M\xC3\xBCller", 19, net, net * 1.19, net, 81},
      {EntryKind::Expense, 0, EncodeDate(2026, 3, 2), "Porto", "Post", 19, 20, 20, 3.8, 66}};
  return f;
}

// A statement on the file through the library itself, as another program would.
int Raw(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return rc;
}

LedgerFailure FailureOf(const std::function<void()>& f, std::string* sentence = nullptr) {
  try {
    f();
  } catch (const ELedgerError& e) {
    if (sentence != nullptr) *sentence = e.what();
    return e.Failure();
  }
  ADD_FAILURE() << "nothing raised";
  return LedgerFailure::Other;
}

class LedgerTest : public ::testing::Test {
 protected:
  testing::ScratchFolder folder_;
  std::string path_ = folder_.File("Vorlex/vorlex.db");
};

TEST_F(LedgerTest, KeepsAFilingAsFiledAndACorrectionBesideIt) {
  {
    TLedger read(path_, LedgerAccess::Read);  // nothing is made for reading
    EXPECT_FALSE(
        read.LatestFiling(MarchFiling(1).firstDay, MarchFiling(1).lastDay, TaxationBasis::Ist));
  }
  EXPECT_FALSE(std::filesystem::exists(path_));

  const Filing first = MarchFiling(100);
  TLedger ledger(path_, LedgerAccess::Write);
  const int64_t id = ledger.Record(first, kGerman);
  std::optional<Filing> back = ledger.LatestFiling(first.firstDay, first.lastDay, first.basis);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->id, id);
  EXPECT_EQ(back->corrects, 0);
  EXPECT_EQ(back->entries, first.entries);
  EXPECT_EQ(back->filedOn, first.filedOn);
  EXPECT_EQ(back->ticket, first.ticket);
  EXPECT_EQ(back->vatId, first.vatId);
  EXPECT_EQ(back->pelmoraPath, first.pelmoraPath);
  EXPECT_EQ(back->periodKind, TPeriodKind::Monat);
  for (size_t i = 0; i < kFiledFieldCount; ++i) EXPECT_EQ(back->cents[i], first.cents[i]) << i;
  EXPECT_FALSE(CompareWithFiling(*back, first, kGerman).Changed());
  // The other basis is a filing of its own.
  EXPECT_FALSE(ledger.LatestFiling(first.firstDay, first.lastDay, TaxationBasis::Soll));

  // Filing the same again is refused; a changed period is filed anew.
  EXPECT_EQ(FailureOf([&] { ledger.Record(first, kGerman); }), LedgerFailure::Unchanged);
  Filing corrected = MarchFiling(200);
  corrected.filedOn = EncodeDate(2026, 5, 2);
  const int64_t second = ledger.Record(corrected, kGerman);
  back = ledger.LatestFiling(first.firstDay, first.lastDay, first.basis);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->id, second);
  EXPECT_EQ(back->corrects, id);
  EXPECT_EQ(back->cents[2], 20000);
  Filing quarter = MarchFiling(5);
  const TTaxPeriod q1 = QuarterPeriod(2026, 1);
  quarter.periodKind = q1.PeriodKind;
  quarter.firstDay = q1.FirstDay;
  quarter.lastDay = q1.LastDay;
  ledger.Record(quarter, kGerman);
  const std::vector<Filing> latest = ledger.LatestFilings();
  ASSERT_EQ(latest.size(), 2u);
  EXPECT_EQ(latest[0].periodKind, TPeriodKind::Quartal1);
  EXPECT_EQ(latest[1].id, second);

  // Neither the filing nor its entries can be changed or removed.
  EXPECT_NE(Raw(path_, "UPDATE filing SET kz81 = 0"), SQLITE_OK);
  EXPECT_NE(Raw(path_, "DELETE FROM filing_entry"), SQLITE_OK);
  EXPECT_NE(Raw(path_, "DELETE FROM filing"), SQLITE_OK);
  EXPECT_EQ(ledger.LatestFilings().size(), 2u);
}

// A trader's filings follow the VAT id when the database moves; another
// trader's filings of the same period are never taken for one's own; without
// a VAT id on either side the database's path decides.
TEST_F(LedgerTest, FilingsAreTheTradersByVatIdElseByPath) {
  const auto of = [](const char* vatId, const char* path) {
    Filing f = MarchFiling(100);
    f.vatId = vatId;
    f.pelmoraPath = path;
    return f;
  };
  struct Row {
    const char* name;
    Filing run;
    bool same;
  };
  const Filing filed = of("DE123456789", "/home/t/pelmora.db");
  const Row rows[] = {
      {"same id and path", of("DE123456789", "/home/t/pelmora.db"), true},
      {"moved database", of("DE 123 456 789", "/mnt/neu/pelmora.db"), true},
      {"another trader at the same path", of("DE987654321", "/home/t/pelmora.db"), false},
      {"no id now, same path", of("", "/home/t/pelmora.db"), true},
      {"no id now, another path", of("", "/mnt/neu/pelmora.db"), false},
  };
  for (const Row& row : rows) EXPECT_EQ(SameTrader(filed, row.run), row.same) << row.name;

  TLedger ledger(path_, LedgerAccess::Write);
  const int64_t mine = ledger.Record(filed, kGerman);
  // Another trader files the same month with other figures: a filing of its
  // own, which corrects nothing of the first.
  Filing other = of("ATU12345678", "/srv/b/pelmora.db");
  other.cents[2] = 999;
  const int64_t theirs = ledger.Record(other, kGerman);
  EXPECT_EQ(ledger.LatestFiling(other)->corrects, 0);
  EXPECT_EQ(ledger.LatestFiling(of("DE123456789", "/mnt/neu/pelmora.db"))->id, mine);
  EXPECT_EQ(ledger.LatestFiling(of("ATU 12345678", ""))->id, theirs);
  EXPECT_FALSE(ledger.LatestFiling(of("DE111111111", "/home/t/pelmora.db")));
  // Recording the first trader's month again, unchanged, is refused as before.
  EXPECT_EQ(FailureOf([&] { ledger.Record(of("DE123456789", "/mnt/neu/pelmora.db"), kGerman); }),
            LedgerFailure::Unchanged);
  const Filing trader = of("DE123456789", "");
  ASSERT_EQ(ledger.LatestFilings(&trader).size(), 1u);
  EXPECT_EQ(ledger.LatestFilings(&trader)[0].id, mine);
  EXPECT_EQ(ledger.LatestFilings().size(), 1u);  // anyone's: the period's latest
}

// The EC sales list a filing was made with comes back as recorded, an empty
// one as empty; a ledger of the first layout is read as it is, its filings
// without a list, and brought up to date when it is written.
TEST_F(LedgerTest, KeepsTheEcSalesListOfAFiling) {
  {
    TLedger ledger(path_, LedgerAccess::Write);
    Filing first = MarchFiling(100);
    ledger.Record(first, kGerman);
    // Layout 1 as an earlier Vorlex left it.
    std::string layoutOne = "DROP TABLE filing_ec_row; DROP TABLE filing_ec_list;";
    for (const char* column : {"kz21", "kz35", "kz36", "kz43", "kz45", "zero_rate"}) {
      layoutOne += std::string(" ALTER TABLE filing DROP COLUMN ") + column + ";";
    }
    ASSERT_EQ(Raw(path_, layoutOne + " PRAGMA user_version = 1"), SQLITE_OK);
  }
  const std::string layoutOne = ReadBytes(path_);
  std::optional<Filing> back =
      TLedger(path_, LedgerAccess::Read).LatestFiling(MarchFiling(1).firstDay,
                                                      MarchFiling(1).lastDay, TaxationBasis::Ist);
  ASSERT_TRUE(back);
  EXPECT_FALSE(back->ecSales);
  EXPECT_FALSE(back->further[0]);
  EXPECT_EQ(ReadBytes(path_), layoutOne);  // reading changes nothing

  TLedger ledger(path_, LedgerAccess::Write);
  Filing second = MarchFiling(200);
  second.further[3] = 4321;
  second.ecSales = {{.vatId = "ATU63452871", .kind = 'L', .cents = 0, .euros = 468},
                    {.vatId = "FR40303265045", .kind = 'S', .cents = 0, .euros = 12}};
  ledger.Record(second, kGerman);
  back = ledger.LatestFiling(second);
  ASSERT_TRUE(back && back->ecSales);
  ASSERT_EQ(back->ecSales->size(), 2u);
  EXPECT_EQ(back->further[3], 4321);  // Kz 43, kept from this layout on
  EXPECT_EQ((*back->ecSales)[1].vatId, "FR40303265045");
  EXPECT_EQ((*back->ecSales)[1].kind, 'S');
  EXPECT_EQ((*back->ecSales)[0].euros, 468);
  Filing third = MarchFiling(300);
  third.ecSales.emplace();
  ledger.Record(third, kGerman);
  back = ledger.LatestFiling(third);
  ASSERT_TRUE(back && back->ecSales);
  EXPECT_TRUE(back->ecSales->empty());
  EXPECT_NE(Raw(path_, "DELETE FROM filing_ec_row"), SQLITE_OK);
}

TEST_F(LedgerTest, RefusesFilesThatAreNoLedgerAndLeavesThem) {
  const std::string path = folder_.File("fremd.db");
  struct Case {
    const char* what;
    std::function<void()> make;
    LedgerFailure failure;
  };
  const auto write = [&](const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  };
  const std::vector<Case> cases = {
      {"text", [&] { write("Umsatz;Steuer\n"); }, LedgerFailure::Damaged},
      {"short", [&] { write("SQLite"); }, LedgerFailure::Damaged},
      {"damaged pages",
       [&] {
         TLedger(path, LedgerAccess::Write).Record(MarchFiling(1), kGerman);
         std::string bytes = ReadBytes(path);
         for (size_t i = 100; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
         write(bytes);
       },
       LedgerFailure::Damaged},
      {"another program's database", [&] { Raw(path, "CREATE TABLE auftrag (id INTEGER)"); },
       LedgerFailure::Damaged},
      {"a newer ledger",
       [&] {
         TLedger(path, LedgerAccess::Write).Record(MarchFiling(1), kGerman);
         Raw(path, "PRAGMA user_version = 99");
       },
       LedgerFailure::Newer},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(path);
    c.make();
    const std::string before = ReadBytes(path);
    for (const LedgerAccess access : {LedgerAccess::Read, LedgerAccess::Write}) {
      std::string sentence;
      EXPECT_EQ(
          FailureOf([&] { TLedger(path, access).Record(MarchFiling(2), kGerman); }, &sentence),
          c.failure)
          << c.what;
      EXPECT_NE(sentence.find(path), std::string::npos) << sentence;
    }
    EXPECT_EQ(ReadBytes(path), before) << c.what;
    EXPECT_EQ(folder_.Names(), std::set<std::string>{"fremd.db"}) << c.what;
  }
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  EXPECT_EQ(FailureOf([&] { TLedger(path, LedgerAccess::Read); }), LedgerFailure::Damaged);
}

TEST_F(LedgerTest, TwoWritersAtOnce) {
  TLedger(path_, LedgerAccess::Write).Record(MarchFiling(1), kGerman);
  // Another writer holds the file a moment: the second waits for it, and
  // says so where it would have to wait too long.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::string sentence;
  EXPECT_EQ(
      FailureOf([&] { TLedger(path_, LedgerAccess::Write, 100).Record(MarchFiling(2), kGerman); },
                &sentence),
      LedgerFailure::Busy);
  EXPECT_NE(sentence.find("anderen Vorlex-Programm"), std::string::npos) << sentence;
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  });
  EXPECT_NO_THROW(TLedger(path_, LedgerAccess::Write).Record(MarchFiling(3), kGerman));
  release.join();
  sqlite3_close(other);

  // New files, each met at once by two writers of their own periods and a
  // reader: every filing is kept, the reader sees an empty or a whole ledger,
  // and what any of them raises is reported here, not lost with its thread.
  for (int round = 0; round < 8; ++round) {
    const std::string fresh = folder_.File("neu" + std::to_string(round) + "/vorlex.db");
    std::string failures[3];
    std::vector<std::thread> threads;
    const auto guarded = [&failures](int who, const std::function<void()>& work) {
      try {
        work();
      } catch (const std::exception& e) {
        failures[who] = e.what();
      }
    };
    for (int month : {1, 2}) {
      threads.emplace_back(guarded, month - 1, [&fresh, month] {
        Filing f = MarchFiling(month);
        const TTaxPeriod period = MonthPeriod(2026, month);
        f.firstDay = period.FirstDay;
        f.lastDay = period.LastDay;
        for (int i = 0; i < 3; ++i) {
          f.cents[2] = month * 100 + i;
          TLedger(fresh, LedgerAccess::Write).Record(f, kGerman);
        }
      });
    }
    threads.emplace_back(guarded, 2, [&fresh] {
      for (int i = 0; i < 20; ++i) TLedger(fresh, LedgerAccess::Read).LatestFilings();
    });
    for (std::thread& t : threads) t.join();
    for (const std::string& failure : failures) EXPECT_EQ(failure, "") << "round " << round;
    const std::vector<Filing> latest = TLedger(fresh, LedgerAccess::Read).LatestFilings();
    ASSERT_EQ(latest.size(), 2u);
    EXPECT_EQ(latest[0].cents[2], 102);
    EXPECT_EQ(latest[1].cents[2], 202);
  }
}

TEST(LedgerPlace, DefaultAndPelmorasFolders) {
  testing::SetEnvironmentValue("VORLEX_LEDGER", "/tmp/x/ledger.db");
  EXPECT_EQ(DefaultLedgerPath(), "/tmp/x/ledger.db");
  testing::SetEnvironmentValue("VORLEX_LEDGER", nullptr);
  const std::string suffix = std::string("Vorlex") + kPathSeparator + "vorlex.db";
  EXPECT_EQ(DefaultLedgerPath(), UserDataFolder() + kPathSeparator + suffix);
  if (!testing::kWindows) {
    EXPECT_TRUE(InPelmorasFolders("/d/Daten/vorlex.db", "/d/Daten/pelmora.db", "/c/Pelmora/"));
    EXPECT_TRUE(InPelmorasFolders("/c/Pelmora/x/vorlex.db", "/d/p.db", "/c/Pelmora/"));
    EXPECT_FALSE(InPelmorasFolders("/c/Vorlex/vorlex.db", "/d/Daten/p.db", "/c/Pelmora/"));
    EXPECT_FALSE(InPelmorasFolders("/c/PelmoraX/vorlex.db", "/d/Daten/p.db", "/c/Pelmora/"));
  }
}

}  // namespace
}  // namespace vorlex
