#include "location/uLocation.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace vorlex {
namespace {

namespace fs = std::filesystem;

// A scratch application-data folder: <tmp>/appdata/Pelmora/pelmora.ini.
class LocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("vorlex-location-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    pelmora_ = root_ / "appdata" / "Pelmora";
    fs::create_directories(pelmora_);
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string AppDataDir() const { return pelmora_.string() + "/"; }
  std::string Ini() const { return (pelmora_ / kSettingsFileName).string(); }
  void WriteIni(const std::string& bytes) const { std::ofstream(Ini(), std::ios::binary) << bytes; }
  DatabaseLocation Read() const { return ReadDatabaseLocation(Ini(), AppDataDir()); }

  fs::path root_;
  fs::path pelmora_;
};

TEST_F(LocationTest, FolderRules) {
  const std::string appData = AppDataDir();
  const std::string parent = (root_ / "appdata").string();
  struct Row {
    const char* name;
    std::string dbPfad;
    std::string expectedFolder;
  };
  const Row rows[] = {
      {"blank means Pelmora's folder", "", appData},
      {"blanks only", "   \t ", appData},
      {"quoted blanks", "\"   \"", appData},
      {"single full stop is the settings folder", ".", appData},
      {"two full stops are its parent", "..", parent + "/"},
      {"relative with full stop", "../Daten", parent + "/Daten/"},
      {"relative without full stop", "Daten", appData + "Daten/"},
      {"relative with inner full stops", "Daten/./alt/../neu", appData + "Daten/neu/"},
      {"absolute with full stop stays absolute", "/srv/Daten.alt", "/srv/Daten.alt/"},
      {"absolute keeps its trailing separator", "/srv/Daten/", "/srv/Daten/"},
      {"absolute is not normalised", "/srv/a/../b", "/srv/a/../b/"},
      {"backslashes are separators", "..\\Daten\\2024", parent + "/Daten/2024/"},
      {"backslash absolute", "\\srv\\Daten", "/srv/Daten/"},
      {"one pair of quotes removed", "\"/srv/Meine Daten\"", "/srv/Meine Daten/"},
      {"single quotes removed", "'Daten'", appData + "Daten/"},
      {"only one pair of quotes removed", "\"\"x\"\"", appData + "\"x\"/"},
      {"unbalanced quote kept", "\"Daten", appData + "\"Daten/"},
      {"a Windows drive is no absolute path here", "C:\\Daten", appData + "C:/Daten/"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteIni("[Allgemein]\ndb_pfad=" + row.dbPfad + "\ndb_name=pelmora.db\n");
    const DatabaseLocation location = Read();
    EXPECT_EQ(location.DbFolder, row.expectedFolder);
    EXPECT_EQ(location.DbName, "pelmora.db");
    EXPECT_EQ(location.Path(), row.expectedFolder + "pelmora.db");
  }
}

TEST_F(LocationTest, ReadingTheSettingsFile) {
  const std::string appData = AppDataDir();
  struct Row {
    const char* name;
    std::optional<std::string> ini;  // no file when empty
    std::string expectedFolder;
    std::string expectedName;
  };
  const Row rows[] = {
      {"no settings file", std::nullopt, appData, ""},
      {"empty settings file", "", appData, ""},
      {"other section only", "[Sonstiges]\ndb_pfad=/x\ndb_name=a.db\n", appData, ""},
      {"name missing", "[Allgemein]\ndb_pfad=/x\n", "/x/", ""},
      {"folder missing", "[Allgemein]\ndb_name=a.db\n", appData, "a.db"},
      {"section and keys in any case", "[ALLGEMEIN]\nDB_PFAD=/x\nDb_Name=a.db\n", "/x/", "a.db"},
      {"blanks around values removed", "[Allgemein]\ndb_pfad =   /x  \ndb_name =  a.db \n", "/x/",
       "a.db"},
      {"quotes keep inner blanks", "[Allgemein]\ndb_name=\" a.db \"\n", appData, " a.db "},
      {"Windows line ends", "[Allgemein]\r\ndb_pfad=/x\r\ndb_name=a.db\r\n", "/x/", "a.db"},
      {"byte-order mark", "\xEF\xBB\xBF[Allgemein]\ndb_name=a.db\n", appData, "a.db"},
      {"indented keys are keys", "[Allgemein]\n  db_pfad=/x\n  db_name=a.db\n", "/x/", "a.db"},
      {"first occurrence counts", "[Allgemein]\ndb_name=a.db\ndb_name=b.db\n", appData, "a.db"},
      {"first section counts", "[Allgemein]\ndb_name=a.db\n[Allgemein]\ndb_name=b.db\n", appData,
       "a.db"},
      {"comments and other keys", "; Pelmora\n[Allgemein]\n# x\nsprache=de\ndb_name=a.db\n",
       appData, "a.db"},
      {"a line without a key is skipped", "[Allgemein]\nUnsinn\ndb_name=a.db\n", appData, "a.db"},
      {"umlauts are bytes", "[Allgemein]\ndb_pfad=/B\xFCro\ndb_name=R\xC3\xA4ume.db\n", "/B\xFCro/",
       "R\xC3\xA4ume.db"},
      {"no inline comments", "[Allgemein]\ndb_name=a.db ; alt\n", appData, "a.db ; alt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove(Ini());
    if (row.ini) WriteIni(*row.ini);
    const DatabaseLocation location = Read();
    EXPECT_EQ(location.DbFolder, row.expectedFolder);
    EXPECT_EQ(location.DbName, row.expectedName);
  }
}

TEST_F(LocationTest, LongValuesAreReadWholeUpTo1023Characters) {
  const std::string folder = "/" + std::string(600, 'd');
  for (std::size_t length : {199u, 200u, 201u, 1022u, 1023u, 1024u, 3000u}) {
    SCOPED_TRACE(length);
    const std::string name(length, 'n');
    WriteIni("[Allgemein]\ndb_pfad = " + folder + " \ndb_name=" + name + "\nx=1\n");
    const DatabaseLocation location = Read();
    EXPECT_EQ(location.DbFolder, folder + "/");
    EXPECT_EQ(location.DbName, name.substr(0, 1023));
  }
  WriteIni("[Allgemein]\ndb_name=\"" + std::string(400, ' ') + "a.db ; b\"\n");
  EXPECT_EQ(Read().DbName, std::string(400, ' ') + "a.db ; b");
}

TEST_F(LocationTest, RelativeSettingsFilePathIsMadeAbsolute) {
  WriteIni("[Allgemein]\ndb_pfad=Daten\ndb_name=a.db\n");
  const fs::path before = fs::current_path();
  fs::current_path(root_);
  const DatabaseLocation location =
      ReadDatabaseLocation("appdata/Pelmora/pelmora.ini", "appdata/Pelmora/");
  fs::current_path(before);
  EXPECT_EQ(location.DbFolder, (root_ / "appdata/Pelmora/Daten/").string());
}

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = ::getenv(name)) old_ = old;
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(AppDataDirTest, ChoosesTheFolderFromTheEnvironment) {
  struct Row {
    const char* name;
    const char* appData;
    const char* xdg;
    const char* home;
    const char* expected;
  };
  const Row rows[] = {
      {"APPDATA wins", "/win/AppData/Roaming", "/xdg", "/home/u", "/win/AppData/Roaming/Pelmora/"},
      {"APPDATA with separator", "/win/", "/xdg", "/home/u", "/win/Pelmora/"},
      {"XDG_CONFIG_HOME next", nullptr, "/xdg/conf", "/home/u", "/xdg/conf/Pelmora/"},
      {"empty APPDATA counts as unset", "", "/xdg", "/home/u", "/xdg/Pelmora/"},
      {"HOME last", nullptr, nullptr, "/home/u", "/home/u/.config/Pelmora/"},
      {"relative XDG_CONFIG_HOME is ignored", nullptr, "conf", "/home/u",
       "/home/u/.config/Pelmora/"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ScopedEnv appData("APPDATA", row.appData);
    const ScopedEnv xdg("XDG_CONFIG_HOME", row.xdg);
    const ScopedEnv home("HOME", row.home);
    EXPECT_EQ(PelmoraAppDataDir(), row.expected);
  }
}

TEST(AppDataDirTest, GetEnvVarIsEmptyWhenUnset) {
  {
    const ScopedEnv set("VORLEX_TEST_VARIABLE", "Wert mit \xE4");
    EXPECT_EQ(GetEnvVar("VORLEX_TEST_VARIABLE"), "Wert mit \xE4");
  }
  const ScopedEnv unset("VORLEX_TEST_VARIABLE", nullptr);
  EXPECT_EQ(GetEnvVar("VORLEX_TEST_VARIABLE"), "");
}

}  // namespace
}  // namespace vorlex
