// vorlex-report: one evaluation run on the command line, the same lines and
// figures as the window, and optionally the same CSV file.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QDate>
#include <QLocale>
#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/uDB.h"
#include "ledger/Ledger.h"
#include "location/PelmoraLocation.h"
#include "output/EcSalesExport.h"
#include "output/ErrorText.h"
#include "output/ExportFile.h"
#include "output/FilingText.h"
#include "output/SummaryList.h"
#include "output/TableExport.h"
#include "output/YearOverviewText.h"
#include "report/FilingReport.h"
#include "report/JsonReport.h"
#include "report/ReportOptions.h"
#include "report/ReportOutput.h"
#include "report/ReportUsage.h"
#include "tax/EvaluationRun.h"
#include "tax/EvaluationSink.h"
#include "tax/FormFields.h"
#include "tax/PlausibilityHints.h"
#include "tax/SpecialPrepayment.h"
#include "tax/TraderSettings.h"
#include "tax/YearOverview.h"
#include "ui/qtcore/QtText.h"
#include "ui/qtgui/FilingRecordPdf.h"
#include "util/MoneyText.h"
#include "util/Platform.h"
#include "util/WholeFile.h"
#include "util/uDatum.h"
#include "util/uString.h"

namespace vorlex {
namespace {

std::string DatabasePath(const ReportOptions& options) {
  if (!options.db.empty()) return options.db;
  const std::string appDataDir = PelmoraAppDataDir();
  return ReadDatabaseLocation(appDataDir + kSettingsFileName, appDataDir).Path();
}

// The entries of one form field with their lines, and the hints on them
// pointing into these entries.
struct FieldPart {
  std::vector<RunEntry> entries;
  std::vector<std::string> lines;
  std::vector<Hint> hints;
};

FieldPart FieldPartOf(const TRunList& list, const std::vector<Hint>& hints, int field) {
  FieldPart part;
  std::vector<int32_t> index(list.entries.size(), -1);
  for (const int32_t row : FieldLineRows(list.lines, list.entries, field)) {
    const ListLine& line = list.lines[static_cast<size_t>(row)];
    if (line.entry < 0) continue;  // the total lines
    index[static_cast<size_t>(line.entry)] = static_cast<int32_t>(part.entries.size());
    part.entries.push_back(list.entries[static_cast<size_t>(line.entry)]);
    part.lines.push_back(line.text);
  }
  for (const Hint& hint : hints) {
    if (hint.entry >= 0 && index[static_cast<size_t>(hint.entry)] >= 0) {
      part.hints.push_back({index[static_cast<size_t>(hint.entry)], hint.text});
    }
  }
  return part;
}

int RunOverview(const ReportOptions& options, const FormatSettings& format) {
  TDBase db(DatabasePath(options), format);
  const YearOverview overview =
      EvaluateYearOverview(db, *options.overview, options.basis, options.classification);
  db.Close();
  const bool csvToStdout = WriteCsv(options, OverviewCsv(overview, format));
  if (options.json) {
    Write(stdout, OverviewJson(overview));
  } else if (!csvToStdout) {
    for (const std::string& line : OverviewTextLines(overview, format)) WriteText(stdout, line);
  }
  if (!FlushStandardStream(stdout)) RaiseWriteError();
  return 0;
}

// The special prepayment that the year after owes, from the year's months.
int RunSpecialPrepayment(const ReportOptions& options, const FormatSettings& format) {
  const int year = *options.specialPrepayment + 1;
  const FilingSettings ofYear{options.quarterly ? FilingRhythm::Quarterly : FilingRhythm::Monthly,
                              options.extension, std::nullopt};
  SpecialPrepaymentOfYear prepayment = SpecialPrepaymentFor(year, ofYear, {});
  if (prepayment.kind == SpecialPrepaymentKind::Owed) {
    TDBase db(DatabasePath(options), format);
    prepayment = SpecialPrepaymentFromRuns(db, year, options.basis, ofYear,
                                           FilingSettings{FilingRhythm::Monthly, true, {}},
                                           options.classification);
    db.Close();
  }
  if (options.json) {
    Write(stdout, SpecialPrepaymentJson(prepayment, format));
  } else {
    for (const std::string& line : SpecialPrepaymentLines(prepayment, format)) {
      WriteText(stdout, line);
    }
  }
  if (!FlushStandardStream(stdout)) RaiseWriteError();
  return 0;
}

bool IsFilable(const TTaxPeriod& period) {
  return period.PeriodKind != TPeriodKind::Jahr && period.PeriodKind != TPeriodKind::VonBis &&
         period.PeriodKind != TPeriodKind::None;
}

double Today() {
  const QDate today = QDate::currentDate();
  return EncodeDate(today.year(), today.month(), today.day());
}

// format: how the user writes numbers and dates, by which the database is read
// and every text written.
int Run(const ReportOptions& options, const FormatSettings& format) {
  if (options.overview) return RunOverview(options, format);
  if (options.specialPrepayment) return RunSpecialPrepayment(options, format);
  if (options.changes) return RunChanges(options, DatabasePath(options), format);
  TTaxPeriod period;
  if (options.period) {
    period = *options.period;
  } else {
    const QDate today = QDate::currentDate();
    period = MonthPeriod(today.year(), today.month());
  }
  const double firstDay = period.FirstDay;
  const double lastDay = period.LastDay;

  const std::string dbPath = DatabasePath(options);
  TDBase db(dbPath, format);
  TRunList list(format);
  TaxTotals totals;
  EvaluateRun(db, firstDay, lastDay, options.basis, totals, list, options.classification);
  if (options.kz39) {
    list.DeductSpecialPrepayment(*options.kz39);
    totals.field39 = *options.kz39;
  }
  const RunDueDates due = DueDatesOf(period, options.extension, totals);
  // A month or quarter is compared with its latest filing, and recorded.
  std::optional<Filing> run;
  if (IsFilable(period)) {
    run = FilingOfRun(period, options.basis, list.entries, totals);
    run->pelmoraPath = IdentityPath(dbPath);
    run->classification = ClassificationText(options.classification);
    // The trader's VAT id finds the filings of a database that has moved; a
    // filing is made only with it read.
    run->vatId = options.markFiled ? ReadVatId(db) : VatIdOfTrader(db);
    if (options.markFiled) {
      run->filedOn = options.filedOn ? EncodeDate(options.filedOn->year, options.filedOn->month,
                                                  options.filedOn->day)
                                     : Today();
      run->ticket = options.ticket;
      run->note = options.note;
      run->programVersion = VORLEX_VERSION;
    }
  }

  // The EC sales list is made first: when it is refused, no file is written.
  std::string zm;
  std::optional<EcSalesList> zmList;
  if (options.zm) {
    if (const std::string note = EcSalesBasisNote(options.basis, options.classification);
        !note.empty()) {
      WriteText(stderr, note);
    }
    zmList = EcSalesListOfRun(db, options.basis, list.entries, totals, firstDay, lastDay, format,
                              options.classification);
    zm = EcSalesImportBytes(*zmList);
  }
  // A filing keeps the period's EC sales list as it is made now, so that a
  // later run can give the rows that differ; a list that cannot be made is
  // not kept.
  if (run && options.markFiled) {
    if (zmList) {
      run->ecSales = zmList->rows;
    } else {
      try {
        run->ecSales = EcSalesListOfRun(db, options.basis, list.entries, totals, firstDay, lastDay,
                                        format, options.classification)
                           .rows;
      } catch (const EEcSalesRefused&) {
      }
    }
  }
  std::optional<FilingOutcome> filing;
  if (run) filing = LedgerStep(db, options, *run, PelmoraAppDataDir(), format);
  if (filing && zmList && filing->latest && filing->latest->ecSales) {
    filing->ecSalesCorrection = EcSalesCorrection(*filing->latest->ecSales, zmList->rows);
  }
  const std::vector<std::string> filingLines =
      filing ? FilingLines(*filing, format) : std::vector<std::string>{};
  const auto writeFilingLines = [&] {
    if (!filingLines.empty()) WriteText(stdout, "");
    for (const std::string& line : filingLines) WriteText(stdout, line);
  };
  // The CSV and the table are the whole run, whichever entries are printed.
  // The CSV is made as it is written, a few lines at a time, beside the
  // list's lines; the table's bytes are gone before the hints are made.
  bool csvToStdout = WriteOutput(options.csv, CsvPieces(list.lines));
  if (options.table) csvToStdout |= WriteOutput(options.table, TableBytes(list.entries, totals));
  csvToStdout |= WriteOutput(options.zm, zm);
  // The list's file on standard output leaves the correction to standard error.
  if (options.zm && *options.zm == "-" && filing && filing->ecSalesCorrection) {
    for (const std::string& line : EcSalesCorrectionLines(*filing->ecSalesCorrection)) {
      WriteText(stderr, line);
    }
  }
  // The list as printed: its lines and the figures beneath them come before
  // the hints, and so are written before the hints are made. A year's lines
  // are then gone, so that they and the hints never need room at once.
  const bool printsList = !options.field && !options.elster && !options.json && !csvToStdout;
  if (printsList) {
    WriteText(stdout, PeriodCaption(firstDay, lastDay, options.basis, format));
    for (const ListLine& line : list.lines) WriteText(stdout, line.text);
    WriteText(stdout, "");
    const std::array<std::string, 6> figures = OverviewCells(totals, format);
    for (size_t i = 0; i < kFormFields.size(); ++i) {
      if (kFormFields[i].number == 83 && options.kz39)
        WriteFigure(39, FormatCents(totals.field39, format));
      // Field 83 where it cannot be computed.
      WriteFigure(kFormFields[i].number, figures[i].empty() ? "-" : figures[i]);
    }
    // The further figures of the exact classification, where they are not 0.
    for (const FormField& field : kFurtherFields) {
      if (const double value = FigureOf(field, totals); value != 0) {
        WriteText(stdout, FurtherFieldTag(field) + ": " + FormatMoney(value, format));
      }
    }
    for (const std::string& line : DueDateLines(due, ": ")) WriteText(stdout, line);
    writeFilingLines();
  }
  // Only the lines of one field are printed from the list after this.
  if (!options.field) std::vector<ListLine>().swap(list.lines);
  // The hints of a simple run end with what the exact classification would do,
  // which may read an order's lines.
  std::vector<Hint> hints =
      PlausibilityHints(list.entries, firstDay, lastDay, format, options.classification.rules,
                        ExactSharesFromDatabase(db, options.classification.sales));
  db.Close();
  if (options.field) {
    FieldPart part = FieldPartOf(list, hints, *options.field);
    hints = std::move(part.hints);
    if (options.json) {
      Write(stdout, RunJson({&period, options.basis, &part.entries, &totals, &hints, *options.field,
                             filing ? &*filing : nullptr, options.classification.rules},
                            format));
    } else if (!csvToStdout) {
      WriteText(stdout, PeriodCaption(firstDay, lastDay, options.basis, format));
      WriteText(stdout, FieldFilterNote(*options.field, part.entries.size()));
      for (const std::string& line : part.lines) WriteText(stdout, line);
      WriteText(stdout, "");
      WriteFigure(*options.field,
                  FormatMoney(FigureOf(FormFieldNumbered(*options.field), totals), format));
      writeFilingLines();
      WriteHints(hints);
    }
  } else if (options.elster) {
    std::vector<PortalFigure> figures = PortalFigures(totals);
    // A filed period whose figures changed is filed again as the corrected
    // return: field 10 ("Berichtigte Anmeldung") is 1.
    if (filing && filing->changes && !filing->changes->figures.empty() && !figures.empty()) {
      figures.insert(figures.begin(), PortalFigure{10, false, 100, true});
    }
    if (options.json) {
      Write(stdout, PortalJson(figures));
    } else if (!csvToStdout) {
      WriteText(stdout, PeriodCaption(firstDay, lastDay, options.basis, format));
      WriteStandardStream(stdout, PortalText(figures));
      for (const std::string& line : DueDateLines(due, ": ")) WriteText(stdout, line);
    }
  } else if (options.json) {
    Write(stdout, RunJson({&period, options.basis, &list.entries, &totals, &hints, 0,
                           filing ? &*filing : nullptr, options.classification.rules, &due},
                          format));
  } else if (printsList) {
    WriteHints(hints);
  }
  if (!FlushStandardStream(stdout)) RaiseWriteError();
  if (options.record && filing && filing->recorded) {
    WriteWholeFile(*options.record, FilingRecordPdf(*filing->recorded, format).toStdString(),
                   *options.record);
  }
  // The figures stand; the ledger's trouble is said beneath them.
  if (filing && !filing->error.empty()) {
    Write(stderr, QByteArray::fromStdString(filing->error) + '\n');
    if (options.markFiled) return 1;
  }
  // Scripts can stop at a run that should be looked at.
  return options.strict && !hints.empty() ? 3 : 0;
}

}  // namespace
}  // namespace vorlex

int main(int argc, char** argv) {
  using namespace vorlex;
  PrepareStandardStreams();
  // Only a PDF record needs fonts, and so a screen: the offscreen one. Every
  // other run stays a program without QtGui.
  const bool record = std::any_of(argv + 1, argv + argc, [](const char* argument) {
    const std::string_view text(argument);
    return text == "--record" || text.starts_with("--record=");
  });
  if (record) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen screen reads font files itself; on Windows it finds them
    // only when told the system's folder.
    if (const std::string fonts = SystemFontsFolder();
        !fonts.empty() && qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR")) {
      qputenv("QT_QPA_FONTDIR", QString::fromStdString(fonts).toLocal8Bit());
    }
  }
  const std::unique_ptr<QCoreApplication> app =
      record ? std::make_unique<QGuiApplication>(argc, argv)
             : std::make_unique<QCoreApplication>(argc, argv);
  const FormatSettings format = FormatSettingsFromLocale(QLocale::system());

  ReportOptions options;
  try {
    options = ParseReportArguments(ProgramArguments(argc, argv));
  } catch (const EUsage& e) {
    WriteText(stderr, std::string("vorlex-report: ") + e.what());
    WriteText(stderr, ReportUsage());
    return 2;
  }
  if (options.help) {
    Write(stdout, DecodeText(ReportUsage()).toUtf8());
    return 0;
  }
  try {
    return Run(options, format);
  } catch (...) {
    // What is wrong and what to do, then the technical message.
    const ErrorText error = DescribeCurrentException(
        {ErrorFront::Report, options.db.empty() ? PelmoraAppDataDir() + kSettingsFileName : ""});
    Write(stderr, QByteArray::fromStdString(error.sentence) + '\n');
    if (!error.detail.empty()) WriteText(stderr, error.detail);
    return 1;
  }
}
