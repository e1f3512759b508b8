// What an evaluation writes to: the summary list's lines and a progress bar.
// The window's list and progress bar, the reporter and the tests each stand
// behind it.
#pragma once

#include <string>

namespace vorlex {

class IEvaluationSink {
 public:
  virtual ~IEvaluationSink() = default;
  virtual void AppendLine(std::string line) = 0;
  // A new stage of the run: the progress maximum, position 0.
  virtual void ProgressStart(int maximum) = 0;
  virtual void ProgressStep() = 0;
};

}  // namespace vorlex
