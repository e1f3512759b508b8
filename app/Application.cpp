#include "app/Application.h"

#include <QPushButton>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <string>

#include "location/PelmoraLocation.h"
#include "output/ErrorText.h"
#include "ui/qtcore/QtText.h"

namespace vorlex {

namespace {

QString DisplayText(std::string_view bytes) {
  QString text = DecodeText(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  return text;
}

}  // namespace

MessageBoxFunction& MessageBoxSeam() {
  static MessageBoxFunction seam = ShowMessageBox;
  return seam;
}

void ShowMessageBox(QWidget* parent, MessageKind kind, const QString& text,
                    const QString& detail) {
  QMessageBox box(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                  QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
  if (!detail.isEmpty()) box.setDetailedText(detail);
  box.exec();
}

QuestionFunction& QuestionSeam() {
  static QuestionFunction seam = [](QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, QApplication::applicationName(), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  };
  return seam;
}

bool AskYesNo(const QString& text) {
  return QuestionSeam()(QApplication::activeWindow(), text);
}

void ShowMessage(std::string_view message) {
  MessageBoxSeam()(QApplication::activeWindow(), MessageKind::Plain, DisplayText(message), {});
}

HelpBoxFunction& HelpBoxSeam() {
  static HelpBoxFunction seam = [](QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    const QPushButton* help =
        box.addButton(QStringLiteral("Hilfe (F1)"), QMessageBox::ActionRole);
    box.exec();
    return box.clickedButton() == help;
  };
  return seam;
}

bool ShowMessageWithHelp(std::string_view message) {
  return HelpBoxSeam()(QApplication::activeWindow(), DisplayText(message));
}

void ShowCurrentException() {
  const ErrorText error =
      DescribeCurrentException({ErrorFront::Window, PelmoraAppDataDir() + kSettingsFileName});
  MessageBoxSeam()(QApplication::activeWindow(), MessageKind::Error,
                   QString::fromStdString(error.sentence), DisplayText(error.detail));
}

bool LoadQtTranslations(QTranslator& translator, const QLocale& locale) {
  // The system's own first; a build for a system without them (Windows)
  // carries Qt's German texts inside.
  for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                QStringLiteral(":/qt-translations")}) {
    if (translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) return true;
  }
  return false;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // The name titles the message boxes. It is no display name: the toolkit would
  // add that to every window title ("Vorlex 1.0.0.2 — Vorlex").
  setApplicationName(QStringLiteral("Vorlex"));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ShowCurrentException();
    return false;
  }
}

}  // namespace vorlex
