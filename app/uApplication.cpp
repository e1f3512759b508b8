#include "app/uApplication.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <string>

#include "ui/qtcore/uQtText.h"

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

void ShowMessageBox(QWidget* parent, TMessageKind kind, const QString& text) {
  QMessageBox box(kind == TMessageKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                  QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
  box.exec();
}

void ShowMessage(std::string_view message) {
  MessageBoxSeam()(QApplication::activeWindow(), TMessageKind::Plain, DisplayText(message));
}

void ShowCurrentException() {
  QString text;
  try {
    throw;
  } catch (const std::exception& error) {
    text = DisplayText(error.what());
  } catch (...) {
    text = QStringLiteral("Unbekannter Fehler");
  }
  MessageBoxSeam()(QApplication::activeWindow(), TMessageKind::Error, text);
}

bool LoadQtTranslations(QTranslator& translator, const QLocale& locale) {
  return translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationDisplayName(QStringLiteral("Vorlex"));
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
