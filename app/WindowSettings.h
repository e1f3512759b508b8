// What the window remembers between starts, in the user's configuration
// folder: the taxation basis and the window's place and size. The period
// always starts on the current month.
#pragma once

namespace vorlex {

class TForm1;

// The remembered basis and geometry onto form; false when no geometry was
// remembered (the window is then centred as at the first start).
bool RestoreWindowSettings(TForm1& form);
void SaveWindowSettings(const TForm1& form);

}  // namespace vorlex
