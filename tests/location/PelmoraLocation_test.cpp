#include "location/PelmoraLocation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "tests/ScratchFolder.h"
#include "util/Platform.h"

namespace vorlex {
namespace {

namespace fs = std::filesystem;

// A scratch application-data folder: <tmp>/appdata/Pelmora/pelmora.ini.
class LocationTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(pelmora_); }

  std::string AppDataDir() const { return PathText(pelmora_) + kPathSeparator; }
  std::string Ini() const { return (pelmora_ / kSettingsFileName).string(); }
  void WriteIni(const std::string& bytes) const { std::ofstream(Ini(), std::ios::binary) << bytes; }
  DatabaseLocation Read() const { return ReadDatabaseLocation(Ini(), AppDataDir()); }

  testing::ScratchFolder folder_{"vorlex-location"};
  const fs::path& root_ = folder_.Path();
  const fs::path pelmora_ = root_ / "appdata" / "Pelmora";
};

TEST_F(LocationTest, FolderRules) {
  VORLEX_POSIX_ONLY("POSIX folder names");
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
      {"no inline comments", "[Allgemein]\ndb_name=a.db ; alt\n", appData, "a.db ; alt"},
      {"colon separates too", "[Allgemein]\ndb_name : a.db\n", appData, "a.db"},
      {"a comment inside the brackets spoils the section",
       "[Allgemein ;x]\ndb_name=a.db\n", appData, ""},
      {"a comment before the separator spoils the key", "[Allgemein]\ndb_name ;x=a.db\n",
       appData, ""},
      {"blanks inside the brackets stay", "[ Allgemein ]\ndb_name=a.db\n", appData, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove(Ini());
    if (row.ini) WriteIni(*row.ini);
    const DatabaseLocation location = Read();
    EXPECT_EQ(location.DbFolder, NativeSeparators(row.expectedFolder));
    EXPECT_EQ(location.DbName, row.expectedName);
  }
}

TEST_F(LocationTest, UmlautsAreBytesOnPosixSystems) {
  VORLEX_POSIX_ONLY("file names as bytes");
  WriteIni("[Allgemein]\ndb_pfad=/B\xFCro\ndb_name=R\xC3\xA4ume.db\n");
  EXPECT_EQ(Read().DbFolder, "/B\xFCro/");
  EXPECT_EQ(Read().DbName, "R\xC3\xA4ume.db");
}

TEST_F(LocationTest, WindowsDrivesSharesAndWindows1252Names) {
  if (!testing::kWindows) GTEST_SKIP() << "Windows only";
  const std::string appData = AppDataDir();
  const std::string parent = PathText(root_ / "appdata") + "\\";
  struct Row {
    const char* name;
    std::string dbPfad;
    std::string expectedFolder;
  };
  const Row rows[] = {
      {"drive letter", "C:\\Daten", "C:\\Daten\\"},
      {"drive letter with slashes", "d:/Daten/2024/", "d:\\Daten\\2024\\"},
      {"server share", "\\\\server\\freigabe\\Pelmora", "\\\\server\\freigabe\\Pelmora\\"},
      {"root of the current drive", "\\Daten", "\\Daten\\"},
      {"relative, one separator kind", "..\\Daten", parent + "Daten\\"},
      {"relative Windows-1252 name", "B\xFCro", appData + "B\xC3\xBCro\\"},
      {"UTF-8 name stays", "B\xC3\xBCro", appData + "B\xC3\xBCro\\"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteIni("[Allgemein]\ndb_pfad=" + row.dbPfad + "\ndb_name=R\xE4ume.db\n");
    const DatabaseLocation location = Read();
    EXPECT_EQ(location.DbFolder, row.expectedFolder);
    EXPECT_EQ(location.DbName, "R\xC3\xA4ume.db");
  }
}

TEST_F(LocationTest, LongValuesAreReadWholeUpTo1023Characters) {
  const std::string folder = "/" + std::string(600, 'd');
  for (std::size_t length : {199u, 200u, 201u, 1022u, 1023u, 1024u, 3000u}) {
    SCOPED_TRACE(length);
    const std::string name(length, 'n');
    WriteIni("[Allgemein]\ndb_pfad = " + folder + " \ndb_name=" + name + "\nx=1\n");
    const DatabaseLocation location = Read();
    EXPECT_EQ(location.DbFolder, NativeSeparators(folder + "/"));
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
  EXPECT_EQ(location.DbFolder, PathText(root_ / "appdata" / "Pelmora" / "Daten") + kPathSeparator);
}

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const std::string old = EnvironmentValue(name); !old.empty()) old_ = old;
    testing::SetEnvironmentValue(name, value);
  }
  ~ScopedEnv() { testing::SetEnvironmentValue(name_, old_ ? old_->c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(AppDataDirTest, ChoosesTheFolderFromTheEnvironment) {
  VORLEX_POSIX_ONLY("XDG_CONFIG_HOME and HOME");
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

TEST(AppDataDirTest, OnWindowsFromAppDataElseTheKnownFolder) {
  if (!testing::kWindows) GTEST_SKIP() << "Windows only";
  {
    const ScopedEnv appData("APPDATA", "C:\\Users\\J\xC3\xBCrgen\\AppData\\Roaming");
    EXPECT_EQ(PelmoraAppDataDir(), "C:\\Users\\J\xC3\xBCrgen\\AppData\\Roaming\\Pelmora\\");
  }
  const ScopedEnv appData("APPDATA", nullptr);
  const std::string dir = PelmoraAppDataDir();
  ASSERT_GT(dir.size(), 11u);
  EXPECT_EQ(dir.substr(1, 2), ":\\") << dir;  // a drive's folder
  EXPECT_EQ(dir.substr(dir.size() - 9), "\\Pelmora\\") << dir;
}

TEST(AppDataDirTest, GetEnvVarIsEmptyWhenUnset) {
  {
    // Bytes as given on POSIX systems, UTF-8 from the system's UTF-16 on Windows.
    const char* value = testing::kWindows ? "Wert mit \xC3\xA4" : "Wert mit \xE4";
    const ScopedEnv set("VORLEX_TEST_VARIABLE", value);
    EXPECT_EQ(GetEnvVar("VORLEX_TEST_VARIABLE"), value);
  }
  const ScopedEnv unset("VORLEX_TEST_VARIABLE", nullptr);
  EXPECT_EQ(GetEnvVar("VORLEX_TEST_VARIABLE"), "");
}

}  // namespace
}  // namespace vorlex
