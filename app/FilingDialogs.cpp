#include "app/FilingDialogs.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "tax/FormFields.h"
#include "ui/qtcore/QtText.h"
#include "util/MoneyText.h"

namespace vorlex {

namespace {

// What the portal's form names each field.
const char* PortalCaption(const PortalFigure& figure) {
  if (figure.tax) return "Steuer (vom Portal berechnet)";
  switch (figure.field) {
    case 10: return "Berichtigte Anmeldung";
    case 21: return "Nicht steuerbare sonstige Leistungen im übrigen Gemeinschaftsgebiet";
    case 35: return "Umsätze zu anderen Steuersätzen, Bemessungsgrundlage";
    case 36: return "Steuer zu Kz 35";
    case 41: return "Innergem. Lieferungen an Abnehmer mit USt-IdNr.";
    case 43: return "Weitere steuerfreie Umsätze mit Vorsteuerabzug (Ausfuhrlieferungen)";
    case 44: return "Innergem. Lieferungen neuer Fahrzeuge ohne USt-IdNr.";
    case 45: return "Übrige nicht steuerbare Umsätze (Leistungsort nicht im Inland)";
    case 81: return "Umsätze zum Steuersatz von 19 %, Bemessungsgrundlage";
    case 86: return "Umsätze zum Steuersatz von 7 %, Bemessungsgrundlage";
    case 66: return "Vorsteuerbeträge aus Rechnungen anderer Unternehmer";
    case 39: return "Anrechnung der Sondervorauszahlung";
    case 83: return "Verbleibende Umsatzsteuer-Vorauszahlung";
    default: return "";
  }
}

void Copy(const QString& text) {
  QGuiApplication::clipboard()->setText(text);
}

}  // namespace

TFilingSettingsDialog::TFilingSettingsDialog(int year, const FilingSettings& settings,
                                             const FormatSettings& format, QWidget* owner)
    : QDialog(owner), year_(year) {
  setObjectName(QStringLiteral("FilingSettings"));
  setWindowTitle(QStringLiteral("Abgabe %1").arg(year));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  cmbRhythmus_ = new QComboBox(this);
  cmbRhythmus_->setObjectName(QStringLiteral("cmbRhythmus"));
  cmbRhythmus_->addItems({QStringLiteral("monatlich"), DecodeText("vierteljährlich")});
  cmbRhythmus_->setCurrentIndex(settings.rhythm == FilingRhythm::Monthly ? 0 : 1);
  auto* rhythmCaption = new QLabel(QStringLiteral("&Voranmeldung %1:").arg(year), this);
  rhythmCaption->setBuddy(cmbRhythmus_);
  form->addRow(rhythmCaption, cmbRhythmus_);
  chkDauerfrist_ = new QCheckBox(DecodeText("&Dauerfristverlängerung (einen Monat später)"),
                                 this);
  chkDauerfrist_->setObjectName(QStringLiteral("chkDauerfrist"));
  chkDauerfrist_->setChecked(settings.extensionGranted);
  form->addRow(chkDauerfrist_);
  layout->addLayout(form);

  layout->addWidget(new QLabel(QStringLiteral("Sondervorauszahlung %1 (Kz 39 im Dezember):")
                                   .arg(year),
                               this));
  rbBerechnet_ = new QRadioButton(
      DecodeText("von Vorlex &berechnet (ein Elftel der Vorauszahlungen %1)").arg(year - 1), this);
  rbBerechnet_->setObjectName(QStringLiteral("rbBerechnet"));
  rbFestgesetzt_ = new QRadioButton(QStringLiteral("vom Finanzamt &festgesetzt:"), this);
  rbFestgesetzt_->setObjectName(QStringLiteral("rbFestgesetzt"));
  editSvz_ = new QLineEdit(this);
  editSvz_->setObjectName(QStringLiteral("editSvz"));
  editSvz_->setPlaceholderText(QStringLiteral("1234,56"));
  if (settings.assessedSpecialPrepayment) {
    rbFestgesetzt_->setChecked(true);
    editSvz_->setText(DecodeText(FormatCents(*settings.assessedSpecialPrepayment, format)));
  } else {
    rbBerechnet_->setChecked(true);
  }
  layout->addWidget(rbBerechnet_);
  auto* assessedRow = new QHBoxLayout;
  assessedRow->addWidget(rbFestgesetzt_);
  assessedRow->addWidget(editSvz_);
  layout->addLayout(assessedRow);
  lblFehler_ = new QLabel(this);
  lblFehler_->setObjectName(QStringLiteral("lblFehler"));
  lblFehler_->setStyleSheet(QStringLiteral("color: #a00000"));
  lblFehler_->hide();
  layout->addWidget(lblFehler_);
  layout->addWidget(new QLabel(
      DecodeText("Abgabetermine werden auf den nächsten Werktag verschoben, wenn sie auf ein\n"
                 "Wochenende oder einen bundesweiten Feiertag fallen. Feiertage Ihres\n"
                 "Bundeslandes berücksichtigt Vorlex nicht."),
      this));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  connect(cmbRhythmus_, &QComboBox::currentIndexChanged, this, [this] { EnableParts(); });
  connect(chkDauerfrist_, &QCheckBox::toggled, this, [this] { EnableParts(); });
  connect(rbFestgesetzt_, &QRadioButton::toggled, this, [this] { EnableParts(); });
  EnableParts();
}

void TFilingSettingsDialog::EnableParts() {
  // Only a monthly filer with the extension pays a special prepayment.
  const bool owed = cmbRhythmus_->currentIndex() == 0 && chkDauerfrist_->isChecked();
  rbBerechnet_->setEnabled(owed);
  rbFestgesetzt_->setEnabled(owed);
  editSvz_->setEnabled(owed && rbFestgesetzt_->isChecked());
}

FilingSettings TFilingSettingsDialog::Settings() const {
  FilingSettings settings;
  settings.rhythm =
      cmbRhythmus_->currentIndex() == 0 ? FilingRhythm::Monthly : FilingRhythm::Quarterly;
  settings.extensionGranted = chkDauerfrist_->isChecked();
  if (rbFestgesetzt_->isChecked()) {
    settings.assessedSpecialPrepayment = ParseEuroAmount(editSvz_->text().toStdString());
  }
  return settings;
}

void TFilingSettingsDialog::accept() {
  // An assessed amount that is no amount is not taken for none.
  if (rbFestgesetzt_->isChecked() && !ParseEuroAmount(editSvz_->text().toStdString())) {
    lblFehler_->setText(
        QStringLiteral("Bitte die festgesetzte Sondervorauszahlung in Euro eingeben, z. B. 1234,56."));
    lblFehler_->show();
    editSvz_->setFocus();
    return;
  }
  QDialog::accept();
}

TPortalFiguresDialog::TPortalFiguresDialog(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("PortalFigures"));
  setWindowTitle(DecodeText("Für Mein ELSTER"));
  auto* layout = new QVBoxLayout(this);
  lblCaption_ = new QLabel(this);
  lblCaption_->setObjectName(QStringLiteral("lblElsterCaption"));
  layout->addWidget(lblCaption_);
  rows_ = new QWidget(this);
  grid_ = new QGridLayout(rows_);
  grid_->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(rows_);
  auto* copyAll = new QPushButton(QStringLiteral("&Alle kopieren"), this);
  copyAll->setObjectName(QStringLiteral("btnAlleKopieren"));
  connect(copyAll, &QPushButton::clicked, this, [this] { Copy(all_); });
  // Once typed into the portal, the run is filed.
  btnVermerken_ = new QPushButton(QStringLiteral("Als abgegeben &vermerken..."), this);
  btnVermerken_->setObjectName(QStringLiteral("btnVermerken"));
  btnVermerken_->setEnabled(false);
  connect(btnVermerken_, &QPushButton::clicked, this, &TPortalFiguresDialog::MarkRequested);
  auto* close = new QPushButton(DecodeText("&Schließen"), this);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(copyAll);
  buttons->addWidget(btnVermerken_);
  buttons->addStretch(1);
  buttons->addWidget(close);
  layout->addLayout(buttons);
}

void TPortalFiguresDialog::SetFigures(const QString& caption,
                                      const std::vector<PortalFigure>& figures, bool markable) {
  lblCaption_->setText(caption);
  btnVermerken_->setEnabled(markable);
  while (QLayoutItem* item = grid_->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  all_ = DecodeText(PortalText(figures));
  if (figures.empty()) {
    grid_->addWidget(new QLabel(QStringLiteral("Alle Kennzahlen sind 0."), rows_), 0, 0);
  }
  int row = 0;
  for (const PortalFigure& figure : figures) {
    const QString value = DecodeText(PortalValue(figure));
    auto* tag = new QLabel(DecodeText(PortalLabel(figure)), rows_);
    auto* text = new QLabel(DecodeText(PortalCaption(figure)), rows_);
    auto* shown = new QLabel(value, rows_);
    shown->setObjectName(QStringLiteral("lblWert%1%2").arg(figure.field).arg(figure.tax ? "St" : ""));
    shown->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = shown->font();
    bold.setBold(true);
    shown->setFont(bold);
    auto* copy = new QPushButton(QStringLiteral("Kopieren"), rows_);
    copy->setObjectName(
        QStringLiteral("btnKopieren%1%2").arg(figure.field).arg(figure.tax ? "St" : ""));
    connect(copy, &QPushButton::clicked, this, [value] { Copy(value); });
    grid_->addWidget(tag, row, 0);
    grid_->addWidget(text, row, 1);
    grid_->addWidget(shown, row, 2);
    grid_->addWidget(copy, row, 3);
    ++row;
  }
  adjustSize();
}

}  // namespace vorlex
