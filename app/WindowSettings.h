// What the window remembers between starts, in the user's configuration
// folder: the taxation basis and the window's place and size. The period
// always starts on the current month.
#pragma once

class QWidget;

namespace vorlex {

class TPeriodChoice;

// The remembered basis onto choice and geometry onto window; false when no
// geometry was remembered (the window is then centred as at the first start).
bool RestoreWindowSettings(QWidget& window, TPeriodChoice& choice);
void SaveWindowSettings(const QWidget& window, const TPeriodChoice& choice);

}  // namespace vorlex
