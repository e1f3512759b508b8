// vorlex-bench window: one evaluation run in the window against the same run
// without widgets, on the year-100k databases of vorlex-bench; the progress
// bar's repaints per run, and scrolling the list to its end. Runs without a
// screen (QT_QPA_PLATFORM=offscreen unless set otherwise).
#include <QApplication>
#include <QDate>
#include <QEvent>
#include <QProgressBar>
#include <QScrollBar>
#include <algorithm>
#include <charconv>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/Controls.h"
#include "app/Unit1.h"
#include "bench/Args.h"
#include "bench/Benchmark.h"
#include "bench/TempFolder.h"
#include "db/uDB.h"
#include "tax/EvaluationRun.h"
#include "testdb/PelmoraDb.h"
#include "ui/SummaryListView.h"
#include "util/uDatum.h"

namespace vorlex::bench {

namespace fs = std::filesystem;

namespace {

class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

const char* const kUsage =
    "usage: vorlex-bench window [--dir DIR] [--runs N]\n"
    "Times one evaluation run of the whole last year of year-100k (taxation basis\n"
    "\"Soll\") in the window and without widgets, side by side, with and without the\n"
    "index; counts the progress bar's repaints and times scrolling the list to its\n"
    "end. --dir: the databases of vorlex-bench (default: data beside the program);\n"
    "--runs: rounds, median taken (default 5).\n";

}  // namespace

int WindowCommand(const std::vector<std::string>& args, int& argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  std::string dir;
  int runs = 5;
  try {
    TArgs arg(args);
    while (arg.Next()) {
      if (arg.Is("--help")) {
        std::cout << kUsage;
        return 0;
      } else if (!arg.DirOrRuns(dir, runs)) {
        arg.Unknown();
      }
    }
  } catch (const std::invalid_argument& e) {
    return WrongArguments("window", e.what(), kUsage);
  }
  QApplication app(argc, argv);
  if (dir.empty()) dir = DataFolder();
  const Workload& workload = *FindWorkload("year-100k");
  const Period period = LastYear(workload.options);
  const TTempFolder appData("vorlex-bench-window");
  MessageBoxSeam() = [](QWidget*, MessageKind, const QString& text, const QString& detail) {
    std::cerr << "vorlex-bench window: the window says: " << text.toStdString() << " "
              << detail.toStdString() << "\n";
  };
  std::cout << "Vorlex window benchmark: medians of " << runs << " rounds, year-100k, taxation"
            << " basis Soll, the whole year\n";
  try {
    for (const bool index : {true, false}) {
      bool reused = false;
      const fs::path db = fs::absolute(EnsureDatabase(dir, workload, index, reused));
      fs::create_directories(appData.Path() / "Pelmora");
      testdb::WriteSettingsFile(appData.File("Pelmora/pelmora.ini"),
                                db.parent_path().string() + "/", db.filename().string());
      qputenv("APPDATA", QByteArray::fromStdString(appData.Path().string()));

      ProgramContext program;
      TForm1 form(program, 96);
      form.resize(1100, 750);
      form.FormCreate(QDate(DecodeDate(period.lastDay).year, 12, 1));
      form.show();
      auto* list = form.findChild<TSummaryListView*>(QStringLiteral("lbUst"));
      auto* progress = form.findChild<QProgressBar*>(QStringLiteral("pB"));
      // "Soll": every order of the year.
      form.findChild<TRadioGroup*>(QStringLiteral("rgVersteuerung"))->SetItemIndex(1);
      app.processEvents();
      PaintCounter counter;
      progress->installEventFilter(&counter);
      TDBase headlessDb(db.string(), program.format);

      std::vector<double> headless, window, painted, scroll;
      int maxPaints = 0;
      size_t lines = 0;
      bool atEnd = true;
      for (int i = 0; i < runs; ++i) {
        {
          TRunList sink(program.format);
          TaxTotals totals;
          const TStopwatch clock;
          EvaluateRun(headlessDb, period.firstDay, period.lastDay, TaxationBasis::Soll, totals,
                      sink);
          headless.push_back(clock.Seconds());
          lines = sink.lines.size();
        }
        counter.paints = 0;
        const TStopwatch clock;
        form.EvaluationRun(period.firstDay, period.lastDay);
        window.push_back(clock.Seconds());
        app.processEvents();  // the list and the form pictures painted
        painted.push_back(clock.Seconds());
        maxPaints = std::max(maxPaints, counter.paints);
        if (list->Model().Rows().size() != lines) {
          throw std::runtime_error("the window lists another number of lines than the core");
        }
        const TStopwatch scrolling;
        list->scrollToBottom();
        app.processEvents();
        scroll.push_back(scrolling.Seconds());
        QScrollBar* bar = list->verticalScrollBar();
        atEnd = atEnd && bar->value() == bar->maximum();
        list->scrollToTop();
        app.processEvents();
      }
      form.close();
      const double h = Median(headless);
      std::cout << "\nyear-100k, " << (index ? "index" : "no-index") << " (" << lines << " lines)\n"
                << "  headless run           " << Fixed(h, 3) << " s\n"
                << "  window run             " << Fixed(Median(window), 3)
                << " s   window/headless " << Fixed(Median(window) / h, 2) << "\n"
                << "  window run and paint   " << Fixed(Median(painted), 3)
                << " s   window/headless " << Fixed(Median(painted) / h, 2) << "\n"
                << "  progress bar repaints  " << maxPaints << " per run at most\n"
                << "  scroll to the end      " << Fixed(Median(scroll) * 1000, 1) << " ms"
                << (atEnd ? "" : " (NOT at the end)") << "\n";
    }
  } catch (const std::exception& e) {
    return Failed("window", e.what());
  }
  return 0;
}

}  // namespace vorlex::bench
