// A scratch application-data folder with Pelmora's settings file and database,
// message boxes answered by the test, and the program-wide values reset.
#pragma once

#include <gtest/gtest.h>

#include <QDate>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/Unit1.h"
#include "app/uApplication.h"
#include "db/uDB.h"
#include "tax/EvaluationRun.h"
#include "testdb/PelmoraDb.h"
#include "tests/ListTexts.h"
#include "tests/TestPlatform.h"
#include "ui/CsvSave.h"
#include "ui/SummaryListView.h"
#include "util/uDatum.h"
#include "util/uFormat.h"
#include "util/uPlatform.h"

namespace vorlex::testing {

struct Message {
  TMessageKind kind;
  QString text;    // the sentence
  QString detail;  // the technical message behind it
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(appData_.isValid());
    Format() = FormatSettings{};
    qputenv("APPDATA", appData_.path().toLocal8Bit());
    ResetProgramValues();
    savedBox_ = MessageBoxSeam();
    MessageBoxSeam() = [this](QWidget*, TMessageKind kind, const QString& text,
                              const QString& detail) {
      messages.push_back({kind, text, detail});
    };
    savedQuestion_ = QuestionSeam();
    QuestionSeam() = [this](QWidget*, const QString& text) {
      questions.push_back(text);
      return answerYes;
    };
    // The window remembers its settings here, never in the user's folder.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, appData_.path() + "/config");
  }
  void TearDown() override {
    form.reset();
    if (savedDialog_) SaveDialogSeam() = *savedDialog_;
    MessageBoxSeam() = savedBox_;
    QuestionSeam() = savedQuestion_;
    ResetProgramValues();
  }
  // The save dialogs answered by answer until the test ends.
  void AnswerSaveDialogs(SaveDialogFunction answer) {
    if (!savedDialog_) savedDialog_ = SaveDialogSeam();
    SaveDialogSeam() = std::move(answer);
  }
  void ResetProgramValues() {
    program = TProgramContext{};
  }

  // With the system's separators, as the program names them.
  std::string AppData() const { return NativeSeparators(appData_.path().toStdString()); }
  std::string PelmoraDir() const { return AppData() + NativeSeparators("/Pelmora/"); }
  std::string DefaultDbPath() const { return PelmoraDir() + NativeSeparators("Daten/vorlex.db"); }

  // The settings file naming Daten/vorlex.db and a fresh database there.
  testdb::PelmoraDb& MakeDatabase(const testdb::Schema& schema = {}) {
    testdb::WriteSettingsFile(PelmoraDir() + "pelmora.ini", "Daten", "vorlex.db");
    std::filesystem::create_directories(PelmoraDir() + "Daten");
    builder = std::make_unique<testdb::PelmoraDb>(DefaultDbPath(), schema);
    return *builder;
  }

  // Start-up on the given day, errors shown as the program shows them.
  TForm1& Start(const QDate& today, int pixelsPerInch = 96) {
    if (builder) builder->Close();
    form = std::make_unique<TForm1>(program, pixelsPerInch);
    RunShowingErrors([&] { form->FormCreate(today); });
    return *form;
  }

  // What the core alone makes of the period.
  std::pair<std::vector<std::string>, TaxTotals> CoreRun(
      double first, double last, TaxationBasis versteuerung = TaxationBasis::Ist) {
    TDBase db(DefaultDbPath());
    TRunList sink;
    TaxTotals totals;
    EvaluateRun(db, first, last, versteuerung, totals, sink);
    return {LineTexts(sink.lines), totals};
  }

  std::vector<std::string> Lines() const { return LineTexts(form->lbUst->Model().Rows()); }
  std::string Caption() const { return form->lblCaption->text().toStdString(); }

  QTemporaryDir appData_;
  MessageBoxFunction savedBox_;
  QuestionFunction savedQuestion_;
  std::optional<SaveDialogFunction> savedDialog_;
  std::unique_ptr<testdb::PelmoraDb> builder;
  // This test's program state, under the names the program gives it.
  TProgramContext program;
  std::unique_ptr<TDBase>& Database = program.Database;
  TaxTotals& Totals = program.Totals;
  std::string& AppDataDir = program.AppDataDir;
  std::string& DbFolder = program.DbFolder;
  std::string& DbName = program.DbName;
  bool& EvaluationEnabled = program.EvaluationEnabled;
  std::unique_ptr<TForm1> form;
  std::vector<Message> messages;
  // The questions asked, and the answer each gets.
  std::vector<QString> questions;
  bool answerYes = true;
};

inline double Day(int y, int m, int d) {
  return EncodeDate(y, m, d);
}

}  // namespace vorlex::testing
