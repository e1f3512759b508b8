// A sink that keeps what an evaluation writes: the lines and the progress.
#pragma once

#include <string>
#include <vector>

#include "tax/EvaluationSink.h"

namespace vorlex::testing {

class RecordingSink : public IEvaluationSink {
 public:
  void AppendLine(std::string line) override { lines.push_back(std::move(line)); }
  void ProgressStart(int maximum) override {
    maxima.push_back(maximum);
    position = 0;
  }
  void ProgressStep() override {
    ++position;
    if (!maxima.empty() && position > maxima.back()) overran = true;
  }

  std::vector<std::string> lines;
  std::vector<int> maxima;  // one per stage
  int position = 0;
  bool overran = false;
};

}  // namespace vorlex::testing
