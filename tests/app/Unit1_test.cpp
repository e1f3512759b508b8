#include "app/Unit1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <cerrno>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string_view>

#include "app/ExportSave.h"
#include "app/FieldPanel.h"
#include "app/HelpWindow.h"
#include "app/HintsDialog.h"
#include "app/YearOverviewDialog.h"
#include "output/ErrorText.h"
#include "output/ExportFile.h"
#include "output/TableExport.h"
#include "output/YearOverviewText.h"
#include "tests/ListTexts.h"
#include "tests/MayData.h"
#include "tests/app/WindowFixture.h"
#include "tests/util/FormatTest.h"
#include "ui/DesignMetrics.h"
#include "ui/FormValuePanel.h"
#include "ui/SummaryListView.h"
#include "ui/qtcore/QtText.h"
#include "util/MoneyText.h"
#include "util/WholeFile.h"

namespace vorlex::testing {
namespace {

using testdb::CashEntry;
using testdb::Customer;
using testdb::Line;
using testdb::Order;
using testdb::Supplier;

// A trader's May 2026 and a little around it.
void FillStandard(testdb::PelmoraDb& db) {
  FillMay(db);
  AddMayWindowEntries(db);
}

QImage ExpectedPicture(const TImage& image, int field, double value, int ppi) {
  QImage canvas(image.size(), QImage::Format_RGB32);
  canvas.fill(Qt::white);
  DrawFormValue(canvas, field, value, ppi, kGerman);
  return canvas;
}

// The window is at 96 pixels per inch.
void ExpectPicturesShow(const WindowControls& c, const TaxTotals& totals) {
  const std::array<FormFigure, 5> figures = FormFigures(totals);
  const TImage* images[] = {c.Image1, c.Image2, c.Image3, c.Image4, c.Image5};
  for (size_t i = 0; i < figures.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(images[i]->Picture(),
              ExpectedPicture(*images[i], figures[i].field, figures[i].value, 96));
  }
}

// True when every picture shows its empty boxes and no value.
bool ValueInkless(const WindowControls& c) {
  const TImage* images[] = {c.Image1, c.Image2, c.Image3, c.Image4, c.Image5};
  const int fields[] = {41, 44, 81, 86, 66};
  for (int i = 0; i < 5; ++i) {
    QImage boxes(images[i]->size(), QImage::Format_RGB32);
    DrawFormBoxes(boxes, fields[i], 96);
    if (images[i]->Picture() != boxes) return false;
  }
  return true;
}

void ExpectSameTotals(const TaxTotals& a, const TaxTotals& b) {
  EXPECT_EQ(a.NichtEU, b.NichtEU);
  EXPECT_EQ(a.InnergemOhneUStId, b.InnergemOhneUStId);
  EXPECT_EQ(a.InnergemMitUStId, b.InnergemMitUStId);
  EXPECT_EQ(a.Umsatz19, b.Umsatz19);
  EXPECT_EQ(a.Umsatz7, b.Umsatz7);
  EXPECT_EQ(a.Vorsteuer7, b.Vorsteuer7);
  EXPECT_EQ(a.Vorsteuer19, b.Vorsteuer19);
}

QStringList Items(const QComboBox* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  return items;
}

TEST_F(WindowTest, StartUpEvaluatesTheCurrentMonth) {
  FillStandard(MakeDatabase());
  TForm1& f = Start(QDate(2026, 5, 15));
  ASSERT_TRUE(messages.empty()) << messages.front().text.toStdString();

  EXPECT_EQ(f.windowTitle(), QStringLiteral("Vorlex 1.0.0.2"));
  EXPECT_EQ(Items(c.cmbM), QStringList({"Jan", "Feb", "März", "Apr", "Mai", "Juni", "Juli", "Aug",
                                        "Sept", "Okt", "Nov", "Dez"}));
  EXPECT_EQ(c.cmbM->currentText(), QStringLiteral("Mai"));
  ASSERT_EQ(c.cmbJ->count(), 32);
  EXPECT_EQ(c.cmbJ->itemText(0), QStringLiteral("1998"));
  EXPECT_EQ(c.cmbJ->itemText(31), QStringLiteral("2029"));
  EXPECT_EQ(c.cmbJ->currentText(), QStringLiteral("2026"));
  EXPECT_TRUE(c.rbM->isChecked());
  for (QRadioButton* other : {c.rbJahr, c.rbQ1, c.rbQ2, c.rbQ3, c.rbQ4, c.rbVonBis}) {
    EXPECT_FALSE(other->isChecked());
  }
  EXPECT_EQ(c.udMonat->Position(), 85);
  EXPECT_EQ(c.udJahr->Position(), 65);
  EXPECT_EQ(c.rgVersteuerung->ItemIndex(), 0);
  EXPECT_EQ(c.rgBetrag->ItemIndex(), 0);
  // "von ... bis" starts on the current month.
  EXPECT_EQ(c.dtpVon->date(), QDate(2026, 5, 1));
  EXPECT_EQ(c.dtpBis->date(), QDate(2026, 5, 31));

  EXPECT_EQ(Caption(), PeriodCaptionText("01.05.2026", "31.05.2026", "Zahlungsdatum"));
  const auto [coreLines, coreTotals] = CoreRun(Day(2026, 5, 1), Day(2026, 5, 31));
  EXPECT_EQ(Lines(), coreLines);
  ExpectSameTotals(Totals, coreTotals);
  EXPECT_EQ(Totals.Umsatz7, 50.0);
  EXPECT_DOUBLE_EQ(Totals.Vorsteuer19 + Totals.Vorsteuer7, 38.7);
  ExpectPicturesShow(c, Totals);
  EXPECT_TRUE(c.pB->isHidden());
  EXPECT_FALSE(c.lbUst->isHidden());

  EXPECT_EQ(c.Label2->text(),
            QStringLiteral("Innergemeinschaftliche Lieferungen\nan Abnehmer mit USt-IdNr."));
  EXPECT_EQ(c.Label3->text(), QStringLiteral("neuer Fahrzeuge an Abnehmer ohne USt-IdNr."));
  EXPECT_EQ(c.Label4->text(),
            QStringLiteral("Steuerpflichtige Umsätze\nzum Steuersatz von 19 v.H."));
  EXPECT_EQ(c.Label5->text(), QStringLiteral("zum Steuersatz von  7 v.H."));
  EXPECT_EQ(c.Label6->text(),
            QStringLiteral("Vorsteuerbeträge aus Rechnungen von anderen Unternehmen ..."));
  EXPECT_EQ(c.editUStID->text(), QStringLiteral("DE123456789"));
  EXPECT_TRUE(EvaluationEnabled);
  EXPECT_EQ(AppDataDir, PelmoraDir());
  EXPECT_EQ(DbFolder, NativeSeparators(PelmoraDir() + "Daten/"));
  EXPECT_EQ(DbName, "vorlex.db");
}

TEST_F(WindowTest, StartUpDayDecidesMonthAndYearList) {
  MakeDatabase();
  struct Row {
    QDate today;
    const char* first;
    const char* last;
    int years;
    const char* lastYear;
  };
  const Row rows[] = {
      {QDate(2024, 2, 10), "01.02.2024", "29.02.2024", 30, "2027"},
      {QDate(2100, 2, 10), "01.02.2100", "28.02.2100", 106, "2103"},
      {QDate(2026, 12, 31), "01.12.2026", "31.12.2026", 32, "2029"},
      {QDate(1998, 1, 1), "01.01.1998", "31.01.1998", 4, "2001"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.first);
    ResetProgramValues();
    Start(row.today);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Caption(), PeriodCaptionText(row.first, row.last, "Zahlungsdatum"));
    EXPECT_EQ(c.cmbJ->count(), row.years);
    EXPECT_EQ(c.cmbJ->itemText(c.cmbJ->count() - 1), QString::fromLatin1(row.lastYear));
    EXPECT_EQ(c.cmbJ->currentText().toInt(), row.today.year());
    EXPECT_EQ(c.cmbM->currentIndex(), row.today.month() - 1);
    EXPECT_EQ(Lines().size(), 11u);
  }
}

TEST_F(WindowTest, DatabaseFolderFromTheSettingsFile) {
  const std::string pelmora = PelmoraDir();
  struct Row {
    const char* name;
    std::string dbPfad;
    std::string folder;
  };
  const Row rows[] = {
      {"full stop is Pelmora's folder", ".", pelmora},
      {"parent's Daten", "..\\Daten", AppData() + "/Daten/"},
      {"relative with a full stop", "Daten.alt", pelmora + "Daten.alt/"},
      {"relative without a full stop", "Daten", pelmora + "Daten/"},
      {"absolute with a full stop stays", AppData() + "/srv/Daten.alt",
       AppData() + "/srv/Daten.alt/"},
      {"absolute with separator", AppData() + "/srv/Daten/", AppData() + "/srv/Daten/"},
      {"blanks mean Pelmora's folder", "   ", pelmora},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResetProgramValues();
    messages.clear();
    testdb::WriteSettingsFile(pelmora + "pelmora.ini", row.dbPfad, "kasse.db");
    std::filesystem::create_directories(row.folder);
    { testdb::PelmoraDb(row.folder + "kasse.db").SetVatId("DE1"); }
    Start(QDate(2026, 5, 15));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(DbFolder, NativeSeparators(row.folder));
    EXPECT_EQ(DbName, "kasse.db");
    EXPECT_EQ(c.editUStID->text(), QStringLiteral("DE1"));
    EXPECT_TRUE(EvaluationEnabled);
    Click(c.btnHelp);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageKind::Plain);
    EXPECT_EQ(messages[0].text,
              QString::fromStdString("DB:\n" + NativeSeparators(row.folder) + "kasse.db"));
  }
}

TEST_F(WindowTest, FailedStartUpBuildsTheWindowAndRecovers) {
  const std::string pelmora = PelmoraDir();
  const std::string daten = NativeSeparators(pelmora + "Daten/");
  enum class Repair { WriteSettings, RestoreDatabase };
  struct Row {
    const char* name;
    bool writeIni;
    const char* dbName;
    const char* fileContent;  // nullptr: no file at the path
    Repair repair;
    bool opensEmpty = false;
  };
  const Row rows[] = {
      {"no settings file", false, "", nullptr, Repair::WriteSettings},
      {"no db_name", true, "", nullptr, Repair::WriteSettings},
      {"database file missing", true, "vorlex.db", nullptr, Repair::RestoreDatabase},
      {"a text file", true, "vorlex.db", "Kein SQLite\n", Repair::RestoreDatabase},
      {"an empty file", true, "vorlex.db", "", Repair::RestoreDatabase, true},
  };
  int dialogs = 0;
  AnswerSaveDialogs([&](QWidget*, const TSaveDialog&) {
    ++dialogs;
    return std::optional<QString>(QString::fromStdString(AppData() + "/leer.csv"));
  });
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResetProgramValues();
    messages.clear();
    std::filesystem::remove_all(pelmora);
    std::filesystem::create_directories(daten);
    if (row.writeIni) testdb::WriteSettingsFile(pelmora + "pelmora.ini", "Daten", row.dbName);
    if (row.fileContent) std::ofstream(daten + row.dbName, std::ios::binary) << row.fileContent;

    TForm1& f = Start(QDate(2026, 5, 15));
    f.show();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageKind::Error);
    if (!row.fileContent) {
      const std::string path = (row.writeIni ? daten : pelmora) + row.dbName;
      EXPECT_TRUE(messages[0].detail.startsWith(
          QString::fromStdString("Failed to open database \"" + path + "\" : ")))
          << messages[0].detail.toStdString();
    }
    EXPECT_EQ(Database, nullptr);
    // The whole window: captions, period and empty field boxes.
    for (QLabel* caption : {c.Label2, c.Label3, c.Label4, c.Label5, c.Label6}) {
      EXPECT_NE(caption->text(), QString::fromLatin1(kDesignFieldCaption));
      EXPECT_FALSE(caption->text().isEmpty());
    }
    EXPECT_EQ(Caption(), PeriodCaptionText("01.05.2026", "31.05.2026", "Zahlungsdatum"));
    EXPECT_TRUE(ValueInkless(c));
    EXPECT_TRUE(c.editUStID->text().isEmpty());
    // Nothing is created or changed by the attempts.
    const auto untouched = [&] {
      if (!*row.dbName) return;
      if (!row.fileContent) {
        EXPECT_FALSE(std::filesystem::exists(daten + row.dbName));
      } else {
        EXPECT_EQ(ReadBytes(daten + row.dbName), row.fileContent);
      }
    };
    untouched();

    // Without a run there is nothing to save, and no empty file is written.
    messages.clear();
    Click(c.btnCsv);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageKind::Plain);
    EXPECT_EQ(messages[0].text,
              QStringLiteral("Nichts zu speichern: Es liegt keine vollständige Auswertung vor."));
    EXPECT_EQ(dialogs, 0);
    EXPECT_FALSE(std::filesystem::exists(AppData() + "/leer.csv"));

    // Every choice tries the database again and says why it failed. An empty
    // file opens as an empty database, so its run starts and fails at the
    // first query; no figures either way.
    {
      RunCounter counter(c);
      messages.clear();
      Click(c.udMonat->NextButton());
      Click(c.rbJahr);
      ASSERT_EQ(messages.size(), 2u);
      EXPECT_EQ(messages[0].kind, MessageKind::Error);
      EXPECT_EQ(messages[1].kind, MessageKind::Error);
      if (!row.opensEmpty) {
        EXPECT_EQ(messages[1].text, messages[0].text);
        EXPECT_EQ(counter.Runs(), 0);
      }
    }
    EXPECT_EQ(Database, nullptr);
    EXPECT_TRUE(Lines().empty());
    EXPECT_TRUE(ValueInkless(c));
    untouched();

    // "?" shows the path it tries, then the failure.
    messages.clear();
    Click(c.btnHelp);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].kind, MessageKind::Plain);
    EXPECT_EQ(messages[0].text, QString::fromStdString("DB:\n" + DbFolder + DbName));
    EXPECT_EQ(messages[1].kind, MessageKind::Error);

    // Repaired while the window runs: the next choice opens and evaluates.
    if (row.repair == Repair::WriteSettings) {
      testdb::WriteSettingsFile(pelmora + "pelmora.ini", "Daten", "kasse.db");
      testdb::PelmoraDb db(daten + "kasse.db");
      FillStandard(db);
    } else {
      std::filesystem::remove(daten + row.dbName);
      testdb::PelmoraDb db(daten + row.dbName);
      FillStandard(db);
    }
    RunCounter counter(c);
    messages.clear();
    Click(c.rbQ2);
    EXPECT_TRUE(messages.empty()) << messages.front().text.toStdString();
    ASSERT_NE(Database, nullptr);
    EXPECT_EQ(Database->FileName(), DbFolder + DbName);
    EXPECT_EQ(counter.Runs(), 1);
    EXPECT_EQ(Caption(), PeriodCaptionText("01.04.2026", "30.06.2026", "Zahlungsdatum"));
    TRunList sink(kGerman);
    TaxTotals totals;
    EvaluateRun(*Database, Day(2026, 4, 1), Day(2026, 6, 30), TaxationBasis::Ist, totals, sink);
    EXPECT_EQ(Lines(), LineTexts(sink.lines));
    ExpectSameTotals(Totals, totals);
    EXPECT_GT(Totals.Umsatz19, 0.0);
    ExpectPicturesShow(c, Totals);
    EXPECT_EQ(c.editUStID->text(), QStringLiteral("DE123456789"));

    // Once open, "?" only shows the path and choices run as usual.
    messages.clear();
    Click(c.btnHelp);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(counter.Runs(), 1);
    Click(c.rbJahr);
    EXPECT_EQ(counter.Runs(), 2);
  }
}

TEST_F(WindowTest, VatIdIsEmptyWithoutTheTradersRow) {
  MakeDatabase();
  Start(QDate(2026, 5, 1));
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(c.editUStID->text().isEmpty());
  EXPECT_TRUE(EvaluationEnabled);
}

// Every choice runs its period once and shows what the core makes of it: a
// quarter puts its own entry into the month list, a month or a year chosen in
// the lists keeps the kind, a date changed under another kind runs that kind.
TEST_F(WindowTest, EveryChoiceRunsItsPeriodOnce) {
  FillStandard(MakeDatabase());
  TForm1& f = Start(QDate(2026, 5, 15));
  f.show();
  struct Row {
    const char* name;
    std::function<void()> choose;
    const char* first;
    const char* last;
    const char* month;  // the month list afterwards
    TTaxPeriod period;
  };
  const Row rows[] = {
      {"Jahr", [&] { Click(c.rbJahr); }, "01.01.2026", "31.12.2026", "Mai", YearPeriod(2026)},
      {"Q1", [&] { Click(c.rbQ1); }, "01.01.2026", "31.03.2026", "Jan", QuarterPeriod(2026, 1)},
      {"Q2", [&] { Click(c.rbQ2); }, "01.04.2026", "30.06.2026", "März", QuarterPeriod(2026, 2)},
      {"Q4", [&] { Click(c.rbQ4); }, "01.10.2026", "31.12.2026", "Sept", QuarterPeriod(2026, 4)},
      {"Q3", [&] { Click(c.rbQ3); }, "01.07.2026", "30.09.2026", "Juni", QuarterPeriod(2026, 3)},
      {"Feb under Q3", [&] { Choose(c.cmbM, 1); }, "01.07.2026", "30.09.2026", "Juni",
       QuarterPeriod(2026, 3)},
      {"2024 under Q3", [&] { Choose(c.cmbJ, c.cmbJ->findText(QStringLiteral("2024"))); },
       "01.07.2024", "30.09.2024", "Juni", QuarterPeriod(2024, 3)},
      {"von ... bis", [&] { Click(c.rbVonBis); }, "01.05.2026", "31.05.2026", "Juni",
       MonthPeriod(2026, 5)},
      {"Monat", [&] { Click(c.rbM); }, "01.06.2024", "30.06.2024", "Juni", MonthPeriod(2024, 6)},
      {"Feb under Monat", [&] { Choose(c.cmbM, 1); }, "01.02.2024", "29.02.2024", "Feb",
       MonthPeriod(2024, 2)},
      {"a date under Monat", [&] { c.dtpVon->setDate(QDate(2026, 5, 20)); }, "01.02.2024",
       "29.02.2024", "Feb", MonthPeriod(2024, 2)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RunCounter counter(c);
    row.choose();
    EXPECT_EQ(counter.Runs(), 1);
    EXPECT_EQ(Caption(), PeriodCaptionText(row.first, row.last, "Zahlungsdatum"));
    EXPECT_EQ(c.cmbM->currentText().toStdString(), row.month);
    const auto [coreLines, coreTotals] = CoreRun(row.period.FirstDay, row.period.LastDay);
    EXPECT_EQ(Lines(), coreLines);
    ExpectSameTotals(Totals, coreTotals);
    ExpectPicturesShow(c, Totals);
  }
  // The year's run holds all four orders' months of the data.
  Choose(c.cmbJ, c.cmbJ->findText(QStringLiteral("2026")));
  Click(c.rbJahr);
  EXPECT_GT(Lines().size(), 11u + 4u);

  // Clicking the kind that is already checked starts no run.
  RunCounter counter(c);
  Click(c.rbJahr);
  Click(c.rgVersteuerung->Button(0));
  EXPECT_EQ(counter.Runs(), 0);
}

TEST_F(WindowTest, TaxationBasisAndAmountBasis) {
  FillStandard(MakeDatabase());
  TForm1& f = Start(QDate(2026, 5, 15));
  f.show();
  const std::vector<std::string> ist = Lines();

  Click(c.rgVersteuerung->Button(1));
  EXPECT_EQ(Caption(), PeriodCaptionText("01.05.2026", "31.05.2026", "Rechnungsdatum"));
  const auto [sollLines, sollTotals] =
      CoreRun(Day(2026, 5, 1), Day(2026, 5, 31), TaxationBasis::Soll);
  EXPECT_EQ(Lines(), sollLines);
  EXPECT_NE(Lines(), ist);
  ExpectSameTotals(Totals, sollTotals);

  Click(c.rgVersteuerung->Button(0));
  EXPECT_EQ(Caption(), PeriodCaptionText("01.05.2026", "31.05.2026", "Zahlungsdatum"));
  EXPECT_EQ(Lines(), ist);

  // The amount basis runs again and changes no figure.
  const TaxTotals before = Totals;
  const QImage picture = c.Image3->Picture();
  RunCounter counter(c);
  Click(c.rgBetrag->Button(1));
  EXPECT_EQ(counter.Runs(), 1);
  EXPECT_EQ(c.rgBetrag->ItemIndex(), 1);
  EXPECT_EQ(Lines(), ist);
  ExpectSameTotals(Totals, before);
  EXPECT_EQ(c.Image3->Picture(), picture);
}

TEST_F(WindowTest, RequestDuringARunTakesEffectAfterIt) {
  FillStandard(MakeDatabase());
  TForm1& f = Start(QDate(2026, 5, 15));
  f.show();
  RunCounter counter(c);
  // Waiting when the run lets its caption paint: a click on "Jahr".
  QMetaObject::invokeMethod(c.rbJahr, "click", Qt::QueuedConnection);
  Click(c.udMonat->NextButton());

  // The June run finished whole before the year's request was served.
  EXPECT_EQ(counter.Runs(), 1);
  EXPECT_EQ(Caption(), PeriodCaptionText("01.06.2026", "30.06.2026", "Zahlungsdatum"));
  EXPECT_EQ(Lines(), CoreRun(Day(2026, 6, 1), Day(2026, 6, 30)).first);
  EXPECT_TRUE(c.rbJahr->isChecked());

  QApplication::processEvents();
  EXPECT_EQ(counter.Runs(), 2);
  EXPECT_EQ(Caption(), PeriodCaptionText("01.01.2026", "31.12.2026", "Zahlungsdatum"));
  const auto [coreLines, coreTotals] = CoreRun(Day(2026, 1, 1), Day(2026, 12, 31));
  EXPECT_EQ(Lines(), coreLines);
  ExpectSameTotals(Totals, coreTotals);
  ExpectPicturesShow(c, Totals);
}

TEST_F(WindowTest, CloseDuringARunWaitsForItsEnd) {
  FillStandard(MakeDatabase());
  TForm1& f = Start(QDate(2026, 5, 15));
  f.show();
  QMetaObject::invokeMethod(&f, "close", Qt::QueuedConnection);
  Click(c.udMonat->NextButton());
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Lines(), CoreRun(Day(2026, 6, 1), Day(2026, 6, 30)).first);
  EXPECT_TRUE(Database->IsOpen());
  QApplication::processEvents();
  EXPECT_FALSE(f.isVisible());
  EXPECT_FALSE(Database->IsOpen());
}

TEST_F(WindowTest, FailedRunShowsTheLinesReadAndEmptyBoxes) {
  testdb::Schema schema;
  schema.amountType = "TEXT";
  testdb::PelmoraDb& db = MakeDatabase(schema);
  FillStandard(db);
  db.Add(CashEntry{.neinaus = 0,
                   .termin = Day(2026, 6, 10),
                   .bezeichnung = "a Gut",
                   .betrag = "25.5",
                   .mwst = "19"});
  db.Add(CashEntry{.neinaus = 0,
                   .termin = Day(2026, 6, 11),
                   .bezeichnung = "b Kaputt",
                   .betrag = "zwölf",
                   .mwst = "19"});
  TForm1& f = Start(QDate(2026, 5, 15));
  ASSERT_TRUE(messages.empty()) << messages.front().text.toStdString();
  f.show();
  ASSERT_FALSE(ValueInkless(c));

  Click(c.udMonat->NextButton());  // June fails at the second receipt
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].kind, MessageKind::Error);
  // The program's words and the database's text both read right.
  EXPECT_EQ(messages[0].detail,
            QStringLiteral("Typkonvertierung von Variant ungültig: \"zwölf\" (Spalte betrag, "
                           "Kassenbuch-Eintrag vom 11.06.2026 \"b Kaputt\")"));
  EXPECT_EQ(Caption(), PeriodCaptionText("01.06.2026", "30.06.2026", "Zahlungsdatum"));
  EXPECT_TRUE(c.pB->isHidden());
  EXPECT_FALSE(c.lbUst->isHidden());
  // The order of June and the good receipt, no total lines.
  ASSERT_EQ(Lines().size(), 2u);
  EXPECT_EQ(Lines()[0].substr(0, 1), "E");
  EXPECT_NE(Lines()[1].find("a Gut"), std::string::npos);
  EXPECT_TRUE(ValueInkless(c));

  // The next request is a complete run again.
  Click(c.udMonat->PrevButton());
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(Lines(), CoreRun(Day(2026, 5, 1), Day(2026, 5, 31)).first);
  ExpectPicturesShow(c, Totals);
}

TEST_F(WindowTest, ProgressBarRepaintsRarelyAndHidesAfterTheRun) {
  testdb::PelmoraDb& db = MakeDatabase();
  db.Begin();
  for (int i = 0; i < 3000; ++i) {
    db.Add(CashEntry{.neinaus = i % 2,
                     .termin = Day(2026, 5, 1 + i % 28),
                     .bezeichnung = "Posten " + std::to_string(i),
                     .betrag = 1.0 + i,
                     .mwst = 19.0});
  }
  db.Commit();
  TForm1& f = Start(QDate(2026, 4, 15));
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));

  struct PaintCounter : QObject {
    int paints = 0;
    int maximumSeen = 0;
    QProgressBar* bar = nullptr;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++paints;
      return false;
    }
  } counter;
  c.pB->installEventFilter(&counter);
  Click(c.udMonat->NextButton());
  c.pB->removeEventFilter(&counter);

  EXPECT_EQ(Lines().size(), 3000u + 1u + 11u);
  EXPECT_GT(counter.paints, 0);
  EXPECT_LE(counter.paints, 200);
  EXPECT_TRUE(c.pB->isHidden());
  EXPECT_FALSE(c.lbUst->isHidden());
}

TEST_F(WindowTest, CsvButtonWritesTheListAfterEveryDialog) {
  // A documents folder of the test's own where the home folder decides it.
  const QByteArray home = qgetenv("HOME");
  if (!kWindows) qputenv("HOME", QByteArray::fromStdString(AppData() + "/home"));
  const auto homeBack = qScopeGuard([&] {
    if (!kWindows) qputenv("HOME", home);
  });
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  ASSERT_TRUE(QDir().mkpath(documents));
  MakeDatabase();
  TForm1& f = Start(QDate(2026, 5, 15));
  f.show();
  ASSERT_EQ(Lines().size(), 11u);

  std::vector<TSaveDialog> asked;
  std::optional<QString> answer;
  AnswerSaveDialogs([&](QWidget*, const TSaveDialog& dialog) {
    asked.push_back(dialog);
    return answer;
  });
  const std::string folder = AppData() + "/export/";
  std::filesystem::create_directories(folder);

  answer = QString::fromStdString(folder + "mai.csv");
  Click(c.btnCsv);
  EXPECT_EQ(ReadBytes(folder + "mai.csv"), CsvBytes(kEmptySummary));

  // Every click proposes the period's names, one per file type, with the first
  // type, whatever was chosen.
  answer = QString::fromStdString(folder + "ohne_endung");
  Click(c.btnCsv);
  EXPECT_TRUE(std::filesystem::exists(folder + "ohne_endung"));
  EXPECT_FALSE(std::filesystem::exists(folder + "ohne_endung.csv"));
  ASSERT_EQ(asked.size(), 2u);
  for (const TSaveDialog& dialog : asked) {
    EXPECT_EQ(dialog.FileName, QStringLiteral("Vorlex 2026-05 Ist.csv"));
    EXPECT_EQ(dialog.TypeFileNames,
              QStringList({QStringLiteral("Vorlex 2026-05 Ist.csv"),
                           QStringLiteral("Vorlex 2026-05 Ist Tabelle.csv"),
                           QStringLiteral("Vorlex 2026-05 ZM.csv")}));
    EXPECT_EQ(dialog.Filter,
              QStringLiteral("\"Comma-Separated-Value\" Dateien (*.csv)|*.csv|"
                             "Tabelle f\u00FCr Tabellenkalkulation (*.csv)|*.csv|"
                             "Zusammenfassende Meldung (BZSt-Import)|*.csv"));
    EXPECT_EQ(dialog.FilterIndex, 1);
    EXPECT_TRUE(dialog.HideReadOnly);
    EXPECT_TRUE(dialog.DefaultExt.isEmpty());
  }
  // The first dialog opens in the documents folder, never in the working
  // folder; the next ones where the last file went.
  EXPECT_EQ(QDir(asked[0].InitialDir), QDir(documents));
  EXPECT_EQ(QDir(asked[1].InitialDir), QDir(QString::fromStdString(folder)));

  // Cancelled: nothing is written.
  answer.reset();
  std::filesystem::remove(folder + "mai.csv");
  Click(c.btnCsv);
  EXPECT_FALSE(std::filesystem::exists(folder + "mai.csv"));
  EXPECT_TRUE(messages.empty());

  // A file that cannot be created: the error box, and the window carries on.
  const std::vector<std::string> before = Lines();
  answer = QString::fromStdString(folder + "fehlt/mai.csv");
  Click(c.btnCsv);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].kind, MessageKind::Error);
  // The name as the system writes it (on Windows with backslashes).
  const QString shown = QDir::toNativeSeparators(QString::fromStdString(folder + "fehlt/mai.csv"));
  const ErrorText expected =
      DescribeError(EWriteError(SaveOutcome::CannotCreate, ENOENT, shown.toStdString(), false), {});
  EXPECT_EQ(messages[0].detail.toStdString(), expected.detail);
  EXPECT_EQ(messages[0].text.toStdString(), expected.sentence);
  EXPECT_EQ(Lines(), before);
  answer = QString::fromStdString(AppData() + "/danach.csv");
  Click(c.btnCsv);
  EXPECT_TRUE(std::filesystem::exists(AppData() + "/danach.csv"));
  EXPECT_EQ(messages.size(), 1u);

  // The folder is remembered between starts, while it is there.
  answer = QString::fromStdString(folder + "juni.csv");
  Click(c.btnCsv);
  f.close();
  ResetProgramValues();
  TForm1& again = Start(QDate(2026, 5, 15));
  again.show();
  answer.reset();
  Click(c.btnCsv);
  EXPECT_EQ(QDir(asked.back().InitialDir), QDir(QString::fromStdString(folder)));
  std::filesystem::remove_all(folder);
  Click(c.btnCsv);
  EXPECT_EQ(QDir(asked.back().InitialDir), QDir(asked[0].InitialDir));
}

// The second and third file type of the dialog write the table and the EC
// sales list of the run shown. The list follows the invoice date on either
// basis, and says so under "Ist".
TEST_F(WindowTest, CsvButtonWritesTheTableAndTheEcSalesList) {
  testdb::PelmoraDb& b = MakeDatabase();
  b.Add(testdb::Customer{.id = 1, .name = "Weingut Huber", .land = "A", .ust_id = "ATU63452871"});
  b.Add(testdb::Customer{.id = 2, .name = "Bodega", .land = "E", .ust_id = "ESB86212420"});
  b.Add(testdb::Order{.id = 1, .besitzerindex = 1, .termin = Day(2026, 5, 4),
                      .bezahltam = Day(2026, 5, 6), .mwst = 0.0});
  b.Add(testdb::Line{.auftragindex = 1, .anzahl = 2.0, .preis = 400.40, .mwst = 0.0});
  // Invoiced in May, not yet paid; and invoiced in April, paid in May.
  b.Add(testdb::Order{.id = 2, .besitzerindex = 2, .bezahlt = 0, .termin = Day(2026, 5, 20),
                      .bezahltam = 0.0, .mwst = 0.0});
  b.Add(testdb::Line{.auftragindex = 2, .anzahl = 1.0, .preis = 300.0, .mwst = 0.0});
  b.Add(testdb::Order{.id = 3, .besitzerindex = 1, .termin = Day(2026, 4, 28),
                      .bezahltam = Day(2026, 5, 2), .mwst = 0.0});
  b.Add(testdb::Line{.auftragindex = 3, .anzahl = 1.0, .preis = 99.0, .mwst = 0.0});
  Start(QDate(2026, 5, 15));
  int filter = 2;
  AnswerSaveDialogs([&](QWidget*, TSaveDialog& dialog) {
    dialog.FilterIndex = filter;
    return std::optional<QString>(QString::fromStdString(AppData() + "/aus.csv"));
  });
  const auto written = [&] { return ReadBytes(AppData() + "/aus.csv"); };
  Click(c.btnCsv);
  EXPECT_EQ(written(), TableBytes(c.lbUst->Model().Entries(), Totals));
  const std::string may =
      "#v3.0\r\nUmsatzsteuer-Identifikationsnummer (USt-IdNr.),Summe (Euro),Art der "
      "Leistung\r\nATU63452871,800,L\r\nESB86212420,300,L\r\n";
  filter = 3;
  for (const int basis : {0, 1}) {
    SCOPED_TRACE(basis);
    Click(c.rgVersteuerung->Button(basis));
    Click(c.btnCsv);
    EXPECT_EQ(written(), may);
    EXPECT_EQ(c.StatusBar1->currentMessage().startsWith(
                  QStringLiteral("Die Zusammenfassende Meldung folgt dem Rechnungsdatum")),
              basis == 0)
        << c.StatusBar1->currentMessage().toStdString();
  }
  EXPECT_TRUE(messages.empty());
}

// Replacing a file is asked once the file is made: No goes back to the dialog
// with the name chosen, Yes replaces it. A file type refused for the run is
// refused before any question, and the old file stays.
TEST_F(WindowTest, ReplacingAFileIsAskedAfterTheRefusals) {
  FillStandard(MakeDatabase());
  TForm1& f = Start(QDate(2026, 5, 15));
  f.show();
  const std::string target = AppData() + "/Vorlex 2026-05 Ist.csv";
  std::ofstream(target, std::ios::binary) << "November";
  // The dialogs' answers in turn: the file type chosen, the file or a cancel.
  std::deque<std::pair<int, bool>> answers{{1, true}, {1, false}, {1, true}, {3, true}};
  std::vector<TSaveDialog> asked;
  AnswerSaveDialogs([&](QWidget*, TSaveDialog& dialog) {
    asked.push_back(dialog);
    const auto [type, save] = answers.front();
    answers.pop_front();
    dialog.FilterIndex = type;
    return save ? std::optional<QString>(QString::fromStdString(target)) : std::nullopt;
  });
  answerYes = false;
  Click(c.btnCsv);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_TRUE(questions[0].contains(QStringLiteral("\"Vorlex 2026-05 Ist.csv\" existiert bereits")))
      << questions[0].toStdString();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(QDir::cleanPath(asked[1].FileName), QDir::cleanPath(QString::fromStdString(target)));
  EXPECT_EQ(ReadBytes(target), "November");

  answerYes = true;
  Click(c.btnCsv);
  EXPECT_EQ(ReadBytes(target), CsvBytes(Lines()));
  EXPECT_EQ(questions.size(), 2u);

  // The year's EC sales list: refused, without a question.
  std::ofstream(target, std::ios::binary) << "November";
  Click(c.rbJahr);
  Click(c.btnCsv);
  EXPECT_EQ(questions.size(), 2u);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].text.startsWith(
      QStringLiteral("Die Zusammenfassende Meldung gilt für einen Monat oder ein Quartal")))
      << messages[0].text.toStdString();
  EXPECT_EQ(ReadBytes(target), "November");
}

// The real dialog proposes each file type's own name when the type is chosen,
// and keeps a name typed by hand.
TEST_F(WindowTest, TheSaveDialogProposesANamePerFileType) {
  TSaveDialog dialog;
  dialog.TypeFileNames = ProposedExportNames(QuarterPeriod(2026, 1), TaxationBasis::Soll);
  dialog.FileName = dialog.TypeFileNames[0];
  dialog.InitialDir = QString::fromStdString(AppData());
  dialog.Filter = QStringLiteral("A (*.csv)|*.csv|B (*.csv)|*.csv|C|*.csv");
  QStringList shown;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    auto* types = box->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    auto* name = box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_TRUE(types != nullptr && name != nullptr);
    shown << name->text();
    // As the user chooses a type: the list's keys.
    QTest::keyClick(types, Qt::Key_Down);
    shown << name->text();
    QTest::keyClick(types, Qt::Key_Down);
    shown << name->text();
    name->setText(QStringLiteral("eigen.csv"));
    QTest::keyClick(types, Qt::Key_Up);
    shown << name->text();
    box->reject();
  });
  EXPECT_FALSE(ShowSaveFileDialog(nullptr, dialog));
  EXPECT_EQ(shown, QStringList({"Vorlex 2026-Q1 Soll.csv", "Vorlex 2026-Q1 Soll Tabelle.csv",
                                "Vorlex 2026-Q1 ZM.csv", "eigen.csv"}));
}

TEST_F(WindowTest, ClosingTheWindowClosesTheDatabase) {
  MakeDatabase();
  TForm1& f = Start(QDate(2026, 5, 15));
  f.show();
  ASSERT_NE(Database, nullptr);
  EXPECT_TRUE(Database->IsOpen());
  f.close();
  EXPECT_FALSE(Database->IsOpen());

  // Without a database closing does nothing.
  ResetProgramValues();
  TForm1 other(program, 96);
  other.show();
  other.close();
  EXPECT_EQ(Database, nullptr);
}

// The part of a control that shows: a radio button's box may reach beyond its
// indicator and caption.
QRect Shown(const QWidget* control) {
  QRect r = control->geometry();
  if (qobject_cast<const QRadioButton*>(control) && !control->parentWidget()->inherits("QGroupBox"))
    r.setWidth(std::min(r.width(), control->sizeHint().width()));
  return r;
}

// The layout as the user sees it, at two resolutions and two widths: never
// below the design size, every control shown in its panel and at its place
// where the design fixes one, none covering another, the buttons and the
// progress bar following the width, the panels' colours.
TEST_F(WindowTest, EveryControlStandsInItsPlace) {
  MakeDatabase();
  struct Place {
    const char* name;
    const char* panel;
    int left = -1, top = -1, width = -1, height = -1;  // at 96 pixels per inch; -1: free
  };
  const Place places[] = {
      {"pnlL", "Form1"}, {"pnlR", "Form1"}, {"StatusBar1", "Form1"},
      {"pnlTop", "pnlL"}, {"pnlCaption", "pnlL"}, {"lbUst", "pnlL"},
      {"rbJahr", "pnlTop", 16, 12, 49, 17}, {"cmbJ", "pnlTop", 68, 10, 61, 21},
      {"udJahr", "pnlTop", 132, 10, 37, 21}, {"rbQ1", "pnlTop", 16, 45, 37, 17},
      {"rbQ2", "pnlTop", 56, 45, 37, 17}, {"rbQ3", "pnlTop", 96, 45, 37, 17},
      {"rbQ4", "pnlTop", 140, 45, 37, 17}, {"rbM", "pnlTop", 16, 78, 17, 17},
      {"cmbM", "pnlTop", 36, 76, 93, 21}, {"udMonat", "pnlTop", 132, 76, 37, 21},
      {"rbVonBis", "pnlTop", 16, 111, 85, 17}, {"dtpVon", "pnlTop", 100, 108, 81, 21},
      {"dtpBis", "pnlTop", 188, 108, 81, 21}, {"rgVersteuerung", "pnlTop", 276, 72, 93, 57},
      {"rgBetrag", "pnlTop", 372, 72, 105, 57}, {"btnCsv", "pnlTop", -1, 8, 55, 21},
      {"btnHelp", "pnlTop", -1, 8, 21, 21}, {"btnUebersicht", "pnlTop"},
      {"pnlZuordnung", "pnlTop"},
      {"lblCaption", "pnlCaption", 16, 4},
      {"Label1", "pnlR", 56, 16, 202, 39}, {"Label2", "pnlR", 56, 68, 208, 24},
      {"Image1", "pnlR", 56, 96, 173, 29}, {"Label3", "pnlR", 56, 132, 208, 24},
      {"Image2", "pnlR", 56, 160, 173, 29}, {"Label4", "pnlR", 56, 196, 208, 24},
      {"Image3", "pnlR", 56, 224, 173, 29}, {"Label5", "pnlR", 56, 260, 208, 24},
      {"Image4", "pnlR", 56, 288, 173, 29}, {"Label6", "pnlR", 56, 328, 208, 24},
      {"Image5", "pnlR", 56, 356, 173, 29}, {"Bevel1", "pnlR", 56, 400, 185, 13},
      {"Label7", "pnlR", 56, 440}, {"editUStID", "pnlR", 104, 436, 125, 20},
      {"lblKz83", "StatusBar1"}, {"lblHinweise", "StatusBar1"},
  };
  for (const int ppi : {96, 144}) {
    ResetProgramValues();
    TForm1& f = Start(QDate(2026, 5, 15), ppi);
    f.show();
    const TDesignScale S(ppi);
    const QSize design(S(784), S(502));
    f.resize(S(650), S(300));
    EXPECT_EQ(f.size(), design);
    for (const int wider : {0, 100}) {
      SCOPED_TRACE(::testing::Message() << ppi << " pixels per inch, " << wider << " wider");
      f.resize(design.width() + wider, design.height());
      for (const Place& place : places) {
        SCOPED_TRACE(place.name);
        const auto* control = f.findChild<QWidget*>(QString::fromLatin1(place.name));
        ASSERT_NE(control, nullptr);
        const QWidget* panel = control->parentWidget();
        EXPECT_EQ(panel->objectName().toStdString(), place.panel);
        EXPECT_TRUE(control->isVisibleTo(&f));
        EXPECT_TRUE(panel->rect().contains(control->geometry()));
        const QRect at = control->geometry();
        if (place.left >= 0) {
          EXPECT_EQ(at.left(), S(place.left));
        }
        if (place.top >= 0) {
          EXPECT_EQ(at.top(), S(place.top));
        }
        if (place.width >= 0) {
          EXPECT_EQ(at.size(), QSize(S(place.width), S(place.height)));
        }
        for (const Place& other : places) {
          if (&other == &place || std::string_view(other.panel) != place.panel) continue;
          EXPECT_FALSE(Shown(control).intersects(
              Shown(f.findChild<QWidget*>(QString::fromLatin1(other.name)))))
              << "covers " << other.name;
        }
      }
      // The figures' panel at the right, the status bar beneath both, the
      // strip and the caption line above the list.
      EXPECT_EQ(c.pnlR->geometry(), QRect(f.width() - S(289), 0, S(289), S(502) - S(19)));
      EXPECT_EQ(c.pnlL->geometry(), QRect(0, 0, f.width() - S(289), S(502) - S(19)));
      EXPECT_EQ(c.StatusBar1->geometry(), QRect(0, S(502) - S(19), f.width(), S(19)));
      EXPECT_EQ(c.pnlTop->height(), S(141));
      EXPECT_EQ(c.pnlCaption->height(), S(21));
      EXPECT_EQ(c.lbUst->geometry().bottom(), c.pnlL->contentsRect().bottom());
      EXPECT_EQ(c.lbUst->Delegate().ItemHeight(), 16 * ppi / 96);
      EXPECT_GE(c.lbUst->viewport()->height(), 10 * c.lbUst->Delegate().ItemHeight());
      // "?" 8 pixels from the strip's right edge, "-> .CSV" beside it, the
      // overview's button beneath them; the progress bar 10 pixels inside.
      EXPECT_EQ(c.btnHelp->geometry().right() + 1, c.pnlTop->width() - 8);
      EXPECT_EQ(c.btnCsv->geometry().right() + 1, c.btnHelp->x());
      EXPECT_EQ(c.btnUebersicht->geometry().right(), c.btnHelp->geometry().right());
      EXPECT_EQ(c.pB->geometry(), QRect(10, S(284), c.pnlL->width() - 20, S(16)));
      EXPECT_EQ(c.Image5->Picture().size(), c.Image5->size());
    }
    EXPECT_EQ(c.pnlR->palette().color(QPalette::Window), QColor(204, 204, 204));
    EXPECT_EQ(c.rgVersteuerung->palette().color(QPalette::Window), QColor(176, 255, 98));
  }
}

TEST_F(WindowTest, ReversedRangeRunsAndSaysSo) {
  FillStandard(MakeDatabase());
  TForm1& f = Start(QDate(2026, 5, 15));
  f.show();
  EXPECT_TRUE(c.StatusBar1->currentMessage().isEmpty());
  c.dtpVon->setDate(QDate(2026, 12, 7));
  Click(c.rbVonBis);
  RunCounter counter(c);
  c.dtpBis->setDate(QDate(2026, 12, 6));  // one day before the first
  EXPECT_EQ(counter.Runs(), 1);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Caption(), PeriodCaptionText("07.12.2026", "06.12.2026", "Zahlungsdatum"));
  EXPECT_EQ(Lines().size(), 11u);
  ExpectSameTotals(Totals, TaxTotals{});
  EXPECT_EQ(c.StatusBar1->currentMessage(),
            QStringLiteral("Der erste Tag (07.12.2026) liegt nach dem letzten Tag (06.12.2026)."));

  // A range of one day, and any other period, clear it again.
  c.dtpBis->setDate(QDate(2026, 12, 7));
  EXPECT_TRUE(c.StatusBar1->currentMessage().isEmpty());
  c.dtpBis->setDate(QDate(2011, 11, 7));
  EXPECT_FALSE(c.StatusBar1->currentMessage().isEmpty());
  Click(c.rbJahr);
  EXPECT_TRUE(c.StatusBar1->currentMessage().isEmpty());
}

TEST_F(WindowTest, StatusBarShowsField83AndTheHintsLeadToTheirEntries) {
  testdb::PelmoraDb& db = MakeDatabase();
  FillStandard(db);
  // A French customer with a French VAT id, counted as domestic turnover.
  db.Add(Customer{.id = 5, .name = "Dupont", .land = "F", .ust_id = "FR40303265045"});
  db.Add(Order{.id = 105,
               .besitzerindex = 5,
               .termin = Day(2026, 5, 20),
               .bezahltam = Day(2026, 5, 21),
               .bezeichnung = "Lieferung Lyon"});
  db.Add(Line{.auftragindex = 105, .anzahl = 1.0, .preis = 199.99});
  // An order of June that no run can read.
  db.Add(Order{.id = 106,
               .besitzerindex = 1,
               .termin = Day(2026, 6, 20),
               .bezahltam = Day(2026, 6, 21),
               .skonto = "drei"});
  TForm1& f = Start(QDate(2026, 5, 15));
  f.show();
  ASSERT_TRUE(messages.empty()) << messages.front().text.toStdString();

  // 81: 100,00 + 199,99 + 100,00 cash receipt -> 399 whole euros, 75,81 tax;
  // 86: 50 euros, 3,50 tax; 66: 38,70.
  ASSERT_EQ(FormatMoney(Totals.Umsatz19, kGerman), "399,99");
  EXPECT_EQ(c.lblKz83->text(), QStringLiteral("Kz 83: 40,61 zu zahlen"));
  EXPECT_EQ(c.lblHinweise->text().contains(QStringLiteral(">1 Hinweis<")), true);

  // A click on the hints opens their list beside the window; choosing a hint
  // (a click, Enter) selects its order in the summary list, also when the list
  // shows only another field's entries.
  QTest::mouseClick(c.Image5, Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_LT(c.lbUst->Model().rowCount(), static_cast<int>(Lines().size()));
  QTest::mouseClick(c.lblHinweise, Qt::LeftButton, {}, c.lblHinweise->rect().center());
  auto* hints = f.findChild<THintsDialog*>();
  ASSERT_NE(hints, nullptr);
  EXPECT_TRUE(hints->isVisible());
  EXPECT_FALSE(hints->isModal());
  auto* list = hints->findChild<QListWidget*>(QStringLiteral("lbHinweise"));
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->count(), 1);
  // Named as the list names the order, never by its id.
  EXPECT_TRUE(list->item(0)->text().startsWith(QStringLiteral("Lieferung Lyon (Dupont): ")));
  const QRect item = list->visualItemRect(list->item(0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
  EXPECT_EQ(c.lbUst->Model().rowCount(), static_cast<int>(Lines().size()));
  EXPECT_FALSE(c.Image5->Chosen());
  ASSERT_TRUE(c.lbUst->currentIndex().isValid());
  c.lbUst->setCurrentIndex(QModelIndex());
  QTest::keyClick(list, Qt::Key_Return);
  const QModelIndex current = c.lbUst->currentIndex();
  ASSERT_TRUE(current.isValid());
  EXPECT_NE(Lines()[static_cast<size_t>(current.row())].find("Lieferung Lyon"), std::string::npos);

  // A run that fails shows neither figure nor hints.
  Click(c.rbJahr);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(c.lblKz83->text().isEmpty());
  EXPECT_TRUE(c.lblHinweise->text().isEmpty());
  EXPECT_EQ(list->count(), 0);
}

// The entry lines the list shows, without the total lines.
std::vector<std::string> ShownEntryLines(const TSummaryListModel& model) {
  std::vector<std::string> lines;
  for (int row = 0; row < model.rowCount(); ++row) {
    if (model.ViewLine(row).entry >= 0) lines.push_back(model.ViewLine(row).text);
  }
  return lines;
}

TEST_F(WindowTest, PictureClickShowsItsFieldsEntriesAndTheCsvStaysWhole) {
  FillStandard(MakeDatabase());
  TForm1& f = Start(QDate(2026, 5, 15));
  f.show();
  ASSERT_TRUE(messages.empty());
  const std::vector<std::string> all = Lines();
  const TSummaryListModel& model = c.lbUst->Model();
  const struct {
    TImage* picture;
    std::vector<const char*> shown;  // the entries' descriptions, in list order
    const char* note;
  } cases[] = {
      {c.Image1, {"Lieferung Wien"}, "Nur Einträge zu Kz 41 (1)"},
      {c.Image2, {}, "Nur Einträge zu Kz 44 (0)"},
      {c.Image3, {"Regale", "Barverkauf"}, "Nur Einträge zu Kz 81 (2)"},
      {c.Image4, {"Bücher"}, "Nur Einträge zu Kz 86 (1)"},
      {c.Image5, {"Papier", "Zeitschrift"}, "Nur Einträge zu Kz 66 (2)"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.note);
    QTest::mouseClick(row.picture, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(c.StatusBar1->currentMessage(), QString::fromUtf8(row.note));
    const std::vector<std::string> shown = ShownEntryLines(model);
    ASSERT_EQ(shown.size(), row.shown.size());
    for (size_t i = 0; i < shown.size(); ++i) {
      EXPECT_NE(DecodeText(shown[i]).indexOf(QString::fromUtf8(row.shown[i])), -1) << shown[i];
    }
    // The total lines stay as they are.
    EXPECT_EQ(model.ViewLine(model.rowCount() - 1).text, all.back());
    EXPECT_EQ(Lines(), all);
  }

  // "-> .CSV" saves the whole list while the list shows one field; the
  // dialog proposes the period and basis, the status bar says where it went.
  QTest::mouseClick(c.Image3, Qt::LeftButton, {}, QPoint(5, 5));
  const std::string file = AppData() + "/gefiltert.csv";
  QString proposed;
  AnswerSaveDialogs([&](QWidget*, const TSaveDialog& dialog) {
    proposed = dialog.FileName;
    return QString::fromStdString(file);
  });
  Click(c.btnCsv);
  EXPECT_EQ(proposed, QStringLiteral("Vorlex 2026-05 Ist.csv"));
  EXPECT_EQ(c.StatusBar1->currentMessage(),
            QStringLiteral("Gespeichert: ") + QDir::toNativeSeparators(QString::fromStdString(file)));
  EXPECT_EQ(ReadBytes(file), CsvBytes(all));
  // A second click on the same picture shows everything again.
  QTest::mouseClick(c.Image3, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(model.rowCount(), static_cast<int>(all.size()));
  c.StatusBar1->clearMessage();

  // Another message of the status bar stays when the filter goes.
  QTest::mouseClick(c.Image3, Qt::LeftButton, {}, QPoint(5, 5));
  c.StatusBar1->showMessage(QStringLiteral("Eine andere Meldung"));
  QTest::mouseClick(c.Image3, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(c.StatusBar1->currentMessage(), QStringLiteral("Eine andere Meldung"));

  // Choosing a period shows every line of it.
  QTest::mouseClick(c.Image3, Qt::LeftButton, {}, QPoint(5, 5));
  Click(c.rbJahr);
  EXPECT_FALSE(c.Image3->Chosen());
  EXPECT_EQ(model.rowCount(), static_cast<int>(Lines().size()));
  EXPECT_GT(Lines().size(), all.size());
  EXPECT_TRUE(c.StatusBar1->currentMessage().isEmpty());
}

// The overview window's table and its heading.
QTableWidget* Grid(const TYearOverviewDialog* dialog) {
  return dialog->findChild<QTableWidget*>(QStringLiteral("gridOverview"));
}
QString Heading(const TYearOverviewDialog* dialog) {
  return dialog->findChild<QLabel*>(QStringLiteral("lblUebersicht"))->text();
}

TEST_F(WindowTest, OverviewButtonShowsTheChosenYearBesideTheWindow) {
  FillStandard(MakeDatabase());
  TForm1& f = Start(QDate(2026, 5, 15));
  f.show();
  const TaxTotals may = Totals;

  Click(c.btnUebersicht);
  ASSERT_TRUE(messages.empty()) << messages.front().text.toStdString();
  auto* dialog = f.findChild<TYearOverviewDialog*>();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->isModal());
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Jahresübersicht 2026"));
  // May's row shows what the run of May shows.
  const std::array<std::string, 6> cells = OverviewCells(may, kGerman);
  EXPECT_EQ(Grid(dialog)->item(5, 0)->text(), QStringLiteral("Mai"));
  for (int column = 0; column < 6; ++column) {
    EXPECT_EQ(Grid(dialog)->item(5, column + 1)->text(),
              DecodeText(cells[static_cast<size_t>(column)]));
  }
  // The overview follows the window's basis and year; the button raises the same one.
  Click(c.rgVersteuerung->Button(1));
  EXPECT_EQ(Heading(dialog), QStringLiteral("Jahresübersicht 2026  (Rechnungsdatum)"));
  Click(c.udJahr->PrevButton());
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Jahresübersicht 2025"));
  EXPECT_EQ(dialog->Year(), 2025);
  EXPECT_EQ(dialog->Basis(), TaxationBasis::Soll);
  Click(c.btnUebersicht);
  EXPECT_EQ(f.findChildren<TYearOverviewDialog*>(), QList<TYearOverviewDialog*>{dialog});
  // Hidden, it follows no more.
  dialog->hide();
  Click(c.udJahr->NextButton());
  EXPECT_EQ(dialog->Year(), 2025);
  // Escape closes it, as it closes the hints.
  Click(c.btnUebersicht);
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
  QTest::keyClick(Grid(dialog), Qt::Key_Escape);
  EXPECT_FALSE(dialog->isVisible());
}

// A date typed into "von ... bis", with or without the points, runs once with
// that date when it is whole: on Enter, on leaving the field, after a pause.
// A partial date never runs, and leaving the field shows the date held again.
TEST_F(WindowTest, TypedDatesRunOnceWhenWhole) {
  FillStandard(MakeDatabase());
  TForm1& f = Start(QDate(2026, 5, 15));
  f.show();
  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  Click(c.rbVonBis);
  RunCounter counter(c);
  int runs = 0;
  const auto type = [&](TDatePicker* picker, const char* keys) {
    picker->setFocus(Qt::TabFocusReason);  // marks the whole date
    QTest::keyClicks(picker, QString::fromLatin1(keys));
    EXPECT_EQ(counter.Runs(), runs) << "a run while typing " << keys;
  };
  const auto ranOnce = [&](const char* first, const char* last) {
    EXPECT_EQ(counter.Runs(), ++runs);
    EXPECT_EQ(Caption(), PeriodCaptionText(first, last, "Zahlungsdatum"));
  };

  type(c.dtpVon, "3.5.2026");
  QTest::keyClick(c.dtpVon, Qt::Key_Return);
  ranOnce("03.05.2026", "31.05.2026");
  EXPECT_EQ(c.dtpVon->currentText(), QStringLiteral("03.05.2026"));

  type(c.dtpBis, "14052026");
  QTest::keyClick(c.dtpBis, Qt::Key_Tab);
  ranOnce("03.05.2026", "14.05.2026");

  type(c.dtpVon, "15.07.");
  QTest::keyClick(c.dtpVon, Qt::Key_Return);
  QTest::qWait(TDatePicker::kTypingPauseMs + 200);
  QTest::keyClick(c.dtpVon, Qt::Key_Tab);
  EXPECT_EQ(counter.Runs(), runs);
  EXPECT_EQ(c.dtpVon->currentText(), QStringLiteral("03.05.2026"));

  type(c.dtpVon, "10.05.2026");
  QTest::qWait(TDatePicker::kTypingPauseMs + 200);
  ranOnce("10.05.2026", "14.05.2026");

  // The calendar to drop down stays.
  c.dtpBis->showPopup();
  ASSERT_TRUE(c.dtpBis->Calendar()->isVisible());
  emit c.dtpBis->Calendar()->clicked(QDate(2026, 5, 20));
  EXPECT_FALSE(c.dtpBis->Calendar()->isVisible());
  ranOnce("10.05.2026", "20.05.2026");
}

// The keyboard's way to a figure's entries: Tab from the list to the first
// picture, Space chooses it and marks it; the drawing itself stays.
TEST_F(WindowTest, TabReachesThePicturesAndSpaceDrillsDown) {
  testdb::PelmoraDb& db = MakeDatabase();
  FillStandard(db);
  // Turnover with the Swiss customer: a hint.
  db.Add(Order{.id = 200,
               .besitzerindex = 4,
               .termin = Day(2026, 5, 20),
               .bezahltam = Day(2026, 5, 21),
               .bezeichnung = "Export"});
  db.Add(Line{.auftragindex = 200, .anzahl = 1.0, .preis = 10.0});
  TForm1& f = Start(QDate(2026, 5, 15));
  f.show();
  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  c.lbUst->setFocus(Qt::TabFocusReason);
  QWidget* from = c.lbUst;
  for (QWidget* next : {c.Image1, c.Image2, c.Image3}) {
    QTest::keyClick(std::exchange(from, next), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), next);
  }
  const QImage drawing = c.Image3->Picture();
  QTest::keyClick(c.Image3, Qt::Key_Space);
  EXPECT_EQ(c.StatusBar1->currentMessage(), QStringLiteral("Nur Einträge zu Kz 81 (2)"));
  EXPECT_TRUE(c.Image3->Chosen());
  EXPECT_FALSE(c.Image1->Chosen());
  EXPECT_EQ(c.Image3->Picture(), drawing);
  QTest::keyClick(c.Image3, Qt::Key_Enter);
  EXPECT_TRUE(c.StatusBar1->currentMessage().isEmpty());
  EXPECT_FALSE(c.Image3->Chosen());

  // Tab goes on to the hints link; Enter there opens the hints.
  c.editUStID->setFocus(Qt::TabFocusReason);
  QTest::keyClick(c.editUStID, Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), c.lblHinweise);
  QTest::keyClick(c.lblHinweise, Qt::Key_Return);
  auto* hints = f.findChild<THintsDialog*>();
  ASSERT_NE(hints, nullptr);
  EXPECT_TRUE(hints->isVisible());
  hints->hide();

  // F1 is the help, and the steppers' arrows are on the way.
  QTest::keyClick(&f, Qt::Key_F1);
  EXPECT_TRUE(messages.empty());
  auto* help = f.findChild<THelpWindow*>();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  help->hide();
  c.cmbJ->setFocus(Qt::TabFocusReason);
  QTest::keyClick(c.cmbJ, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), c.udJahr->PrevButton());
}

// F1 opens the help; "?" shows the database's path and, with its button, the
// help too. The help names the places this computer uses.
TEST_F(WindowTest, HelpByF1AndFromTheBoxOfTheQuestionMark) {
  FillStandard(MakeDatabase());
  TForm1& f = Start(QDate(2026, 5, 15));
  f.show();
  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  QTest::keyClick(&f, Qt::Key_F1);
  EXPECT_TRUE(messages.empty());
  auto* help = f.findChild<THelpWindow*>();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  const std::string page =
      help->findChild<QTextBrowser*>(QStringLiteral("tbHilfe"))->toPlainText().toStdString();
  for (const std::string& part :
       {std::string("Zwei Zuordnungen: „einfach“ und „genau“"), std::string("Ist und Soll"),
        std::string("vollen Euro"), std::string("Euro und Cent"), std::string("Kz 43"),
        std::string("Zusammenfassende Meldung"), std::string("Abgabekalender"),
        std::string("Ablage der Abgaben"), DefaultDbPath(), PelmoraDir() + "pelmora.ini",
        NativeSeparators(AppData() + "/config/Vorlex/vorlex.ini")}) {
    EXPECT_NE(page.find(part), std::string::npos) << part;
  }
  help->hide();

  answerHelp = true;
  Click(c.btnHelp);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, QString::fromStdString("DB:\n" + DefaultDbPath()));
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(f.findChildren<THelpWindow*>().size(), 1);
}

// The hints window offers "genau" only where a hint is one it resolves and the
// window can switch.
TEST_F(WindowTest, HintsOfferTheExactClassification) {
  THintsDialog dialog(nullptr);
  QSignalSpy switched(&dialog, &THintsDialog::switchToExactRequested);
  auto* button = dialog.findChild<QPushButton*>(QStringLiteral("btnGenau"));
  ASSERT_NE(button, nullptr);
  dialog.SetHints({{0, "Auftrag zu 7 % ... Zuordnung genau: Kz 86", true}});
  EXPECT_TRUE(button->isHidden());
  dialog.OfferSwitch(true);
  EXPECT_FALSE(button->isHidden());
  button->click();
  EXPECT_EQ(switched.count(), 1);
  dialog.SetHints({{0, "Teilzahlung", false}});
  EXPECT_TRUE(button->isHidden());
}

// The basis and the window's place are remembered; the period is always this month.
TEST_F(WindowTest, TheBasisIsRememberedBetweenStarts) {
  FillStandard(MakeDatabase());
  TForm1& first = Start(QDate(2026, 5, 15));
  first.show();
  Click(c.rgVersteuerung->Button(1));
  Click(c.rbJahr);
  first.close();
  // Each start with the program's values as a new process has them.
  ResetProgramValues();
  Start(QDate(2026, 5, 15));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(c.rgVersteuerung->ItemIndex(), 1);
  EXPECT_TRUE(c.rbM->isChecked());
  EXPECT_NE(Caption().find("(Rechnungsdatum)"), std::string::npos) << Caption();
  EXPECT_EQ(c.dtpVon->date(), QDate(2026, 5, 1));
  EXPECT_EQ(c.dtpBis->date(), QDate(2026, 5, 31));

  // A remembered value that is no basis starts on "Ist", and the window
  // remembers a basis again when it closes.
  for (const char* stored : {"7", "-1", "Soll"}) {
    SCOPED_TRACE(stored);
    form->close();
    QSettings(QSettings::IniFormat, QSettings::UserScope, "Vorlex", "vorlex")
        .setValue("Versteuerung", stored);
    ResetProgramValues();
    TForm1& again = Start(QDate(2026, 5, 15));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(c.rgVersteuerung->ItemIndex(), 0);
    EXPECT_NE(Caption().find("(Zahlungsdatum)"), std::string::npos) << Caption();
    again.close();
    EXPECT_EQ(QSettings(QSettings::IniFormat, QSettings::UserScope, "Vorlex", "vorlex")
                  .value("Versteuerung")
                  .toInt(),
              0);
  }
}

TEST_F(WindowTest, OverviewAfterAFailedStartOpensTheDatabaseOrSaysWhy) {
  // The settings name a database that is not there yet.
  testdb::WriteSettingsFile(PelmoraDir() + "pelmora.ini", "Daten", "vorlex.db");
  TForm1& f = Start(QDate(2026, 5, 15));
  ASSERT_EQ(messages.size(), 1u);
  ASSERT_EQ(Database, nullptr);
  Click(c.btnUebersicht);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].kind, MessageKind::Error);
  EXPECT_EQ(Database, nullptr);
  EXPECT_EQ(f.findChild<TYearOverviewDialog*>(), nullptr);

  // Restored in its place, the database is found by the next click and kept.
  FillStandard(MakeDatabase());
  builder->Close();
  Click(c.btnUebersicht);
  EXPECT_EQ(messages.size(), 2u);
  auto* dialog = f.findChild<TYearOverviewDialog*>();
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(Database, nullptr);
  EXPECT_EQ(Grid(dialog)->item(5, 3)->text(), QStringLiteral("200,00"));
}

}  // namespace
}  // namespace vorlex::testing
