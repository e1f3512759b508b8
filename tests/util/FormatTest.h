// The fixture of the text-formatting tests: every test starts and ends on the
// default format settings, whatever the one before set.
#pragma once

#include <gtest/gtest.h>

#include "util/FormatSettings.h"

namespace vorlex {

class FormatTest : public ::testing::Test {
 protected:
  void SetUp() override { Format() = FormatSettings{}; }
  void TearDown() override { Format() = FormatSettings{}; }
};

// A point for the decimals and the American short date.
inline const FormatSettings kPoint{'.', "M/d/yyyy"};

}  // namespace vorlex
