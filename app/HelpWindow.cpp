#include "app/HelpWindow.h"

#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace vorlex {

THelpWindow::THelpWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Vorlex – Hilfe"));
  setModal(false);
  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("tbHilfe"));
  browser_->setOpenLinks(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(browser_);
  resize(640, 620);
}

void THelpWindow::SetPlaces(const HelpPlaces& places) {
  const int scrolled = browser_->verticalScrollBar()->value();
  browser_->setHtml(QString::fromStdString(HelpHtml(places)));
  browser_->verticalScrollBar()->setValue(scrolled);
}

}  // namespace vorlex
