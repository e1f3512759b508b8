// The main of the widget tests: the program's application object (so that
// errors leaving a handler are shown as in the program) and German format
// settings.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFont>

#include "app/Application.h"
#include "util/FormatSettings.h"

int main(int argc, char** argv) {
  // Listing the tests at build time runs without a display as well.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Off screen, Qt on Windows draws with FreeType from one folder of font
  // files, by default one beside Qt's libraries that a static Qt lacks: the
  // system's fonts instead, or every text is drawn in no font at all. (Wine
  // hands no QT_ variable from outside to its programs.)
  const bool windowsFonts =
      qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR") && !qEnvironmentVariableIsEmpty("WINDIR");
  if (windowsFonts) qputenv("QT_QPA_FONTDIR", qgetenv("WINDIR") + "/Fonts");
  vorlex::TApplication application(argc, argv);
  // That list of files knows none of the system's font substitutes: the
  // window's font and Qt's default ("Sans Serif") get the sans-serif faces
  // that stand in for them on screen (on Windows the TrueType faces; under
  // wine the one that stands in for Arial).
  if (windowsFonts) {
    for (const char* family : {"MS Sans Serif", "Sans Serif"}) {
      QFont::insertSubstitutions(QString::fromLatin1(family),
                                 {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                  QStringLiteral("Liberation Sans")});
    }
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
