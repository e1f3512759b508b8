#include "app/ClassificationChoice.h"

#include <QComboBox>
#include <QLabel>

#include "app/Controls.h"
#include "ui/DesignMetrics.h"
#include "ui/qtcore/QtText.h"

namespace vorlex {

TClassificationChoice::TClassificationChoice(const TDesignScale& S, QWidget* strip)
    : QWidget(strip) {
  setObjectName(QStringLiteral("pnlZuordnung"));
  // Between the year's stepper and "-> .CSV", above the filing buttons: two
  // rows in the captions' small font, so that both fit the strip's free corner.
  setGeometry(S.Rect(174, 2, 232, 36));
  const QFont small = PixelFont(QStringLiteral("Arial"), S(9));
  const auto row = [&](const char* labelName, const QString& caption, const char* listName,
                       const QStringList& items, int top, int width) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(QString::fromLatin1(labelName));
    label->setFont(small);
    label->setGeometry(S.Rect(0, top, 116, 17));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* list = new QComboBox(this);
    list->setObjectName(QString::fromLatin1(listName));
    list->setFont(small);
    list->addItems(items);
    list->setGeometry(S.Rect(118, top, width, 17));
    label->setBuddy(list);
    return list;
  };
  cmbZuordnung_ = row("lblWahlZuordnung", QStringLiteral("&Zuordnung:"), "cmbZuordnung",
                      {QStringLiteral("einfach"), QStringLiteral("genau")}, 1, 62);
  cmbAusland_ = row("lblWahlAusland", DecodeText("&Umsätze mit dem Ausland:"), "cmbAusland",
                    {QStringLiteral("Lieferungen"), QStringLiteral("sonstige Leistungen")}, 19,
                    114);
  cmbZuordnung_->setToolTip(DecodeText(
      "einfach: wie Vorlex immer zugeordnet hat (nur A, E und LUX als EU-Staaten).\n"
      "genau: jeder EU-Staat, die Steuersätze der Positionen, Kz 21, 35/36, 43 und 45."));
  cmbAusland_->setToolTip(DecodeText(
      "Was Sie Kunden im Ausland verkaufen; Pelmora vermerkt es nicht.\n"
      "Nur bei der Zuordnung \"genau\": Kz 41 und 43 (Lieferungen) oder Kz 21 und 45."));
  cmbAusland_->setEnabled(false);
  for (QComboBox* list : {cmbZuordnung_, cmbAusland_}) {
    connect(list, &QComboBox::activated, this, &TClassificationChoice::ReportChange);
  }
}

void TClassificationChoice::ReportChange() {
  // Only the exact classification tells goods from services.
  cmbAusland_->setEnabled(Choice().Exact());
  // Choosing the entry shown already is no change.
  const ClassificationChoice choice = Choice();
  if (choice == shown_) return;
  shown_ = choice;
  emit Chosen(choice);
}

ClassificationChoice TClassificationChoice::Choice() const {
  return {cmbZuordnung_->currentIndex() == 1 ? Classification::Exact : Classification::Simple,
          cmbAusland_->currentIndex() == 1 ? ForeignSales::Services : ForeignSales::Goods};
}

void TClassificationChoice::SetChoice(ClassificationChoice choice) {
  cmbZuordnung_->setCurrentIndex(choice.Exact() ? 1 : 0);
  cmbAusland_->setCurrentIndex(choice.sales == ForeignSales::Services ? 1 : 0);
  cmbAusland_->setEnabled(choice.Exact());
  shown_ = Choice();
}

void TClassificationChoice::ChooseExact() {
  cmbZuordnung_->setCurrentIndex(1);
  ReportChange();
}

QWidget* TClassificationChoice::ChainTabOrder(QWidget* previous) const {
  return vorlex::ChainTabOrder(previous, {cmbZuordnung_, cmbAusland_});
}

}  // namespace vorlex
