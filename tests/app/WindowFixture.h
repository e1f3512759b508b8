// A scratch application-data folder with Pelmora's settings file and database,
// message boxes answered by the test, the program-wide values reset, and the
// window's controls found under the names the window gives them.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QString>
#include <QTest>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/Application.h"
#include "app/Controls.h"
#include "app/Unit1.h"
#include "db/uDB.h"
#include "tax/EvaluationRun.h"
#include "testdb/PelmoraDb.h"
#include "tests/ListTexts.h"
#include "tests/ScratchFolder.h"
#include "tests/TestPlatform.h"
#include "tests/util/FormatTest.h"
#include "ui/FormValuePanel.h"
#include "ui/SaveDialog.h"
#include "ui/SummaryListView.h"
#include "util/FormatSettings.h"
#include "util/Platform.h"
#include "util/uDatum.h"

namespace vorlex::testing {

// The controls of a window, as a user and the tests know them.
struct WindowControls {
  WindowControls() = default;
  explicit WindowControls(const QWidget& form) {
    const auto find = [&form](auto*& control, const char* name) {
      using Control = std::remove_reference_t<decltype(control)>;
      control = form.findChild<Control>(QString::fromLatin1(name));
      if (control == nullptr) ADD_FAILURE() << "the window has no " << name;
    };
#define VORLEX_FIND(name) find(name, #name)
    VORLEX_FIND(pnlL); VORLEX_FIND(pnlTop); VORLEX_FIND(pnlCaption); VORLEX_FIND(pnlR);
    VORLEX_FIND(rbJahr); VORLEX_FIND(rbQ1); VORLEX_FIND(rbQ2); VORLEX_FIND(rbQ3);
    VORLEX_FIND(rbQ4); VORLEX_FIND(rbM); VORLEX_FIND(rbVonBis);
    VORLEX_FIND(cmbJ); VORLEX_FIND(cmbM); VORLEX_FIND(udJahr); VORLEX_FIND(udMonat);
    VORLEX_FIND(dtpVon); VORLEX_FIND(dtpBis); VORLEX_FIND(rgVersteuerung); VORLEX_FIND(rgBetrag);
    VORLEX_FIND(btnCsv); VORLEX_FIND(btnHelp); VORLEX_FIND(btnUebersicht);
    VORLEX_FIND(lblCaption); VORLEX_FIND(lbUst); VORLEX_FIND(pB);
    VORLEX_FIND(Label1); VORLEX_FIND(Label2); VORLEX_FIND(Label3); VORLEX_FIND(Label4);
    VORLEX_FIND(Label5); VORLEX_FIND(Label6); VORLEX_FIND(Label7);
    VORLEX_FIND(Image1); VORLEX_FIND(Image2); VORLEX_FIND(Image3); VORLEX_FIND(Image4);
    VORLEX_FIND(Image5); VORLEX_FIND(Bevel1); VORLEX_FIND(editUStID);
    VORLEX_FIND(StatusBar1); VORLEX_FIND(lblKz83); VORLEX_FIND(lblHinweise);
#undef VORLEX_FIND
  }

  QFrame *pnlL = nullptr, *pnlTop = nullptr, *pnlCaption = nullptr, *pnlR = nullptr;
  TRadioButton *rbJahr = nullptr, *rbQ1 = nullptr, *rbQ2 = nullptr, *rbQ3 = nullptr,
               *rbQ4 = nullptr, *rbM = nullptr, *rbVonBis = nullptr;
  QComboBox *cmbJ = nullptr, *cmbM = nullptr;
  TUpDown *udJahr = nullptr, *udMonat = nullptr;
  TDatePicker *dtpVon = nullptr, *dtpBis = nullptr;
  TRadioGroup *rgVersteuerung = nullptr, *rgBetrag = nullptr;
  QPushButton *btnCsv = nullptr, *btnHelp = nullptr, *btnUebersicht = nullptr;
  QLabel* lblCaption = nullptr;
  TSummaryListView* lbUst = nullptr;
  QProgressBar* pB = nullptr;
  QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
         *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr;
  TImage *Image1 = nullptr, *Image2 = nullptr, *Image3 = nullptr, *Image4 = nullptr,
         *Image5 = nullptr;
  TBevel* Bevel1 = nullptr;
  QLineEdit* editUStID = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel *lblKz83 = nullptr, *lblHinweise = nullptr;
};

struct Message {
  MessageKind kind;
  QString text;    // the sentence
  QString detail;  // the technical message behind it
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("APPDATA", QString::fromStdString(AppData()).toLocal8Bit());
    ResetProgramValues();
    savedBox_ = MessageBoxSeam();
    MessageBoxSeam() = [this](QWidget*, MessageKind kind, const QString& text,
                              const QString& detail) {
      messages.push_back({kind, text, detail});
    };
    // The box of "?" is recorded as a plain message; answerHelp is its button.
    savedHelpBox_ = HelpBoxSeam();
    HelpBoxSeam() = [this](QWidget*, const QString& text) {
      messages.push_back({MessageKind::Plain, text, {}});
      return answerHelp;
    };
    savedQuestion_ = QuestionSeam();
    QuestionSeam() = [this](QWidget*, const QString& text) {
      questions.push_back(text);
      return answerYes;
    };
    // The window remembers its settings here, never in the user's folder.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QDir::fromNativeSeparators(QString::fromStdString(appData_.File("config"))));
  }
  void TearDown() override {
    form.reset();
    if (savedDialog_) SaveDialogSeam() = *savedDialog_;
    MessageBoxSeam() = savedBox_;
    QuestionSeam() = savedQuestion_;
    HelpBoxSeam() = savedHelpBox_;
    ResetProgramValues();
  }
  // The save dialogs answered by answer until the test ends.
  void AnswerSaveDialogs(SaveDialogFunction answer) {
    if (!savedDialog_) savedDialog_ = SaveDialogSeam();
    SaveDialogSeam() = std::move(answer);
  }
  void ResetProgramValues() { program = ProgramContext{}; }

  // With the system's separators, as the program names them.
  std::string AppData() const { return appData_.Text(); }
  std::string PelmoraDir() const { return AppData() + NativeSeparators("/Pelmora/"); }
  std::string DefaultDbPath() const { return PelmoraDir() + NativeSeparators("Daten/vorlex.db"); }

  // The settings file naming Daten/vorlex.db and a fresh database there.
  testdb::PelmoraDb& MakeDatabase(const testdb::Schema& schema = {}) {
    testdb::WriteSettingsFile(PelmoraDir() + "pelmora.ini", "Daten", "vorlex.db");
    std::filesystem::create_directories(PelmoraDir() + "Daten");
    builder = std::make_unique<testdb::PelmoraDb>(DefaultDbPath(), schema);
    return *builder;
  }

  // Start-up on the given day, errors shown as the program shows them; c
  // holds its controls.
  TForm1& Start(const QDate& today, int pixelsPerInch = 96) {
    if (builder) builder->Close();
    form = std::make_unique<TForm1>(program, pixelsPerInch);
    c = WindowControls(*form);
    RunShowingErrors([&] { form->FormCreate(today); });
    return *form;
  }

  // What the core alone makes of the period.
  std::pair<std::vector<std::string>, TaxTotals> CoreRun(
      double first, double last, TaxationBasis versteuerung = TaxationBasis::Ist) {
    TDBase db(DefaultDbPath(), kGerman);
    TRunList sink(kGerman);
    TaxTotals totals;
    EvaluateRun(db, first, last, versteuerung, totals, sink);
    return {LineTexts(sink.lines), totals};
  }

  std::vector<std::string> Lines() const { return LineTexts(c.lbUst->Model().Rows()); }
  std::string Caption() const { return c.lblCaption->text().toStdString(); }

  ScratchFolder appData_{"vorlex-window"};
  MessageBoxFunction savedBox_;
  QuestionFunction savedQuestion_;
  HelpBoxFunction savedHelpBox_;
  std::optional<SaveDialogFunction> savedDialog_;
  std::unique_ptr<testdb::PelmoraDb> builder;
  // This test's program state.
  ProgramContext program;
  std::unique_ptr<TDBase>& Database = program.Database;
  TaxTotals& Totals = program.totals;
  std::string& AppDataDir = program.AppDataDir;
  std::string& DbFolder = program.DbFolder;
  std::string& DbName = program.DbName;
  bool& EvaluationEnabled = program.EvaluationEnabled;
  std::unique_ptr<TForm1> form;
  WindowControls c;
  std::vector<Message> messages;
  // The questions asked, and the answer each gets.
  std::vector<QString> questions;
  bool answerYes = true;
  bool answerHelp = false;  // the button "Hilfe" of the box of "?"
};

// Each run rebuilds the list twice: emptied at its start, filled at its end.
class RunCounter {
 public:
  explicit RunCounter(const WindowControls& c)
      : connection_(QObject::connect(&c.lbUst->Model(), &QAbstractItemModel::modelReset,
                                     [this] { ++resets_; })) {}
  ~RunCounter() { QObject::disconnect(connection_); }
  RunCounter(const RunCounter&) = delete;
  RunCounter& operator=(const RunCounter&) = delete;
  int Runs() const { return resets_ / 2; }

 private:
  int resets_ = 0;
  QMetaObject::Connection connection_;
};

// The caption over the list for a period and its basis.
inline std::string PeriodCaptionText(const char* first, const char* last, const char* basis) {
  return std::string("Ein- und Ausgänge vom ") + first + " bis " + last + "  (" + basis + ")";
}

inline double Day(int y, int m, int d) {
  return EncodeDate(y, m, d);
}

// What a user does to a button and to a list.
inline void Click(QAbstractButton* button) {
  QTest::mouseClick(button, Qt::LeftButton);
}
inline void Choose(QComboBox* list, int index) {
  list->setCurrentIndex(index);
  emit list->activated(index);
}

}  // namespace vorlex::testing
