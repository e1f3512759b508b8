#include "ui/CsvSave.h"

#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <stdexcept>

#include "ui/text/CsvExport.h"

namespace vorlex {

namespace {

// "shown text|pattern" as the file dialog's "shown text" with its pattern in
// parentheses; the shown text already names its pattern.
QString NameFilter(const QString& filter) {
  const qsizetype bar = filter.indexOf(u'|');
  if (bar < 0) return filter;
  const QString shown = filter.left(bar);
  const QString pattern = filter.mid(bar + 1);
  if (shown.endsWith(u'(' + pattern + u')')) return shown;
  return shown + QStringLiteral(" (") + pattern + u')';
}

std::string Utf8(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace

bool TSaveDialog::Execute(QWidget* parent) {
  std::optional<QString> chosen = SaveDialogSeam()(parent, *this);
  if (!chosen || chosen->isEmpty()) return false;
  FileName = *chosen;
  return true;
}

SaveDialogFunction& SaveDialogSeam() {
  static SaveDialogFunction seam = ShowSaveFileDialog;
  return seam;
}

std::optional<QString> ShowSaveFileDialog(QWidget* parent, const TSaveDialog& dialog) {
  QFileDialog box(parent);
  box.setAcceptMode(QFileDialog::AcceptSave);
  box.setFileMode(QFileDialog::AnyFile);
  box.setNameFilter(NameFilter(dialog.Filter));
  box.setOption(QFileDialog::DontConfirmOverwrite, !dialog.OverwritePrompt);
  box.setOption(QFileDialog::ReadOnly, false);
  box.setDefaultSuffix(dialog.DefaultExt);
  box.selectFile(dialog.FileName);
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = box.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return files.front();
}

namespace {

void WriteCsv(const QString& fileName, const std::string& bytes) {
  WriteCsvFile(fileName.toUtf8().toStdString(), bytes,
               Utf8(QDir::toNativeSeparators(fileName)));
}

}  // namespace

void SaveCsvFile(const QString& fileName, const std::vector<std::string>& lines) {
  WriteCsv(fileName, CsvBytes(lines));
}

void SaveCsvFile(const QString& fileName, const std::vector<ListLine>& lines) {
  WriteCsv(fileName, CsvBytes(lines));
}

}  // namespace vorlex
