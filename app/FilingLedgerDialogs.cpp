#include "app/FilingLedgerDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <iterator>
#include <vector>

#include "app/Controls.h"
#include "tax/FormFields.h"
#include "ui/qtcore/QtText.h"
#include "util/MoneyText.h"

namespace vorlex {

TMarkFiledDialog::TMarkFiledDialog(const QString& caption, bool corrected, const QDate& today,
                                   const FormatSettings& format, QWidget* owner)
    : QDialog(owner) {
  setObjectName(QStringLiteral("MarkFiled"));
  setWindowTitle(QStringLiteral("Als abgegeben vermerken"));
  auto* layout = new QVBoxLayout(this);
  auto* head = new QLabel(caption, this);
  head->setObjectName(QStringLiteral("lblVermerkZeitraum"));
  layout->addWidget(head);
  if (corrected) {
    // A filed period filed again is the corrected return.
    layout->addWidget(new QLabel(QStringLiteral("Berichtigte Anmeldung (Kz 10: 1)"), this));
  }
  auto* form = new QFormLayout;
  dtpAbgabe_ = new TDatePicker(today, format, this);
  dtpAbgabe_->setObjectName(QStringLiteral("dtpAbgabe"));
  editTicket_ = new QLineEdit(this);
  editTicket_->setObjectName(QStringLiteral("editTicket"));
  editNotiz_ = new QLineEdit(this);
  editNotiz_->setObjectName(QStringLiteral("editNotiz"));
  const auto row = [&](const QString& text, QWidget* control) {
    auto* label = new QLabel(text, this);
    label->setBuddy(control);
    form->addRow(label, control);
  };
  row(QStringLiteral("&Tag der Abgabe:"), dtpAbgabe_);
  row(QStringLiteral("T&ransferticket:"), editTicket_);
  row(QStringLiteral("&Notiz:"), editNotiz_);
  layout->addLayout(form);
  chkBeleg_ = new QCheckBox(QStringLiteral("&Beleg als PDF speichern"), this);
  chkBeleg_->setObjectName(QStringLiteral("chkBeleg"));
  chkBeleg_->setChecked(true);
  layout->addWidget(chkBeleg_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Vermerken"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  dtpAbgabe_->setFocus();
}

FilingDetails TMarkFiledDialog::Details() const {
  return {dtpAbgabe_->date(), editTicket_->text().trimmed().toStdString(),
          editNotiz_->text().trimmed().toStdString(), chkBeleg_->isChecked()};
}

void TMarkFiledDialog::Fill(const QDate& filedOn, const QString& ticket, const QString& note,
                            bool saveRecord) {
  dtpAbgabe_->setDate(filedOn);
  editTicket_->setText(ticket);
  editNotiz_->setText(note);
  chkBeleg_->setChecked(saveRecord);
}

TFilingChangesDialog::TFilingChangesDialog(const FormatSettings& format, QWidget* owner)
    : QDialog(owner), format_(format) {
  setObjectName(QStringLiteral("FilingChanges"));
  setWindowTitle(QStringLiteral("Seit der Abgabe"));
  auto* layout = new QVBoxLayout(this);
  lblStatus_ = new QLabel(this);
  lblStatus_->setObjectName(QStringLiteral("lblAbgabeStatus"));
  lblStatus_->setWordWrap(true);
  layout->addWidget(lblStatus_);
  auto* entriesCaption =
      new QLabel(DecodeText("&Einträge neu, entfernt oder geändert:"), this);
  lstEintraege_ = new QListWidget(this);
  lstEintraege_->setObjectName(QStringLiteral("lstEintraege"));
  entriesCaption->setBuddy(lstEintraege_);
  layout->addWidget(entriesCaption);
  layout->addWidget(lstEintraege_, 1);
  lblBerichtigt_ = new QLabel(this);
  lblBerichtigt_->setObjectName(QStringLiteral("lblBerichtigt"));
  QFont bold = lblBerichtigt_->font();
  bold.setBold(true);
  lblBerichtigt_->setFont(bold);
  layout->addWidget(lblBerichtigt_);
  gridKennzahlen_ = new QTableWidget(0, 4, this);
  gridKennzahlen_->setObjectName(QStringLiteral("gridKennzahlen"));
  gridKennzahlen_->setHorizontalHeaderLabels({QStringLiteral("Kennzahl"),
                                              QStringLiteral("abgegeben"), QStringLiteral("jetzt"),
                                              QStringLiteral("Differenz")});
  gridKennzahlen_->verticalHeader()->hide();
  gridKennzahlen_->verticalHeader()->setDefaultSectionSize(gridKennzahlen_->fontMetrics().height() +
                                                           6);
  gridKennzahlen_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gridKennzahlen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  layout->addWidget(gridKennzahlen_);

  btnVermerken_ = new QPushButton(QStringLiteral("Als &abgegeben vermerken..."), this);
  btnVermerken_->setObjectName(QStringLiteral("btnVermerkenBerichtigt"));
  auto* record = new QPushButton(QStringLiteral("&Beleg speichern (PDF)..."), this);
  record->setObjectName(QStringLiteral("btnBeleg"));
  auto* close = new QPushButton(DecodeText("&Schließen"),
                                this);
  connect(btnVermerken_, &QPushButton::clicked, this, &TFilingChangesDialog::MarkRequested);
  connect(record, &QPushButton::clicked, this, &TFilingChangesDialog::RecordRequested);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnVermerken_);
  buttons->addWidget(record);
  buttons->addStretch(1);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  resize(620, 520);
}

void TFilingChangesDialog::SetChanges(const QString& caption, const FilingChanges& changes) {
  setWindowTitle(caption);
  lblStatus_->setText(DecodeText(FilingStatusLine(changes, format_)));
  lstEintraege_->clear();
  for (const std::string& line : changes.entries) lstEintraege_->addItem(DecodeText(line));
  if (changes.entries.empty()) lstEintraege_->addItem(DecodeText("Keine Einträge geändert."));
  // The corrected return is due where a figure differs: every field again.
  const bool corrected = !changes.figures.empty();
  lblBerichtigt_->setText(corrected ? QStringLiteral("Berichtigte Anmeldung (Kz 10: 1)")
                                    : QStringLiteral("Kennzahlen wie abgegeben"));
  const auto cents = [this](const std::optional<int64_t>& value) {
    return DecodeText(value ? FormatCents(*value, format_) : std::string("-"));
  };
  // The further figures of the exact classification after the fields.
  std::vector<FigureChange> rows(std::begin(changes.all), std::end(changes.all));
  rows.insert(rows.end(), changes.further.begin(), changes.further.end());
  gridKennzahlen_->setRowCount(static_cast<int>(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i) {
    const FigureChange& field = rows[i];
    QString difference = QStringLiteral("-");
    if (field.filed && field.now) {
      const int64_t by = *field.now - *field.filed;
      difference = DecodeText((by > 0 ? "+" : "") + FormatCents(by, format_));
    }
    const QString cells[] = {DecodeText(FigureTag(field.field)), cents(field.filed),
                             cents(field.now), difference};
    for (int c = 0; c < 4; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setTextAlignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
      if (c == 3 && field.filed != field.now) item->setForeground(QColor(150, 0, 0));
      gridKennzahlen_->setItem(static_cast<int>(i), c, item);
    }
  }
  // Every field in sight at once, as the portal's form lists them.
  int height =
      gridKennzahlen_->horizontalHeader()->sizeHint().height() + 2 * gridKennzahlen_->frameWidth();
  for (int r = 0; r < gridKennzahlen_->rowCount(); ++r) height += gridKennzahlen_->rowHeight(r);
  gridKennzahlen_->setFixedHeight(height);
  btnVermerken_->setEnabled(changes.Changed());
}

}  // namespace vorlex
