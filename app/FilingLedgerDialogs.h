// The ledger's dialogs in the window: "Als abgegeben vermerken" (the day of
// filing, the portal's transfer ticket, a note) and the changes of a filed
// period since its filing, with the corrected return beside the filed one.
#pragma once

#include <QDate>
#include <QDialog>
#include <QString>
#include <string>

#include "ledger/Filing.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace vorlex {

class TDatePicker;

// What the trader enters when marking a run as filed.
struct FilingDetails {
  QDate filedOn;
  std::string ticket;  // UTF-8
  std::string note;    // UTF-8
  bool saveRecord = true;
};

class TMarkFiledDialog : public QDialog {
  Q_OBJECT
 public:
  // caption: the run's period; corrected: it corrects an earlier filing;
  // format: how the day is written and typed.
  TMarkFiledDialog(const QString& caption, bool corrected, const QDate& today,
                   const FormatSettings& format, QWidget* owner);

  FilingDetails Details() const;
  // For the tests: the controls as a user fills them in.
  void Fill(const QDate& filedOn, const QString& ticket, const QString& note, bool saveRecord);

 private:
  TDatePicker* dtpAbgabe_;
  QLineEdit* editTicket_;
  QLineEdit* editNotiz_;
  QCheckBox* chkBeleg_;
};

// "Seit der Abgabe": the status line, the entries added, removed or changed,
// and per field the figure filed, now and the difference.
class TFilingChangesDialog : public QDialog {
  Q_OBJECT
 public:
  // format: how the status line and the figures are written.
  TFilingChangesDialog(const FormatSettings& format, QWidget* owner);

  void SetChanges(const QString& caption, const FilingChanges& changes);

 signals:
  // The corrected return to be marked as filed.
  void MarkRequested();
  // The record of the latest filing to be saved.
  void RecordRequested();

 private:
  QLabel* lblStatus_;
  QListWidget* lstEintraege_;
  QLabel* lblBerichtigt_;
  QTableWidget* gridKennzahlen_;
  QPushButton* btnVermerken_;
  const FormatSettings format_;
};

}  // namespace vorlex
