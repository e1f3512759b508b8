// What an evaluation writes to: the run's entries in list order, the totals
// once the run is complete, and a progress bar. The window's list and progress
// bar, the reporter and the tests each stand behind it.
#pragma once

#include "tax/RunEntry.h"
#include "tax/TaxTotals.h"

namespace vorlex {

class IEvaluationSink {
 public:
  virtual ~IEvaluationSink() = default;
  virtual void AppendEntry(RunEntry entry) = 0;
  // After the last entry of a run that ended without error.
  virtual void RunComplete(const TaxTotals& totals) = 0;
  // A new stage of the run: the progress maximum, position 0.
  virtual void ProgressStart(int maximum) = 0;
  virtual void ProgressStep() = 0;
};

}  // namespace vorlex
