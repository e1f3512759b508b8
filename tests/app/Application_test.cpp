#include "app/Application.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>
#include <utility>
#include <stdexcept>
#include <vector>

#include "output/ErrorText.h"
#include "util/WholeFile.h"

namespace vorlex {
namespace {

struct Shown {
  MessageKind kind;
  QString text;
  QString detail;
};

class MessageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = MessageBoxSeam();
    MessageBoxSeam() = [this](QWidget*, MessageKind kind, const QString& text,
                              const QString& detail) {
      shown.push_back({kind, text, detail});
    };
  }
  void TearDown() override { MessageBoxSeam() = saved_; }
  std::vector<Shown> shown;

 private:
  MessageBoxFunction saved_;
};

// An object whose event handler fails on its first event.
class Failing : public QObject {
 public:
  int events = 0;
  bool event(QEvent* e) override {
    if (e->type() != QEvent::User) return QObject::event(e);
    if (++events == 1) throw std::runtime_error("Datei /x kann nicht erstellt werden");
    return true;
  }
};

TEST_F(MessageTest, ErrorLeavingAnEventHandlerIsShownAndTheProgramCarriesOn) {
  Failing target;
  QEvent first(QEvent::User);
  QCoreApplication::sendEvent(&target, &first);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, MessageKind::Error);
  EXPECT_EQ(shown[0].detail, QStringLiteral("Datei /x kann nicht erstellt werden"));

  QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
  QCoreApplication::processEvents();
  EXPECT_EQ(target.events, 2);
  EXPECT_EQ(shown.size(), 1u);
}

TEST_F(MessageTest, TextsAreDecodedAndCarriageReturnsBreakLines) {
  struct Row {
    const char* name;
    std::string bytes;
    QString expected;
  };
  const Row rows[] = {
      {"Windows-1252", "Typkonvertierung von Variant ung\xFCltig",
       "Typkonvertierung von Variant ungültig"},
      {"UTF-8 path", "DB:\r/home/j\xC3\xBCrgen/a.db", "DB:\n/home/jürgen/a.db"},
      {"CR LF is one break", "a\r\nb", "a\nb"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    shown.clear();
    ShowMessage(row.bytes);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Plain);
    EXPECT_EQ(shown[0].text, row.expected);
  }
  shown.clear();
  EXPECT_FALSE(RunShowingErrors([] { throw EWriteError(); }));
  EXPECT_TRUE(RunShowingErrors([] {}));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, MessageKind::Error);
  EXPECT_EQ(shown[0].detail, QStringLiteral("Stream-Write-Fehler"));
  EXPECT_EQ(shown[0].text.toStdString(), DescribeError(EWriteError(), {}).sentence);
}

TEST(Application, BoxesCarryTheNameVorlexAndQtSpeaksTheUsersLanguage) {
  // The real box, answered as soon as it shows.
  QString title;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    box->accept();
  });
  ShowMessageBox(nullptr, MessageKind::Error, QStringLiteral("Fehler"));
  EXPECT_EQ(title, QStringLiteral("Vorlex"));

  struct Row {
    const char* name;
    QLocale locale;
    bool german;
  };
  const Row rows[] = {
      {"German", QLocale(QLocale::German, QLocale::Germany), true},
      {"Austrian German", QLocale(QLocale::German, QLocale::Austria), true},
      {"English", QLocale(QLocale::English, QLocale::UnitedStates), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QTranslator translator;
    const bool loaded = LoadQtTranslations(translator, row.locale);
    if (row.german) {
      EXPECT_TRUE(loaded);
    }
    if (loaded) QCoreApplication::installTranslator(&translator);
    // The save dialog's texts and the boxes' buttons are Qt's own.
    for (const auto& [context, english] : {std::pair{"QFileDialog", "Save As"},
                                           std::pair{"QFileDialog", "Look in:"},
                                           std::pair{"QPlatformTheme", "Cancel"}}) {
      const QString shown = QCoreApplication::translate(context, english);
      EXPECT_FALSE(shown.isEmpty());
      EXPECT_EQ(shown != QString::fromLatin1(english), row.german) << english;
    }
    QCoreApplication::removeTranslator(&translator);
  }
}

}  // namespace
}  // namespace vorlex
