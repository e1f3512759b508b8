#include "ui/DesignMetrics.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <algorithm>

namespace vorlex {

namespace {

constexpr const char* kWindowFontFamily = "MS Sans Serif";

// Where the window's font is missing, the face that stands in for Arial comes
// closest to its narrow letters; the general fallback is much wider and cuts
// the dates in the pickers. Where it is only a bitmap font (as on Windows),
// its TrueType twin or else that face: the toolkit takes a bitmap face's cell
// height for its letter height and so picks the next larger size, which cuts
// the labels.
QString WindowFontFamily() {
  const QString family = QString::fromLatin1(kWindowFontFamily);
  const QString arial = QFontInfo(QFont(QStringLiteral("Arial"))).family();
  if (QFontDatabase::hasFamily(family)) {
    if (QFontDatabase::isSmoothlyScalable(family)) return family;
    const QString twin = QStringLiteral("Microsoft Sans Serif");
    if (QFontDatabase::hasFamily(twin) && QFontDatabase::isSmoothlyScalable(twin)) return twin;
    return arial.isEmpty() ? family : arial;
  }
  if (QFont::substitutes(family).isEmpty() && !arial.isEmpty())
    QFont::insertSubstitution(family, arial);
  return family;
}

}  // namespace

int PointsToPixels(int points, int pixelsPerInch) {
  return (points * pixelsPerInch + 36) / 72;
}

QFont PixelFont(const QString& family, int pixels) {
  QFont font(family);
  font.setPixelSize(std::max(1, pixels));
  return font;
}

QFont TDesignScale::WindowFont() const {
  return PointFont(WindowFontFamily(), 8);
}

}  // namespace vorlex
