// The filing calendar in the window: the settings of a year as saved, the
// December run that deducts the special prepayment, the due dates in the
// status bar and the overview, and "Für Mein ELSTER".
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QRadioButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <map>

#include "app/FilingDialogs.h"
#include "app/WindowFixture.h"
#include "app/WindowSettings.h"
#include "app/YearOverviewDialog.h"
#include "tests/util/FormatTest.h"

namespace vorlex {
namespace {

using testing::WindowTest;

// A sale of 1000,00 at 19 %, paid on 10 December 2026.
void AddDecemberSale(testdb::PelmoraDb& b) {
  b.Add(testdb::Customer{.id = 1, .name = "Kunde", .land = "D"});
  const double day = EncodeDate(2026, 12, 10) + 0.5;
  b.Add(testdb::Order{.id = 1, .besitzerindex = 1, .termin = day, .bezahltam = day,
                      .bezeichnung = "Tisch"});
  b.Add(testdb::Line{.auftragindex = 1, .anzahl = 1.0, .preis = 1000.0, .mwst = 19.0});
}

template <typename Widget>
Widget* Child(const QWidget& parent, const char* name) {
  auto* child = parent.findChild<Widget*>(QString::fromLatin1(name));
  if (child == nullptr) ADD_FAILURE() << "no " << name;
  return child;
}

TEST_F(WindowTest, WithoutSettingsDecemberIsAsEver) {
  AddDecemberSale(MakeDatabase());
  Start(QDate(2026, 12, 7));
  const auto core = CoreRun(EncodeDate(2026, 12, 1), EncodeDate(2026, 12, 31));
  EXPECT_EQ(Lines(), core.first);
  EXPECT_EQ(c.lblKz83->text(), QStringLiteral("Kz 83: 190,00 zu zahlen"));
  // A quarterly filer, as the tax office has it without notice: a month is
  // no return of theirs, the quarter is.
  EXPECT_EQ(Child<QLabel>(*form, "lblAbgabe")->text(), QString());
  QTest::mouseClick(c.rbQ4, Qt::LeftButton);
  EXPECT_EQ(Child<QLabel>(*form, "lblAbgabe")->text(), QStringLiteral("Abgabe bis 11.01.2027"));
}

TEST_F(WindowTest, DecemberOfAMonthlyFilerWithTheExtensionDeductsField39) {
  AddDecemberSale(MakeDatabase());
  // 2025 had nothing to prepay, so 2026's amount is the tax office's.
  SaveFilingSettings(2026, {FilingRhythm::Monthly, true, 50000});
  EXPECT_EQ(FilingSettingsOfYear(2027), (FilingSettings{FilingRhythm::Monthly, true, {}}));
  TForm1& f = Start(QDate(2026, 12, 7));
  f.show();
  ASSERT_TRUE(messages.empty()) << messages.front().text.toStdString();

  EXPECT_EQ(Lines().back(), "     Sondervorauszahlung (Kz 39):  500,00");
  EXPECT_EQ(c.lblKz83->text(), QStringLiteral("Kz 39: 500,00, Kz 83: -310,00 Erstattung"));
  EXPECT_EQ(Child<QLabel>(f, "lblKz39")->text(), QStringLiteral("Kz 39: 500,00   Kz 83: -310,00"));
  EXPECT_TRUE(Child<QLabel>(f, "lblKz39")->isVisible());
  EXPECT_EQ(Child<QLabel>(f, "lblAbgabe")->text(), QStringLiteral("Abgabe bis 10.02.2027"));
  // November deducts nothing.
  QTest::mouseClick(c.udMonat->PrevButton(), Qt::LeftButton);
  EXPECT_EQ(c.lblKz83->text(), QStringLiteral("Kz 83: 0,00"));
  EXPECT_FALSE(Child<QLabel>(f, "lblKz39")->isVisible());
  QTest::mouseClick(c.udMonat->NextButton(), Qt::LeftButton);

  // The overview: December, the fourth quarter and the year deduct it once;
  // the returns due before today are marked; next year's prepayment beneath.
  QTest::mouseClick(c.btnUebersicht, Qt::LeftButton);
  auto* dialog = f.findChild<TYearOverviewDialog*>();
  ASSERT_NE(dialog, nullptr);
  auto* grid = Child<QTableWidget>(*dialog, "gridOverview");
  ASSERT_EQ(grid->columnCount(), 9);  // the period, seven fields, the due date
  EXPECT_EQ(grid->horizontalHeaderItem(6)->text(), QStringLiteral("Kz 39"));
  const struct {
    int row;
    const char* field39;
    const char* field83;
  } rows[] = {{13, "0,00", "0,00"}, {14, "500,00", "-310,00"}, {15, "500,00", "-310,00"},
              {16, "500,00", "-310,00"}};
  for (const auto& r : rows) {
    EXPECT_EQ(grid->item(r.row, 6)->text(), QString::fromLatin1(r.field39)) << r.row;
    EXPECT_EQ(grid->item(r.row, 7)->text(), QString::fromLatin1(r.field83)) << r.row;
  }
  // September was due on 10.11.2026, October is due on 10.12.2026.
  EXPECT_EQ(grid->item(10, 8)->text(), QStringLiteral("10.11.2026 (abgelaufen)"));
  EXPECT_EQ(grid->item(12, 8)->text(), QStringLiteral("10.12.2026"));
  EXPECT_EQ(grid->item(11, 8)->text(), QString());  // a quarter is no return of a monthly filer
  // 190,00 of December's turnover tax, as the December field 39 drops out.
  EXPECT_EQ(Child<QLabel>(*dialog, "lblSondervorauszahlung")->text(),
            QStringLiteral("Sondervorauszahlung 2027: 17,27, anzumelden bis 10.02.2027"));

  // "Für Mein ELSTER": each value to copy, and all.
  QTest::mouseClick(Child<QPushButton>(f, "btnElster"), Qt::LeftButton);
  auto* elster = f.findChild<TPortalFiguresDialog*>();
  ASSERT_NE(elster, nullptr);
  QTest::mouseClick(Child<QPushButton>(*elster, "btnKopieren81"), Qt::LeftButton);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1000"));
  QTest::mouseClick(Child<QPushButton>(*elster, "btnKopieren83"), Qt::LeftButton);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("-310,00"));
  QTest::mouseClick(Child<QPushButton>(*elster, "btnAlleKopieren"), Qt::LeftButton);
  EXPECT_EQ(QApplication::clipboard()->text(),
            QStringLiteral("Kz 81: 1000\nSteuer zu Kz 81: 190,00\nKz 39: 500,00\nKz 83: -310,00\n"));
  EXPECT_EQ(elster->findChild<QPushButton*>(QStringLiteral("btnKopieren66")), nullptr);
}

TEST_F(WindowTest, FilingSettingsAsStoredPerYear) {
  SaveFilingSettings(2025, {FilingRhythm::Monthly, true, 7});
  SaveFilingSettings(2025, {FilingRhythm::Monthly, false, std::nullopt});  // replaced whole
  {
    // Entries edited by hand: a year that is no year, an amount that is none.
    QSettings store(QSettings::IniFormat, QSettings::UserScope, "Vorlex", "vorlex");
    store.setValue("Abgabe/zwei/Rhythmus", "monatlich");
    store.setValue("Abgabe/2026/Rhythmus", "woechentlich");
    store.setValue("Abgabe/2026/Dauerfrist", true);
    store.setValue("Abgabe/2026/Sondervorauszahlung", "zehn");
  }
  const std::map<int, FilingSettings> stored = StoredFilingSettings();
  EXPECT_EQ(stored, (std::map<int, FilingSettings>{
                        {2025, {FilingRhythm::Monthly, false, std::nullopt}},
                        {2026, {FilingRhythm::Quarterly, true, std::nullopt}}}));
}

TEST(FilingSettingsDialog, TakesAnAssessedAmountOnlyWhenItIsOne) {
  TFilingSettingsDialog dialog(2026, FilingSettings{}, kGerman, nullptr);
  auto* assessed = Child<QRadioButton>(dialog, "rbFestgesetzt");
  // A quarterly filer has no special prepayment to enter.
  EXPECT_FALSE(assessed->isEnabled());
  Child<QComboBox>(dialog, "cmbRhythmus")->setCurrentIndex(0);
  Child<QCheckBox>(dialog, "chkDauerfrist")->setChecked(true);
  ASSERT_TRUE(assessed->isEnabled());
  assessed->setChecked(true);
  Child<QLineEdit>(dialog, "editSvz")->setText(QStringLiteral("zehn"));
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(Child<QLabel>(dialog, "lblFehler")->isHidden());
  Child<QLineEdit>(dialog, "editSvz")->setText(QStringLiteral("1234,5"));
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Settings(), (FilingSettings{FilingRhythm::Monthly, true, 123450}));
}

}  // namespace
}  // namespace vorlex
