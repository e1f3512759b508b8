// The CSV button's save: the save dialog and the file.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/text/SummaryList.h"

class QWidget;

namespace vorlex {

// The window's save dialog, configured anew before every use.
struct TSaveDialog {
  QString FileName;
  // One entry: the text shown, then "|", then the pattern.
  QString Filter;
  bool OverwritePrompt = false;
  bool HideReadOnly = true;
  QString DefaultExt;  // empty: a name typed without extension is used as typed

  // Shows the dialog; false when the user cancels. On true FileName holds the
  // chosen file.
  bool Execute(QWidget* parent);
};

// Where the dialog is shown: a file dialog by default; tests answer it.
using SaveDialogFunction =
    std::function<std::optional<QString>(QWidget* parent, const TSaveDialog& dialog)>;
SaveDialogFunction& SaveDialogSeam();

// The file dialog itself.
std::optional<QString> ShowSaveFileDialog(QWidget* parent, const TSaveDialog& dialog);

// Writes the CSV bytes of lines to fileName, replacing its whole content only
// when everything has been written. Raises std::runtime_error with
// "Datei %s kann nicht erstellt werden" or "Stream-Write-Fehler"; an existing
// file is then left as it was.
void SaveCsvFile(const QString& fileName, const std::vector<std::string>& lines);
void SaveCsvFile(const QString& fileName, const std::vector<ListLine>& lines);

inline constexpr const char* kCsvProposedName = "vorlex.csv";
inline constexpr const char* kCsvFilter = "\"Comma-Separated-Value\" Dateien (*.csv)|*.csv";

}  // namespace vorlex
