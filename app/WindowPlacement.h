// Where the program's other windows open: beside the main window, inside the
// screen's available area.
#pragma once

class QWidget;

namespace vorlex {

// Moves window beside owner: to its right, else to its left, where it fits;
// otherwise as narrow as minimumWidth allows on the side with more room, and
// at the screen's right edge when even that does not fit, so that it covers
// the owner's right-hand part (the figures) rather than its list. Never
// taller than the screen's available height; its top at the owner's top as
// far as the screen allows.
void PlaceBeside(QWidget& window, const QWidget& owner, int minimumWidth);

}  // namespace vorlex
