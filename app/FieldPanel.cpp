#include "app/FieldPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <algorithm>
#include <string_view>

#include "app/uControls.h"
#include "ui/FormValuePanel.h"
#include "ui/qtcore/uQtText.h"

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

QFont ArialPixels(int pixels) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(std::max(1, pixels));
  return font;
}

}  // namespace

TFieldPanel::TFieldPanel(TFieldControls& controls, QWidget& panel, int pixelsPerInch)
    : QObject(&panel), c_(controls), ppi_(pixelsPerInch) {
  const auto S = [this](int designPixels) { return designPixels * ppi_ / 96; };
  auto label = [&](const char* name, int left, int top, int width, int height) {
    auto* text = new QLabel(&panel);
    text->setObjectName(QString::fromLatin1(name));
    text->setGeometry(S(left), S(top), S(width), S(height));
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setWordWrap(true);
    text->setMargin(0);
    return text;
  };
  auto picture = [&](const char* name, int top) {
    auto* image = new TImage(&panel);
    image->setObjectName(QString::fromLatin1(name));
    image->setGeometry(S(56), S(top), S(173), S(29));
    return image;
  };

  c_.Label1 = label("Label1", 56, 16, 202, 39);
  c_.Label1->setText(QStringLiteral(
      "Tragen Sie folgende Werte in die entsprechenden Felder von ElsterFormular / -online ein:"));

  const QFont captionFont = ArialPixels(S(9));
  QLabel** captions[] = {&c_.Label2, &c_.Label3, &c_.Label4, &c_.Label5, &c_.Label6};
  const char* captionNames[] = {"Label2", "Label3", "Label4", "Label5", "Label6"};
  const int captionTops[] = {68, 132, 196, 260, 328};
  for (int i = 0; i < 5; ++i) {
    QLabel* caption = label(captionNames[i], 56, captionTops[i], 208, 24);
    caption->setFont(captionFont);
    caption->setText(LabelText(kDesignFieldCaption));
    if (i > 0) {
      QPalette black = caption->palette();
      black.setColor(QPalette::WindowText, Qt::black);
      caption->setPalette(black);
    }
    *captions[i] = caption;
  }

  c_.Image1 = picture("Image1", 96);
  c_.Image2 = picture("Image2", 160);
  c_.Image3 = picture("Image3", 224);
  c_.Image4 = picture("Image4", 288);
  c_.Image5 = picture("Image5", 356);

  c_.Bevel1 = new TBevel(&panel);
  c_.Bevel1->setObjectName(QStringLiteral("Bevel1"));
  c_.Bevel1->setGeometry(S(56), S(400), S(185), S(13));

  c_.Label7 = new QLabel(QStringLiteral("USt-ID"), &panel);
  c_.Label7->setObjectName(QStringLiteral("Label7"));
  c_.Label7->move(S(56), S(440));
  c_.Label7->adjustSize();

  c_.editUStID = new QLineEdit(&panel);
  c_.editUStID->setObjectName(QStringLiteral("editUStID"));
  c_.editUStID->setGeometry(S(104), S(436), S(125), S(20));
  c_.editUStID->setFont(ArialPixels(PointsToPixels(8, ppi_)));
  c_.editUStID->setStyleSheet(
      QStringLiteral("QLineEdit { border: 1px solid black; background: white; padding: 0px; }"));
}

std::array<std::pair<TImage*, const FormField*>, 5> TFieldPanel::Pictures() const {
  const std::array<TImage*, 5> images = {c_.Image1, c_.Image2, c_.Image3, c_.Image4, c_.Image5};
  std::array<std::pair<TImage*, const FormField*>, 5> pictures{};
  size_t next = 0;
  for (const FormField& field : kFormFields) {
    if (!HasEntries(field)) continue;
    pictures.at(next) = {images.at(next), &field};
    ++next;
  }
  return pictures;
}

void TFieldPanel::SetFieldCaptions() {
  c_.Label2->setText(LabelText("Innergemeinschaftliche Lieferungen\ran Abnehmer mit USt-IdNr."));
  c_.Label3->setText(LabelText("neuer Fahrzeuge an Abnehmer ohne USt-IdNr."));
  c_.Label4->setText(LabelText("Steuerpflichtige Ums\xE4tze\rzum Steuersatz von 19 v.H."));
  c_.Label5->setText(LabelText("zum Steuersatz von  7 v.H."));
  c_.Label6->setText(LabelText("Vorsteuerbetr\xE4ge aus Rechnungen von anderen Unternehmen ..."));
}

void TFieldPanel::ShowFigures(const TaxTotals& totals) {
  for (const auto& [picture, field] : Pictures()) {
    DrawFormValue(*picture, field->number, FigureOf(*field, totals), ppi_);
  }
}

void TFieldPanel::ShowEmpty() {
  for (const auto& [picture, field] : Pictures()) DrawFormBoxes(*picture, field->number, ppi_);
}

}  // namespace vorlex
