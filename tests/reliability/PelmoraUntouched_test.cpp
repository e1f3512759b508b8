// Vorlex never touches Pelmora's data: after many evaluations of every kind in
// both front ends, and after failed opens, Pelmora's folder holds the same
// files with the same bytes and times, and nothing new.
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <string>
#include <vector>

#include "tests/reliability/Harness.h"
#include "ui/SaveDialog.h"

namespace vorlex::testing {
namespace {

class UntouchedTest : public FaultTest {
 protected:
  // The demo installation, made by the build's demo maker, in folder.
  static void MakeDemo(const std::string& folder) {
    QProcess maker;
    maker.start(QStringLiteral(VORLEX_MAKE_DEMO_PATH), {QString::fromStdString(folder)});
    ASSERT_TRUE(maker.waitForFinished(60000));
    ASSERT_EQ(maker.exitCode(), 0) << maker.readAllStandardError().toStdString();
  }

  static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
};

TEST_F(UntouchedTest, ManyEvaluationsInBothFrontEnds) {
  fs::remove_all(PelmoraDir());
  MakeDemo(AppData());
  const std::string pelmora = AppData() + "/Pelmora";
  const std::string database = pelmora + "/Daten/pelmora.db";
  const FolderState before = StateOf(pelmora);
  ASSERT_EQ(before.size(), 3u);  // the settings file, Daten, the database
  const std::string exportDir = AppData() + "/export/";
  fs::create_directories(exportDir);

  const QDate today = QDate::currentDate();
  const std::string year = std::to_string(today.year());
  const std::string lastYear = std::to_string(today.year() - 1);
  int reports = 0;
  const auto report = [&](std::vector<std::string> args, int status = 0) {
    const ReportResult r = RunReporter(args, AppData());
    EXPECT_EQ(r.status, status) << r.err;
    ++reports;
    return r;
  };
  for (const char* basis : {"ist", "soll"}) {
    report({"--year", year, "--basis", basis});
    report({"--year", lastYear, "--basis", basis, "--csv", exportDir + "jahr.csv"});
    for (int q = 1; q <= 4; ++q) report({"--quarter", lastYear + "-Q" + std::to_string(q)});
    for (int m = 1; m <= 12; ++m) {
      report({"--month", lastYear + "-" + (m < 10 ? "0" : "") + std::to_string(m), "--basis", basis,
              "--csv", "-"});
    }
    report({"--from", lastYear + "-02-03", "--to", year + "-01-31", "--basis", basis});
    report({"--db", database, "--basis", basis});
  }
  report({});  // the current month, found through the settings file
  // Failed opens beside the database.
  const ReportResult missing = report({"--db", pelmora + "/Daten/fehlt.db"}, 1);
  EXPECT_NE(missing.err.find("\nFailed to open database"), std::string::npos) << missing.err;
  report({"--db", pelmora + "/Daten"}, 1);
  report({"--db", pelmora + "/Daten/pelmora.db-journal"}, 1);
  EXPECT_EQ(reports, 2 * 20 + 4);

  // The window: start-up, every period kind, both bases, both amount bases,
  // the steppers over fifteen months, the CSV file.
  ASSERT_TRUE(StartWindow(today).empty());
  form->show();
  const std::vector<std::string> currentMonth = Lines();
  EXPECT_GT(currentMonth.size(), 11u);
  for (QAbstractButton* kind :
       std::initializer_list<QAbstractButton*>{c.rbJahr, c.rbQ1, c.rbQ2, c.rbQ3,
                                               c.rbQ4, c.rbVonBis, c.rbM}) {
    Click(kind);
    for (int basis : {1, 0}) {
      Click(c.rgVersteuerung->Button(basis));
      Click(c.rgBetrag->Button(1));
      Click(c.rgBetrag->Button(0));
    }
  }
  for (int i = 0; i < 15; ++i) Click(c.udMonat->PrevButton());
  for (int i = 0; i < 15; ++i) Click(c.udMonat->NextButton());
  Click(c.udJahr->PrevButton());
  Click(c.udJahr->NextButton());
  AnswerSaveDialogs([&](QWidget*, const TSaveDialog&) {
    return std::optional<QString>(QString::fromStdString(exportDir + "fenster.csv"));
  });
  Click(c.btnCsv);
  EXPECT_TRUE(fs::exists(exportDir + "fenster.csv"));
  EXPECT_TRUE(messages.empty()) << messages[0].text.toStdString();
  form->close();
  form.reset();
  Database.reset();

  // The window failing to open beside the database: another settings folder
  // names a missing file, then the database's folder.
  const std::string other = AppData() + "/anderer";
  qputenv("APPDATA", QByteArray::fromStdString(other));
  for (const char* name : {"fehlt.db", ""}) {
    testdb::WriteSettingsFile(other + "/Pelmora/pelmora.ini", pelmora + "/Daten", name);
    const std::vector<Message> shown = StartWindow(today);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].detail.startsWith(QStringLiteral("Failed to open database")));
    form.reset();
  }

  EXPECT_EQ(Changes(before, StateOf(pelmora)), std::vector<std::string>{});
}

// Vorlex's own ledger beside it: filings marked by four reporters at once,
// compared, refused while another process holds the ledger, refused in a
// file that is no ledger. Pelmora's folder stays as it was throughout.
TEST_F(UntouchedTest, LedgerActionsLeavePelmoraAsItWas) {
  fs::remove_all(PelmoraDir());
  fs::remove_all(AppData() + "/.local");
  MakeDemo(AppData());
  const std::string pelmora = AppData() + "/Pelmora";
  const FolderState before = StateOf(pelmora);
  const std::string ledger = AppData() + "/.local/share/Vorlex/vorlex.db";
  const std::string year = std::to_string(QDate::currentDate().year() - 1);

  std::vector<std::unique_ptr<QProcess>> reporters;
  for (const char* month : {"-01", "-02", "-03", "-04"}) {
    auto& process = reporters.emplace_back(std::make_unique<QProcess>());
    process->setProcessEnvironment(ReportEnvironment(AppData()));
    process->start(QStringLiteral(VORLEX_REPORT_PATH),
                   {"--month", QString::fromStdString(year + month), "--mark-filed"});
  }
  for (auto& process : reporters) {
    ASSERT_TRUE(process->waitForFinished(60000));
    EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
  }
  EXPECT_NE(RunReporter({"--month", year + "-02"}, AppData()).out.find("\nAbgegeben am "),
            std::string::npos);
  ReportResult r = RunReporter({"--changes"}, AppData());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, 8), "0 von 4 ");

  {
    // Another process writes to the ledger for longer than a reporter waits.
    LockHolder other(ledger, "exclusive");
    r = RunReporter({"--month", year + "-05", "--mark-filed"}, AppData());
    EXPECT_EQ(r.status, 1);
    EXPECT_GE(r.took.count(), 4000);
    EXPECT_NE(r.out.find("\nKz 83: "), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("anderen Vorlex-Programm"), std::string::npos) << r.err;
  }
  const std::string foreign = AppData() + "/fremd.db";
  Pelmora(foreign, "CREATE TABLE notizen (text TEXT)");
  const std::string foreignBytes = ReadBytes(foreign);
  r = RunReporter({"--month", year + "-05", "--mark-filed", "--ledger", foreign}, AppData());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(ReadBytes(foreign), foreignBytes);
  EXPECT_EQ(RunReporter({"--changes"}, AppData()).out.substr(0, 8), "0 von 4 ");

  EXPECT_EQ(Changes(before, StateOf(pelmora)), std::vector<std::string>{});
}

TEST_F(UntouchedTest, WalDatabaseKeepsItsBytesAndGetsOnlyTheLibrarysSideFiles) {
  fs::remove_all(PelmoraDir());
  MakeDemo(AppData());
  const std::string database = PelmoraDir() + "Daten/pelmora.db";
  Pelmora(database, "PRAGMA journal_mode=WAL");  // Pelmora switched, then closed cleanly
  const FolderState before = StateOf(PelmoraDir());
  ASSERT_EQ(before.size(), 3u);

  const ReportResult r = RunReporter({}, AppData());
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(StartWindow().empty());
  form->close();
  form.reset();
  Database.reset();

  // Reading a database in WAL mode needs the library's shared-memory index and
  // log beside it; a reader cannot remove them again, since only a writer may
  // decide that nobody else uses them. The log stays empty and the database
  // file itself is untouched.
  EXPECT_EQ(Changes(before, StateOf(PelmoraDir())),
            (std::vector<std::string>{"new: Daten/pelmora.db-shm", "new: Daten/pelmora.db-wal"}));
  EXPECT_EQ(fs::file_size(database + "-wal"), 0u);
  // Pelmora's next session takes them over and removes them when it ends.
  Pelmora(database, "SELECT count(*) FROM auftrag");
  EXPECT_EQ(Changes(before, StateOf(PelmoraDir())), std::vector<std::string>{});
}

}  // namespace
}  // namespace vorlex::testing
