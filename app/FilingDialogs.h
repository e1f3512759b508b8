// The filing calendar in the window: the dialog for how the trader files in a
// year, and "Für Mein ELSTER", the figures as the portal's form takes them,
// each to copy on its own or all at once.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "output/FilingText.h"
#include "tax/FilingCalendar.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vorlex {

// "Abgabe": monthly or quarterly, the extension, the special prepayment as the
// tax office assessed it or computed by Vorlex; for one year.
class TFilingSettingsDialog : public QDialog {
  Q_OBJECT
 public:
  // format: how an assessed amount is shown.
  TFilingSettingsDialog(int year, const FilingSettings& settings, const FormatSettings& format,
                        QWidget* owner);

  // What the dialog holds; an amount that is no amount counts as none.
  FilingSettings Settings() const;
  int Year() const { return year_; }

  void accept() override;

 private:
  void EnableParts();

  int year_;
  QComboBox* cmbRhythmus_;
  QCheckBox* chkDauerfrist_;
  QRadioButton* rbBerechnet_;
  QRadioButton* rbFestgesetzt_;
  QLineEdit* editSvz_;
  QLabel* lblFehler_;
};

// "Für Mein ELSTER": one row per figure with its value and a button that
// copies it; a button beneath copies all as text.
class TPortalFiguresDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TPortalFiguresDialog(QWidget* owner);

  // The run's caption and figures; with none, a note says so. markable: the
  // run can be marked as filed.
  void SetFigures(const QString& caption, const std::vector<PortalFigure>& figures,
                  bool markable = false);

 signals:
  // "Als abgegeben vermerken" was clicked.
  void MarkRequested();

 private:
  QLabel* lblCaption_;
  QPushButton* btnVermerken_;
  QGridLayout* grid_;
  QWidget* rows_;
  QString all_;
};

}  // namespace vorlex
