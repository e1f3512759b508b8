// Pelmora's database missing, broken, of another shape or held by another
// process: both front ends say what is wrong and where, at once, and change
// nothing on disk.
#include <QComboBox>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/MayData.h"
#include "tests/reliability/Harness.h"

namespace vorlex::testing {
namespace {

class DatabaseFaultTest : public FaultTest {
 protected:
  // The settings file names Daten/name; the folder exists.
  std::string Locate(const std::string& name) {
    testdb::WriteSettingsFile(PelmoraDir() + "pelmora.ini", "Daten", name);
    fs::create_directories(PelmoraDir() + "Daten");
    return PelmoraDir() + "Daten/" + name;
  }
  // May 2026 at Daten/vorlex.db, closed.
  std::string MakeMay(int extraOrders = 0, const testdb::Schema& schema = {}) {
    const std::string path = Locate("vorlex.db");
    testdb::PelmoraDb db(path, schema);
    FillMay(db);
    AddMayFaultEntries(db, extraOrders);
    return path;
  }
};

std::string OpenError(const std::string& path, const std::string& reason) {
  return "Failed to open database \"" + path + "\" : " + reason;
}

TEST_F(DatabaseFaultTest, PathsThatAreNoDatabase) {
  const std::string daten = PelmoraDir() + "Daten/";
  const std::string good = MakeMay(300);
  const std::string pages = ReadBytes(good);
  ASSERT_GT(pages.size(), 8u * 4096u);
  struct Row {
    const char* name;
    std::string dbName;  // in Daten
    std::string bytes;   // the file's content; no file when "-"
    std::string start;
    std::string part;
    bool asNobody = false;
    Raised raised;  // what the trader's sentence is made from
  };
  const std::string corrupt =
      pages.substr(0, 4096) + std::string(4096, '\xA5') + pages.substr(2 * 4096);
  const Row rows[] = {
      // The library's reason for a folder depends on how far it gets.
      {"a folder", "", "-", OpenError(daten, ""), "", false, {SQLITE_CANTOPEN, daten}},
      {"missing file", "fehlt.db", "-",
       OpenError(daten + "fehlt.db", "unable to open database file"), "", false,
       {SQLITE_CANTOPEN, daten + "fehlt.db"}},
      {"missing folder", "fehlt/vorlex.db", "-",
       OpenError(daten + "fehlt/vorlex.db", "unable to open database file"), "", false,
       {SQLITE_CANTOPEN, daten + "fehlt/vorlex.db"}},
      {"no read permission", "gesperrt.db", pages,
       OpenError(daten + "gesperrt.db", "unable to open database file"), "", true,
       {SQLITE_CANTOPEN, daten + "gesperrt.db"}},
      // An empty file is an empty database: the first query names what is missing.
      {"zero bytes", "leer.db", "", "Error executing SQL \"SELECT DISTINCT auftrag.*",
       "\" : no such table: auftrag\n", false, {SQLITE_ERROR, ""}},
      {"a text file", "text.db", "[Allgemein]\r\ndb_pfad=Daten\r\n",
       OpenError(daten + "text.db", "file is not a database"), "", false,
       {SQLITE_NOTADB, daten + "text.db"}},
      {"random bytes", "zufall.db", std::string(6000, '\x5A') + std::string(3000, '\x01'),
       OpenError(daten + "zufall.db", "file is not a database"), "", false,
       {SQLITE_NOTADB, daten + "zufall.db"}},
      {"truncated", "halb.db", pages.substr(0, pages.size() / 3),
       OpenError(daten + "halb.db", "database disk image is malformed"), "", false,
       {SQLITE_CORRUPT, daten + "halb.db"}},
      {"header intact, a page corrupt", "kaputt.db", corrupt, "",
       "\" : database disk image is malformed\n", false, {SQLITE_CORRUPT, ""}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = Locate(row.dbName);
    if (row.bytes != "-") {
      WriteBytes(path, row.bytes);
      if (row.asNobody) fs::permissions(path, fs::perms::none);
    }
    ExpectBothFail(row.start, row.part, row.asNobody, {}, row.raised);
    if (row.bytes == "-") {
      EXPECT_FALSE(fs::exists(path) && !fs::is_directory(path));
    }
  }
}

TEST_F(DatabaseFaultTest, TablesAndColumnsTheProgramNames) {
  struct Row {
    const char* table;
    const char* column;  // nullptr: the whole table is missing
    bool failsIst;
    bool failsSoll;
    bool windowOnly = false;  // the reporter does not read the VAT number
  };
  const Row rows[] = {
      {"auftrag", nullptr, true, true},
      {"verbindauftrag", nullptr, true, true},
      {"besitzer", nullptr, true, true},
      {"lieferant", nullptr, true, true},
      {"kasse", nullptr, true, true},
      {"settingsmandant", nullptr, true, true, true},
      {"auftrag", "id", true, true},
      {"auftrag", "besitzerindex", true, true},
      {"auftrag", "papierkorb", true, true},
      {"auftrag", "bezahlt", true, false},
      {"auftrag", "davonbezahlt", true, false},
      {"auftrag", "bezahltam", true, false},
      {"auftrag", "termin", false, true},
      {"auftrag", "bezeichnung", true, true},
      {"auftrag", "mwst", true, true},
      {"auftrag", "skonto", true, true},
      {"auftrag", "auftragstyp", true, true},
      {"auftrag", "rechbetrag", true, true},
      {"verbindauftrag", "auftragindex", true, true},
      {"verbindauftrag", "anzahl", true, true},
      {"verbindauftrag", "preis", true, true},
      {"verbindauftrag", "mwst", true, true},
      {"besitzer", "id", true, true},
      {"besitzer", "name", true, true},
      {"besitzer", "vorname", true, true},
      {"besitzer", "kundennr", true, true},
      {"besitzer", "land", true, true},
      {"besitzer", "ust_id", true, true},
      {"kasse", "papierkorb", true, true},
      {"kasse", "besitzerindex", true, true},
      {"kasse", "lieferantindex", true, true},
      {"kasse", "neinaus", true, true},
      {"kasse", "termin", true, true},
      {"kasse", "bezeichnung", true, true},
      {"kasse", "betrag", true, true},
      {"kasse", "mwst", true, true},
      {"lieferant", "id", true, true},
      {"lieferant", "name", true, true},
      {"settingsmandant", "ustidnummer", true, true, true},
  };
  for (const Row& row : rows) {
    const std::string missing = row.column != nullptr ? row.column : row.table;
    SCOPED_TRACE(std::string(row.table) + "." + (row.column != nullptr ? row.column : "*"));
    const std::string path = MakeMay();
    Pelmora(path,
            row.column != nullptr
                ? std::string("ALTER TABLE ") + row.table + " RENAME COLUMN " + row.column +
                      " TO " + row.column + "_alt"
                : std::string("ALTER TABLE ") + row.table + " RENAME TO " + row.table + "_alt");
    const FolderState before = StateOf(AppData());

    // A message that says what is missing: from the library when the SQL names
    // it, from the lookup when only the reading does.
    const auto names = [&](const std::string& message) {
      return (message.rfind("Error executing SQL \"", 0) == 0 &&
              (message.find("\" : no such table: " + missing + "\n") != std::string::npos ||
               message.find("\" : no such column: ") != std::string::npos) &&
              message.find(missing + "\n") != std::string::npos) ||
             message == "Field not found in dataset: " + missing + "\n";
    };
    // The reporter's second line; the first is the sentence, which names it too.
    const auto detailOf = [&](const std::string& err) {
      const size_t end = err.find('\n');
      EXPECT_NE(err.substr(0, end).find(missing + " fehlt)"), std::string::npos) << err;
      return end == std::string::npos ? std::string() : err.substr(end + 1);
    };
    std::string reported[2];
    for (int basis = 0; basis < 2; ++basis) {
      const bool fails = !row.windowOnly && (basis == 0 ? row.failsIst : row.failsSoll);
      const ReportResult r =
          RunReporter({"--month", "2026-05", "--basis", basis == 0 ? "ist" : "soll"}, AppData());
      EXPECT_EQ(r.status, fails ? 1 : 0) << r.err;
      if (fails) {
        EXPECT_TRUE(names(detailOf(r.err))) << r.err;
        EXPECT_EQ(r.out, "");
      }
      reported[basis] = r.err;
    }

    // The window starts with "Ist"; then "Soll" is chosen.
    std::vector<Message> shown = StartWindow();
    if (row.failsIst) {
      ASSERT_EQ(shown.size(), 1u);
      EXPECT_TRUE(names(AsTerminalLine(shown[0].detail))) << shown[0].detail.toStdString();
      if (!row.windowOnly) {
        EXPECT_EQ(AsTerminalLine(shown[0].text) + AsTerminalLine(shown[0].detail), reported[0]);
      }
      // Start-up has ended all the same: the next choice tries again.
      EXPECT_TRUE(EvaluationEnabled);
    } else {
      ASSERT_TRUE(shown.empty());
      form->show();
      QTest::mouseClick(c.rgVersteuerung->Button(1), Qt::LeftButton);
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(AsTerminalLine(messages[0].text) + AsTerminalLine(messages[0].detail), reported[1]);
    }
    form.reset();
    Database.reset();
    EXPECT_EQ(Changes(before, StateOf(AppData())), std::vector<std::string>{});
  }
}

TEST_F(DatabaseFaultTest, ExclusiveLockFailsAtOnceAndTheNextRunWorks) {
  const std::string path = MakeMay();
  const std::string working = ExpectBothWork();
  form.reset();
  Database.reset();
  {
    LockHolder pelmora(path, "exclusive");
    // Neither front end waits for the lock.
    const auto start = std::chrono::steady_clock::now();
    ExpectBothFail(OpenError(path, "database is locked"), "", false, {},
                   Raised{SQLITE_BUSY, path});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  }
  EXPECT_EQ(ExpectBothWork(), working);
}

TEST_F(DatabaseFaultTest, LockTakenWhileTheWindowIsOpen) {
  const std::string path = MakeMay();
  ASSERT_TRUE(StartWindow().empty());
  form->show();
  const std::vector<std::string> may = Lines();
  {
    LockHolder pelmora(path, "exclusive");
    const auto start = std::chrono::steady_clock::now();
    QTest::mouseClick(c.udMonat->PrevButton(), Qt::LeftButton);  // April
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageKind::Error);
    const std::string detail = messages[0].detail.toStdString();
    EXPECT_EQ(messages[0].text.toStdString(),
              MappedSentence({SQLITE_BUSY, ""}, detail, ErrorFront::Window));
    EXPECT_EQ(
        messages[0].detail.toStdString().rfind("Could not prepare SQL statement \"SELECT ", 0), 0u);
    EXPECT_TRUE(messages[0].detail.endsWith(QStringLiteral("\" : SQLite is Busy")));
    EXPECT_TRUE(Lines().empty());  // nothing of May under April's caption
    // Still locked: a click on the month already chosen tries again, and fails again.
    QTest::mouseClick(c.rbM, Qt::LeftButton);
    EXPECT_EQ(messages.size(), 2u);
  }
  // Released: F5 runs the same choice again, whole.
  QTest::keyClick(form.get(), Qt::Key_F5);
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(c.cmbM->currentIndex(), 3);
  EXPECT_EQ(Lines(), CoreRun(Day(2026, 4, 1), Day(2026, 4, 30)).first);
  // After a complete run a click on the chosen period does nothing.
  c.lbUst->Model().Clear();
  QTest::mouseClick(c.rbM, Qt::LeftButton);
  EXPECT_TRUE(Lines().empty());
  QTest::mouseClick(c.udMonat->NextButton(), Qt::LeftButton);  // May again
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(Lines(), may);
}

TEST_F(DatabaseFaultTest, OpenWriteTransactionElsewhereIsNotSeenUntilCommitted) {
  const std::string path = MakeMay();
  const std::string before = ExpectBothWork();
  EXPECT_NE(before.find("|   Barverkauf   |   Meier   |   100,00   |   19%"), std::string::npos);
  form.reset();
  Database.reset();
  std::string during;
  {
    LockHolder pelmora(path, "write");
    during = ExpectBothWork();
    form.reset();
    Database.reset();
    EXPECT_EQ(pelmora.Release(), 1);
  }
  EXPECT_EQ(during, before);
  const std::string after = ExpectBothWork();
  EXPECT_NE(after.find("|   Barverkauf   |   Meier   |   1100,00   |   19%"), std::string::npos);
}

// The numbers of the writer's orders and receipts that a run listed; they
// come in pairs, one transaction each, so one snapshot lists the same numbers
// on both sides.
std::pair<std::set<int>, std::set<int>> WriterEntries(const std::vector<std::string>& lines) {
  std::set<int> orders;
  std::set<int> receipts;
  for (const std::string& line : lines) {
    for (auto [word, set] : {std::pair{"|   Auftrag ", &orders}, {"|   Kasse ", &receipts}}) {
      const std::size_t at = line.find(word);
      if (at != std::string::npos) set->insert(std::atoi(line.c_str() + at + std::strlen(word)));
    }
  }
  return {orders, receipts};
}

TEST_F(DatabaseFaultTest, WalDatabaseWhilePelmoraWritesGivesOneSnapshotPerRun) {
  testdb::Schema schema;
  schema.wal = true;
  MakeMay(200, schema);
  const std::string path = PelmoraDir() + "Daten/vorlex.db";
  ASSERT_TRUE(StartWindow().empty());
  form->show();
  int reporterRuns = 0;
  int windowRuns = 0;
  std::size_t largest = 0;
  {
    LockHolder pelmora(path, "wal-writer");
    for (int i = 0; i < 8; ++i) {
      const ReportResult r = RunReporter({"--month", "2026-05", "--basis", "soll"}, AppData());
      ASSERT_EQ(r.status, 0) << r.err;
      std::vector<std::string> lines;
      std::istringstream in(r.out);
      for (std::string line; std::getline(in, line);) lines.push_back(line);
      const auto [orders, receipts] = WriterEntries(lines);
      EXPECT_EQ(orders, receipts) << "reporter run " << i;
      largest = std::max(largest, orders.size());
      ++reporterRuns;

      QTest::mouseClick(c.udMonat->PrevButton(), Qt::LeftButton);
      QTest::mouseClick(c.udMonat->NextButton(), Qt::LeftButton);
      ASSERT_TRUE(messages.empty()) << messages[0].text.toStdString();
      const auto [windowOrders, windowReceipts] = WriterEntries(Lines());
      EXPECT_EQ(windowOrders, windowReceipts) << "window run " << i;
      ++windowRuns;
    }
    const int committed = pelmora.Release();
    EXPECT_GT(committed, 0);
    std::cout << committed << " transactions committed during the runs\n";
  }
  EXPECT_EQ(reporterRuns, 8);
  EXPECT_EQ(windowRuns, 8);
  EXPECT_GT(largest, 0u);
}

TEST_F(DatabaseFaultTest, AWriteCommittedDuringARunIsNotPartOfIt) {
  testdb::Schema schema;
  schema.wal = true;
  const std::string path = MakeMay(0, schema);
  ASSERT_TRUE(StartWindow().empty());
  form->show();
  // Another period first, so that going back to May is a run of its own.
  QTest::mouseClick(c.udMonat->PrevButton(), Qt::LeftButton);
  const std::vector<std::string> may = CoreRun(Day(2026, 5, 1), Day(2026, 5, 31)).first;

  // Pelmora commits a change to an order's line and a new receipt while the
  // run is under way (at its first progress step).
  sqlite3* pelmora = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &pelmora), SQLITE_OK);
  bool written = false;
  const auto connection = QObject::connect(c.pB, &QProgressBar::valueChanged, [&] {
    if (written) return;
    written = true;
    EXPECT_EQ(sqlite3_exec(pelmora,
                           "BEGIN; UPDATE verbindauftrag SET preis = preis * 2;"
                           "INSERT INTO kasse (papierkorb, neinaus, termin, bezeichnung, betrag, "
                           "mwst) VALUES (0, 0, 46160, 'Nachtrag', 5, 19); COMMIT",
                           nullptr, nullptr, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(pelmora);
  });
  QTest::mouseClick(c.udMonat->NextButton(), Qt::LeftButton);
  QObject::disconnect(connection);
  ASSERT_TRUE(written);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Lines(), may);

  // The next run sees the change.
  QTest::mouseClick(c.udMonat->PrevButton(), Qt::LeftButton);
  QTest::mouseClick(c.udMonat->NextButton(), Qt::LeftButton);
  EXPECT_NE(Lines(), may);
  EXPECT_EQ(Lines(), CoreRun(Day(2026, 5, 1), Day(2026, 5, 31)).first);
  sqlite3_close(pelmora);
}

}  // namespace
}  // namespace vorlex::testing
