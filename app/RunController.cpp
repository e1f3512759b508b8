#include "app/RunController.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressBar>
#include <QScopeGuard>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <utility>

#include "app/Application.h"
#include "db/uDB.h"
#include "location/PelmoraLocation.h"
#include "output/SummaryList.h"
#include "tax/EvaluationRun.h"
#include "tax/TraderSettings.h"
#include "ui/SummaryListView.h"
#include "ui/qtcore/QtText.h"
#include "util/ProgramText.h"

namespace vorlex {

namespace {

// The run's entries and lines go into a list that the model takes over when
// the run ends, so that a long run costs one reset of the view. The progress
// bar moves in hundredths of the stage, which bounds its repaints.
class TWindowSink : public TRunList {
 public:
  TWindowSink(QProgressBar& bar, const FormatSettings& format) : TRunList(format), bar_(bar) {}

  void ProgressStart(int maximum) override {
    TRunList::ProgressStart(maximum);
    maximum_ = std::max(0, maximum);
    steps_ = 0;
    Show(0);
  }

  void ProgressStep() override {
    ++steps_;
    if (maximum_ > 0) Show(static_cast<int>(std::min<int64_t>(100, steps_ * 100 / maximum_)));
  }

  void HandOver(TSummaryListModel& model) { model.SetLines(std::move(lines), std::move(entries)); }

 private:
  void Show(int value) {
    if (value == shown_) return;
    shown_ = value;
    bar_.setValue(value);
  }

  QProgressBar& bar_;
  int64_t maximum_ = 0;
  int64_t steps_ = 0;
  int shown_ = -1;
};

}  // namespace

TRunController::TRunController(ProgramContext& program, TSummaryListView& list,
                               QProgressBar& progress, QObject* parent)
    : QObject(parent), program_(program), list_(list), progress_(progress) {}

void TRunController::ReadLocation() {
  program_.AppDataDir = PelmoraAppDataDir();
  const DatabaseLocation location =
      ReadDatabaseLocation(program_.AppDataDir + kSettingsFileName, program_.AppDataDir);
  program_.DbFolder = location.DbFolder;
  program_.DbName = location.DbName;
}

bool TRunController::Admit(std::function<void()> again) {
  // Without an open database the request opens it first, as start-up does.
  if (!program_.EvaluationEnabled) return false;
  if (!running_) return true;
  // A request that reaches the window while a run paints its caption takes
  // effect once that run has ended.
  const bool queued = static_cast<bool>(waiting_);
  waiting_ = std::move(again);
  if (!queued) {
    QMetaObject::invokeMethod(
        this, [this] { RunShowingErrors(std::exchange(waiting_, nullptr)); },
        Qt::QueuedConnection);
  }
  return false;
}

void TRunController::Run(double firstDay, double lastDay, TaxationBasis basis) {
  if (!program_.Database) {
    OpenAndRun(firstDay, lastDay, basis);
  } else {
    Evaluate(firstDay, lastDay, basis);
  }
}

void TRunController::OpenAndRun(double firstDay, double lastDay, TaxationBasis basis) {
  OpenFor([&] { Evaluate(firstDay, lastDay, basis); });
  const std::string vatId = ReadVatId(*program_.Database);
  emit VatIdRead(DecodeText(vatId));
}

void TRunController::WithDatabase(const std::function<void(TDBase&)>& use) {
  if (program_.Database) {
    use(*program_.Database);
  } else {
    OpenFor([&] { use(*program_.Database); });
  }
}

void TRunController::OpenFor(const std::function<void()>& use) {
  ReadLocation();
  try {
    program_.Database =
        std::make_unique<TDBase>(program_.DbFolder + program_.DbName, program_.format);
    use();
  } catch (...) {
    // A database that opens but cannot be evaluated (an empty file, another
    // program's database) is not kept either: the next request opens afresh,
    // so that a database restored in its place is found.
    if (program_.Database) program_.Database->Close();
    program_.Database.reset();
    throw;
  }
}

void TRunController::CloseDatabase() {
  if (program_.Database) program_.Database->Close();
}

void TRunController::Evaluate(double firstDay, double lastDay, TaxationBasis basis) {
  if (!program_.Database) throw std::runtime_error("Keine Datenbank geöffnet"_cp1252);
  running_ = true;
  lastRunComplete_ = false;
  lastRunChoice_ = choice_;
  const auto runEnd = qScopeGuard([this] { running_ = false; });

  emit PeriodChosen(firstDay, lastDay, basis);
  // Paint the caption before the run blocks the window; user input waits until
  // the run has ended, so no request can start a run inside this one.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

  program_.totals = TaxTotals{};
  emit Cleared();
  list_.hide();
  progress_.setValue(0);
  progress_.show();
  list_.Model().Clear();

  TWindowSink sink(progress_, program_.format);
  const auto showList = [&] {
    progress_.hide();
    sink.HandOver(list_.Model());
    // Every new list starts at its first line.
    list_.scrollToTop();
    list_.show();
  };
  try {
    EvaluateRun(*program_.Database, firstDay, lastDay, basis, program_.totals, sink,
                lastRunChoice_);
    if (field39_) {
      const int64_t field39 = field39_(*program_.Database, firstDay, lastDay, basis);
      sink.DeductSpecialPrepayment(field39);
      program_.totals.field39 = field39;
    }
  } catch (...) {
    // No figures of another period may stay under the new caption: the list
    // shows what was read before the error, the pictures are empty boxes.
    showList();
    emit Failed();
    throw;
  }
  showList();
  emit Finished(firstDay, lastDay);
  lastRunComplete_ = true;
  lastRunDays_ = {firstDay, lastDay};
  lastRunBasis_ = basis;
}

}  // namespace vorlex
