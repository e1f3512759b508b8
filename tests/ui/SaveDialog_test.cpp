#include "ui/SaveDialog.h"

#include <gtest/gtest.h>

#include "output/ExportFile.h"
#include "tests/ListTexts.h"
#include "ui/qtcore/QtText.h"
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlex {
namespace {

std::string ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  return file.readAll().toStdString();
}

void WriteAll(const QString& path, const std::string& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  return "<no error>";
}

const std::vector<std::string> kLines = {
    "E   |   01.05.2026   |   Ware   |   Meier   |   100,00   |   119,00",
    "-------",
    "     Nicht EU:  0,00",
    "",
};
const std::string kBytes =
    "E   ;   01.05.2026   ;   Ware   ;   Meier   ;   100,00   ;   119,00\r\n"
    "-------\r\n"
    "     Nicht EU:  0,00\r\n"
    "\r\n";

TEST(SaveDialog, WritesCreatesAndReplaces) {
  QTemporaryDir dir;
  struct Row {
    const char* name;
    QString file;
    std::string before;  // empty: no file before
  };
  const Row rows[] = {
      {"new file", dir.filePath("vorlex.csv"), ""},
      {"replaces a longer file wholly", dir.filePath("alt.csv"), std::string(5000, 'x')},
      {"name without extension used as typed", dir.filePath("bericht"), ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (!row.before.empty()) WriteAll(row.file, row.before);
    SaveExportFile(row.file, CsvBytes(ListLinesOf(kLines)));
    EXPECT_EQ(ReadAll(row.file), kBytes);
  }
  EXPECT_FALSE(QFile::exists(dir.filePath("bericht.csv")));
  // Nothing but the written files is left in the folder.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);

  SaveExportFile(dir.filePath("leer.csv"), CsvBytes(ListLinesOf(std::vector<std::string>{})));
  EXPECT_EQ(ReadAll(dir.filePath("leer.csv")), "");
}

TEST(SaveDialog, FileThatCannotBeCreatedNamesIt) {
  QTemporaryDir dir;
  WriteAll(dir.filePath("datei"), "kein Ordner");
  const QString paths[] = {dir.filePath("fehlt/vorlex.csv"), dir.filePath("datei/vorlex.csv"),
                           dir.path()};
  for (const QString& path : paths) {
    SCOPED_TRACE(path.toStdString());
    EXPECT_EQ(
        MessageOf([&] { SaveExportFile(path, CsvBytes(ListLinesOf(kLines))); }),
        "Datei " + QDir::toNativeSeparators(path).toStdString() + " kann nicht erstellt werden");
  }
  EXPECT_EQ(ReadAll(dir.filePath("datei")), "kein Ordner");
}

// File-size limits are POSIX only; Windows's own replacing is tested in
// tests/util/WholeFile_test.cpp.
#ifndef _WIN32
// The process may write files of at most limit bytes while it lives.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved_;
    small.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit saved_{};
  sighandler_t oldHandler_;
};

TEST(SaveDialog, FailedWriteKeepsTheOldFileWhole) {
  // Larger than the limit, and smaller or larger than the buffers of the file
  // layers (a buffer filled but never flushed must fail the save too).
  struct Row {
    const char* name;
    size_t lines;
    rlim_t limit;
  };
  const Row rows[] = {{"small", 40, 1024}, {"large", 2000, 4096}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QTemporaryDir dir;
    const QString path = dir.filePath("vorlex.csv");
    const std::string old = "alter Inhalt\r\n";
    WriteAll(path, old);
    const std::vector<std::string> lines(row.lines, kLines[0]);
    {
      FileSizeLimit limit(row.limit);
      EXPECT_EQ(MessageOf([&] { SaveExportFile(path, CsvBytes(ListLinesOf(lines))); }),
                "Stream-Write-Fehler");
    }
    EXPECT_EQ(ReadAll(path), old);
    // No half-written file stays behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("vorlex.csv")});

    // A new file that fails does not appear at all.
    const QString fresh = dir.filePath("neu.csv");
    {
      FileSizeLimit limit(row.limit);
      EXPECT_EQ(MessageOf([&] { SaveExportFile(fresh, CsvBytes(ListLinesOf(lines))); }),
                "Stream-Write-Fehler");
    }
    EXPECT_FALSE(QFile::exists(fresh));

    // Without the limit the file is replaced whole, its permissions kept.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    SaveExportFile(path, CsvBytes(ListLinesOf(lines)));
    EXPECT_EQ(ReadAll(path), CsvBytes(lines));
    EXPECT_EQ(QFile::permissions(path),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadUser |
                  QFile::WriteUser);
  }
}
#endif

// Shows the dialog; look handles the box as the user would.
std::optional<QString> Answer(TSaveDialog& dialog, const std::function<void(QFileDialog*)>& look) {
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    look(box);
  });
  return ShowSaveFileDialog(nullptr, dialog);
}

// One file type or three: the one asked for is selected, the one chosen comes back.
TEST(SaveDialog, FileDialogIsConfiguredAsAsked) {
  QTemporaryDir dir;
  QDir::setCurrent(dir.path());
  TSaveDialog dialog;
  dialog.FileName = QString::fromLatin1(kCsvProposedName);
  dialog.Filter = QString::fromLatin1(kCsvFilter);

  QStringList filters;
  QString suffix = QStringLiteral("unset");
  bool noOverwriteQuestion = false;
  bool acceptSave = false;
  QStringList selected;
  EXPECT_EQ(Answer(dialog,
                   [&](QFileDialog* box) {
                     filters = box->nameFilters();
                     suffix = box->defaultSuffix();
                     noOverwriteQuestion = box->testOption(QFileDialog::DontConfirmOverwrite);
                     acceptSave = box->acceptMode() == QFileDialog::AcceptSave;
                     selected = box->selectedFiles();
                     box->reject();
                   }),
            std::nullopt);
  EXPECT_EQ(filters, QStringList{QStringLiteral("\"Comma-Separated-Value\" Dateien (*.csv)")});
  EXPECT_EQ(suffix, QString());
  EXPECT_TRUE(noOverwriteQuestion);
  EXPECT_TRUE(acceptSave);
  ASSERT_EQ(selected.size(), 1);
  EXPECT_TRUE(selected.front().endsWith(QStringLiteral("/vorlex.csv")));

  TSaveDialog types;
  types.FileName = QStringLiteral("zm.csv");
  types.Filter = QString::fromLatin1(kCsvFilter) + u'|' + DecodeText(kTableFilter) + u'|' +
                 DecodeText(kEcSalesFilter);
  types.FilterIndex = 2;
  QString first;
  const std::optional<QString> chosen = Answer(types, [&](QFileDialog* box) {
    filters = box->nameFilters();
    first = box->selectedNameFilter();
    box->selectNameFilter(filters.value(2));
    static_cast<QDialog*>(box)->accept();  // QFileDialog::accept, as its button does
  });
  ASSERT_TRUE(chosen.has_value());
  EXPECT_TRUE(chosen->endsWith(QStringLiteral("/zm.csv")));
  EXPECT_EQ(filters,
            (QStringList{QStringLiteral("\"Comma-Separated-Value\" Dateien (*.csv)"),
                         QStringLiteral("Tabelle f\u00FCr Tabellenkalkulation (*.csv)"),
                         QStringLiteral("Zusammenfassende Meldung (BZSt-Import) (*.csv)")}));
  EXPECT_EQ(first, filters.value(1));
  EXPECT_EQ(types.FilterIndex, 3);
}

}  // namespace
}  // namespace vorlex
