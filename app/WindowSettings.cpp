#include "app/WindowSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>
#include <memory>

#include "app/ClassificationChoice.h"
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
// Zuordnung=einfach|genau, Ausland=Lieferungen|Leistungen; anything else is
// the default, einfach and Lieferungen.
const QString kClassificationKey = QStringLiteral("Zuordnung");
const QString kExact = QStringLiteral("genau");
const QString kSimple = QStringLiteral("einfach");
const QString kForeignSalesKey = QStringLiteral("Ausland");
const QString kServices = QStringLiteral("Leistungen");
const QString kGoods = QStringLiteral("Lieferungen");
const QString kGeometryKey = QStringLiteral("Fenster");
const QString kSaveFolderKey = QStringLiteral("Speicherordner");
// [Abgabe] holds a group per year: 2026/Rhythmus=monatlich, 2026/Dauerfrist=true,
// 2026/Sondervorauszahlung=123456 (cents, only when assessed).
const QString kFilingGroup = QStringLiteral("Abgabe");
const QString kRhythmKey = QStringLiteral("Rhythmus");
const QString kExtensionKey = QStringLiteral("Dauerfrist");
const QString kAssessedKey = QStringLiteral("Sondervorauszahlung");
const QString kMonthly = QStringLiteral("monatlich");
const QString kQuarterly = QStringLiteral("vierteljaehrlich");

}  // namespace

bool RestoreWindowSettings(QWidget& window, TPeriodChoice& choice,
                           TClassificationChoice& classification) {
  const std::unique_ptr<QSettings> settings = Store();
  const int basis = settings->value(kBasisKey, 0).toInt();
  for (const TaxationBasis known : {TaxationBasis::Ist, TaxationBasis::Soll}) {
    if (basis == static_cast<int>(known)) choice.SetBasis(known);
  }
  ClassificationChoice rules;
  if (settings->value(kClassificationKey).toString() == kExact) rules.rules = Classification::Exact;
  if (settings->value(kForeignSalesKey).toString() == kServices) {
    rules.sales = ForeignSales::Services;
  }
  classification.SetChoice(rules);
  const QByteArray geometry = settings->value(kGeometryKey).toByteArray();
  return !geometry.isEmpty() && window.restoreGeometry(geometry);
}

void SaveWindowSettings(const QWidget& window, const TPeriodChoice& choice,
                        const TClassificationChoice& classification) {
  const std::unique_ptr<QSettings> settings = Store();
  settings->setValue(kBasisKey, static_cast<int>(choice.Basis()));
  const ClassificationChoice rules = classification.Choice();
  settings->setValue(kClassificationKey, rules.Exact() ? kExact : kSimple);
  settings->setValue(kForeignSalesKey,
                     rules.sales == ForeignSales::Services ? kServices : kGoods);
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

std::map<int, FilingSettings> StoredFilingSettings() {
  const std::unique_ptr<QSettings> store = Store();
  std::map<int, FilingSettings> stored;
  store->beginGroup(kFilingGroup);
  for (const QString& group : store->childGroups()) {
    bool number = false;
    const int year = group.toInt(&number);
    if (!number || year < 1 || year > 9999) continue;
    store->beginGroup(group);
    FilingSettings settings;
    // Anything but a known rhythm leaves the default.
    const QString rhythm = store->value(kRhythmKey).toString();
    if (rhythm == kMonthly) settings.rhythm = FilingRhythm::Monthly;
    settings.extensionGranted = store->value(kExtensionKey, false).toBool();
    bool cents = false;
    const qlonglong assessed = store->value(kAssessedKey).toLongLong(&cents);
    // A damaged amount counts as none assessed: Vorlex computes it then.
    if (cents && assessed >= 0 && assessed < 100'000'000'000'000) {
      settings.assessedSpecialPrepayment = assessed;
    }
    store->endGroup();
    stored[year] = settings;
  }
  return stored;
}

FilingSettings FilingSettingsOfYear(int year) {
  return SettingsOfYear(StoredFilingSettings(), year);
}

void SaveFilingSettings(int year, const FilingSettings& settings) {
  const std::unique_ptr<QSettings> store = Store();
  store->beginGroup(kFilingGroup + QLatin1Char('/') + QString::number(year));
  store->setValue(kRhythmKey, settings.rhythm == FilingRhythm::Monthly ? kMonthly : kQuarterly);
  store->setValue(kExtensionKey, settings.extensionGranted);
  if (settings.assessedSpecialPrepayment) {
    store->setValue(kAssessedKey, QString::number(*settings.assessedSpecialPrepayment));
  } else {
    store->remove(kAssessedKey);
  }
  store->endGroup();
}

}  // namespace vorlex
