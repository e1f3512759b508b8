#include "app/WindowPlacement.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace vorlex {

void PlaceBeside(QWidget& window, const QWidget& owner, int minimumWidth) {
  const QScreen* screen = owner.screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QRect outer = owner.frameGeometry();
  const QRect inner = owner.geometry();
  // A window not yet shown has no frame of its own; it gets the owner's.
  const int frameWidth = outer.width() - inner.width();
  const int frameHeight = outer.height() - inner.height();

  const int height = std::max(1, std::min(window.height(), area.height() - frameHeight));
  int width = std::min(window.width(), area.width() - frameWidth);
  const int roomRight = area.right() - outer.right() - frameWidth;
  const int roomLeft = outer.left() - area.left() - frameWidth;
  int x = 0;
  if (roomRight >= width) {
    x = outer.right() + 1;
  } else if (roomLeft >= width) {
    x = outer.left() - width - frameWidth;
  } else if (std::max(roomRight, roomLeft) >= minimumWidth) {
    width = std::max(roomRight, roomLeft);
    x = roomRight >= roomLeft ? outer.right() + 1 : area.left();
  } else {
    width = std::min(width, minimumWidth);
    x = area.right() + 1 - width - frameWidth;
  }
  const int lowest = area.bottom() + 1 - height - frameHeight;
  const int y = std::clamp(outer.top(), area.top(), std::max(area.top(), lowest));
  window.resize(width, height);
  window.move(std::max(area.left(), x), y);
}

}  // namespace vorlex
