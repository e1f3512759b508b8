// Saving the CSV file where it cannot be saved, or where the disk fills up on
// the way: both front ends say so with the runtime's texts, an existing file
// keeps its old content whole, and nothing else appears.
#include <signal.h>
#include <sys/mount.h>

#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "output/ExportFile.h"
#include "tests/ListTexts.h"
#include "tests/MayData.h"
#include "tests/reliability/Harness.h"
#include "ui/SaveDialog.h"
#include "util/WholeFile.h"

namespace vorlex::testing {
namespace {

// While it lives, files this process writes are limited to limit bytes, and
// exceeding it fails the write instead of ending the process.
class ProcessFileSizeLimit {
 public:
  explicit ProcessFileSizeLimit(rlim_t limit) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved_;
    small.rlim_cur = limit;
    ::setrlimit(RLIMIT_FSIZE, &small);
  }
  ~ProcessFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, oldHandler_);
  }
  ProcessFileSizeLimit(const ProcessFileSizeLimit&) = delete;
  ProcessFileSizeLimit& operator=(const ProcessFileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  sighandler_t oldHandler_;
};

// A small file system of its own, mounted while it lives; empty when the
// machine does not let the tests mount one.
class SmallFileSystem {
 public:
  explicit SmallFileSystem(const fs::path& where) : where_(where) {
    fs::create_directories(where_);
    mounted_ = ::mount("tmpfs", where_.c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0;
  }
  ~SmallFileSystem() {
    if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;
  bool Mounted() const { return mounted_; }

 private:
  fs::path where_;
  bool mounted_ = false;
};

// The parameter: orders added to May, for a CSV far larger than the buffers of
// the file layers (about 100 kB) or smaller than them (about 4 kB).
class CsvFaultTest : public FaultTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    FaultTest::SetUp();
    testdb::WriteSettingsFile(PelmoraDir() + "pelmora.ini", "Daten", "vorlex.db");
    fs::create_directories(PelmoraDir() + "Daten");
    {
      testdb::PelmoraDb db(PelmoraDir() + "Daten/vorlex.db");
      FillMay(db);
      AddMayFaultEntries(db, GetParam());
    }
    export_ = AppData() + "/export/";
    fs::create_directories(export_);
    ASSERT_TRUE(StartWindow().empty());
    form->show();
    expected_ = CsvBytes(Lines());
    ASSERT_TRUE(GetParam() < 100 ? expected_.size() < 8192 : expected_.size() > 80000)
        << expected_.size();
    AnswerSaveDialogs([this](QWidget*, const TSaveDialog&) { return answer_; });
  }

  struct Outcome {
    ReportResult report;
    std::vector<Message> shown;
  };

  // The CSV of May to target from both front ends: the reporter first, the
  // window's button second (limits: none, or files of at most limit bytes).
  Outcome Save(const std::string& target, std::optional<rlim_t> limit = std::nullopt) {
    Outcome outcome;
    outcome.report = RunReporter({"--month", "2026-05", "--csv", target}, AppData(),
                                 limit ? FileSizeLimit(*limit) : std::function<void()>());
    messages.clear();
    answer_ = QString::fromStdString(target);
    {
      std::optional<ProcessFileSizeLimit> small;
      if (limit) small.emplace(*limit);
      QTest::mouseClick(c.btnCsv, Qt::LeftButton);
    }
    outcome.shown = messages;
    return outcome;
  }

  // Both front ends failed with what the error mapping makes of raised: its
  // sentence, which names the file, and beneath it the technical text; the
  // window carries on.
  void ExpectFailed(const Outcome& o, const EWriteError& raised) {
    const ErrorText expected = DescribeError(raised, {});
    EXPECT_EQ(o.report.status, 1);
    EXPECT_EQ(o.report.out, "");
    EXPECT_EQ(o.report.err, expected.sentence + "\n" + expected.detail + "\n");
    ASSERT_EQ(o.shown.size(), 1u);
    EXPECT_EQ(o.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(o.shown[0].text.toUtf8().toStdString(), expected.sentence);
    EXPECT_EQ(o.shown[0].detail.toUtf8().toStdString(), expected.detail);
    EXPECT_EQ(CsvBytes(Lines()), expected_);
  }

  std::string export_;
  std::string expected_;
  std::optional<QString> answer_;
};

TEST_P(CsvFaultTest, TargetsThatCannotBeCreated) {
  WriteBytes(export_ + "datei", "kein Ordner");
  fs::create_directories(export_ + "ordner");
  const std::pair<std::string, int> targets[] = {{export_ + "fehlt/vorlex.csv", ENOENT},
                                                 {export_ + "datei/vorlex.csv", ENOTDIR},
                                                 {export_ + "ordner", EISDIR}};
  for (const auto& [target, reason] : targets) {
    SCOPED_TRACE(target);
    const FolderState before = StateOf(AppData());
    ExpectFailed(Save(target), EWriteError(SaveOutcome::CannotCreate, reason, target, false));
    EXPECT_EQ(Changes(before, StateOf(AppData())), std::vector<std::string>{});
  }
}

TEST_P(CsvFaultTest, NamesWithBlanksUmlautsAndSemicolons) {
  const std::string names[] = {"Umsatz Mai 2026.csv",
                               "B\xC3\xA4"
                               "ckerei M\xC3\xBCller.csv",
                               "Mai;2026.csv", " f\xC3\xBCr;alle ", "ohne Endung"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string target = export_ + name;
    WriteBytes(target, "alter Inhalt");
    const FolderState before = StateOf(AppData());
    const Outcome o = Save(target);
    EXPECT_EQ(o.report.status, 0) << o.report.err;
    EXPECT_TRUE(o.shown.empty());
    EXPECT_EQ(ReadBytes(target), expected_);
    // Only the file asked for has changed, besides the window's own settings
    // (which remember the folder saved to).
    std::vector<std::string> changes = Changes(before, StateOf(AppData()));
    std::erase_if(changes, [](const std::string& change) {
      return change.find(": config/") != std::string::npos || change.ends_with(": config");
    });
    EXPECT_EQ(changes, std::vector<std::string>{"changed: export/" + name});
  }
}

TEST_P(CsvFaultTest, AWriteFailingHalfWayKeepsTheOldFile) {
  const std::string target = export_ + "vorlex.csv";
  const std::string old = "alter Inhalt\r\n";
  WriteBytes(target, old);
  const FolderState before = StateOf(AppData());
  const rlim_t limit = expected_.size() / 2;
  ExpectFailed(Save(target, limit), EWriteError(SaveOutcome::WriteFailed, EFBIG, target, true));
  EXPECT_EQ(ReadBytes(target), old);
  EXPECT_EQ(Changes(before, StateOf(AppData())), std::vector<std::string>{});

  // A new file that fails does not appear at all.
  ExpectFailed(Save(export_ + "neu.csv", limit),
               EWriteError(SaveOutcome::WriteFailed, EFBIG, export_ + "neu.csv", false));
  EXPECT_FALSE(fs::exists(export_ + "neu.csv"));
  EXPECT_EQ(Changes(before, StateOf(AppData())), std::vector<std::string>{});

  // Without the limit the same saves work.
  const Outcome o = Save(target);
  EXPECT_EQ(o.report.status, 0) << o.report.err;
  EXPECT_TRUE(o.shown.empty());
  EXPECT_EQ(ReadBytes(target), expected_);
}

TEST_P(CsvFaultTest, AFullFileSystemKeepsTheOldFile) {
  const fs::path small = AppData() + "/klein";
  SmallFileSystem fileSystem(small);
  if (!fileSystem.Mounted()) GTEST_SKIP() << "no permission to mount a file system";
  const std::string target = (small / "vorlex.csv").string();
  const std::string old(20000, 'x');
  WriteBytes(target, old);
  // The rest of the space taken, so that even a small CSV does not fit.
  {
    std::ofstream ballast(small / "ballast", std::ios::binary);
    const std::string block(4096, 'b');
    while (ballast.write(block.data(), static_cast<std::streamsize>(block.size()))) {
    }
  }
  const FolderState before = StateOf(small);
  ExpectFailed(Save(target), EWriteError(SaveOutcome::WriteFailed, ENOSPC, target, true));
  EXPECT_EQ(ReadBytes(target), old);
  EXPECT_EQ(Changes(before, StateOf(small)), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Sizes, CsvFaultTest, ::testing::Values(1000, 20),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param < 100 ? std::string("SmallCsv")
                                                   : std::string("LargeCsv");
                         });

}  // namespace
}  // namespace vorlex::testing
