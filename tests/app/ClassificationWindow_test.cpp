// The window's choice of classification: "Zuordnung: einfach | genau" and
// what the trader sells abroad, what they change in the pictures, the further
// figures, the status bar, the overview and the exports, and that the choice
// is remembered.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTableWidget>
#include <QTest>

#include "app/ClassificationChoice.h"
#include "app/WindowFixture.h"
#include "app/YearOverviewDialog.h"
#include "output/TableExport.h"
#include "tax/FormFields.h"
#include "tests/util/FormatTest.h"

namespace vorlex::testing {
namespace {

using testdb::Customer;
using testdb::Line;
using testdb::Order;

// May 2026: tea at 7 % at home, a French business with its VAT id, a Swiss
// customer. The simple classification puts the first two into field 81.
void FillShop(testdb::PelmoraDb& db) {
  db.Add(Customer{.id = 1, .name = "Teestube", .land = "D"});
  db.Add(Customer{.id = 2, .name = "Epicerie", .land = "F", .ust_id = "FR40303265045"});
  db.Add(Customer{.id = 3, .name = "Teehaus", .land = "CH"});
  db.Add(Order{.id = 1, .besitzerindex = 1, .termin = Day(2026, 5, 4),
               .bezahltam = Day(2026, 5, 6), .bezeichnung = "Tee", .mwst = 7.0});
  db.Add(Line{.auftragindex = 1, .anzahl = 4.0, .preis = 25.0, .mwst = 7.0});
  db.Add(Order{.id = 2, .besitzerindex = 2, .termin = Day(2026, 5, 8),
               .bezahltam = Day(2026, 5, 9), .bezeichnung = "Lieferung Lyon"});
  db.Add(Line{.auftragindex = 2, .anzahl = 1.0, .preis = 200.0});
  db.Add(Order{.id = 3, .besitzerindex = 3, .termin = Day(2026, 5, 11),
               .bezahltam = Day(2026, 5, 12), .bezeichnung = "Export"});
  db.Add(Line{.auftragindex = 3, .anzahl = 1.0, .preis = 80.0});
}

class ClassificationWindowTest : public WindowTest {
 protected:
  void StartShop() {
    FillShop(MakeDatabase());
    Start(QDate(2026, 5, 15)).show();
    zuordnung = form->findChild<QComboBox*>(QStringLiteral("cmbZuordnung"));
    ausland = form->findChild<QComboBox*>(QStringLiteral("cmbAusland"));
    zuordnungStatus = form->findChild<QLabel*>(QStringLiteral("lblZuordnung"));
    ASSERT_NE(zuordnung, nullptr);
    ASSERT_NE(ausland, nullptr);
    ASSERT_NE(zuordnungStatus, nullptr);
  }
  // The picture of a further figure while it is shown; nullptr while hidden.
  TImage* Further(const char* name) const {
    auto* picture = form->findChild<TImage*>(QString::fromLatin1(name));
    EXPECT_NE(picture, nullptr) << name;
    return picture && picture->isVisibleTo(form.get()) ? picture : nullptr;
  }
  double Figure(int field) const { return FigureOf(FormFieldNumbered(field), Totals); }
  std::vector<std::string> FigureLines() const {
    std::vector<std::string> lines = Lines();
    // From the divider before the total lines on.
    const auto divider = std::find(lines.rbegin(), lines.rend(), "-------");
    lines.erase(lines.begin(), divider.base() - 1);
    return lines;
  }

  QComboBox* zuordnung = nullptr;
  QComboBox* ausland = nullptr;
  QLabel* zuordnungStatus = nullptr;
};

QImage Drawn(const TImage& picture, int field, double value) {
  QImage canvas(picture.size(), QImage::Format_RGB32);
  canvas.fill(Qt::white);
  DrawFormValue(canvas, field, value, 96, kGerman);
  return canvas;
}

TEST_F(ClassificationWindowTest, ExactMovesTheFiguresAndShowsTheFurtherOnes) {
  StartShop();
  // "einfach": the 7 % order and the French supply in field 81, the Swiss
  // order outside the pictures; nothing further, nothing in the status bar.
  EXPECT_EQ(zuordnung->currentText(), QStringLiteral("einfach"));
  EXPECT_FALSE(ausland->isEnabled());
  EXPECT_EQ(Figure(81), 300.0);
  EXPECT_EQ(Figure(86), 0.0);
  EXPECT_EQ(Totals.NichtEU, 80.0);
  EXPECT_FALSE(zuordnungStatus->isVisibleTo(form.get()));
  const std::vector<std::string> simpleLines = FigureLines();
  for (const char* name : {"ImageKz21", "ImageKz35", "ImageKz36", "ImageKz43", "ImageKz45",
                           "ImageSteuerfrei"}) {
    EXPECT_EQ(Further(name), nullptr) << name;
  }

  Choose(zuordnung, 1);
  ASSERT_TRUE(messages.empty()) << messages.front().detail.toStdString();
  EXPECT_TRUE(ausland->isEnabled());
  EXPECT_EQ(Figure(41), 200.0);
  EXPECT_EQ(Figure(81), 0.0);
  EXPECT_EQ(Figure(86), 100.0);
  EXPECT_EQ(Totals.Ausfuhr43, 80.0);
  EXPECT_EQ(Totals.NichtEU, 0.0);
  EXPECT_EQ(c.Image1->Picture(), Drawn(*c.Image1, 41, 200.0));
  EXPECT_EQ(c.Image3->Picture(), Drawn(*c.Image3, 81, 0.0));
  EXPECT_EQ(c.Image4->Picture(), Drawn(*c.Image4, 86, 100.0));
  EXPECT_TRUE(zuordnungStatus->isVisibleTo(form.get()));
  EXPECT_EQ(zuordnungStatus->text(), QStringLiteral("Zuordnung: genau"));
  // The list's total lines stay, the further figure follows them.
  std::vector<std::string> exactLines = FigureLines();
  ASSERT_EQ(exactLines.size(), simpleLines.size() + 1);
  EXPECT_EQ(exactLines.back(), "     Ausfuhrlieferungen (Kz 43):  80,00");

  // Field 43 alone beside the pictures, on the panel, covering none of them;
  // a click shows its entry.
  TImage* kz43 = Further("ImageKz43");
  ASSERT_NE(kz43, nullptr);
  EXPECT_EQ(kz43->parentWidget(), c.pnlR);
  EXPECT_TRUE(c.pnlR->rect().contains(kz43->geometry()));
  for (const QWidget* fixed : std::initializer_list<const QWidget*>{
           c.Label1, c.Label2, c.Image1, c.Label3, c.Image2, c.Label4, c.Image3, c.Label5,
           c.Image4, c.Label6, c.Image5, c.Bevel1, c.Label7, c.editUStID}) {
    EXPECT_FALSE(kz43->geometry().intersects(fixed->geometry())) << fixed->objectName().toStdString();
  }
  EXPECT_EQ(Further("ImageKz45"), nullptr);
  QTest::mouseClick(kz43, Qt::LeftButton);
  EXPECT_EQ(c.StatusBar1->currentMessage(), QStringLiteral("Nur Einträge zu Kz 43 (1)"));
  EXPECT_TRUE(kz43->Chosen());
  ASSERT_EQ(c.lbUst->Model().rowCount(), static_cast<int>(exactLines.size()) + 1);
  EXPECT_NE(c.lbUst->Model().ViewLine(0).text.find("Export"), std::string::npos);
  QTest::keyClick(kz43, Qt::Key_Space);
  EXPECT_TRUE(c.StatusBar1->currentMessage().isEmpty());

  // Services: the French business into 21, the Swiss one into 45.
  Choose(ausland, 1);
  EXPECT_EQ(Figure(41), 0.0);
  EXPECT_EQ(Totals.Leistungen21, 200.0);
  EXPECT_EQ(Totals.Ausland45, 80.0);
  EXPECT_EQ(Further("ImageKz43"), nullptr);
  ASSERT_NE(Further("ImageKz21"), nullptr);
  ASSERT_NE(Further("ImageKz45"), nullptr);
  EXPECT_LT(Further("ImageKz21")->y(), Further("ImageKz45")->y());
  EXPECT_EQ(zuordnungStatus->text(), QStringLiteral("Zuordnung: genau, sonstige Leistungen"));

  // Back to "einfach": the figures and lines as at the start.
  Choose(zuordnung, 0);
  EXPECT_EQ(Figure(81), 300.0);
  EXPECT_EQ(FigureLines(), simpleLines);
  EXPECT_EQ(Further("ImageKz21"), nullptr);
  EXPECT_FALSE(zuordnungStatus->isVisibleTo(form.get()));
  EXPECT_TRUE(messages.empty());
}

TEST_F(ClassificationWindowTest, TheChoiceIsRememberedAndTheSlotChoosesExact) {
  StartShop();
  Choose(zuordnung, 1);
  Choose(ausland, 1);
  form->close();
  ResetProgramValues();
  StartShop();
  EXPECT_EQ(zuordnung->currentText(), QStringLiteral("genau"));
  EXPECT_EQ(ausland->currentText(), QStringLiteral("sonstige Leistungen"));
  // The first run already uses it.
  EXPECT_EQ(Totals.Ausland45, 80.0);

  // Values that are none of ours start on "einfach" and goods.
  form->close();
  {
    QSettings stored(QSettings::IniFormat, QSettings::UserScope, "Vorlex", "vorlex");
    stored.setValue("Zuordnung", "Genau");
    stored.setValue("Ausland", "1");
  }
  ResetProgramValues();
  StartShop();
  EXPECT_EQ(zuordnung->currentIndex(), 0);
  EXPECT_EQ(ausland->currentIndex(), 0);
  EXPECT_EQ(Totals.NichtEU, 80.0);

  // The hints window's way to switch: as if chosen, once.
  int resets = 0;
  QObject::connect(&c.lbUst->Model(), &QAbstractItemModel::modelReset, [&resets] { ++resets; });
  auto* choice = form->findChild<TClassificationChoice*>();
  ASSERT_NE(choice, nullptr);
  choice->ChooseExact();
  EXPECT_EQ(zuordnung->currentText(), QStringLiteral("genau"));
  EXPECT_EQ(Totals.Ausfuhr43, 80.0);
  choice->ChooseExact();
  EXPECT_EQ(resets, 2);  // one run: the list emptied and filled
  EXPECT_TRUE(messages.empty());

  // By keyboard: Alt+Z goes to the list, Tab on to the second and to "-> .CSV".
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  c.lbUst->setFocus();
  QTest::keyClick(form.get(), Qt::Key_Z, Qt::AltModifier);
  ASSERT_EQ(QApplication::focusWidget(), zuordnung);
  QTest::keyClick(zuordnung, Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), ausland);
  QTest::keyClick(ausland, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), c.btnCsv);
}

TEST_F(ClassificationWindowTest, OverviewTableAndEcSalesListFollowTheChoice) {
  StartShop();
  Click(c.btnUebersicht);
  auto* dialog = form->findChild<TYearOverviewDialog*>();
  ASSERT_NE(dialog, nullptr);
  auto* grid = dialog->findChild<QTableWidget*>(QStringLiteral("gridOverview"));
  const auto column = [grid](const QString& head) {
    for (int i = 0; i < grid->columnCount(); ++i) {
      if (grid->horizontalHeaderItem(i)->text() == head) return i;
    }
    return -1;
  };
  constexpr int kMay = 5;
  EXPECT_EQ(column(QStringLiteral("Kz 43")), -1);
  EXPECT_EQ(grid->item(kMay, column(QStringLiteral("Kz 81")))->text(), QStringLiteral("300,00"));

  // The open overview follows the choice: 81 to 86 and 41, a column for 43.
  Choose(zuordnung, 1);
  const auto heading = [dialog] {
    return dialog->findChild<QLabel*>(QStringLiteral("lblUebersicht"))->text();
  };
  EXPECT_EQ(heading(), QStringLiteral("Jahresübersicht 2026  (Zahlungsdatum, Zuordnung genau)"));
  EXPECT_EQ(grid->item(kMay, column(QStringLiteral("Kz 81")))->text(), QStringLiteral("0,00"));
  EXPECT_EQ(grid->item(kMay, column(QStringLiteral("Kz 86")))->text(), QStringLiteral("100,00"));
  EXPECT_EQ(grid->item(kMay, column(QStringLiteral("Kz 41")))->text(), QStringLiteral("200,00"));
  ASSERT_GE(column(QStringLiteral("Kz 43")), 0);
  EXPECT_EQ(grid->item(kMay, column(QStringLiteral("Kz 43")))->text(), QStringLiteral("80,00"));
  EXPECT_EQ(grid->item(0, column(QStringLiteral("Kz 43")))->text(), QStringLiteral("0,00"));

  // The table names the fields of the exact run; the EC sales list, refused
  // under "einfach" for the French VAT id, lists it.
  int filter = 2;
  AnswerSaveDialogs([&](QWidget*, TSaveDialog& dialog) {
    dialog.FilterIndex = filter;
    return std::optional<QString>(QString::fromStdString(AppData() + "/aus.csv"));
  });
  const auto written = [&] { return ReadBytes(AppData() + "/aus.csv"); };
  Click(c.btnCsv);
  const std::string table = written();
  EXPECT_EQ(table, TableBytes(c.lbUst->Model().Entries(), Totals));
  EXPECT_NE(table.find(";Tee;Teestube;D;;7;100,00;107,00;86\r\n"), std::string::npos) << table;
  EXPECT_NE(table.find("Kennzahl;;Ausfuhrlieferungen;;;;;80,00;;43\r\n"), std::string::npos);
  filter = 3;
  Click(c.btnCsv);
  EXPECT_EQ(written(),
            "#v3.0\r\nUmsatzsteuer-Identifikationsnummer (USt-IdNr.),Summe (Euro),Art der "
            "Leistung\r\nFR40303265045,200,L\r\n");
  EXPECT_TRUE(messages.empty());

  Choose(zuordnung, 0);
  EXPECT_EQ(column(QStringLiteral("Kz 43")), -1);
  std::filesystem::remove(AppData() + "/aus.csv");
  Click(c.btnCsv);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].text.indexOf(QStringLiteral("genau")), -1) << messages[0].text.toStdString();
  EXPECT_FALSE(std::filesystem::exists(AppData() + "/aus.csv"));
}

}  // namespace
}  // namespace vorlex::testing
