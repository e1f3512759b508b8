// The window is laid out in pixels at 96 pixels per inch; on another screen
// every length and every font is scaled to its resolution, here and nowhere
// else.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

namespace vorlex {

// Points to pixels as the window does it: rounded, at the given pixels per inch.
int PointsToPixels(int points, int pixelsPerInch);

// A font of family whose letters are pixels high (at least one pixel).
QFont PixelFont(const QString& family, int pixels);

class TDesignScale {
 public:
  explicit TDesignScale(int pixelsPerInch) : ppi_(pixelsPerInch) {}

  int PixelsPerInch() const { return ppi_; }
  // A design length on this screen, truncated as the layout always was.
  int operator()(int designPixels) const { return designPixels * ppi_ / 96; }
  QRect Rect(int left, int top, int width, int height) const {
    return {(*this)(left), (*this)(top), (*this)(width), (*this)(height)};
  }
  // A font of family in points.
  QFont PointFont(const QString& family, int points) const {
    return PixelFont(family, PointsToPixels(points, ppi_));
  }
  // The window's own font, 8 points of "MS Sans Serif" or what stands in for it.
  QFont WindowFont() const;

 private:
  int ppi_;
};

}  // namespace vorlex
