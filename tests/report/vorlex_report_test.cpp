// The reporter as a user runs it: a separate process on a database built for
// the test, with its own environment.
#include <gtest/gtest.h>
#include <sqlite3.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <QByteArray>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "db/SQLiteError.h"
#include "db/uDB.h"
#include "output/ErrorText.h"
#include "output/ExportFile.h"
#include "output/SummaryList.h"
#include "output/TableExport.h"
#include "tax/EvaluationRun.h"
#include "tax/FieldRead.h"
#include "tax/RecordingSink.h"
#include "testdb/PelmoraDb.h"
#include "tests/ListTexts.h"
#include "tests/ReportRunner.h"
#include "tests/ScratchFolder.h"
#include "tests/util/FormatTest.h"
#include "util/MoneyText.h"
#include "util/Platform.h"
#include "util/WholeFile.h"
#include "util/uDatum.h"

namespace vorlex {
namespace {

namespace fs = std::filesystem;

using Result = testing::ReportResult;
using testing::ReadBytes;

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override { db_ = (dir_ / "pelmora.db").string(); }
  // A reporter that has ended holds none of its files.
  void TearDown() override { EXPECT_TRUE(folder_.Remove()) << folder_.Text(); }

  // A first quarter of 2024 with a domestic and a foreign sale, a receipt and
  // an expense; names in Windows-1252 and in UTF-8.
  void BuildQuarter(const testdb::Schema& schema = {},
                    const std::function<void(testdb::PelmoraDb&)>& more = {}) {
    testdb::PelmoraDb b(db_, schema);
    if (more) more(b);
    b.Add(testdb::Customer{.id = 1, .name = "M\xFCller", .land = "D"});
    b.Add(testdb::Customer{
        .id = 2, .name = "Gr\xC3\xBC\xC3\x9F Gott GmbH", .land = "A", .ust_id = "ATU1"});
    b.Add(testdb::Supplier{.id = 1, .name = "Post"});
    b.Add(testdb::Order{.id = 1,
                        .besitzerindex = 1,
                        .termin = EncodeDate(2024, 3, 31) + 0.5,
                        .bezahltam = EncodeDate(2024, 3, 31) + 0.5,
                        .bezeichnung = "Regal"});
    b.Add(testdb::Line{.auftragindex = 1, .anzahl = 1.0, .preis = 1234.5, .mwst = 19.0});
    b.Add(testdb::Order{.id = 2,
                        .besitzerindex = 2,
                        .bezahlt = 0,
                        .termin = EncodeDate(2024, 2, 1),
                        .bezahltam = 0.0,
                        .bezeichnung = "Export",
                        .mwst = 0.0});
    b.Add(testdb::Line{.auftragindex = 2, .anzahl = 2.0, .preis = 50.0, .mwst = 0.0});
    b.Add(testdb::CashEntry{.neinaus = 0,
                            .termin = EncodeDate(2024, 1, 2),
                            .bezeichnung = "Bar|verkauf",
                            .betrag = 10.0,
                            .mwst = 7.0});
    b.Add(testdb::CashEntry{.lieferantindex = 1,
                            .neinaus = 1,
                            .termin = EncodeDate(2024, 1, 3),
                            .bezeichnung = "Porto",
                            .betrag = 100.0,
                            .mwst = 19.0});
  }

  // The environment of a user without any locale or Pelmora settings.
  static QProcessEnvironment CleanEnvironment() {
    QProcessEnvironment env = testing::CleanReportEnvironment();
    // No ledger of the user's own: a missing one is only read, never made.
    env.insert("XDG_DATA_HOME", QDir::temp().filePath("vorlex-report-test-no-ledger"));
    return env;
  }

  Result Run(const std::vector<std::string>& args,
             const std::map<std::string, std::string>& variables = {},
             QProcessEnvironment env = CleanEnvironment()) {
    for (const auto& [name, value] : variables) {
      if (value.empty()) {
        env.remove(QString::fromStdString(name));
      } else {
        env.insert(QString::fromStdString(name), QString::fromStdString(value));
      }
    }
    testing::ReportProcess how;
    how.env = env;
    how.workingFolder = dir_.string();
    return testing::RunReportProcess(args, how);
  }

  // The list of the same run in this process.
  std::vector<std::string> Lines(double first, double last, TaxationBasis basis) {
    TDBase db(db_, kGerman);
    testing::RecordingSink sink;
    TaxTotals totals;
    EvaluateRun(db, first, last, basis, totals, sink);
    return LineTexts(sink.lines);
  }
  // The CSV bytes of the first quarter under "Ist", made in this process.
  std::string QuarterCsv() {
    return CsvBytes(Lines(EncodeDate(2024, 1, 1), EncodeDate(2024, 3, 31), TaxationBasis::Ist));
  }

  testing::ScratchFolder folder_{"vorlex-report"};
  const fs::path& dir_ = folder_.Path();
  std::string db_;
};

TEST_F(ReportTest, PrintsCaptionLinesAndFigures) {
  BuildQuarter();
  const Result r = Run({"--db", db_, "--quarter", "2024-Q1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(
      r.out,
      "Ein- und Ausg\xC3\xA4nge vom 01.01.2024 bis 31.03.2024  (Zahlungsdatum)\n"
      "E   |   31.03.2024   |   Regal   |   M\xC3\xBCller   |   1234,50   |   1469,05\n"
      "E   |   02.01.2024   |   Bar|verkauf   |      |   10,00   |   7%\n"
      "-------\n"
      "A   |   03.01.2024   |   Porto   |   Post   |   100,00   |   19%\n"
      "-------\n"
      "     Nicht EU:  0,00\n"
      "     Innergem. Lief. mit USt-IdNr:  0,00\n"
      "     Innergem. Lief. ohne USt-IdNr:  0,00\n"
      "     Umsatz St.satz 19 v.H:  1234,50\n"
      "     Umsatz St.satz  7 v.H:  10,00\n"
      "     Umsatzsteuer:  235,26\n"  // 235.255, rounded as by hand
      "\n"
      "     Vorst. 7%:  0,00\n"
      "     Vorst. 19%:  19,00\n"
      "     Vorsteuer:  19,00\n"
      "\n"
      "Kz 41: 0,00\n"
      "Kz 44: 0,00\n"
      "Kz 81: 1234,50\n"
      "Kz 86: 10,00\n"
      "Kz 66: 19,00\n"
      "Kz 83: 216,16\n"  // 1234 x 19 + 10 x 7 cents, less 19,00
      "Abgabe bis: 10.04.2024\n");

  const Result soll = Run({"--db", db_, "--quarter=2024-Q1", "--basis", "soll"});
  EXPECT_EQ(soll.status, 0) << soll.err;
  EXPECT_NE(soll.out.find("(Rechnungsdatum)\n"), std::string::npos);
  EXPECT_NE(soll.out.find("|   Gr\xC3\xBC\xC3\x9F Gott GmbH (A, UStID=ATU1)   |   100,00   |"),
            std::string::npos);
  EXPECT_NE(soll.out.find("Kz 41: 100,00\n"), std::string::npos);
}

// The quarter with a US customer and a domestic order at 7 %, both counted
// into field 81.
void AddMisfiledOrders(testdb::PelmoraDb& b) {
  b.Add(testdb::Customer{.id = 3, .name = "Smith Inc.", .land = "US"});
  b.Add(testdb::Order{.id = 17,
                      .besitzerindex = 3,
                      .termin = EncodeDate(2024, 2, 5),
                      .bezahltam = EncodeDate(2024, 2, 5),
                      .bezeichnung = "Export USA",
                      .mwst = 0.0});
  b.Add(testdb::Line{.auftragindex = 17, .anzahl = 1.0, .preis = 200.0, .mwst = 0.0});
  b.Add(testdb::Order{.id = 18,
                      .besitzerindex = 1,
                      .termin = EncodeDate(2024, 2, 6),
                      .bezahltam = EncodeDate(2024, 2, 6),
                      .bezeichnung = "B\xFC" "cher",
                      .mwst = 7.0});
  b.Add(testdb::Line{.auftragindex = 18, .anzahl = 1.0, .preis = 50.0, .mwst = 7.0});
}

// The lines after "Hinweise:", or none.
std::vector<std::string> HintLines(const std::string& out) {
  std::vector<std::string> lines;
  const size_t block = out.find("\nHinweise:\n");
  if (block == std::string::npos) return lines;
  std::istringstream in(out.substr(block + 11));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(ReportTest, HintsFollowFieldEightyThreeAndStrictEndsWithThree) {
  BuildQuarter();
  const std::vector<std::string> quarter = {"--db", db_, "--quarter", "2024-Q1"};
  auto strict = quarter;
  strict.push_back("--strict");
  const Result clean = Run(strict);
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_EQ(clean.out.find("Hinweise"), std::string::npos);

  BuildQuarter({}, AddMisfiledOrders);
  const Result r = Run(quarter);
  EXPECT_EQ(r.status, 0) << r.err;
  // 1234,50 + 200,00 + 50,00 in field 81: 1484 x 19 + 10 x 7 cents, less 19,00.
  EXPECT_NE(r.out.find("Kz 66: 19,00\nKz 83: 263,66\nAbgabe bis: 10.04.2024\n\nHinweise:\n"),
            std::string::npos)
      << r.out;
  const std::vector<std::string> hints = HintLines(r.out);
  ASSERT_EQ(hints.size(), 3u) << r.out;
  // In list order: Germany before the US.
  EXPECT_EQ(hints[0].rfind("B\xC3\xBC"
                           "cher (M\xC3\xBCller): Auftrag zu 7 %",
                           0),
            0u);
  EXPECT_EQ(hints[1].rfind("Export USA (Smith Inc.): Land \"US\" liegt au\xC3\x9F"
                           "erhalb",
                           0),
            0u);
  EXPECT_EQ(hints[2].rfind("Export USA (Smith Inc.): Auftrag ohne Umsatzsteuer", 0), 0u);

  const Result failed = Run(strict);
  EXPECT_EQ(failed.status, 3) << failed.err;
  EXPECT_EQ(failed.out, r.out);
  // The CSV file does not change with the hints.
  const Result csv = Run({"--db", db_, "--quarter", "2024-Q1", "--csv", "-", "--strict"});
  EXPECT_EQ(csv.status, 3);
  EXPECT_EQ(csv.out, QuarterCsv());
}

// Half of an invoice received and counted whole under "Ist"; turnover with a
// Swiss customer that only the list's sum shows.
TEST_F(ReportTest, PartPaymentsAndTurnoverOutsideTheEuAreHinted) {
  BuildQuarter({}, [](testdb::PelmoraDb& b) {
    b.Add(testdb::Customer{.id = 4, .name = "Uhren AG", .land = "CH"});
    b.Add(testdb::Order{.id = 20,
                        .besitzerindex = 1,
                        .bezahlt = 0,
                        .davonbezahlt = 31.78,
                        .termin = EncodeDate(2024, 2, 10),
                        .bezahltam = EncodeDate(2024, 2, 20),
                        .bezeichnung = "Rechnung 2024-016"});
    b.Add(testdb::Line{.auftragindex = 20, .anzahl = 1.0, .preis = 53.40, .mwst = 19.0});
    b.Add(testdb::Order{.id = 21,
                        .besitzerindex = 4,
                        .termin = EncodeDate(2024, 3, 1),
                        .bezahltam = EncodeDate(2024, 3, 2),
                        .bezeichnung = "Rechnung 2024-021",
                        .mwst = 0.0});
    b.Add(testdb::Line{.auftragindex = 21, .anzahl = 1.0, .preis = 233.80, .mwst = 0.0});
  });
  const std::vector<std::string> quarter = {"--db", db_, "--quarter", "2024-Q1"};
  const Result ist = Run(quarter);
  ASSERT_EQ(ist.status, 0) << ist.err;
  EXPECT_NE(ist.out.find("Kz 81: 1287,90\n"), std::string::npos) << ist.out;  // counted whole
  const std::vector<std::string> hints = HintLines(ist.out);
  ASSERT_EQ(hints.size(), 2u) << ist.out;
  // In list order: Switzerland before Germany.
  EXPECT_EQ(hints[0].rfind("Rechnung 2024-021 (Uhren AG): Land \"CH\": 233,80 Umsatz", 0), 0u)
      << hints[0];
  EXPECT_EQ(hints[1].rfind("Rechnung 2024-016 (M\xC3\xBCller): nur teilweise bezahlt: 31,78 von "
                           "63,55 erhalten",
                           0),
            0u)
      << hints[1];

  // "Soll" counts by invoice date: nothing about payments.
  auto soll = quarter;
  soll.insert(soll.end(), {"--basis", "soll"});
  const std::string sollOut = Run(soll).out;
  EXPECT_EQ(sollOut.find("teilweise"), std::string::npos) << sollOut;
  EXPECT_NE(sollOut.find("(Uhren AG): Land \"CH\": 233,80 Umsatz"), std::string::npos) << sollOut;
}

// Letters where an order's or a cash-book entry's date belongs: no period
// selects them, and every run's hints say so, for no entry of the run.
TEST_F(ReportTest, EntriesWithoutADateAreHintedInEveryRun) {
  BuildQuarter({}, [](testdb::PelmoraDb& b) {
    b.Add(testdb::Order{.id = 30,
                        .besitzerindex = 1,
                        .termin = "zehn",
                        .bezahltam = "bald",
                        .bezeichnung = "Tisch"});
    b.Add(testdb::CashEntry{
        .lieferantindex = 1, .neinaus = 1, .termin = "gestern", .bezeichnung = "Marken"});
  });
  const std::string cash =
      "Kassenbuch-Eintrag \"Marken\" (Post) hat kein g\xC3\xBCltiges Datum (Spalte termin: "
      "\"gestern\") und fehlt deshalb in jeder Auswertung.";
  struct Row {
    const char* basis;
    std::vector<std::string> hints;
  };
  const Row rows[] = {
      {"ist",
       {"Tisch (M\xC3\xBCller) hat kein g\xC3\xBCltiges Zahlungsdatum (Spalte bezahltam: \"bald\") "
        "und fehlt deshalb in jeder Ist-Auswertung.",
        cash}},
      {"soll",
       {"Tisch (M\xC3\xBCller) hat kein g\xC3\xBCltiges Rechnungsdatum (Spalte termin: \"zehn\") "
        "und fehlt deshalb in jeder Soll-Auswertung.",
        cash}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.basis);
    const std::vector<std::string> args = {"--db", db_, "--year", "2030", "--basis", row.basis};
    const Result text = Run(args);
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(HintLines(text.out), row.hints) << text.out;
    auto jsonArgs = args;
    jsonArgs.insert(jsonArgs.end(), {"--format", "json", "--strict"});
    const Result json = Run(jsonArgs);
    EXPECT_EQ(json.status, 3) << json.err;
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(root["entries"].toArray().size(), 0);
    const QJsonArray hints = root["hints"].toArray();
    ASSERT_EQ(static_cast<size_t>(hints.size()), row.hints.size());
    for (qsizetype i = 0; i < hints.size(); ++i) {
      EXPECT_EQ(hints[i]["entry"].toInt(), -1);
      EXPECT_EQ(hints[i]["text"].toString().toStdString(), row.hints[static_cast<size_t>(i)]);
    }
  }
}

TEST_F(ReportTest, JsonHoldsTheFiguresOfTheText) {
  BuildQuarter({}, AddMisfiledOrders);
  for (const char* basis : {"ist", "soll"}) {
    SCOPED_TRACE(basis);
    const std::vector<std::string> args = {"--db", db_, "--quarter", "2024-Q1", "--basis", basis};
    const Result text = Run(args);
    auto jsonArgs = args;
    jsonArgs.insert(jsonArgs.end(), {"--format", "json", "--strict"});
    const Result json = Run(jsonArgs);
    ASSERT_EQ(text.status, 0) << text.err;
    ASSERT_EQ(json.status, 3) << json.err;

    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject root = document.object();
    EXPECT_EQ(root["basis"].toString().toStdString(), basis);
    EXPECT_EQ(root["period"]["first"].toString().toStdString(), "2024-01-01");
    EXPECT_EQ(root["period"]["last"].toString().toStdString(), "2024-03-31");
    EXPECT_EQ(root["period"]["kind"].toString().toStdString(), "quarter");

    // Every field as the text shows it.
    const QJsonObject fields = root["fields"].toObject();
    for (const char* field : {"41", "44", "81", "86", "66", "83"}) {
      ASSERT_TRUE(fields[field].isDouble()) << field;
      const std::string line = "\nKz " + std::string(field) + ": " +
                               FormatMoney(fields[field].toDouble(), kGerman) + "\n";
      EXPECT_NE(text.out.find(line), std::string::npos) << line << text.out;
    }
    // One entry per list line above the totals, in the same order.
    const std::vector<std::string> lines =
        Lines(EncodeDate(2024, 1, 1), EncodeDate(2024, 3, 31),
              std::string(basis) == "soll" ? TaxationBasis::Soll : TaxationBasis::Ist);
    const QJsonArray entries = root["entries"].toArray();
    ASSERT_EQ(static_cast<size_t>(entries.size()) + 11, lines.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
      const QJsonObject entry = entries[i].toObject();
      const std::string kind = entry["kind"].toString().toStdString();
      EXPECT_EQ(lines[static_cast<size_t>(i)][0], kind == "separator" ? '-'
                                                  : kind == "expense" ? 'A'
                                                                      : 'E');
      if (kind == "separator") continue;
      // The list shows the amount, the customer and the description.
      for (const std::string& column : {FormatMoney(entry["net"].toDouble(), kGerman),
                                        entry["customer"].toString().toStdString(),
                                        entry["description"].toString().toStdString()}) {
        EXPECT_NE(text.out.find("|   " + column), std::string::npos) << column;
      }
    }
    const QJsonObject totals = root["totals"].toObject();
    EXPECT_EQ(totals["Umsatz19"].toDouble(), 1484.5);
    EXPECT_EQ(totals["Umsatz7"].toDouble(), 10.0);
    EXPECT_EQ(totals["Vorsteuer19"].toDouble(), 19.0);

    // The hints of the text, each with its entry.
    const std::vector<std::string> hintLines = HintLines(text.out);
    const QJsonArray hints = root["hints"].toArray();
    ASSERT_EQ(static_cast<size_t>(hints.size()), hintLines.size());
    for (qsizetype i = 0; i < hints.size(); ++i) {
      const QJsonObject hint = hints[i].toObject();
      EXPECT_EQ(hint["text"].toString().toStdString(), hintLines[static_cast<size_t>(i)]);
      const QJsonObject entry = entries[hint["entry"].toInt()].toObject();
      const std::string named = entry["description"].toString().toStdString() + " (";
      EXPECT_EQ(hintLines[static_cast<size_t>(i)].rfind(named, 0), 0u);
    }
  }
  // The Windows-1252 name arrives as UTF-8.
  const Result json = Run({"--db", db_, "--quarter", "2024-Q1", "--format=json"});
  EXPECT_NE(json.out.find("\"M\xC3\xBCller\""), std::string::npos);
}

TEST_F(ReportTest, FieldPrintsOnlyItsEntriesItsFigureAndTheirHints) {
  BuildQuarter({}, AddMisfiledOrders);
  const std::vector<std::string> quarter = {"--db", db_, "--quarter", "2024-Q1"};
  const auto with = [&quarter](std::vector<std::string> more) {
    more.insert(more.begin(), quarter.begin(), quarter.end());
    return more;
  };
  const Result r81 = Run(with({"--field", "81", "--strict"}));
  EXPECT_EQ(r81.status, 3) << r81.err;
  const std::string head81 =
      "Ein- und Ausg\xC3\xA4nge vom 01.01.2024 bis 31.03.2024  (Zahlungsdatum)\n"
      "Nur Eintr\xC3\xA4ge zu Kz 81 (3)\n"
      "E   |   06.02.2024   |   B\xC3\xBC" "cher   |   M\xC3\xBCller   |   50,00   |   53,50\n"
      "E   |   31.03.2024   |   Regal   |   M\xC3\xBCller   |   1234,50   |   1469,05\n"
      "E   |   05.02.2024   |   Export USA   |   Smith Inc. (US, UStID=)   |   200,00   |   200,00\n"
      "\n"
      "Kz 81: 1484,50\n"
      "\n"
      "Hinweise:\n";
  EXPECT_EQ(r81.out.substr(0, head81.size()), head81);
  EXPECT_EQ(HintLines(r81.out), HintLines(Run(quarter).out));  // all three are on 81's entries

  // A field without hints on its entries: none shown, and --strict passes.
  const Result r66 = Run(with({"--field", "66", "--strict"}));
  EXPECT_EQ(r66.status, 0) << r66.err;
  EXPECT_EQ(r66.out,
            "Ein- und Ausg\xC3\xA4nge vom 01.01.2024 bis 31.03.2024  (Zahlungsdatum)\n"
            "Nur Eintr\xC3\xA4ge zu Kz 66 (1)\n"
            "A   |   03.01.2024   |   Porto   |   Post   |   100,00   |   19%\n"
            "\n"
            "Kz 66: 19,00\n");
  // The CSV stays the whole list.
  const Result csv = Run(with({"--field", "86", "--csv", "-"}));
  EXPECT_EQ(csv.out, QuarterCsv());

  // JSON: only the field's entries, each naming its field; hints point at them.
  const Result json = Run(with({"--field", "81", "--format", "json"}));
  ASSERT_EQ(json.status, 0) << json.err;
  const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
  EXPECT_EQ(root["field"].toInt(), 81);
  EXPECT_EQ(root["fields"]["81"].toDouble(), 1484.5);
  const QJsonArray entries = root["entries"].toArray();
  ASSERT_EQ(entries.size(), 3);
  for (const QJsonValue& entry : entries) EXPECT_EQ(entry["field"].toInt(), 81);
  const QJsonArray hints = root["hints"].toArray();
  ASSERT_EQ(hints.size(), 3);
  for (const QJsonValue& hint : hints) {
    const QJsonObject entry = entries[hint["entry"].toInt()].toObject();
    EXPECT_TRUE(hint["text"].toString().startsWith(entry["description"].toString() + " ("));
  }
  // Without --field every entry names its field, or none.
  const QJsonObject whole =
      QJsonDocument::fromJson(QByteArray::fromStdString(Run(with({"--format", "json"})).out))
          .object();
  std::map<std::string, int> fieldOf;
  for (const QJsonValue& entry : whole["entries"].toArray()) {
    if (entry["kind"] == "separator") continue;
    fieldOf[entry["description"].toString().toStdString()] =
        entry["field"].isNull() ? 0 : entry["field"].toInt();
  }
  EXPECT_EQ(fieldOf, (std::map<std::string, int>{
                         {"Regal", 81}, {"B\xC3\xBC" "cher", 81}, {"Export USA", 81},
                         {"Bar|verkauf", 86}, {"Porto", 66}}));
}

TEST_F(ReportTest, OverviewAsTableJsonAndCsvWithTheFiguresOfRuns) {
  BuildQuarter({}, AddMisfiledOrders);
  const Result text = Run({"--db", db_, "--overview", "2024"});
  ASSERT_EQ(text.status, 0) << text.err;
  std::vector<std::string> lines;
  {
    std::istringstream in(text.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  ASSERT_EQ(lines.size(), 19u) << text.out;
  EXPECT_EQ(lines[0], "Jahres\xC3\xBC" "bersicht 2024  (Zahlungsdatum)");
  EXPECT_EQ(lines[1], "Zeitraum    Kz 41  Kz 44    Kz 81  Kz 86  Kz 66   Kz 83");
  EXPECT_EQ(lines[2], "Januar       0,00   0,00     0,00  10,00  19,00  -18,30");
  EXPECT_EQ(lines[5], "1. Quartal   0,00   0,00  1484,50  10,00  19,00  263,66");
  EXPECT_EQ(lines[18], "Jahr 2024    0,00   0,00  1484,50  10,00  19,00  263,66");

  // The same table as data; each row as a run of its period shows it.
  const Result json = Run({"--db", db_, "--overview=2024", "--basis", "soll", "--format", "json"});
  ASSERT_EQ(json.status, 0) << json.err;
  const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
  EXPECT_EQ(root["year"].toInt(), 2024);
  EXPECT_EQ(root["basis"].toString(), QStringLiteral("soll"));
  const QJsonArray rows = root["rows"].toArray();
  ASSERT_EQ(rows.size(), 17);
  const struct {
    int row;
    const char* label;
    std::vector<std::string> run;
  } checks[] = {{1, "Februar", {"--month", "2024-02"}},
                {3, "1. Quartal", {"--quarter", "2024-Q1"}},
                {16, "Jahr 2024", {"--year", "2024"}}};
  for (const auto& check : checks) {
    SCOPED_TRACE(check.label);
    const QJsonObject row = rows[check.row].toObject();
    EXPECT_EQ(row["label"].toString(), QString::fromUtf8(check.label));
    std::vector<std::string> args = {"--db", db_, "--basis", "soll"};
    args.insert(args.end(), check.run.begin(), check.run.end());
    const Result run = Run(args);
    for (const char* field : {"41", "44", "81", "86", "66", "83"}) {
      const std::string line = "\nKz " + std::string(field) + ": " +
                               FormatMoney(row["fields"][field].toDouble(), kGerman) + "\n";
      EXPECT_NE(run.out.find(line), std::string::npos) << line;
    }
  }
  EXPECT_EQ(rows[1]["fields"]["41"].toDouble(), 100.0);  // the Austrian order, invoiced in February
  EXPECT_EQ(rows[2]["period"]["first"].toString(), QStringLiteral("2024-03-01"));
  EXPECT_EQ(rows[3]["period"]["kind"].toString(), QStringLiteral("quarter"));

  // --csv writes the table in the list's export style.
  const Result csv = Run({"--db", db_, "--overview", "2024", "--csv", (dir_ / "j.csv").string()});
  ASSERT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(csv.out, text.out);
  const std::string bytes = ReadBytes(dir_ / "j.csv");
  EXPECT_EQ(bytes.substr(0, 46), "Zeitraum;Kz 41;Kz 44;Kz 81;Kz 86;Kz 66;Kz 83\r\n");
  EXPECT_NE(bytes.find("\r\nM\xE4rz;0,00;0,00;1234,50;0,00;0,00;234,46\r\n"), std::string::npos)
      << bytes;
}

TEST_F(ReportTest, NumbersAndDatesFollowTheLocaleOfTheEnvironment) {
  VORLEX_POSIX_ONLY("locales from LC_ALL and LANG");
  BuildQuarter();
  struct Row {
    const char* name;
    std::map<std::string, std::string> variables;
    const char* caption;
    const char* figure;
  };
  const Row rows[] = {
      {"German", {{"LC_ALL", "de_DE.UTF-8"}}, "vom 01.03.2024 bis 31.03.2024", "Kz 81: 1234,50"},
      {"C", {{"LC_ALL", "C"}}, "vom 2024-03-01 bis 2024-03-31", "Kz 81: 1234.50"},
      {"American through LANG",
       {{"LC_ALL", ""}, {"LANG", "en_US.UTF-8"}},
       "vom 3/1/2024 bis 3/31/2024",
       "Kz 81: 1234.50"},
      {"LC_ALL wins over LANG",
       {{"LC_ALL", "de_DE.UTF-8"}, {"LANG", "en_US.UTF-8"}},
       "vom 01.03.2024 bis 31.03.2024",
       "Kz 81: 1234,50"},
      {"numbers and dates apart",
       {{"LC_ALL", ""}, {"LANG", "en_US.UTF-8"}, {"LC_NUMERIC", "de_DE.UTF-8"}},
       "vom 3/1/2024 bis 3/31/2024",
       "Kz 81: 1234,50"},
      {"dates apart",
       {{"LC_ALL", ""}, {"LANG", "en_US.UTF-8"}, {"LC_TIME", "de_DE.UTF-8"}},
       "vom 01.03.2024 bis 31.03.2024",
       "Kz 81: 1234.50"},
      {"no locale at all", {{"LC_ALL", ""}}, "vom 2024-03-01 bis 2024-03-31", "Kz 81: 1234.50"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Result r = Run({"--db", db_, "--month", "2024-03"}, row.variables);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(row.caption), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(row.figure), std::string::npos) << r.out;
  }
}

TEST_F(ReportTest, CsvIsTheBytesOfTheListOfTheSameRun) {
  BuildQuarter();
  const fs::path csv = dir_ / "ausgabe.csv";
  const Result r = Run({"--db", db_, "--quarter", "2024-Q1", "--csv", csv.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string bytes = ReadBytes(csv);
  EXPECT_EQ(bytes, QuarterCsv());
  // Bytes as held: the Windows-1252 name stays one byte, the bar became a field.
  EXPECT_NE(bytes.find("   ;   M\xFCller   ;   "), std::string::npos);
  EXPECT_NE(bytes.find("   ;   Bar;verkauf   ;   "), std::string::npos);
  const std::string lastLine = "\r\n     Vorsteuer:  19,00\r\n";
  EXPECT_EQ(bytes.substr(bytes.size() - lastLine.size()), lastLine);
  // The text report still goes to standard output.
  EXPECT_EQ(r.out.rfind("Ein- und Ausg", 0), 0u);

  // "-": the CSV bytes alone on standard output.
  const Result toStdout = Run({"--db", db_, "--quarter", "2024-Q1", "--csv", "-"});
  EXPECT_EQ(toStdout.status, 0) << toStdout.err;
  EXPECT_EQ(toStdout.out, bytes);
}

TEST_F(ReportTest, TableAndEcSalesListOfTheSameRun) {
  BuildQuarter();
  const fs::path table = dir_ / "tabelle.csv";
  const fs::path zm = dir_ / "zm.csv";
  const Result r = Run({"--db", db_, "--quarter", "2024-Q1", "--table", table.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  TDBase db(db_, kGerman);
  TRunList run(kGerman);
  TaxTotals totals;
  EvaluateRun(db, EncodeDate(2024, 1, 1), EncodeDate(2024, 3, 31), TaxationBasis::Ist, totals, run);
  EXPECT_EQ(ReadBytes(table), TableBytes(run.entries, totals));
  EXPECT_EQ(r.out.rfind("Ein- und Ausg", 0), 0u);  // the text report as ever

  // The EC sales list follows the invoice date on either basis, and says so
  // under Ist: the unpaid order to "ATU1" of February counts, so the list is
  // refused, naming it, and no file is written.
  for (const char* basis : {"ist", "soll"}) {
    SCOPED_TRACE(basis);
    const Result refused =
        Run({"--db", db_, "--quarter", "2024-Q1", "--basis", basis, "--zm", zm.string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("USt-IdNr. \"ATU1\" hat nicht die Form"), std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.err.rfind("Die Zusammenfassende Meldung folgt dem Rechnungsdatum", 0) == 0,
              std::string(basis) == "ist")
        << refused.err;
    EXPECT_FALSE(fs::exists(zm));
  }
}

TEST_F(ReportTest, CsvOfAnEmptyPeriodHasElevenLines) {
  BuildQuarter();
  const Result r = Run({"--db", db_, "--year", "2023", "--csv", "-"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, CsvBytes(kEmptySummary));
}

TEST_F(ReportTest, CsvFileIsReplacedWholeOrNotAtAll) {
  BuildQuarter();
  const fs::path csv = dir_ / "vorlex.csv";
  std::ofstream(csv, std::ios::binary) << "alter Inhalt";

  // A failed run writes nothing.
  const Result failed = Run({"--db", (dir_ / "fehlt.db").string(), "--csv", csv.string()});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(ReadBytes(csv), "alter Inhalt");

  // A successful run replaces the whole file.
  const Result ok = Run({"--db", db_, "--year", "2023", "--csv", csv.string()});
  EXPECT_EQ(ok.status, 0) << ok.err;
  EXPECT_EQ(ReadBytes(csv).rfind("-------\r\n     Nicht EU:  0,00\r\n", 0), 0u);

  // A file that cannot be created.
  const fs::path missing = dir_ / "fehlt" / "vorlex.csv";
  const Result cannot = Run({"--db", db_, "--year", "2023", "--csv", missing.string()});
  EXPECT_EQ(cannot.status, 1);
  const ErrorText expected =
      DescribeError(EWriteError(SaveOutcome::CannotCreate, ENOENT, missing.string(), false),
                    {ErrorFront::Report, ""});
  EXPECT_EQ(cannot.err, expected.sentence + "\n" + expected.detail + "\n");
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_EQ(cannot.out, "");
}

TEST_F(ReportTest, CsvIntoAPipeIsWrittenThroughIt) {
  VORLEX_POSIX_ONLY("a FIFO");
#ifndef _WIN32
  BuildQuarter();
  const fs::path fifo = dir_ / "pipe.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Opened for reading first, without waiting, so that the writer can open it.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const Result r = Run({"--db", db_, "--year", "2023", "--csv", fifo.string()});
  std::string received;
  char buffer[4096];
  for (ssize_t n; (n = ::read(reader, buffer, sizeof buffer)) > 0;) received.append(buffer, n);
  ::close(reader);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_fifo(fifo));  // not replaced by a regular file
  EXPECT_EQ(received.rfind("-------\r\n     Nicht EU:  0,00\r\n", 0), 0u);
  EXPECT_EQ(
      received.size(),
      CsvBytes(Lines(EncodeDate(2023, 1, 1), EncodeDate(2023, 12, 31), TaxationBasis::Ist)).size());
#endif
}

TEST_F(ReportTest, AFullStandardOutputIsAnError) {
  VORLEX_POSIX_ONLY("/dev/full");
  BuildQuarter();
  testing::ReportProcess how;
  how.env = CleanEnvironment();
  how.standardOutputFile = "/dev/full";
  const Result r = testing::RunReportProcess({"--db", db_}, how);
  EXPECT_EQ(r.status, 1);
  const ErrorText expected = DescribeError(EWriteError(), {ErrorFront::Report, ""});
  EXPECT_EQ(r.err, expected.sentence + "\n" + expected.detail + "\n");
}

TEST_F(ReportTest, ExitStatuses) {
  BuildQuarter();
  struct Row {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string errStart;
  };
  const std::string db = db_;
  const Row rows[] = {
      {"success", {"--db", db, "--year", "2024"}, 0, ""},
      {"help", {"--help"}, 0, ""},
      {"unknown option", {"--db", db, "--jahr", "2024"}, 2, "vorlex-report: Unbekannte Option"},
      {"two periods", {"--db", db, "--year", "2024", "--month", "2024-01"}, 2, "vorlex-report: "},
      {"bad quarter", {"--db", db, "--quarter", "2024-Q5"}, 2, "vorlex-report: --quarter"},
      {"missing value", {"--db"}, 2, "vorlex-report: --db braucht"},
      {"from without to", {"--db", db, "--from", "2024-01-01"}, 2, "vorlex-report: --from"},
      {"reversed range",
       {"--db", db, "--from", "2026-12-31", "--to", "2026-12-01"},
       2,
       "vorlex-report: --from 2026-12-31 liegt nach --to 2026-12-01\n"},
      {"field 39 outside December",
       {"--db", db, "--quarter", "2024-Q4", "--kz39", "5"},
       2,
       "vorlex-report: --kz39 gilt nur f\xC3\xBCr den Dezember (--month JJJJ-12)"},
      {"field 39 no amount", {"--db", db, "--month", "2024-12", "--kz39", "5 Euro"}, 2,
       "vorlex-report: --kz39: Betrag in Euro erwartet"},
      {"special prepayment and a period",
       {"--db", db, "--special-prepayment", "2024", "--month", "2024-12"}, 2,
       "vorlex-report: --special-prepayment rechnet aus einem ganzen Jahr"},
      {"special prepayment beyond the calendar", {"--db", db, "--special-prepayment", "9999"},
       2, "vorlex-report: --special-prepayment: Jahr bis 9998"},
      {"missing database",
       {"--db", (dir_ / "fehlt.db").string()},
       1,
       DescribeError(ESQLiteException("", SQLITE_CANTOPEN, (dir_ / "fehlt.db").string()),
                     {ErrorFront::Report, ""})
               .sentence +
           "\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Result r = Run(row.args);
    EXPECT_EQ(r.status, row.status) << r.err;
    EXPECT_EQ(r.err.rfind(row.errStart, 0), 0u) << r.err;
    if (row.status == 2) {
      EXPECT_NE(r.err.find("\nAufruf: vorlex-report [--db FILE]"), std::string::npos);
      EXPECT_EQ(r.out, "");
    }
    if (row.status == 1) {
      EXPECT_EQ(r.out, "");
      EXPECT_NE(r.err.find("\nFailed to open database \""), std::string::npos) << r.err;
    }
  }
  const Result help = Run({"--help"});
  EXPECT_EQ(help.out.rfind("Aufruf: vorlex-report [--db FILE]\n", 0), 0u);
  EXPECT_NE(help.out.find("f\xC3\xBCr die Umsatzsteuer-Voranmeldung"), std::string::npos);
  // The help names the system's own places: the settings folder and where
  // the formats of numbers and dates come from.
  for (const char* posix : {"$XDG_CONFIG_HOME", "~/.config", "LC_ALL"}) {
    EXPECT_EQ(help.out.find(posix) == std::string::npos, testing::kWindows) << posix;
  }
  for (const char* windows : {"%APPDATA%\\Pelmora", "Regionseinstellungen von\nWindows"}) {
    EXPECT_EQ(help.out.find(windows) != std::string::npos, testing::kWindows) << windows;
  }
}

TEST_F(ReportTest, FilingCalendarField39DueDatesAndTheSpecialPrepayment) {
  // The quarter and a December sale of 1000,00 at 19 %.
  BuildQuarter({}, [](testdb::PelmoraDb& b) {
    b.Add(testdb::Order{.id = 30, .besitzerindex = 1, .termin = EncodeDate(2024, 12, 10),
                        .bezahltam = EncodeDate(2024, 12, 10), .bezeichnung = "Tisch"});
    b.Add(testdb::Line{.auftragindex = 30, .anzahl = 1.0, .preis = 1000.0, .mwst = 19.0});
  });
  // December deducts the special prepayment: a line after the total lines,
  // field 39 before 83, and the due date a month later.
  const Result december = Run({"--db", db_, "--month", "2024-12", "--kz39", "500"});
  EXPECT_EQ(december.status, 0) << december.err;
  EXPECT_NE(december.out.find("     Vorsteuer:  0,00\n"
                              "     Sondervorauszahlung (Kz 39):  500,00\n\nKz 41: 0,00\n"),
            std::string::npos)
      << december.out;
  EXPECT_NE(december.out.find("Kz 66: 0,00\nKz 39: 500,00\nKz 83: -310,00\n"
                              "Abgabe bis: 10.02.2025\n"),
            std::string::npos)
      << december.out;
  const QJsonObject json = QJsonDocument::fromJson(
      QByteArray::fromStdString(
          Run({"--db", db_, "--month", "2024-12", "--kz39=500,00", "--format", "json"}).out))
                               .object();
  EXPECT_EQ(json["fields"].toObject()["39"].toDouble(), 500.0);
  EXPECT_EQ(json["fields"].toObject()["83"].toDouble(), -310.0);
  EXPECT_EQ(json["due"].toString(), "2025-02-10");
  // Without the option December is as ever; the extension moves the date.
  const Result plain = Run({"--db", db_, "--month", "2024-12"});
  EXPECT_NE(plain.out.find("Kz 66: 0,00\nKz 83: 190,00\nAbgabe bis: 10.01.2025\n"),
            std::string::npos);
  EXPECT_EQ(plain.out.find("Kz 39"), std::string::npos);
  EXPECT_NE(Run({"--db", db_, "--quarter", "2024-Q1", "--extension"})
                .out.find("Kz 83: 216,16\nAbgabe bis: 10.05.2024\n"),
            std::string::npos);
  EXPECT_EQ(Run({"--db", db_, "--elster", "--month", "2024-12", "--kz39", "500"}).out,
            "Ein- und Ausg\xC3\xA4nge vom 01.12.2024 bis 31.12.2024  (Zahlungsdatum)\n"
            "Kz 81: 1000\nSteuer zu Kz 81: 190,00\nKz 39: 500,00\nKz 83: -310,00\n"
            "Abgabe bis: 10.02.2025\n");

  // The year's months: January -18,30, March 234,46, December 190,00; their
  // eleventh 36,9236... rounds down.
  const Result next = Run({"--db", db_, "--special-prepayment", "2024", "--extension"});
  EXPECT_EQ(next.status, 0) << next.err;
  EXPECT_EQ(next.out,
            "Sondervorauszahlung 2025: 36,92\nAnzumelden bis: 10.02.2025\n"
            "(ein Elftel der Vorauszahlungen 2024: 406,16)\n");
  const Result quarterly =
      Run({"--db", db_, "--special-prepayment", "2024", "--extension", "--quarterly"});
  EXPECT_EQ(quarterly.status, 0);
  EXPECT_EQ(quarterly.out,
            "2025 ist keine Sondervorauszahlung zu leisten: Die Voranmeldungen werden "
            "viertelj\xC3\xA4hrlich abgegeben.\n");
}

TEST_F(ReportTest, AFailedRunReportsTheWindowsMessage) {
  testdb::Schema schema;
  schema.amountType = "VARCHAR(20)";
  {
    testdb::PelmoraDb b(db_, schema);
    b.Add(testdb::CashEntry{.neinaus = 0,
                            .termin = EncodeDate(2024, 3, 5),
                            .bezeichnung = "Kasse",
                            .betrag = "zehn",
                            .mwst = 19.0});
  }
  const Result r = Run({"--db", db_, "--month", "2024-03", "--csv", "-"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  const std::string detail =
      "Typkonvertierung von Variant ung\xC3\xBCltig: \"zehn\" (Spalte betrag, "
      "Kassenbuch-Eintrag vom 05.03.2024 \"Kasse\")";
  const EFieldConvertError raised(detail, "betrag", "Kassenbuch-Eintrag vom 05.03.2024 \"Kasse\"");
  EXPECT_EQ(r.err, DescribeError(raised, {ErrorFront::Report, ""}).sentence + "\n" + detail + "\n");

  {
    testdb::PelmoraDb b(db_);
    b.Exec("DROP TABLE auftrag");
  }
  const Result noTable = Run({"--db", db_, "--month", "2024-03"});
  EXPECT_EQ(noTable.status, 1);
  // The sentence names the table; the SQL stays in the second line.
  const std::string sentence = noTable.err.substr(0, noTable.err.find('\n'));
  EXPECT_EQ(sentence, DescribeError(ESQLiteException("no such table: auftrag"),
                                    {ErrorFront::Report, ""})
                          .sentence);
  EXPECT_EQ(sentence.find("SELECT"), std::string::npos);
  EXPECT_NE(noTable.err.find("\" : no such table: auftrag\n"), std::string::npos) << noTable.err;
}

TEST_F(ReportTest, FindsTheDatabaseThroughPelmorasSettingsFile) {
  VORLEX_POSIX_ONLY("XDG_CONFIG_HOME and HOME");
  BuildQuarter();
  // APPDATA, then the per-user configuration folder.
  const fs::path appData = dir_ / "appdata";
  const fs::path config = dir_ / "config";
  fs::create_directories(appData / "Pelmora");
  fs::create_directories(config / "Pelmora" / "Daten");
  testdb::WriteSettingsFile((appData / "Pelmora" / "pelmora.ini").string(), "..\\..", "pelmora.db");
  fs::copy_file(db_, config / "Pelmora" / "Daten" / "p.db");
  testdb::WriteSettingsFile((config / "Pelmora" / "pelmora.ini").string(), "Daten", "p.db");

  const Result viaAppData =
      Run({"--month", "2024-03"}, {{"APPDATA", appData.string()}, {"HOME", dir_.string()}});
  EXPECT_EQ(viaAppData.status, 0) << viaAppData.err;
  EXPECT_NE(viaAppData.out.find("Kz 81: 1234,50"), std::string::npos);

  const Result viaXdg =
      Run({"--month", "2024-03"}, {{"XDG_CONFIG_HOME", config.string()}, {"HOME", dir_.string()}});
  EXPECT_EQ(viaXdg.status, 0) << viaXdg.err;
  EXPECT_NE(viaXdg.out.find("Kz 81: 1234,50"), std::string::npos);

  const Result none = Run({"--month", "2024-03"}, {{"HOME", (dir_ / "leer").string()}});
  EXPECT_EQ(none.status, 1);
  // The settings file is named, not only its folder.
  const std::string pelmora = dir_.string() + "/leer/.config/Pelmora/";
  const std::string detail = "Failed to open database \"" + pelmora + "\" : unable to open database file";
  const ESQLiteException raised(detail, SQLITE_CANTOPEN, pelmora);
  EXPECT_EQ(none.err,
            DescribeError(raised, {ErrorFront::Report, pelmora + "pelmora.ini"}).sentence + "\n" +
                detail + "\n");
}

TEST_F(ReportTest, WithoutAPeriodTheCurrentMonthIsEvaluated) {
  VORLEX_POSIX_ONLY("ISO dates through LC_ALL=C");
  BuildQuarter();
  const Result r = Run({"--db", db_}, {{"LC_ALL", "C"}});
  ASSERT_EQ(r.status, 0) << r.err;
  // "Ein- und Ausgänge vom YYYY-MM-01 bis YYYY-MM-DD"
  const std::string caption = r.out.substr(0, r.out.find('\n'));
  const std::size_t from = caption.find("vom ") + 4;
  ASSERT_NE(from, std::string::npos + 4);
  const std::string first = caption.substr(from, 10);
  const std::string last = caption.substr(from + 15, 10);
  EXPECT_EQ(first.substr(8), "01");
  EXPECT_EQ(first.substr(0, 8), last.substr(0, 8));
  const int year = std::stoi(first.substr(0, 4));
  const int month = std::stoi(first.substr(5, 2));
  EXPECT_EQ(std::stoi(last.substr(8)), DaysInMonth(year, month));
  const double today = static_cast<double>(::time(nullptr)) / 86400 + 25569;
  const CalendarDate now = DecodeDate(today);
  // Around midnight UTC and local time may differ by a month at most.
  EXPECT_LE(std::abs((now.year * 12 + now.month) - (year * 12 + month)), 1);
}

// Umlauts in a folder's name: in --db and --csv on every system, and in a
// Windows-1252 db_pfad on Windows, where SQLite and the file system get the
// name as UTF-8.
TEST_F(ReportTest, FoldersWithUmlautsAreFound) {
  BuildQuarter();
  const std::string folder = PathText(dir_) + kPathSeparator + "J\xC3\xBCrgen";
  fs::create_directories(PathFromText(folder));
  const std::string db = folder + kPathSeparator + "B\xC3\xBC" "cher.db";
  fs::copy_file(db_, PathFromText(db));
  const std::string csv = folder + kPathSeparator + "\xC3\x9C" "bersicht.csv";

  const Result viaDb = Run({"--db", db, "--month", "2024-03", "--csv", csv});
  EXPECT_EQ(viaDb.status, 0) << viaDb.err;
  EXPECT_NE(viaDb.out.find("Kz 81: 1234,50"), std::string::npos);
  EXPECT_EQ(ReadBytes(PathFromText(csv)).rfind("E   ;   31.03.2024   ;   Regal", 0), 0u);

  if (!testing::kWindows) return;
  testdb::WriteSettingsFile(PathText(dir_ / "Pelmora" / "pelmora.ini"), "..\\J\xFCrgen",
                            "B\xFC" "cher.db");
  const Result viaSettings = Run({"--month", "2024-03"}, {{"APPDATA", PathText(dir_)}});
  EXPECT_EQ(viaSettings.status, 0) << viaSettings.err;
  EXPECT_NE(viaSettings.out.find("Kz 81: 1234,50"), std::string::npos);
}

}  // namespace
}  // namespace vorlex

namespace vorlex {
namespace {

// The ledger from the command line: a quarter filed, found unchanged, then
// changed in Pelmora and filed again as a correction. Pelmora's file is read
// only, whatever the ledger does.
TEST_F(ReportTest, FilesAQuarterAndFindsItsChanges) {
  BuildQuarter();
  const std::string ledger = (dir_ / "vorlex" / "vorlex.db").string();
  std::string pelmora = ReadBytes(db_);
  const auto run = [&](std::vector<std::string> args, int status) {
    args.insert(args.end(), {"--db", db_, "--ledger", ledger});
    Result r = Run(args);
    EXPECT_EQ(r.status, status) << r.err;
    EXPECT_EQ(ReadBytes(db_), pelmora) << "Pelmora's file changed";
    return r;
  };
  const std::vector<std::string> quarter = {"--quarter", "2024-Q1"};
  EXPECT_EQ(run(quarter, 0).out.find("Abgegeben"), std::string::npos);
  EXPECT_FALSE(fs::exists(ledger));  // reading makes no ledger
  run({"--year", "2024", "--mark-filed"}, 2);

  std::vector<std::string> mark = quarter;
  mark.insert(mark.end(), {"--mark-filed", "--filed-on", "2024-04-10", "--ticket", "et-42"});
  Result r = run(mark, 0);
  EXPECT_NE(r.out.find("\n\nAls abgegeben vermerkt am 10.04.2024, Transferticket et-42\n"),
            std::string::npos)
      << r.out;
  r = run(quarter, 0);
  EXPECT_NE(r.out.find("\nAbgegeben am 10.04.2024 \xE2\x80\x93 unver\xC3\xA4ndert\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(run({"--changes"}, 0).out,
            "0 von 1 abgegebenen Zeitr\xC3\xA4umen seit der Abgabe ge\xC3\xA4ndert\n");
  run(mark, 1);  // unchanged: nothing to file again

  // Pelmora's data changes: a late invoice, paid in the quarter.
  BuildQuarter({}, [](testdb::PelmoraDb& b) {
    b.Add(testdb::Order{.id = 3,
                        .besitzerindex = 1,
                        .termin = EncodeDate(2024, 2, 5),
                        .bezahltam = EncodeDate(2024, 2, 6),
                        .bezeichnung = "Rechnung 2024-031"});
    b.Add(testdb::Line{.auftragindex = 3, .anzahl = 1.0, .preis = 100.0, .mwst = 19.0});
  });
  pelmora = ReadBytes(db_);
  const std::string status =
      "Seit der Abgabe am 10.04.2024 ge\xC3\xA4ndert: Kz 81 +100,00, Kz 83 +19,00";
  r = run(quarter, 0);
  EXPECT_NE(r.out.find("\n" + status +
                       "\n  Rechnung 2024-031 neu\n"
                       "Berichtigte Anmeldung (Kz 10: 1)\n"
                       "Kz 41: 0,00 | abgegeben 0,00 | 0,00\n"
                       "Kz 44: 0,00 | abgegeben 0,00 | 0,00\n"
                       "Kz 81: 1334,50 | abgegeben 1234,50 | +100,00\n"
                       "Kz 86: 10,00 | abgegeben 10,00 | 0,00\n"
                       "Kz 66: 19,00 | abgegeben 19,00 | 0,00\n"
                       "Kz 83: 235,16 | abgegeben 216,16 | +19,00\n"
                       "Kz 39: 0,00 | abgegeben 0,00 | 0,00\n"),
            std::string::npos)
      << r.out;
  r = run({"--changes"}, 3);
  EXPECT_EQ(r.out, "2024-Q1 Ist: " + status +
                       "\n  Rechnung 2024-031 neu\n"
                       "1 von 1 abgegebenen Zeitr\xC3\xA4umen seit der Abgabe ge\xC3\xA4ndert\n");
  std::vector<std::string> json = quarter;
  json.insert(json.end(), {"--format", "json"});
  const QJsonObject filing =
      QJsonDocument::fromJson(QByteArray::fromStdString(run(json, 0).out)).object()["filing"].toObject();
  EXPECT_TRUE(filing["changed"].toBool());
  EXPECT_EQ(filing["filedOn"].toString(), "2024-04-10");
  EXPECT_EQ(filing["changedEntries"].toArray().size(), 1);
  EXPECT_EQ(filing["corrected"].toArray()[2].toObject()["difference"].toDouble(), 100.0);

  std::vector<std::string> elster = quarter;
  elster.push_back("--elster");
  EXPECT_NE(run(elster, 0).out.find("\nKz 10: 1\nKz 81: 1334\n"), std::string::npos);

  // The corrected return, filed: the period is as filed again.
  mark[mark.size() - 3] = "2024-05-02";
  EXPECT_NE(run(mark, 0).out.find("Als abgegeben vermerkt am 02.05.2024, Transferticket et-42 "
                                  "(Berichtigte Anmeldung, Kz 10: 1)\n"),
            std::string::npos);
  EXPECT_EQ(run({"--changes"}, 0).out.substr(0, 8), "0 von 1 ");
  // A run of other rules than the filing's is compared under the filing's,
  // and says so.
  std::vector<std::string> exact = quarter;
  exact.insert(exact.end(), {"--classify", "exact"});
  EXPECT_NE(run(exact, 0).out.find(
                "\nAbgegeben am 02.05.2024 (Zuordnung einfach) \xE2\x80\x93 unver\xC3\xA4ndert\n"),
            std::string::npos);
}

// --overview takes the classification: under "exact" the Swiss order is
// field 43, a column of its own; the default output has none.
TEST_F(ReportTest, OverviewFollowsTheClassification) {
  BuildQuarter({}, [](testdb::PelmoraDb& b) {
    b.Add(testdb::Customer{.id = 3, .name = "Teehaus", .land = "CH"});
    b.Add(testdb::Order{.id = 9, .besitzerindex = 3, .termin = EncodeDate(2024, 2, 7),
                        .bezahltam = EncodeDate(2024, 2, 8), .bezeichnung = "Export"});
    b.Add(testdb::Line{.auftragindex = 9, .anzahl = 1.0, .preis = 80.0});
  });
  const std::vector<std::string> overview = {"--db", db_, "--overview", "2024"};
  std::vector<std::string> exactOverview = overview;
  exactOverview.insert(exactOverview.end(), {"--classify", "exact"});
  const Result simple = Run(overview);
  const Result exact = Run(exactOverview);
  ASSERT_EQ(exact.status, 0) << exact.err;
  EXPECT_EQ(simple.out.find("Kz 43"), std::string::npos);
  EXPECT_EQ(simple.out.find("genau"), std::string::npos);
  EXPECT_NE(exact.out.find("(Zahlungsdatum, Zuordnung genau)\n"), std::string::npos) << exact.out;
  const size_t february = exact.out.find("\nFebruar ");
  ASSERT_NE(february, std::string::npos) << exact.out;
  const std::string row =
      exact.out.substr(february + 1, exact.out.find('\n', february + 1) - february - 1);
  EXPECT_TRUE(row.ends_with("  80,00")) << row;
}

// The record of a filing names the period, the figures as typed into the
// portal, the ticket and every entry, as text a PDF reader extracts.
TEST_F(ReportTest, RecordOfAFilingIsAReadablePdf) {
  BuildQuarter();
  const std::string ledger = (dir_ / "vorlex" / "vorlex.db").string();
  const std::string pdf = (dir_ / "abgabe.pdf").string();
  std::vector<std::string> args = {"--db", db_, "--ledger", ledger, "--quarter", "2024-Q1",
                                   "--record", pdf};
  EXPECT_EQ(Run(args).status, 2);  // a record is of a filing
  args.insert(args.end(), {"--mark-filed", "--filed-on", "2024-04-10", "--ticket", "et-42"});
  const Result r = Run(args);
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(ReadBytes(pdf).substr(0, 5), "%PDF-");

  QProcess extract;
  extract.start(QStringLiteral("pdftotext"),
                {QStringLiteral("-layout"), QString::fromStdString(pdf), QStringLiteral("-")});
  if (!extract.waitForStarted()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  ASSERT_TRUE(extract.waitForFinished(30000));
  const std::string text = extract.readAllStandardOutput().toStdString();
  for (const char* expected :
       {"Umsatzsteuer-Voranmeldung 2024-Q1", "01.01.2024 bis 31.03.2024", "Ist", "einfach",
        "10.04.2024", "et-42", "Eintr\xC3\xA4ge (3)", "Regal", "M\xC3\xBCller", "1234,50",
        "Kassenbuch Porto", "Kassenbuch Bar|verkauf"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " not in\n" << text;
  }
  // The turnovers in whole euros as the portal takes them, the taxes in cents.
  for (const char* figure :
       {"Kz 81 +1234\n", "Kz 86 +10\n", "Kz 66 +19,00\n", "Kz 83 +216,16\n"}) {
    EXPECT_TRUE(std::regex_search(text, std::regex(figure))) << figure << " not in\n" << text;
  }
  // The fingerprint: four groups of four hexadecimal digits.
  const size_t at = text.find("Eintr\xC3\xA4ge ", text.find("Pr\xC3\xBC" "fsumme"));
  ASSERT_NE(at, std::string::npos) << text;
  const std::string tail = text.substr(at);
  const std::regex fingerprint("[0-9a-f]{4} [0-9a-f]{4} [0-9a-f]{4} [0-9a-f]{4}");
  EXPECT_TRUE(std::regex_search(tail, fingerprint)) << tail;
}

// A ledger that is no ledger: the run still shows its figures, says why
// nothing is compared or filed, and leaves the file as it was.
TEST_F(ReportTest, DamagedLedgerIsKeptAndTheFiguresStand) {
  BuildQuarter();
  fs::create_directory(dir_ / "vorlex");
  const std::string ledger = (dir_ / "vorlex" / "vorlex.db").string();
  std::ofstream(ledger, std::ios::binary) << "keine Datenbank\n";
  const std::string before = ReadBytes(ledger);
  for (const bool mark : {false, true}) {
    std::vector<std::string> args = {"--db", db_, "--ledger", ledger, "--quarter", "2024-Q1"};
    if (mark) args.push_back("--mark-filed");
    const Result r = Run(args);
    EXPECT_EQ(r.status, mark ? 1 : 0) << r.err;
    EXPECT_NE(r.out.find("Kz 83: 216,16\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(ledger), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("unver\xC3\xA4ndert"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(ledger), before);
  }
  // Nor is a ledger kept beside Pelmora's database.
  const Result beside =
      Run({"--db", db_, "--ledger", (dir_ / "l.db").string(), "--quarter", "2024-Q1", "--mark-filed"});
  EXPECT_EQ(beside.status, 1);
  EXPECT_NE(beside.err.find("Pelmoras Ordner"), std::string::npos) << beside.err;
  EXPECT_FALSE(fs::exists(dir_ / "l.db"));
  // --changes refuses it as well, even one that is there.
  std::ofstream(dir_ / "l.db", std::ios::binary) << "";
  const Result changes = Run({"--db", db_, "--ledger", (dir_ / "l.db").string(), "--changes"});
  EXPECT_EQ(changes.status, 1);
  EXPECT_NE(changes.err.find("Pelmoras Ordner"), std::string::npos) << changes.err;
  EXPECT_EQ(changes.out, "");
}

// A filing is the trader's: a database moved elsewhere keeps its filings, and
// another trader's database in its old place does not take them.
TEST_F(ReportTest, FilingsFollowTheTradersVatId) {
  BuildQuarter({}, [](testdb::PelmoraDb& b) { b.SetVatId("DE123456789"); });
  const std::string ledger = (dir_ / "vorlex" / "vorlex.db").string();
  const auto run = [&](const std::string& db, std::vector<std::string> args) {
    args.insert(args.end(), {"--db", db, "--ledger", ledger});
    return Run(args);
  };
  ASSERT_EQ(run(db_, {"--quarter", "2024-Q1", "--mark-filed", "--filed-on", "2024-04-10"}).status,
            0);
  fs::create_directory(dir_ / "neu");
  const std::string moved = (dir_ / "neu" / "pelmora.db").string();
  fs::copy_file(db_, moved);
  EXPECT_NE(run(moved, {"--quarter", "2024-Q1"})
                .out.find("\nAbgegeben am 10.04.2024 \xE2\x80\x93 unver\xC3\xA4ndert\n"),
            std::string::npos);
  EXPECT_EQ(run(moved, {"--changes"}).out.substr(0, 8), "0 von 1 ");

  BuildQuarter({}, [](testdb::PelmoraDb& b) { b.SetVatId("ATU12345678"); });
  EXPECT_EQ(run(db_, {"--quarter", "2024-Q1"}).out.find("Abgegeben"), std::string::npos);
  EXPECT_EQ(run(db_, {"--changes"}).out.substr(0, 8), "0 von 0 ");
}

// A filed quarter's EC sales list that changed since: --zm writes the list as
// it is now and gives the rows the portal's correction (Kz 03) takes.
TEST_F(ReportTest, EcSalesListOfAChangedFiledPeriodGivesTheCorrection) {
  const auto build = [&](double paris, bool madrid) {
    BuildQuarter({}, [&](testdb::PelmoraDb& b) {
      b.Add(testdb::Customer{.id = 3, .name = "Paris", .land = "F", .ust_id = "FR40303265045"});
      b.Add(testdb::Customer{.id = 4, .name = "Madrid", .land = "E", .ust_id = "ESB86212420"});
      b.Add(testdb::Order{.id = 3, .besitzerindex = 3, .termin = EncodeDate(2024, 4, 10),
                          .bezahltam = EncodeDate(2024, 4, 12), .bezeichnung = "Paris",
                          .mwst = 0.0});
      b.Add(testdb::Line{.auftragindex = 3, .anzahl = 1.0, .preis = paris, .mwst = 0.0});
      if (!madrid) return;
      b.Add(testdb::Order{.id = 4, .besitzerindex = 4, .termin = EncodeDate(2024, 5, 10),
                          .bezahltam = EncodeDate(2024, 5, 12), .bezeichnung = "Madrid",
                          .mwst = 0.0});
      b.Add(testdb::Line{.auftragindex = 4, .anzahl = 1.0, .preis = 200.0, .mwst = 0.0});
    });
  };
  const std::string ledger = (dir_ / "vorlex" / "vorlex.db").string();
  const std::string zm = (dir_ / "zm.csv").string();
  const auto run = [&](std::vector<std::string> more) {
    std::vector<std::string> args = {"--db", db_, "--ledger", ledger, "--quarter", "2024-Q2",
                                     "--classify", "exact", "--zm", zm};
    args.insert(args.end(), more.begin(), more.end());
    Result r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return r;
  };
  build(100, true);
  run({"--mark-filed", "--filed-on", "2024-07-10"});
  const char* heading = "Berichtigte Zusammenfassende Meldung (Kz 03)";
  EXPECT_EQ(run({}).out.find(heading), std::string::npos);

  build(150, false);
  const Result r = run({});
  EXPECT_NE(r.out.find(std::string("\n") + heading +
                       ", nur die ge\xC3\xA4nderten Zeilen:\n"
                       "  ESB86212420,0,L (abgegeben 200, entf\xC3\xA4llt)\n"
                       "  FR40303265045,150,L (abgegeben 100)\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(ReadBytes(zm), "#v3.0\r\nUmsatzsteuer-Identifikationsnummer (USt-IdNr.),Summe (Euro),"
                           "Art der Leistung\r\nFR40303265045,150,L\r\n");
  const QJsonArray rows =
      QJsonDocument::fromJson(QByteArray::fromStdString(run({"--format", "json"}).out))
          .object()["filing"]
          .toObject()["ecSalesCorrection"]
          .toArray();
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[0].toObject()["vatId"].toString(), "ESB86212420");
  EXPECT_EQ(rows[0].toObject()["euros"].toInt(), 0);
  EXPECT_EQ(rows[1].toObject()["filedEuros"].toInt(), 100);
  EXPECT_EQ(rows[1].toObject()["kind"].toString(), "L");
}

}  // namespace
}  // namespace vorlex
