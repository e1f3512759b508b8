// The main of the widget tests: the program's application object (so that
// errors leaving a handler are shown as in the program) and German format
// settings.
#include <gtest/gtest.h>

#include <QByteArray>

#include "app/uApplication.h"
#include "util/uFormat.h"

int main(int argc, char** argv) {
  // Listing the tests at build time runs without a display as well.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  vorlex::TApplication application(argc, argv);
  vorlex::Format() = vorlex::FormatSettings{};
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
