#include "util/WholeFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "tests/ScratchFolder.h"
#include "util/Platform.h"

namespace vorlex {
namespace {

namespace fs = std::filesystem;

class WholeFileTest : public ::testing::Test {
 protected:
  std::string File(const std::string& name) const { return folder_.File(name); }
  static std::string Read(const std::string& file) {
    return testing::ReadBytes(PathFromText(file));
  }
  int Entries() const {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_)) ++n;
    return n;
  }

  testing::ScratchFolder folder_{"vorlex-wholefile"};
  const fs::path& dir_ = folder_.Path();
};

TEST_F(WholeFileTest, ReplacesAgainAndAgainUnderAnUmlautName) {
  const std::string file = File("\xC3\x9C" "bersicht M\xC3\xA4rz.csv");
  EXPECT_EQ(SaveWholeFile(file, "eins\r\n"), SaveOutcome::Saved);
  EXPECT_EQ(SaveWholeFile(file, "zwei\r\n"), SaveOutcome::Saved);
  EXPECT_EQ(SaveWholeFile(file, "drei\r\n"), SaveOutcome::Saved);
  EXPECT_EQ(Read(file), "drei\r\n");  // bytes as given: no line ends changed
  EXPECT_EQ(Entries(), 1);            // no fresh file left beside it
}

TEST_F(WholeFileTest, WhatCannotBeReplacedStaysWhole) {
  fs::create_directory(dir_ / "Ordner");
  EXPECT_EQ(SaveWholeFile(File("Ordner"), "x"), SaveOutcome::CannotCreate);
  errno = 0;
  EXPECT_EQ(SaveWholeFile(File("fehlt") + kPathSeparator + "a.csv", "x"),
            SaveOutcome::CannotCreate);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(Entries(), 1);
}

TEST_F(WholeFileTest, PiecesMadeAsWrittenAreWholeOrNothing) {
  const std::string file = File("liste.csv");
  const std::vector<std::string> parts = {"eins\r\n", std::string(100000, 'z'), "drei\r\n"};
  size_t next = 0;
  EXPECT_EQ(SaveWholeFile(file, [&]() -> std::string_view {
              return next < parts.size() ? std::string_view(parts[next++]) : std::string_view();
            }),
            SaveOutcome::Saved);
  EXPECT_EQ(Read(file), parts[0] + parts[1] + parts[2]);
  // A piece that cannot be made on the way leaves the file as it was.
  next = 0;
  EXPECT_EQ(SaveWholeFile(file, [&]() -> std::string_view {
              if (next == 2) throw std::bad_alloc();
              return parts[next++];
            }),
            SaveOutcome::WriteFailed);
  EXPECT_EQ(Read(file), parts[0] + parts[1] + parts[2]);
  EXPECT_EQ(Entries(), 1);
}

TEST_F(WholeFileTest, AReadOnlyFileIsNotReplaced) {
  // root may write into read-only files on POSIX systems.
  if (!testing::kWindows) GTEST_SKIP() << "Windows only: read-only attribute";
  const std::string file = File("alt.csv");
  ASSERT_EQ(SaveWholeFile(file, "alter Inhalt"), SaveOutcome::Saved);
  fs::permissions(PathFromText(file), fs::perms::owner_write | fs::perms::group_write |
                                          fs::perms::others_write,
                  fs::perm_options::remove);
  errno = 0;
  EXPECT_EQ(SaveWholeFile(file, "neu"), SaveOutcome::CannotCreate);
  EXPECT_EQ(errno, EACCES);  // the reason the message gives
  EXPECT_EQ(Read(file), "alter Inhalt");
  EXPECT_EQ(Entries(), 1);
}

}  // namespace
}  // namespace vorlex
