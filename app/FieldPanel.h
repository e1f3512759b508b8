// The right-hand panel: the captions and pictures of the form's five entry
// fields, each showing the figure of the last run, and the trader's VAT id.
#pragma once

#include <QObject>
#include <array>
#include <utility>

#include "tax/FormFields.h"
#include "tax/TaxTotals.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace vorlex {

class TBevel;
class TImage;

// The design caption of the panel's labels until start-up replaces it.
inline constexpr const char* kDesignFieldCaption =
    "Tragen Sie folgende Werte in die entsprechenden Felder im ElsterFormular ein:";

// The controls, under the names the window gives them.
struct TFieldControls {
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  TImage* Image1 = nullptr;
  TImage* Image2 = nullptr;
  TImage* Image3 = nullptr;
  TImage* Image4 = nullptr;
  TImage* Image5 = nullptr;
  TBevel* Bevel1 = nullptr;
  QLineEdit* editUStID = nullptr;
};

class TFieldPanel : public QObject {
  Q_OBJECT
 public:
  // Makes the controls in panel at their design places, scaled to
  // pixelsPerInch.
  TFieldPanel(TFieldControls& controls, QWidget& panel, int pixelsPerInch);

  // Each picture with its form field, in the table's order: every field
  // that entries go into.
  std::array<std::pair<TImage*, const FormField*>, 5> Pictures() const;
  // The fields' own captions in place of the design caption.
  void SetFieldCaptions();
  void ShowFigures(const TaxTotals& totals);
  // Empty boxes: what stands where a failed run could not produce figures.
  void ShowEmpty();

 private:
  TFieldControls& c_;
  int ppi_;
};

}  // namespace vorlex
