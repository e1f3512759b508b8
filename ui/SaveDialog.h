// The save dialog of the window's exports, and the file it chose.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

#include "util/ProgramText.h"

class QWidget;

namespace vorlex {

// The window's save dialog, configured anew before every use.
struct TSaveDialog {
  QString FileName;
  // The name proposed for each entry of Filter, in its order: choosing a type
  // in the dialog proposes its name, unless a name of one's own was typed.
  // Empty: FileName whatever the type.
  QStringList TypeFileNames;
  // The folder the dialog opens in; empty: where the system's dialog starts.
  QString InitialDir;
  // Its entries one after another: the text shown, then "|", then the
  // pattern, entries separated by "|".
  QString Filter;
  // The entry chosen, from 1: set before Execute, read after it.
  int FilterIndex = 1;
  bool OverwritePrompt = false;
  bool HideReadOnly = true;
  QString DefaultExt;  // empty: a name typed without extension is used as typed

  // Shows the dialog; false when the user cancels. On true FileName holds the
  // chosen file.
  bool Execute(QWidget* parent);
};

// Where the dialog is shown: a file dialog by default; tests answer it.
// A function that answers the dialog may set its FilterIndex.
using SaveDialogFunction =
    std::function<std::optional<QString>(QWidget* parent, TSaveDialog& dialog)>;
SaveDialogFunction& SaveDialogSeam();

// The file dialog itself.
std::optional<QString> ShowSaveFileDialog(QWidget* parent, TSaveDialog& dialog);

// Writes an export's bytes to the chosen file, replacing its whole content
// only when everything has been written; else raises EWriteError
// (util/WholeFile.h) naming the file as the system shows it, and an existing
// file is left as it was.
void SaveExportFile(const QString& fileName, const std::string& bytes);

inline constexpr const char* kCsvProposedName = "vorlex.csv";
inline constexpr const char* kCsvFilter = "\"Comma-Separated-Value\" Dateien (*.csv)|*.csv";
// The two further file types of the CSV button (Windows-1252).
inline constexpr const char* kTableFilter = "Tabelle für Tabellenkalkulation (*.csv)|*.csv"_cp1252;
inline constexpr const char* kEcSalesFilter = "Zusammenfassende Meldung (BZSt-Import)|*.csv";

}  // namespace vorlex
