// vorlex-report run as a process of its own, as a user runs it: the tests of
// the reporter and the fault campaign start it through here.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tests/TestPlatform.h"

namespace vorlex::testing {

struct ReportResult {
  int status = -1;  // -1: crashed, killed or not finished in time
  std::string out;
  std::string err;
  std::chrono::milliseconds took{0};
};

// The environment of a user without a locale, Pelmora's settings or a ledger
// of their own, in German number and date format.
inline QProcessEnvironment CleanReportEnvironment() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"LANG", "LANGUAGE", "LC_ALL", "LC_NUMERIC", "LC_TIME", "LC_MESSAGES",
                           "LC_CTYPE", "APPDATA", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                           "VORLEX_LEDGER"}) {
    env.remove(QString::fromLatin1(name));
  }
  env.insert("LC_ALL", "de_DE.UTF-8");
  return env;
}

struct ReportProcess {
  QProcessEnvironment env = CleanReportEnvironment();
  std::string workingFolder;
  // Runs in the child before the program starts (POSIX only).
  std::function<void()> setup;
  int limitMs = 60000;
  std::string standardOutputFile;  // empty: standard output is read
  std::string program = ProgramPath(VORLEX_REPORT_PATH);
};

// Runs the reporter with args (UTF-8); a run that does not end within the
// limit is a hang and is killed, and it and a crash fail the test.
inline ReportResult RunReportProcess(const std::vector<std::string>& args,
                                     const ReportProcess& how) {
  QStringList arguments;
  for (const std::string& a : args) arguments << QString::fromUtf8(a);
  QProcess process;
  process.setProcessEnvironment(how.env);
  process.setWorkingDirectory(QString::fromStdString(how.workingFolder));
  if (!how.standardOutputFile.empty()) {
    // Only redirected into, never replaced.
    process.setStandardOutputFile(QString::fromStdString(how.standardOutputFile));
  }
#ifndef _WIN32
  if (how.setup) process.setChildProcessModifier(how.setup);
#endif
  const auto start = std::chrono::steady_clock::now();
  process.start(QString::fromStdString(how.program), arguments);
  ReportResult result;
  if (!process.waitForFinished(how.limitMs)) {
    ADD_FAILURE() << "vorlex-report did not end within " << how.limitMs << " ms";
    process.kill();
    process.waitForFinished();
  } else if (process.exitStatus() == QProcess::NormalExit) {
    result.status = process.exitCode();
  } else {
    ADD_FAILURE() << "vorlex-report crashed";
  }
  result.took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  result.out = process.readAllStandardOutput().toStdString();
  result.err = process.readAllStandardError().toStdString();
  return result;
}

}  // namespace vorlex::testing
