// What the window remembers between starts, in the user's configuration
// folder: the taxation basis and the classification, the window's place and
// size, the folder last saved to, and how the trader files in each year. The period always starts on
// the current month.
#pragma once

#include <QString>
#include <map>

#include "tax/FilingCalendar.h"

class QWidget;

namespace vorlex {

class TClassificationChoice;
class TPeriodChoice;

// The remembered basis onto choice, the classification onto classification
// and geometry onto window; false when no geometry was remembered (the window
// is then centred as at the first start).
bool RestoreWindowSettings(QWidget& window, TPeriodChoice& choice,
                           TClassificationChoice& classification);
void SaveWindowSettings(const QWidget& window, const TPeriodChoice& choice,
                        const TClassificationChoice& classification);

// Where the save dialog opens: the folder last saved to, while it is there,
// else the user's documents folder (the home folder where there is none). Never
// the working folder, which is the program's own when started from a menu.
QString SaveFolder();
void RememberSaveFolder(const QString& folder);

// The filing settings of every year that has its own; a year without takes
// those of the year before (SettingsOfYear).
std::map<int, FilingSettings> StoredFilingSettings();
FilingSettings FilingSettingsOfYear(int year);
void SaveFilingSettings(int year, const FilingSettings& settings);

}  // namespace vorlex
