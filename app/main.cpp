// Vorlex: the window over Pelmora's invoices and cash book.
#include <QIcon>
#include <QLocale>
#include <QTranslator>

#include "app/Application.h"
#include "app/Unit1.h"
#include "ui/qtcore/QtText.h"

int main(int argc, char** argv) {
  vorlex::TApplication application(argc, argv);
  // The menu entry's icon and name, so that docks and Wayland match the window
  // to its entry.
  QApplication::setWindowIcon(QIcon::fromTheme("vorlex"));
  QGuiApplication::setDesktopFileName("io.vorlex.Vorlex");
  // The dialogs' own texts in the user's language, German for a German user.
  QTranslator qtTexts;
  if (vorlex::LoadQtTranslations(qtTexts, QLocale::system()))
    QCoreApplication::installTranslator(&qtTexts);

  vorlex::ProgramContext program;
  program.format = vorlex::FormatSettingsFromLocale(QLocale::system());
  vorlex::TForm1 form(program);
  // A failed start-up step is shown and skips the steps after it; the window
  // opens all the same.
  vorlex::RunShowingErrors([&form] { form.FormCreate(); });
  form.show();
  return application.exec();
}
