// Pelmora's settings file in every shape a user may meet: both front ends find
// the database by the same rules, or fail with the open error naming the full
// path they tried.
#include <string>
#include <vector>

#include "tests/MayData.h"
#include "tests/reliability/Harness.h"

namespace vorlex::testing {
namespace {

class SettingsFaultTest : public FaultTest {
 protected:
  void MakeDatabase(const std::string& folder) {
    fs::create_directories(PelmoraDir() + folder);
    testdb::PelmoraDb db(PelmoraDir() + folder + "/vorlex.db");
    FillMay(db);
    AddMayFaultEntries(db);
  }
  std::string Ini() const { return PelmoraDir() + "pelmora.ini"; }
};

TEST_F(SettingsFaultTest, FilesThatNameTheDatabase) {
  struct Row {
    const char* name;
    std::string bytes;
  };
  const Row rows[] = {
      {"CR LF", "[Allgemein]\r\ndb_pfad=Daten\r\ndb_name=vorlex.db\r\n"},
      {"LF", "[Allgemein]\ndb_pfad=Daten\ndb_name=vorlex.db\n"},
      {"byte-order mark", "\xEF\xBB\xBF[Allgemein]\r\ndb_pfad=Daten\r\ndb_name=vorlex.db\r\n"},
      {"no line end at the end", "[Allgemein]\r\ndb_pfad=Daten\r\ndb_name=vorlex.db"},
      {"comments and other sections",
       "; Pelmora\r\n[Fenster]\r\ndb_name=falsch.db\r\n# Pfade\r\n[Allgemein]\r\n; "
       "db_pfad=Alt\r\ndb_pfad=Daten\r\ndb_name=vorlex.db\r\n"},
      {"quotes and blanks", "[Allgemein]\r\ndb_pfad = \"Daten\" \r\ndb_name= 'vorlex.db'\r\n"},
      {"names in other case", "[ALLGEMEIN]\r\nDB_Pfad=Daten\r\nDb_Name=vorlex.db\r\n"},
      {"Windows separators", "[Allgemein]\r\ndb_pfad=.\\Daten\\\r\ndb_name=vorlex.db\r\n"},
      {"Windows-1252 folder name", "[Allgemein]\r\ndb_pfad=D\xE4ten\r\ndb_name=vorlex.db\r\n"},
  };
  MakeDatabase("Daten");
  MakeDatabase("D\xE4ten");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteBytes(Ini(), row.bytes);
    const std::string out = ExpectBothWork();
    EXPECT_NE(out.find("|   Regale   |   Meier   |   100,00   |   119,00"), std::string::npos);
    form.reset();
    Database.reset();
  }
}

TEST_F(SettingsFaultTest, FilesThatDoNotNameADatabase) {
  MakeDatabase("Daten");
  const std::string pelmora = PelmoraDir();
  const std::string longFolder = "/" + std::string(1999, 'a');
  const std::string longName(2000, 'n');
  struct Row {
    const char* name;
    std::string bytes;  // "-": no settings file
    std::string path;   // the path tried, as the terminal shows it
    bool asNobody = false;
  };
  const Row rows[] = {
      {"no settings file", "-", pelmora},
      {"empty file", "", pelmora},
      {"no section", "db_pfad=Daten\r\ndb_name=vorlex.db\r\n", pelmora},
      {"another section", "[Pelmora]\r\ndb_pfad=Daten\r\ndb_name=vorlex.db\r\n", pelmora},
      {"no keys", "[Allgemein]\r\nsprache=de\r\n", pelmora},
      {"blank values", "[Allgemein]\r\ndb_pfad=   \r\ndb_name=\r\n", pelmora},
      {"no name", "[Allgemein]\r\ndb_pfad=Daten\r\n", pelmora + "Daten/"},
      {"folder of 2000 characters",
       "[Allgemein]\r\ndb_pfad=" + longFolder + "\r\ndb_name=vorlex.db\r\n",
       longFolder.substr(0, 1023) + "/vorlex.db"},
      {"name of 2000 characters", "[Allgemein]\r\ndb_pfad=Daten\r\ndb_name=" + longName + "\r\n",
       pelmora + "Daten/" + longName.substr(0, 1023)},
      {"Windows-1252 folder that is missing",
       "[Allgemein]\r\ndb_pfad=M\xFCll\r\ndb_name=vorlex.db\r\n",
       pelmora + "M\xC3\xBCll/vorlex.db"},
      {"random bytes", std::string("\x00\xFF\x13[\x80=\n\x01]", 9) + std::string(300, '\x9C'),
       pelmora},
      {"unreadable", "[Allgemein]\r\ndb_pfad=Daten\r\ndb_name=vorlex.db\r\n", pelmora, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(Ini());
    if (row.bytes != "-") WriteBytes(Ini(), row.bytes);
    if (row.asNobody) fs::permissions(Ini(), fs::perms::none);
    ExpectBothFail("Failed to open database \"" + row.path + "\" : ", "", row.asNobody);
  }

  // A folder where the settings file should be.
  fs::remove_all(Ini());
  fs::create_directories(Ini());
  ExpectBothFail("Failed to open database \"" + pelmora + "\" : ");
}

}  // namespace
}  // namespace vorlex::testing
