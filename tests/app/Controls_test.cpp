#include "app/Controls.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QToolButton>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "TestPlatform.h"
#include "app/version_U.h"

namespace vorlex {
namespace {

TEST(UpDown, PressesMoveWithinTheRangeAndReportOnlyMoves) {
  struct Row {
    const char* name;
    int position;
    bool wrap;
    UpDownButton button;
    int expectedPosition;
    bool reported;
  };
  const Row rows[] = {
      {"next inside", 85, false, UpDownButton::Next, 86, true},
      {"previous inside", 85, false, UpDownButton::Previous, 84, true},
      {"next at the top end", 100, false, UpDownButton::Next, 100, false},
      {"previous at the bottom end", 0, false, UpDownButton::Previous, 0, false},
      {"next to the end", 99, false, UpDownButton::Next, 100, true},
      {"wrapping next", 100, true, UpDownButton::Next, 0, true},
      {"wrapping previous", 0, true, UpDownButton::Previous, 100, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TUpDown upDown(nullptr);
    upDown.SetRange(0, 100);
    upDown.SetWrap(row.wrap);
    upDown.SetPosition(row.position);
    std::vector<UpDownButton> reports;
    QObject::connect(&upDown, &TUpDown::Click, [&](UpDownButton b) { reports.push_back(b); });
    upDown.Press(row.button);
    EXPECT_EQ(upDown.Position(), row.expectedPosition);
    ASSERT_EQ(reports.size(), row.reported ? 1u : 0u);
    if (row.reported) {
      EXPECT_EQ(reports[0], row.button);
    }
  }
}

TEST(UpDown, ButtonsArePreviousLeftAndNextRight) {
  TUpDown upDown(nullptr);
  upDown.SetRange(0, 100);
  upDown.SetPosition(50);
  upDown.resize(37, 21);
  upDown.show();
  EXPECT_LT(upDown.PrevButton()->x(), upDown.NextButton()->x());
  EXPECT_EQ(upDown.PrevButton()->width() + upDown.NextButton()->width(), 37);
  std::vector<UpDownButton> reports;
  QObject::connect(&upDown, &TUpDown::Click, [&](UpDownButton b) { reports.push_back(b); });
  QTest::mouseClick(upDown.NextButton(), Qt::LeftButton);
  QTest::mouseClick(upDown.NextButton(), Qt::LeftButton);
  QTest::mouseClick(upDown.PrevButton(), Qt::LeftButton);
  EXPECT_EQ(reports,
            (std::vector<UpDownButton>{UpDownButton::Next, UpDownButton::Next,
                                       UpDownButton::Previous}));
  EXPECT_EQ(upDown.Position(), 51);
}

TEST(RadioGroup, ClickOnlyWhenTheChosenItemChanges) {
  TRadioGroup group(QStringLiteral("Versteuerung"), {QStringLiteral("Ist"), QStringLiteral("Soll")},
                    nullptr);
  group.resize(93, 57);
  group.show();
  int clicks = 0;
  QObject::connect(&group, &TRadioGroup::Click, [&] { ++clicks; });
  EXPECT_EQ(group.ItemIndex(), -1);
  group.SetItemIndex(0);  // chosen by the program: raised as well
  EXPECT_EQ(clicks, 1);
  QTest::mouseClick(group.Button(0), Qt::LeftButton);  // already chosen
  EXPECT_EQ(clicks, 1);
  QTest::mouseClick(group.Button(1), Qt::LeftButton);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(group.ItemIndex(), 1);
  EXPECT_FALSE(group.Button(0)->isChecked());
  // The items stand one below the other inside the group.
  EXPECT_LT(group.Button(0)->geometry().bottom(), group.Button(1)->geometry().top() + 1);
  EXPECT_LE(group.Button(1)->geometry().bottom(), group.height());
}

TEST(Version, FourNumbersOfTheBuildsVersion) {
  struct Row {
    const char* text;
    FileVersion expected;
  };
  const Row rows[] = {
      {"1.0.0.2", {1, 0, 0, 2}}, {"2.13.7.65535", {2, 13, 7, 65535}},
      {"3.4", {3, 4, 0, 0}},     {"", {0, 0, 0, 0}},
      {"x.1", {0, 0, 0, 0}},     {"70000.1", {0, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const FileVersion v = ParseFileVersion(row.text);
    EXPECT_EQ(v.major, row.expected.major);
    EXPECT_EQ(v.minor, row.expected.minor);
    EXPECT_EQ(v.release, row.expected.release);
    EXPECT_EQ(v.build, row.expected.build);
  }
  EXPECT_EQ(ProgramVersion(), "1.0.0.2");
}

#ifdef _WIN32
// A text of a program file's version resource (German, Unicode), as UTF-8.
std::string VersionText(const std::string& file, const std::string& name) {
  const std::wstring path = PathFromText(file).native();
  DWORD ignored = 0;
  std::vector<unsigned char> info(GetFileVersionInfoSizeW(path.c_str(), &ignored));
  wchar_t* text = nullptr;
  UINT length = 0;
  if (info.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()),
                                           info.data()) ||
      !VerQueryValueW(info.data(), PathFromText("\\StringFileInfo\\040704B0\\" + name).c_str(),
                      reinterpret_cast<void**>(&text), &length)) {
    return "(none)";
  }
  return PathText(std::wstring(text, length > 0 ? length - 1 : 0));
}
#endif

// What Explorer shows of the two programs: the build's version, the product
// and its maker; the window's caption reads the same version.
TEST(Version, TheProgramFilesCarryTheirVersion) {
#ifdef _WIN32
  for (const std::string name : {"vorlex.exe", "vorlex-report.exe"}) {
    SCOPED_TRACE(name);
    const std::string file =
        testing::ProgramPath(name == "vorlex.exe" ? VORLEX_WINDOW_PATH : VORLEX_REPORT_PATH);
    const auto numbers = FileVersionNumbers(file);
    ASSERT_TRUE(numbers.has_value());
    const FileVersion built = ParseFileVersion(VORLEX_BUILT_VERSION);
    EXPECT_EQ(*numbers, (std::array<std::uint16_t, 4>{built.major, built.minor, built.release,
                                                       built.build}));
    EXPECT_EQ(VersionText(file, "FileVersion"), VORLEX_BUILT_VERSION);
    EXPECT_EQ(VersionText(file, "ProductVersion"), VORLEX_BUILT_VERSION);
    EXPECT_EQ(VersionText(file, "ProductName"), "Vorlex");
    EXPECT_EQ(VersionText(file, "OriginalFilename"), name);
    const std::string maker = VersionText(file, "CompanyName");
    EXPECT_EQ(maker, "Die Entwickler von Vorlex");
    EXPECT_EQ(VersionText(file, "LegalCopyright").rfind("\xC2\xA9 " + maker, 0), 0u);
    EXPECT_EQ(VersionText(file, "FileDescription").rfind("Vorlex", 0), 0u);
  }
  // This test program's own version, which ProgramVersion() shows, is read
  // from its file as well.
  EXPECT_TRUE(FileVersionNumbers("").has_value());
#else
  // Program files of POSIX systems carry no version: the build's stands.
  EXPECT_FALSE(FileVersionNumbers(VORLEX_WINDOW_PATH).has_value());
#endif
}

}  // namespace
}  // namespace vorlex
