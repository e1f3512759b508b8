// Opening Pelmora's database and running the evaluation in the window: reads
// the settings file, opens the database it names (again after a failure),
// runs a period into the summary list with the progress bar in its place, and
// keeps a request that comes during a run until the run has ended.
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "app/ProgramContext.h"
#include "tax/Classification.h"
#include "tax/TaxationBasis.h"

class QProgressBar;

namespace vorlex {

class TDBase;
class TSummaryListView;

class TRunController : public QObject {
  Q_OBJECT
 public:
  TRunController(ProgramContext& program, TSummaryListView& list, QProgressBar& progress,
                 QObject* parent);

  // Pelmora's settings file as it is now.
  void ReadLocation();

  // Whether a request may run now. While start-up has not ended nothing runs;
  // during a run, again is called once that run has ended (the last again of
  // however many requests came meanwhile).
  bool Admit(std::function<void()> again);
  // Runs the period, opening the database first when none is open.
  void Run(double firstDay, double lastDay, TaxationBasis basis);
  // Opens the database the settings name, runs the period and reads the
  // trader's VAT id; on failure no database stays open.
  void OpenAndRun(double firstDay, double lastDay, TaxationBasis basis);
  // One run on the open database.
  void Evaluate(double firstDay, double lastDay, TaxationBasis basis);
  // Hands the database to use, opening it first when none is open; when that
  // open or use fails no database stays open.
  void WithDatabase(const std::function<void(TDBase&)>& use);
  // Start-up has ended without a database: the next request tries again.
  bool WaitingForDatabase() const { return program_.EvaluationEnabled && !program_.Database; }
  void CloseDatabase();
  // Field 39 of a complete run's period, asked on the open database before the
  // list is shown; none: 0.
  using Field39Source = std::function<int64_t(TDBase&, double firstDay, double lastDay,
                                              TaxationBasis basis)>;
  void SetField39Source(Field39Source source) { field39_ = std::move(source); }

  // The classification every run from now on uses.
  void SetChoice(ClassificationChoice choice) { choice_ = choice; }
  ClassificationChoice Choice() const { return choice_; }

  bool Running() const { return running_; }
  // The list holds the whole result of the last run.
  bool LastRunComplete() const { return lastRunComplete_; }
  // The first and the last day of the last complete run.
  const std::array<double, 2>& LastRunDays() const { return lastRunDays_; }
  TaxationBasis LastRunBasis() const { return lastRunBasis_; }
  // The classification of the run under way or the last one.
  ClassificationChoice LastRunChoice() const { return lastRunChoice_; }

 signals:
  // A run begins: its period is to be shown before the list empties.
  void PeriodChosen(double firstDay, double lastDay, vorlex::TaxationBasis basis);
  // The figures of the run before are gone.
  void Cleared();
  // The run ended whole: the totals in the program's values, the entries in the list.
  void Finished(double firstDay, double lastDay);
  // The run broke off: the list shows what was read before the error.
  void Failed();
  void VatIdRead(const QString& vatId);

 private:
  void OpenFor(const std::function<void()>& use);

  ProgramContext& program_;
  TSummaryListView& list_;
  QProgressBar& progress_;
  bool running_ = false;
  std::function<void()> waiting_;  // the request to run once the run has ended
  Field39Source field39_;
  bool lastRunComplete_ = false;
  std::array<double, 2> lastRunDays_{};
  TaxationBasis lastRunBasis_ = TaxationBasis::Ist;
  ClassificationChoice choice_;
  ClassificationChoice lastRunChoice_;
};

}  // namespace vorlex
