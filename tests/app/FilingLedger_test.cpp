// The ledger of filed returns in the window: a run marked as filed, the status
// line before and after Pelmora's data changed, the changes and the corrected
// return, the check at start, the year overview's marks, and a ledger that is
// no ledger.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QApplication>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolButton>
#include <fstream>

#include "app/ClassificationChoice.h"
#include "app/FilingDialogs.h"
#include "app/FilingLedgerDialogs.h"
#include "app/WindowFixture.h"
#include "app/YearOverviewDialog.h"
#include "ledger/Ledger.h"
#include "ui/qtcore/QtText.h"

namespace vorlex {
namespace {

namespace fs = std::filesystem;

class LedgerWindowTest : public testing::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ledger = AppData() + "/Vorlex/vorlex.db";
    qputenv("VORLEX_LEDGER", QByteArray::fromStdString(ledger));
    // An invoice of 100,00 at 19 %, paid on 10 April 2026.
    testdb::PelmoraDb& b = MakeDatabase();
    b.Add(testdb::Customer{.id = 1, .name = "Gruber", .land = "D"});
    const double day = EncodeDate(2026, 4, 10) + 0.5;
    b.Add(testdb::Order{.id = 17,
                        .besitzerindex = 1,
                        .termin = day,
                        .bezahltam = day,
                        .bezeichnung = "Rechnung 2026-017"});
    b.Add(testdb::Line{.auftragindex = 17, .anzahl = 1.0, .preis = 100.0, .mwst = 19.0});
  }
  void TearDown() override {
    WindowTest::TearDown();
    qunsetenv("VORLEX_LEDGER");
  }

  // Pelmora's data changed behind the window's back.
  void ChangeData(const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(DefaultDbPath().c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }
  void RunAgain() {
    QTest::mouseClick(c.udMonat->PrevButton(), Qt::LeftButton);
    QTest::mouseClick(c.udMonat->NextButton(), Qt::LeftButton);
  }
  TPortalFiguresDialog& Elster() {
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("btnElster")), Qt::LeftButton);
    return *form->findChild<TPortalFiguresDialog*>();
  }
  // "Als abgegeben vermerken" from "Für Mein ELSTER", the dialog answered
  // with the day shown and the ticket.
  void Mark(const QString& ticket, const QDate& expectedDay) {
    auto* button = Elster().findChild<QPushButton*>(QStringLiteral("btnVermerken"));
    ASSERT_TRUE(button->isEnabled());
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TMarkFiledDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->Details().filedOn, expectedDay);
      dialog->Fill(expectedDay, ticket, QStringLiteral("Notiz"), true);
      dialog->accept();
    });
    QTest::mouseClick(button, Qt::LeftButton);
  }
  QLabel* Filed() const { return form->findChild<QLabel*>(QStringLiteral("lblAbgegeben")); }
  // The status of the filing as the user reads it.
  QString FiledText() const {
    return QTextDocumentFragment::fromHtml(Filed()->text()).toPlainText();
  }

  std::string ledger;
};

TEST_F(LedgerWindowTest, MarkedRunIsUnchangedUntilPelmorasDataChanges) {
  const std::string record = AppData() + "/beleg.pdf";
  QString proposed;
  AnswerSaveDialogs([&](QWidget*, TSaveDialog& dialog) -> std::optional<QString> {
    proposed = dialog.FileName;
    return QString::fromStdString(record);
  });
  TForm1& f = Start(QDate(2026, 4, 30));
  f.show();
  // Without a ledger file nothing is said, and running makes none.
  EXPECT_FALSE(Filed()->isVisible());
  EXPECT_FALSE(fs::exists(ledger));

  Mark(QStringLiteral("et-4711"), QDate(2026, 4, 30));
  ASSERT_TRUE(messages.empty()) << messages.front().text.toStdString();
  EXPECT_TRUE(fs::exists(ledger));
  EXPECT_TRUE(Filed()->isVisible());
  EXPECT_TRUE(
      FiledText().contains(DecodeText("Abgegeben am 30.04.2026 \xE2\x80\x93 unver\xC3\xA4ndert")))
      << FiledText().toStdString();
  EXPECT_EQ(proposed, QStringLiteral("Abgabe-2026-04.pdf"));
  EXPECT_EQ(testing::ReadBytes(record).substr(0, 5), "%PDF-");
  // Filed as it stands, it is not filed again.
  EXPECT_FALSE(Elster().findChild<QPushButton*>(QStringLiteral("btnVermerken"))->isEnabled());
  // A run under other rules is compared under the filing's, and says so.
  f.findChild<TClassificationChoice*>()->ChooseExact();
  EXPECT_TRUE(FiledText().contains(DecodeText(
      "Abgegeben am 30.04.2026 (Zuordnung einfach) \xE2\x80\x93 unver\xC3\xA4ndert")))
      << FiledText().toStdString();
  // Its figures are those of the other rules: it may be filed as the correction.
  EXPECT_TRUE(Elster().findChild<QPushButton*>(QStringLiteral("btnVermerken"))->isEnabled());

  ChangeData("UPDATE verbindauftrag SET preis = 200");
  const std::string pelmora = testing::ReadBytes(DefaultDbPath());
  RunAgain();
  EXPECT_TRUE(FiledText().contains(
      DecodeText("Seit der Abgabe am 30.04.2026 (Zuordnung einfach) ge\xC3\xA4ndert: Kz 81 "
                 "+100,00, Kz 83 +19,00")))
      << FiledText().toStdString();
  // The portal's corrected return begins with field 10.
  EXPECT_NE(Elster().findChild<QLabel*>(QStringLiteral("lblWert10")), nullptr);

  // A click on the status: the entry changed, every field filed and now.
  emit Filed()->linkActivated(QStringLiteral("filing"));
  auto* changes = f.findChild<TFilingChangesDialog*>();
  ASSERT_NE(changes, nullptr);
  auto* entries = changes->findChild<QListWidget*>(QStringLiteral("lstEintraege"));
  ASSERT_EQ(entries->count(), 1);
  EXPECT_EQ(entries->item(0)->text(), QStringLiteral("Rechnung 2026-017: 200,00 statt 100,00"));
  EXPECT_EQ(changes->findChild<QLabel*>(QStringLiteral("lblBerichtigt"))->text(),
            QStringLiteral("Berichtigte Anmeldung (Kz 10: 1)"));
  auto* grid = changes->findChild<QTableWidget*>(QStringLiteral("gridKennzahlen"));
  ASSERT_EQ(grid->rowCount(), 7);
  const QStringList row81 = {grid->item(2, 0)->text(), grid->item(2, 1)->text(),
                             grid->item(2, 2)->text(), grid->item(2, 3)->text()};
  EXPECT_EQ(row81, (QStringList{"Kz 81", "100,00", "200,00", "+100,00"}));

  // The year overview marks the changed month and the returns not filed: a
  // quarterly filer's, as the tax office has it without notice.
  QTest::mouseClick(c.btnUebersicht, Qt::LeftButton);
  auto* overview =
      f.findChild<TYearOverviewDialog*>()->findChild<QTableWidget*>(QStringLiteral("gridOverview"));
  const int column = overview->columnCount() - 1;
  EXPECT_EQ(overview->horizontalHeaderItem(column)->text(), QStringLiteral("Abgegeben"));
  EXPECT_EQ(overview->item(4, column)->text(),
            DecodeText("seit der Abgabe am 30.04.2026 ge\xC3\xA4ndert"));
  EXPECT_EQ(overview->item(0, column)->text(), QString());
  EXPECT_EQ(overview->item(7, column)->text(), QStringLiteral("nicht abgegeben"));

  // The next start counts the changed periods of this year and the last.
  form.reset();
  Start(QDate(2026, 5, 4));
  EXPECT_EQ(c.StatusBar1->currentMessage(),
            DecodeText("Abgaben 2025 und 2026: 1 von 1 abgegebenen Zeitr\xC3\xA4umen seit der "
                       "Abgabe ge\xC3\xA4ndert"));

  // Filed again, the corrected return is the latest filing.
  form->show();
  QTest::mouseClick(c.udMonat->PrevButton(), Qt::LeftButton);
  Mark(QStringLiteral("et-4712"), QDate(2026, 5, 4));
  EXPECT_TRUE(
      FiledText().contains(DecodeText("Abgegeben am 04.05.2026 \xE2\x80\x93 unver\xC3\xA4ndert")))
      << FiledText().toStdString();
  EXPECT_EQ(Elster().findChild<QLabel*>(QStringLiteral("lblWert10")), nullptr);
  EXPECT_TRUE(testing::ReadBytes(DefaultDbPath()) == pelmora) << "Pelmora's file changed";
}

TEST_F(LedgerWindowTest, DamagedLedgerIsSaidAndKept) {
  fs::create_directories(AppData() + "/Vorlex");
  std::ofstream(ledger, std::ios::binary) << "keine Datenbank\n";
  const std::string before = testing::ReadBytes(ledger);
  AnswerSaveDialogs([](QWidget*, TSaveDialog&) -> std::optional<QString> {
    ADD_FAILURE() << "no record of a filing that was not made";
    return std::nullopt;
  });
  TForm1& f = Start(QDate(2026, 4, 30));
  f.show();
  // The figures stand; the status says what is wrong with which file.
  EXPECT_EQ(c.lblKz83->text(), QStringLiteral("Kz 83: 19,00 zu zahlen"));
  EXPECT_TRUE(FiledText().contains(QString::fromStdString(ledger))) << FiledText().toStdString();
  Mark(QStringLiteral("et-1"), QDate(2026, 4, 30));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].kind, MessageKind::Error);
  EXPECT_TRUE(messages[0].text.contains(QString::fromStdString(ledger)));
  EXPECT_EQ(testing::ReadBytes(ledger), before);
}

// Another Vorlex writing the ledger while a filing is marked: the window says
// so and records nothing; once the ledger is free, the filing is made.
TEST_F(LedgerWindowTest, BusyLedgerIsSaidAndNothingIsLost) {
  const std::string record = AppData() + "/beleg.pdf";
  AnswerSaveDialogs(
      [&](QWidget*, TSaveDialog&) -> std::optional<QString> { return QString::fromStdString(record); });
  TForm1& f = Start(QDate(2026, 4, 30));
  f.show();
  Mark(QStringLiteral("et-1"), QDate(2026, 4, 30));
  ChangeData("UPDATE verbindauftrag SET preis = 200");
  RunAgain();
  const QString changed = FiledText();
  ASSERT_TRUE(changed.startsWith(QStringLiteral("Seit der Abgabe"))) << changed.toStdString();

  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(ledger.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  const std::string before = testing::ReadBytes(ledger);
  Mark(QStringLiteral("et-2"), QDate(2026, 4, 30));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].kind, MessageKind::Error);
  EXPECT_TRUE(messages[0].text.contains(QStringLiteral("anderen Vorlex-Programm")))
      << messages[0].text.toStdString();
  EXPECT_EQ(testing::ReadBytes(ledger), before);
  EXPECT_EQ(FiledText(), changed);
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);

  Mark(QStringLiteral("et-2"), QDate(2026, 4, 30));
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_TRUE(FiledText().contains(
      DecodeText("Abgegeben am 30.04.2026 \xE2\x80\x93 unver\xC3\xA4ndert")))
      << FiledText().toStdString();
  const std::vector<Filing> filed = TLedger(ledger, LedgerAccess::Read).LatestFilings();
  ASSERT_EQ(filed.size(), 1u);
  EXPECT_EQ(filed[0].ticket, "et-2");
  EXPECT_NE(filed[0].corrects, 0);
}

}  // namespace
}  // namespace vorlex
