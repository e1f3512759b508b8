// The fault campaign's tools: both front ends on the same fault (the window in
// this process, its error boxes answered by the test; the reporter as a process
// of its own, with a time limit), a record of what a folder holds, a process
// that holds Pelmora's database the way Pelmora does, and small ways to break a
// database.
#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QProgressBar>
#include <QStringList>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "db/SQLiteError.h"
#include "location/PelmoraLocation.h"
#include "output/ErrorText.h"
#include "tests/ReportRunner.h"
#include "tests/app/WindowFixture.h"
#include "ui/qtcore/QtText.h"
#include "util/uString.h"

namespace vorlex::testing {

namespace fs = std::filesystem;

// The user a test becomes where permissions must count (tests run as root).
inline constexpr uid_t kNobody = 65534;

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

// Everything under a folder: kind, size, modification time to the nanosecond
// and the bytes of every file.
struct Entry {
  fs::file_type type = fs::file_type::none;
  std::uintmax_t size = 0;
  timespec mtime{};
  std::string bytes;
  friend bool operator==(const Entry& a, const Entry& b) {
    return a.type == b.type && a.size == b.size && a.mtime.tv_sec == b.mtime.tv_sec &&
           a.mtime.tv_nsec == b.mtime.tv_nsec && a.bytes == b.bytes;
  }
};
using FolderState = std::map<std::string, Entry>;

inline FolderState StateOf(const fs::path& folder) {
  FolderState state;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(folder, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    struct stat info {};
    if (::lstat(it->path().c_str(), &info) != 0) continue;
    Entry entry;
    entry.type = it->symlink_status().type();
    // A folder's time changes with any file made and removed in it (a save's
    // temporary file); what counts is what it holds.
    if (entry.type != fs::file_type::directory) entry.mtime = info.st_mtim;
    if (entry.type == fs::file_type::regular) {
      entry.size = static_cast<std::uintmax_t>(info.st_size);
      entry.bytes = ReadBytes(it->path());
    }
    state[fs::relative(it->path(), folder).string()] = std::move(entry);
  }
  return state;
}

// Names of what differs between two states: added, removed or changed.
inline std::vector<std::string> Changes(const FolderState& before, const FolderState& after) {
  std::vector<std::string> changed;
  for (const auto& [name, entry] : after) {
    const auto old = before.find(name);
    if (old == before.end()) {
      changed.push_back("new: " + name);
    } else if (!(old->second == entry)) {
      changed.push_back("changed: " + name);
    }
  }
  for (const auto& [name, entry] : before) {
    if (after.count(name) == 0) changed.push_back("gone: " + name);
  }
  return changed;
}

// The reporter's environment: a clean one, Pelmora's folder in appData.
inline QProcessEnvironment ReportEnvironment(const std::string& appData) {
  QProcessEnvironment env = CleanReportEnvironment();
  env.insert("APPDATA", QString::fromStdString(appData));
  env.insert("HOME", QString::fromStdString(appData));
  return env;
}

// A copy of vorlex-report that any user may run, wherever the build folder
// lies (under /root an ordinary user cannot reach it); made once per process
// in a scratch folder of its own.
class ReporterForAnyone {
 public:
  static const std::string& Path() {
    static const ReporterForAnyone copy;
    return copy.path_;
  }

 private:
  ReporterForAnyone() {
    const fs::path program = folder_.Path() / "vorlex-report";
    std::error_code error;
    fs::copy_file(VORLEX_REPORT_PATH, program, error);
    const auto everyone = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                          fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(folder_.Path(), everyone, error);
    fs::permissions(program, everyone, error);
    if (!error) path_ = program.string();
  }

  ScratchFolder folder_{"vorlex-report-copy"};
  std::string path_;
};

// Runs vorlex-report in appData, Pelmora's folder. setup runs in the child
// before the program starts; program: the reporter to run.
inline ReportResult RunReporter(const std::vector<std::string>& args, const std::string& appData,
                                std::function<void()> setup = {}, int limitMs = 60000,
                                const std::string& program = VORLEX_REPORT_PATH) {
  ReportProcess how;
  how.env = ReportEnvironment(appData);
  how.workingFolder = appData;
  how.setup = std::move(setup);
  how.limitMs = limitMs;
  how.program = program;
  return RunReportProcess(args, how);
}

// In the reporter's child: become an ordinary user, so that permissions count.
inline void BecomeNobody() {
  if (::geteuid() != 0) return;
  ::setgroups(0, nullptr);
  if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(121);
}

// In the reporter's child: files of at most limit bytes; exceeding the limit
// fails the write (the program ignores the signal it would otherwise get).
inline std::function<void()> FileSizeLimit(rlim_t limit) {
  return [limit] {
    rlimit small{limit, limit};
    if (::setrlimit(RLIMIT_FSIZE, &small) != 0) ::_exit(122);
  };
}

// While it lives, this process acts as an ordinary user for file access.
class AsNobody {
 public:
  AsNobody() : active_(::geteuid() == 0) {
    if (active_ && (::setegid(kNobody) != 0 || ::seteuid(kNobody) != 0)) active_ = false;
  }
  ~AsNobody() {
    if (active_) {
      [[maybe_unused]] const int u = ::seteuid(0);
      [[maybe_unused]] const int g = ::setegid(0);
    }
  }
  AsNobody(const AsNobody&) = delete;
  AsNobody& operator=(const AsNobody&) = delete;

 private:
  bool active_;
};

// Another process that holds Pelmora's database as Pelmora would: it runs a
// mode ("exclusive": BEGIN EXCLUSIVE; "write": an open write transaction;
// "wal-writer": one transaction after the other), says "ready", and ends its
// transaction when told to.
class LockHolder {
 public:
  LockHolder(const std::string& database, const std::string& mode) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral(VORLEX_LOCK_HOLDER_PATH),
                   {QString::fromStdString(database), QString::fromStdString(mode)});
    if (!process_.waitForReadyRead(20000) || process_.readLine().trimmed() != "ready") {
      ADD_FAILURE() << "lock holder did not start";
    }
  }
  ~LockHolder() { Release(); }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  // Ends the transaction (committing what was written) and the process; the
  // number of transactions it committed.
  int Release() {
    if (process_.state() == QProcess::NotRunning) return committed_;
    process_.write("stop\n");
    process_.closeWriteChannel();
    if (!process_.waitForFinished(20000)) {
      ADD_FAILURE() << "lock holder did not end";
      process_.kill();
      process_.waitForFinished();
    }
    committed_ = process_.readAllStandardOutput().trimmed().toInt();
    EXPECT_EQ(process_.exitCode(), 0);
    return committed_;
  }

 private:
  QProcess process_;
  int committed_ = 0;
};

// Runs SQL on a database as Pelmora would write it (not through Vorlex).
inline void Pelmora(const std::string& database, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  EXPECT_EQ(rc, SQLITE_OK) << sql << ": " << (error != nullptr ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

// Sets a column of the rows where holds to value, bound as it is (NULL, an
// integer, a float or text bytes), as Pelmora would write it.
inline void SetColumn(const std::string& database, const std::string& table,
                      const std::string& column, const testdb::Value& value,
                      const std::string& where = "1") {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
  sqlite3_stmt* stmt = nullptr;
  const std::string sql = "UPDATE " + table + " SET " + column + " = ? WHERE " + where;
  ASSERT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK)
      << sql << ": " << sqlite3_errmsg(db);
  if (const auto* i = std::get_if<int64_t>(&value.get())) {
    sqlite3_bind_int64(stmt, 1, *i);
  } else if (const auto* d = std::get_if<double>(&value.get())) {
    sqlite3_bind_double(stmt, 1, *d);
  } else if (const auto* s = std::get_if<std::string>(&value.get())) {
    sqlite3_bind_text64(stmt, 1, s->data(), s->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  }
  EXPECT_EQ(sqlite3_step(stmt), SQLITE_DONE) << sql << ": " << sqlite3_errmsg(db);
  sqlite3_finalize(stmt);
  sqlite3_close(db);
}

// The window's error box text as the reporter writes it to standard error.
inline std::string AsTerminalLine(const QString& text) {
  return text.toUtf8().toStdString() + "\n";
}

// What a database fault must raise: the library's result code and, for a
// failed open, the file.
struct Raised {
  int code = SQLITE_ERROR;
  std::string path;
};

// The fixture of the campaign: the window's scratch folder (APPDATA) serves
// both front ends.
class FaultTest : public WindowTest {
 protected:
  // The sentence the error mapping gives for the raised error with the
  // technical message shown (detail, one line each).
  std::string MappedSentence(const Raised& raised, const std::string& detail,
                             ErrorFront front) const {
    std::string message = detail;
    if (!message.empty() && message.back() == '\n') message.pop_back();
    const ESQLiteException error(message, raised.code, raised.path);
    return DescribeError(error, {front, PelmoraDir() + kSettingsFileName}).sentence;
  }

  void SetUp() override {
    WindowTest::SetUp();
    // An ordinary user may pass through the scratch folder.
    fs::permissions(AppData(), fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec);
    fs::create_directories(PelmoraDir());
  }

  // The window started on a day; the error boxes it showed.
  std::vector<Message> StartWindow(const QDate& today = QDate(2026, 5, 15)) {
    messages.clear();
    ResetProgramValues();
    Start(today);
    return messages;
  }

  // Both front ends on the current state of the scratch folder: the window
  // starts up on 15 May 2026, the reporter evaluates May 2026 (basis "Ist").
  // Each must fail at once with one message, the same in both, whose
  // technical detail starts with start and holds part; nothing in the folder
  // changes. asNobody: both act as an ordinary user. Where raised is given,
  // each front end's sentence is the one the error mapping gives for it.
  void ExpectBothFail(const std::string& start, const std::string& part = "", bool asNobody = false,
                      std::vector<std::string> reportArgs = {},
                      const std::optional<Raised>& raised = std::nullopt) {
    const FolderState before = StateOf(AppData());
    reportArgs.insert(reportArgs.end(), {"--month", "2026-05"});
    if (asNobody) {
      ASSERT_FALSE(ReporterForAnyone::Path().empty());
    }
    const ReportResult report =
        asNobody ? RunReporter(reportArgs, AppData(), BecomeNobody, 60000, ReporterForAnyone::Path())
                 : RunReporter(reportArgs, AppData());
    EXPECT_EQ(report.status, 1) << report.out;
    EXPECT_EQ(report.out, "");
    // The sentence, then the technical message.
    const size_t lineEnd = report.err.find('\n');
    const std::string sentence = report.err.substr(0, lineEnd);
    const std::string detail = lineEnd == std::string::npos ? "" : report.err.substr(lineEnd + 1);
    EXPECT_EQ(detail.rfind(start, 0), 0u) << report.err;
    EXPECT_NE(detail.find(part), std::string::npos) << report.err;
    if (raised) {
      EXPECT_EQ(sentence, MappedSentence(*raised, detail, ErrorFront::Report));
    }
    // The sentence is the trader's: no SQL, no English of the library.
    EXPECT_EQ(sentence.find("SELECT"), std::string::npos) << sentence;
    EXPECT_EQ(sentence.find("Failed"), std::string::npos) << sentence;
    EXPECT_LT(report.took, std::chrono::seconds(20));

    std::vector<Message> shown;
    {
      std::unique_ptr<AsNobody> nobody = asNobody ? std::make_unique<AsNobody>() : nullptr;
      shown = StartWindow();
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_EQ(AsTerminalLine(shown[0].detail), detail);
    if (raised) {
      EXPECT_EQ(shown[0].text.toUtf8().toStdString(),
                MappedSentence(*raised, detail, ErrorFront::Window));
    } else {
      // The same sentence; only the window offers F5 for trying again.
      EXPECT_EQ(shown[0].text.toUtf8().toStdString(),
                StrReplaceAll(sentence, "erneut.", "mit F5 erneut."))
          << "or, without F5: " << sentence;
    }
    // Start-up has ended all the same: the next choice tries again.
    EXPECT_TRUE(EvaluationEnabled);
    form.reset();
    Database.reset();
    EXPECT_EQ(Changes(before, StateOf(AppData())), std::vector<std::string>{});
  }

  // Both front ends succeed on May 2026 with the same lines; the reporter's
  // output is returned.
  std::string ExpectBothWork(const std::vector<std::string>& reportArgs = {}) {
    std::vector<std::string> args = reportArgs;
    args.insert(args.end(), {"--month", "2026-05"});
    const ReportResult report = RunReporter(args, AppData());
    EXPECT_EQ(report.status, 0) << report.err;
    EXPECT_EQ(report.err, "");
    const std::vector<Message> shown = StartWindow();
    for (const Message& m : shown) ADD_FAILURE() << m.text.toStdString();
    EXPECT_EQ(ReportedLines(report.out), DisplayedLines(Lines()));
    return report.out;
  }

  // The list lines of the reporter's output: between the caption and the
  // empty line before the form figures.
  static std::vector<std::string> ReportedLines(const std::string& out) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    std::string line;
    std::getline(in, line);  // caption
    std::vector<std::string> all;
    while (std::getline(in, line)) all.push_back(line);
    // The figures follow an empty line, from "Kz 41" on; the hints after them.
    const auto figures = std::find_if(all.begin(), all.end(), [](const std::string& l) {
      return l.rfind("Kz 41: ", 0) == 0;
    });
    if (figures != all.begin() && figures != all.end()) all.erase(figures - 1, all.end());
    return all;
  }

  // Lines as a terminal shows them.
  static std::vector<std::string> DisplayedLines(const std::vector<std::string>& lines) {
    std::vector<std::string> shown;
    for (const std::string& line : lines) shown.push_back(DecodeText(line).toUtf8().toStdString());
    return shown;
  }
};

}  // namespace vorlex::testing
