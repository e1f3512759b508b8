// The pictures of the tax form's entry fields in the right-hand panel.
#pragma once

#include <QImage>
#include <QWidget>
#include <string_view>

#include "ui/DesignMetrics.h"
#include "util/FormatSettings.h"

namespace vorlex {

// Draws the field number box, the white entry box with its cents box and the
// value right-aligned in it, in format, onto the whole of canvas (W x H).
void DrawFormValue(QImage& canvas, int fieldNumber, double value, int pixelsPerInch,
                   const FormatSettings& format);

// The same boxes and field number without a value: what stands in place of
// figures that a failed run could not produce.
void DrawFormBoxes(QImage& canvas, int fieldNumber, int pixelsPerInch);

// A picture control holding its own drawing, which stays until redrawn. Before
// the first drawing it shows nothing (the panel behind it). It takes the
// keyboard focus (a dotted frame then), Space or Enter click it, and a chosen
// picture is tinted and framed; its drawing itself stays as drawn.
class TImage : public QWidget {
  Q_OBJECT
 public:
  explicit TImage(QWidget* parent);

  bool Chosen() const { return chosen_; }
  void SetChosen(bool chosen);

  // The drawing surface, made in the picture's size on first use.
  QImage& Canvas();
  const QImage& Picture() const { return canvas_; }
  void Changed() { update(); }

 signals:
  // A left click: pressed and released on the picture.
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool pressed_ = false;
  bool chosen_ = false;
  QImage canvas_;
};

void DrawFormValue(TImage& picture, int fieldNumber, double value, int pixelsPerInch,
                   const FormatSettings& format);
void DrawFormBoxes(TImage& picture, int fieldNumber, int pixelsPerInch);

// A further figure in a small picture: its tag ("Kz 43", "0 % / steuerfrei",
// Windows-1252) on the panel's grey, beneath it the value right-aligned in a
// white box. Tag and value take a smaller font where they would not fit, so
// that no digit is ever cut off.
void DrawFurtherFigure(TImage& picture, std::string_view tag, double value, int pixelsPerInch,
                       const FormatSettings& format);

}  // namespace vorlex
