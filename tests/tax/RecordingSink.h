// A sink that keeps what an evaluation writes: the entries, their lines and the
// progress.
#pragma once

#include <string>
#include <vector>

#include "output/SummaryList.h"
#include "tests/util/FormatTest.h"

namespace vorlex::testing {

class RecordingSink : public TRunList {
 public:
  // The lines in German figures, or in format.
  explicit RecordingSink(const FormatSettings& format = kGerman) : TRunList(format) {}

  void ProgressStart(int maximum) override {
    TRunList::ProgressStart(maximum);
    maxima.push_back(maximum);
    position = 0;
  }
  void ProgressStep() override {
    ++position;
    if (!maxima.empty() && position > maxima.back()) overran = true;
  }

  std::vector<int> maxima;  // one per stage
  int position = 0;
  bool overran = false;
};

}  // namespace vorlex::testing
