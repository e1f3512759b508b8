#include "ui/SaveDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>

#include "util/WholeFile.h"

namespace vorlex {

namespace {

// "shown text|pattern|shown text|pattern..." as the file dialog's entries:
// each shown text with its pattern in parentheses, unless it names it already.
QStringList NameFilters(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    const QString& shown = parts[i];
    if (i + 1 >= parts.size()) {
      filters.append(shown);
      break;
    }
    const QString& pattern = parts[i + 1];
    filters.append(shown.endsWith(u'(' + pattern + u')')
                       ? shown
                       : shown + QStringLiteral(" (") + pattern + u')');
  }
  return filters;
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

std::optional<QString> ShowSaveFileDialog(QWidget* parent, TSaveDialog& dialog) {
  QFileDialog box(parent);
  box.setAcceptMode(QFileDialog::AcceptSave);
  box.setFileMode(QFileDialog::AnyFile);
  const QStringList filters = NameFilters(dialog.Filter);
  box.setNameFilters(filters);
  if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size()) {
    box.selectNameFilter(filters[dialog.FilterIndex - 1]);
  }
  box.setOption(QFileDialog::DontConfirmOverwrite, !dialog.OverwritePrompt);
  box.setOption(QFileDialog::ReadOnly, false);
  box.setDefaultSuffix(dialog.DefaultExt);
  if (!dialog.InitialDir.isEmpty()) box.setDirectory(dialog.InitialDir);
  box.selectFile(dialog.FileName);
  const QStringList& names = dialog.TypeFileNames;
  if (names.size() == filters.size()) {
    QObject::connect(&box, &QFileDialog::filterSelected, &box, [&](const QString& filter) {
      const qsizetype type = filters.indexOf(filter);
      const QStringList typed = box.selectedFiles();
      // A name of one's own stays.
      if (type < 0 || (!typed.isEmpty() && !names.contains(QFileInfo(typed.front()).fileName())))
        return;
      box.selectFile(names[type]);
    });
  }
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = box.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  dialog.FilterIndex = static_cast<int>(filters.indexOf(box.selectedNameFilter())) + 1;
  if (dialog.FilterIndex < 1) dialog.FilterIndex = 1;
  return files.front();
}

void SaveExportFile(const QString& fileName, const std::string& bytes) {
  WriteWholeFile(Utf8(fileName), bytes, Utf8(QDir::toNativeSeparators(fileName)));
}

}  // namespace vorlex
