#include "output/ErrorText.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "db/SQLiteAccess.h"
#include "output/EcSalesExport.h"
#include "tax/FieldRead.h"
#include "tests/ScratchFolder.h"
#include "util/NumberText.h"
#include "util/WholeFile.h"

namespace vorlex {
namespace {

namespace fs = std::filesystem;

class ErrorTextTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_ / "Pelmora"); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  testing::ScratchFolder folder_{"vorlex-errortext"};
  const fs::path& dir_ = folder_.Path();
};

// Each kind of failure to its sentence; the technical message stays the detail.
TEST_F(ErrorTextTest, EachKindOfFailureHasItsSentenceAndKeepsItsMessage) {
  const std::string settings = Path("Pelmora/pelmora.ini");
  const std::string db = Path("Pelmora/vorlex.db");
  const std::string folder = Path("Pelmora/");
  std::ofstream(db) << "x";
  const auto open = [](const std::string& path, int code) {
    return ESQLiteException("Failed to open database \"" + path + "\" : reason", code, path);
  };
  struct Row {
    const char* name;
    std::function<void()> raise;
    ErrorFront front;
    std::string sentence;  // the whole sentence, or how it starts
    std::string detail = {};  // where it is not the message as raised
    bool direct = false;      // the database named by --db, no settings file
  };
  const Row rows[] = {
      {"no settings file", [&] { throw open(folder, SQLITE_CANTOPEN); }, ErrorFront::Window,
       "Die Einstellungsdatei von Pelmora wurde nicht gefunden: \"" + settings + "\"."},
      {"no database file", [&] { throw open(Path("Pelmora/fehlt.db"), SQLITE_CANTOPEN); },
       ErrorFront::Window,
       "Die Datenbank von Pelmora wurde nicht gefunden: \"" + Path("Pelmora/fehlt.db") +
           "\". Pr\xC3\xBC"
           "fen Sie in Pelmora den Datenpfad oder legen Sie die Datenbank "
           "dorthin."},
      {"a file that cannot be opened", [&] { throw open(db, SQLITE_CANTOPEN); }, ErrorFront::Window,
       "Die Datenbank von Pelmora kann nicht ge\xC3\xB6"
       "ffnet werden: \""},
      {"not a database", [&] { throw open(db, SQLITE_NOTADB); }, ErrorFront::Report,
       "Die Datei \"" + db + "\" ist keine Datenbank. Pr\xC3\xBC"
       "fen Sie in Pelmora den Namen der Datenbank (db_name)."},
      // Named by --db, the advice names that file, not Pelmora's settings.
      {"--db names a text file", [&] { throw open(db, SQLITE_NOTADB); }, ErrorFront::Report,
       "Die Datei \"" + db + "\" ist keine Datenbank. Pr\xC3\xBC"
       "fen Sie die mit --db angegebene Datei.", "", true},
      {"--db names a folder", [&] { throw open(Path("Pelmora"), SQLITE_CANTOPEN); },
       ErrorFront::Report,
       "\"" + Path("Pelmora") + "\" ist ein Ordner, keine Datenbank. Pr\xC3\xBC"
       "fen Sie die mit --db angegebene Datei.", "", true},
      {"--db names no file", [&] { throw open(Path("fehlt.db"), SQLITE_CANTOPEN); },
       ErrorFront::Report,
       "Die Datenbank von Pelmora wurde nicht gefunden: \"" + Path("fehlt.db") +
           "\". Pr\xC3\xBC" "fen Sie die mit --db angegebene Datei.", "", true},
      {"damaged",
       [] {
         throw ESQLiteException("Could not retrieve data \"SELECT 1\" : malformed", SQLITE_CORRUPT);
       },
       ErrorFront::Report,
       "Die Datenbank von Pelmora ist besch\xC3\xA4"
       "digt."},
      {"locked at the open, window", [&] { throw open(db, SQLITE_BUSY); }, ErrorFront::Window,
       "Die Datenbank ist gerade von einem anderen Programm gesperrt. Versuchen Sie es in einem "
       "Moment mit F5 erneut."},
      {"busy while reading, reporter",
       [] {
         throw ESQLiteException("Could not prepare SQL statement \"SELECT\" : SQLite is Busy",
                                SQLITE_BUSY);
       },
       ErrorFront::Report,
       "Die Datenbank ist gerade von einem anderen Programm gesperrt. Versuchen Sie es in einem "
       "Moment erneut."},
      {"table missing",
       [] {
         throw ESQLiteException(
             "Error executing SQL \"SELECT DISTINCT auftrag.*\" : no such table: auftrag");
       },
       ErrorFront::Window,
       "Die Datenbank hat nicht den Aufbau, den Pelmora anlegt (Tabelle auftrag fehlt)."},
      {"column missing",
       [] { throw ESQLiteException("Error executing SQL \"SELECT x\" : no such column: skonto"); },
       ErrorFront::Window,
       "Die Datenbank hat nicht den Aufbau, den Pelmora anlegt (Spalte skonto fehlt)."},
      {"column missing in a result",
       [] { throw ESQLiteException("Field not found in dataset: ustidnummer"); },
       ErrorFront::Window,
       "Die Datenbank hat nicht den Aufbau, den Pelmora anlegt (Spalte ustidnummer fehlt)."},
      // The program's words in Windows-1252, the database's text in UTF-8: both read right.
      {"a value that is no number",
       [] {
         RaiseConvertErrorAt(EConvertError("Typkonvertierung von Variant ung\xFCltig: \"zehn\""),
                             "betrag", CashEntryPlace("05.03.2024", "B\xC3\xBCromaterial"));
       },
       ErrorFront::Window,
       "In Pelmora steht ein Wert, der keine Zahl ist: Spalte betrag, Kassenbuch-Eintrag vom "
       "05.03.2024 \"B\xC3\xBCromaterial\". ",
       "Typkonvertierung von Variant ung\xC3\xBCltig: \"zehn\" (Spalte betrag, "
       "Kassenbuch-Eintrag vom 05.03.2024 \"B\xC3\xBCromaterial\")"},
      {"CSV folder missing",
       [] {
         throw EWriteError(SaveOutcome::CannotCreate, ENOENT, "/x/a.csv", false);
       },
       ErrorFront::Window, "/x/a.csv konnte nicht gespeichert werden: Der Ordner existiert nicht."},
      {"CSV no permission",
       [] {
         throw EWriteError(SaveOutcome::CannotCreate, EACCES, "a.csv", false);
       },
       ErrorFront::Window,
       "a.csv konnte nicht gespeichert werden: Sie d\xC3\xBC"
       "rfen dort nicht schreiben."},
      {"CSV disk full",
       [] {
         throw EWriteError(SaveOutcome::WriteFailed, ENOSPC, "a.csv", true);
       },
       ErrorFront::Report,
       "a.csv konnte nicht gespeichert werden: Der Datentr\xC3\xA4ger ist voll. Die alte Datei ist "
       "unver\xC3\xA4ndert."},
      {"CSV size limit, no old file",
       [] {
         throw EWriteError(SaveOutcome::WriteFailed, EFBIG, "a.csv", false);
       },
       ErrorFront::Report,
       "a.csv konnte nicht gespeichert werden: Die Datei w\xC3\xA4re gr\xC3\xB6\xC3\x9F"
       "er"},
      {"output closed", [] { throw EWriteError(); }, ErrorFront::Report,
       "Die Ausgabe konnte nicht vollst\xC3\xA4ndig geschrieben werden"},
      // Only the write error says so, not another error of the same words.
      {"same words, other error", [] { throw std::runtime_error("Stream-Write-Fehler"); },
       ErrorFront::Report, "Die Auswertung wurde wegen eines unerwarteten Fehlers abgebrochen."},
      {"anything else", [] { throw std::out_of_range("quarter 5"); }, ErrorFront::Window,
       "Die Auswertung wurde wegen eines unerwarteten Fehlers abgebrochen."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      row.raise();
      FAIL() << "nothing raised";
    } catch (const std::exception& error) {
      const ErrorText text = DescribeCurrentException({row.front, row.direct ? "" : settings});
      EXPECT_EQ(text.sentence.rfind(row.sentence, 0), 0u) << text.sentence;
      EXPECT_EQ(text.detail, row.detail.empty() ? error.what() : row.detail);
    }
  }
}

// What the sentence says depends on what is there: a settings file without
// db_name, a folder given directly, a CSV target that is a folder.
TEST_F(ErrorTextTest, TheSentenceLooksAtWhatIsThere) {
  const std::string settings = Path("Pelmora/pelmora.ini");
  std::ofstream(settings) << "[Allgemein]\n";
  const ESQLiteException folder("Failed to open database \"" + Path("Pelmora/") + "\" : x",
                                SQLITE_CANTOPEN, Path("Pelmora/"));
  EXPECT_EQ(
      DescribeError(folder, {ErrorFront::Window, settings})
          .sentence.rfind(
              "In der Einstellungsdatei von Pelmora \"" + settings + "\" ist keine Datenbank", 0),
      0u);
  EXPECT_EQ(DescribeError(folder, {ErrorFront::Report, ""})
                .sentence.rfind("Es ist nur ein Ordner angegeben, keine Datenbankdatei", 0),
            0u);
  // A refused EC sales list says what to correct itself, and has no detail.
  const ErrorText refused = DescribeError(EEcSalesRefused("Bitte korrigieren: A"), {});
  EXPECT_EQ(refused.sentence, "Bitte korrigieren: A");
  EXPECT_EQ(refused.detail, "");
  try {
    WriteWholeFile(dir_.string(), "a\r\n", "Ordner");
    FAIL();
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.what(), std::string("Datei Ordner kann nicht erstellt werden"));
    EXPECT_NE(DescribeError(e, {}).sentence.find("liegt ein Ordner"), std::string::npos);
  }
}

}  // namespace
}  // namespace vorlex
