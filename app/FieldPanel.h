// The right-hand panel: the captions and pictures of the form's five entry
// fields, each showing the figure of the last run, and the trader's VAT id. A
// picture's click (or Space on it) chooses its field. Beside the five, on the
// panel's left edge, a small picture for each further figure of the exact
// classification that is not 0, chosen the same way.
#pragma once

#include <QFrame>
#include <array>

#include "tax/FormFields.h"
#include "tax/TaxTotals.h"
#include "util/FormatSettings.h"

class QLabel;
class QLineEdit;

namespace vorlex {

class TBevel;
class TDesignScale;
class TImage;

// The design caption of the panel's labels until start-up replaces it.
inline constexpr const char* kDesignFieldCaption =
    "Tragen Sie folgende Werte in die entsprechenden Felder im ElsterFormular ein:";

class TFieldPanel : public QFrame {
  Q_OBJECT
 public:
  // The panel "pnlR" with its controls at their design places.
  // format: how the figures are written.
  TFieldPanel(const TDesignScale& scale, const FormatSettings& format, QWidget* parent);

  // The fields' own captions in place of the design caption.
  void SetFieldCaptions();
  void ShowFigures(const TaxTotals& totals);
  // Empty boxes: what stands where a failed run could not produce figures.
  void ShowEmpty();
  void ShowVatId(const QString& vatId);
  // Marks the picture of field as chosen, and no other; 0: none. A further
  // figure goes by its key (FigureKey).
  void MarkChosen(int field);

  // The pictures and the VAT id in reading order for the Tab key, after
  // previous; returns the last of them.
  QWidget* ChainTabOrder(QWidget* previous) const;

 signals:
  // The picture of field was clicked (a further figure: its key).
  void FieldChosen(int field);

 private:
  static constexpr size_t kPictures = 5;

  void HideFurther();

  int ppi_;
  const FormatSettings format_;
  // Each picture with the form field it shows, in the table's order: every
  // field that entries go into.
  std::array<TImage*, kPictures> pictures_{};
  std::array<const FormField*, kPictures> fields_{};
  std::array<QLabel*, kPictures> captions_{};
  // Shown only where their figure is not 0, one beneath the other.
  std::array<TImage*, kFurtherFields.size()> further_{};
  QLineEdit* editUStID_ = nullptr;
  // Beneath the pictures, only while the run deducts a special prepayment.
  QLabel* lblKz39_ = nullptr;
};

}  // namespace vorlex
