#include "app/WindowSettings.h"

#include <QSettings>
#include <algorithm>
#include <memory>

#include "app/Unit1.h"

namespace vorlex {

namespace {

// An INI file on every platform: ~/.config/Vorlex/vorlex.ini, on Windows in
// the roaming application-data folder.
std::unique_ptr<QSettings> Store() {
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                     QStringLiteral("Vorlex"), QStringLiteral("vorlex"));
}

const QString kBasisKey = QStringLiteral("Versteuerung");
const QString kGeometryKey = QStringLiteral("Fenster");

}  // namespace

bool RestoreWindowSettings(TForm1& form) {
  const std::unique_ptr<QSettings> settings = Store();
  const int basis = settings->value(kBasisKey, 0).toInt();
  if (basis == 0 || basis == 1) form.rgVersteuerung->SetItemIndex(basis);
  const QByteArray geometry = settings->value(kGeometryKey).toByteArray();
  return !geometry.isEmpty() && form.restoreGeometry(geometry);
}

void SaveWindowSettings(const TForm1& form) {
  const std::unique_ptr<QSettings> settings = Store();
  settings->setValue(kBasisKey, std::max(0, form.rgVersteuerung->ItemIndex()));
  settings->setValue(kGeometryKey, form.saveGeometry());
}

}  // namespace vorlex
