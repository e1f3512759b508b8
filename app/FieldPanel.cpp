#include "app/FieldPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <algorithm>
#include <optional>
#include <string_view>

#include "app/Controls.h"
#include "tax/Prepayment.h"
#include "ui/DesignMetrics.h"
#include "ui/FormValuePanel.h"
#include "ui/qtcore/QtText.h"
#include "util/MoneyText.h"

namespace vorlex {

namespace {

static_assert(std::count_if(kFormFields.begin(), kFormFields.end(), HasEntries) == 5,
              "one picture for each field that entries go into");

// A label's text: carriage returns break the line.
QString LabelText(std::string_view bytes) {
  QString text = DecodeText(bytes);
  text.replace(u'\r', u'\n');
  return text;
}

}  // namespace

TFieldPanel::TFieldPanel(const TDesignScale& S, const FormatSettings& format, QWidget* parent)
    : QFrame(parent), ppi_(S.PixelsPerInch()), format_(format) {
  setObjectName(QStringLiteral("pnlR"));
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto label = [&](const QString& name, int top, int width, int height) {
    auto* text = new QLabel(this);
    text->setObjectName(name);
    text->setGeometry(S.Rect(56, top, width, height));
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setWordWrap(true);
    text->setMargin(0);
    return text;
  };

  QLabel* intro = label(QStringLiteral("Label1"), 16, 202, 39);
  intro->setText(QStringLiteral(
      "Tragen Sie folgende Werte in die entsprechenden Felder von ElsterFormular / -online ein:"));

  // Label2 to Label6 above Image1 to Image5.
  const QFont captionFont = PixelFont(QStringLiteral("Arial"), S(9));
  const int captionTops[kPictures] = {68, 132, 196, 260, 328};
  const int pictureTops[kPictures] = {96, 160, 224, 288, 356};
  for (size_t i = 0; i < kPictures; ++i) {
    QLabel* caption = label(QStringLiteral("Label%1").arg(i + 2), captionTops[i], 208, 24);
    caption->setFont(captionFont);
    caption->setText(LabelText(kDesignFieldCaption));
    if (i > 0) {
      QPalette black = caption->palette();
      black.setColor(QPalette::WindowText, Qt::black);
      caption->setPalette(black);
    }
    captions_[i] = caption;
  }
  size_t next = 0;
  for (const FormField& field : kFormFields) {
    if (!HasEntries(field)) continue;
    auto* picture = new TImage(this);
    picture->setObjectName(QStringLiteral("Image%1").arg(next + 1));
    picture->setGeometry(S.Rect(56, pictureTops[next], 173, 29));
    connect(picture, &TImage::clicked, this, [this, number = field.number] {
      emit FieldChosen(number);
    });
    pictures_.at(next) = picture;
    fields_.at(next) = &field;
    ++next;
  }

  // The further figures: a column left of the pictures, where the panel is free.
  for (size_t i = 0; i < kFurtherFields.size(); ++i) {
    const FormField& field = kFurtherFields[i];
    auto* picture = new TImage(this);
    picture->setObjectName(field.number != 0 ? QStringLiteral("ImageKz%1").arg(field.number)
                                             : QStringLiteral("ImageSteuerfrei"));
    picture->resize(S(52), S(30));
    picture->setToolTip(DecodeText(field.label));
    connect(picture, &TImage::clicked, this, [this, key = FigureKey(field)] {
      emit FieldChosen(key);
    });
    picture->hide();
    further_[i] = picture;
  }

  auto* bevel = new TBevel(this);
  bevel->setObjectName(QStringLiteral("Bevel1"));
  bevel->setGeometry(S.Rect(56, 400, 185, 13));

  // Field 39 has no picture: the December return deducts the special
  // prepayment, and field 83 is what remains.
  lblKz39_ = new QLabel(this);
  lblKz39_->setObjectName(QStringLiteral("lblKz39"));
  lblKz39_->setGeometry(S.Rect(56, 415, 185, 18));
  lblKz39_->setFont(captionFont);
  lblKz39_->hide();

  auto* vatIdCaption = new QLabel(QStringLiteral("USt-ID"), this);
  vatIdCaption->setObjectName(QStringLiteral("Label7"));
  vatIdCaption->move(S(56), S(440));
  vatIdCaption->adjustSize();

  editUStID_ = new QLineEdit(this);
  editUStID_->setObjectName(QStringLiteral("editUStID"));
  editUStID_->setGeometry(S.Rect(104, 436, 125, 20));
  editUStID_->setFont(S.PointFont(QStringLiteral("Arial"), 8));
  editUStID_->setStyleSheet(
      QStringLiteral("QLineEdit { border: 1px solid black; background: white; padding: 0px; }"));
}

void TFieldPanel::SetFieldCaptions() {
  const char* const texts[kPictures] = {
      "Innergemeinschaftliche Lieferungen\ran Abnehmer mit USt-IdNr.",
      "neuer Fahrzeuge an Abnehmer ohne USt-IdNr.",
      "Steuerpflichtige Umsätze\rzum Steuersatz von 19 v.H.",
      "zum Steuersatz von  7 v.H.",
      "Vorsteuerbeträge aus Rechnungen von anderen Unternehmen ...",
  };
  for (size_t i = 0; i < kPictures; ++i) captions_[i]->setText(LabelText(texts[i]));
}

void TFieldPanel::ShowFigures(const TaxTotals& totals) {
  for (size_t i = 0; i < kPictures; ++i) {
    DrawFormValue(*pictures_[i], fields_[i]->number, FigureOf(*fields_[i], totals), ppi_, format_);
  }
  const TDesignScale S(ppi_);
  int top = 68;
  for (size_t i = 0; i < kFurtherFields.size(); ++i) {
    const FormField& field = kFurtherFields[i];
    const double value = FigureOf(field, totals);
    further_[i]->setVisible(value != 0);
    if (value == 0) continue;
    further_[i]->move(S(2), S(top));
    top += 34;
    DrawFurtherFigure(*further_[i], FurtherFieldTag(field), value, ppi_, format_);
  }
  const std::optional<Prepayment> prepayment = PrepaymentOf(totals);
  lblKz39_->setVisible(totals.field39 != 0 && prepayment);
  if (prepayment) {
    lblKz39_->setText(DecodeText(FieldTag(39) + ": " + FormatCents(totals.field39, format_) +
                                 "   " + FieldTag(83) + ": " +
                                 FormatCents(prepayment->due, format_)));
  }
}

void TFieldPanel::ShowEmpty() {
  for (size_t i = 0; i < kPictures; ++i) DrawFormBoxes(*pictures_[i], fields_[i]->number, ppi_);
  HideFurther();
  lblKz39_->hide();
}

void TFieldPanel::HideFurther() {
  for (TImage* picture : further_) picture->hide();
}

void TFieldPanel::ShowVatId(const QString& vatId) {
  editUStID_->setText(vatId);
}

void TFieldPanel::MarkChosen(int field) {
  for (size_t i = 0; i < kPictures; ++i) {
    pictures_[i]->SetChosen(field != 0 && fields_[i]->number == field);
  }
  for (size_t i = 0; i < kFurtherFields.size(); ++i) {
    further_[i]->SetChosen(field != 0 && FigureKey(kFurtherFields[i]) == field);
  }
}

QWidget* TFieldPanel::ChainTabOrder(QWidget* previous) const {
  std::vector<QWidget*> order(pictures_.begin(), pictures_.end());
  order.insert(order.end(), further_.begin(), further_.end());
  order.push_back(editUStID_);
  return vorlex::ChainTabOrder(previous, order);
}

}  // namespace vorlex
