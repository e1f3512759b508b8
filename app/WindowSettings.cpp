#include "app/WindowSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>
#include <memory>

#include "app/PeriodChoice.h"

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
const QString kSaveFolderKey = QStringLiteral("Speicherordner");

}  // namespace

bool RestoreWindowSettings(QWidget& window, TPeriodChoice& choice) {
  const std::unique_ptr<QSettings> settings = Store();
  const int basis = settings->value(kBasisKey, 0).toInt();
  for (const TaxationBasis known : {TaxationBasis::Ist, TaxationBasis::Soll}) {
    if (basis == static_cast<int>(known)) choice.SetBasis(known);
  }
  const QByteArray geometry = settings->value(kGeometryKey).toByteArray();
  return !geometry.isEmpty() && window.restoreGeometry(geometry);
}

void SaveWindowSettings(const QWidget& window, const TPeriodChoice& choice) {
  const std::unique_ptr<QSettings> settings = Store();
  settings->setValue(kBasisKey, static_cast<int>(choice.Basis()));
  settings->setValue(kGeometryKey, window.saveGeometry());
}

QString SaveFolder() {
  const QString remembered = Store()->value(kSaveFolderKey).toString();
  if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) return remembered;
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void RememberSaveFolder(const QString& folder) {
  const std::unique_ptr<QSettings> settings = Store();
  if (settings->value(kSaveFolderKey).toString() != folder) settings->setValue(kSaveFolderKey, folder);
}

}  // namespace vorlex
