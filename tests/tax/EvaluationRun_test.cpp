#include "tax/EvaluationRun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/uDB.h"
#include "tax/FormFields.h"
#include "tax/RecordingSink.h"
#include "tax/TaxDbTest.h"
#include "tests/ListTexts.h"
#include "tests/util/FormatTest.h"
#include "util/NumberText.h"

namespace vorlex {
namespace {

using testing::Day;
using testing::RecordingSink;

// A small quarter: two domestic sales, one Austrian with VAT number, one Swiss,
// a credit note, cash receipts at 7 and 19 % and expenses at 7 and 19 %.
void BuildQuarter(testdb::PelmoraDb& b) {
  b.Add(testdb::Customer{.id = 1, .name = "M\xFCller KG", .land = "D"});
  b.Add(testdb::Customer{.id = 2, .name = "Wien Handel", .land = "A", .ust_id = "ATU12345678"});
  b.Add(testdb::Customer{.id = 3, .name = "Z\xFCrich AG", .land = "CH", .ust_id = ""});
  b.Add(testdb::Supplier{.id = 1, .name = "B\xFCrobedarf"});
  const auto order = [&b](int id, int customer, double date, const char* text, double preis,
                          double mwst = 19, int type = 0, double rechbetrag = 0) {
    b.Add(testdb::Order{.id = id,
                        .besitzerindex = customer,
                        .termin = date,
                        .bezahltam = date,
                        .bezeichnung = text,
                        .mwst = mwst,
                        .auftragstyp = type,
                        .rechbetrag = rechbetrag});
    b.Add(testdb::Line{.auftragindex = id, .anzahl = 2.0, .preis = preis / 2, .mwst = mwst});
  };
  order(1, 1, Day(2024, 1, 15), "Regale", 1000);
  order(2, 1, Day(2024, 3, 31) + 0.6, "Montage", 250.5);
  order(3, 2, Day(2024, 2, 1), "Export Wien", 800, 0);
  order(4, 3, Day(2024, 2, 2), "Export Z\xFCrich", 300, 0);
  order(5, 1, Day(2024, 2, 20), "Gutschrift Regale", 100, 19, -99, -119);
  order(6, 1, Day(2024, 4, 1), "April", 5000);
  b.Add(testdb::CashEntry{.besitzerindex = 1,
                          .neinaus = 0,
                          .termin = Day(2024, 3, 1),
                          .bezeichnung = "Barverkauf Buch",
                          .betrag = 20.0,
                          .mwst = 7.0});
  b.Add(testdb::CashEntry{.besitzerindex = 1,
                          .neinaus = 0,
                          .termin = Day(2024, 3, 2),
                          .bezeichnung = "Barverkauf",
                          .betrag = 50.0,
                          .mwst = 19.0});
  b.Add(testdb::CashEntry{.lieferantindex = 1,
                          .neinaus = 1,
                          .termin = Day(2024, 1, 5),
                          .bezeichnung = "Papier",
                          .betrag = 40.0,
                          .mwst = 19.0});
  b.Add(testdb::CashEntry{.lieferantindex = 1,
                          .neinaus = 1,
                          .termin = Day(2024, 1, 6),
                          .bezeichnung = "Zeitschrift",
                          .betrag = 10.0,
                          .mwst = 7.0});
}

class EvaluationRunTest : public testing::TaxDbTest {};

TEST(RunEntryTest, TextsStayWithTheirEntryThroughCopiesMovesAndChanges) {
  RunEntry entry;
  entry.id = 17;
  const std::string held = "B\xFC" "cher";
  entry.SetTexts({.description = held, .customer = "Kunde 1", .country = "A", .vatId = "ATU1"});
  RunEntry copy = entry;
  entry.SetCustomer("");  // the copy keeps its own texts
  EXPECT_EQ(copy.description(), held);
  EXPECT_EQ(copy.customer(), "Kunde 1");
  EXPECT_EQ(entry.customer(), "");
  EXPECT_EQ(entry.description(), held);  // a change leaves the other texts
  EXPECT_EQ(entry.vatId(), "ATU1");
  // A view into the entry's own texts may set them anew.
  entry.SetDescription(entry.vatId());
  EXPECT_EQ(entry.description(), "ATU1");
  std::vector<RunEntry> entries;
  for (int i = 0; i < 100; ++i) entries.push_back(copy);  // moved as the vector grows
  RunEntry moved = std::move(entries.back());
  EXPECT_EQ(moved.country(), "A");
  EXPECT_EQ(moved.id, 17);
  EXPECT_EQ(entries.back().description(), "");  // a moved-from entry reads as empty
  EXPECT_EQ(entries.front().rateText(), "");
  EXPECT_EQ(entries.front().customer(), "Kunde 1");
  copy = RunEntry{};
  EXPECT_EQ(copy.description(), "");
}

TEST_F(EvaluationRunTest, PeriodCaption) {
  EXPECT_EQ(PeriodCaption(Day(2024, 1, 1), Day(2024, 3, 31), TaxationBasis::Ist, kGerman),
            "Ein- und Ausg\xE4nge vom 01.01.2024 bis 31.03.2024  (Zahlungsdatum)");
  EXPECT_EQ(
      PeriodCaption(Day(2011, 11, 7) + 0.4, Day(2011, 11, 7) + 0.9, TaxationBasis::Soll, kGerman),
      "Ein- und Ausg\xE4nge vom 07.11.2011 bis 07.11.2011  (Rechnungsdatum)");
  EXPECT_EQ(PeriodCaption(Day(2024, 3, 1), Day(2024, 3, 31), TaxationBasis::Ist, kPoint),
            "Ein- und Ausg\xE4nge vom 3/1/2024 bis 3/31/2024  (Zahlungsdatum)");
}

TEST_F(EvaluationRunTest, EmptyPeriodGivesTheElevenSummaryLines) {
  BuildQuarter(Build());
  RecordingSink sink;
  TaxTotals totals;
  totals.Umsatz19 = 12345;  // left over from another run
  EvaluateRun(Open(), Day(2023, 1, 1), Day(2023, 12, 31), TaxationBasis::Ist, totals, sink);
  EXPECT_EQ(LineTexts(sink.lines), kEmptySummary);
  EXPECT_EQ(sink.maxima, (std::vector<int>{0, 0}));
  for (const FormFigure& figure : FormFigures(totals)) EXPECT_EQ(figure.value, 0);
}

TEST_F(EvaluationRunTest, AQuarterFromSalesToTotals) {
  BuildQuarter(Build());
  TDBase& db = Open();
  const std::vector<std::string> expected = {
      // By country code: A before CH before D.
      "E   |   01.02.2024   |   Export Wien   |   Wien Handel (A, UStID=ATU12345678)   |   "
      "800,00   |   800,00",
      "E   |   02.02.2024   |   Export Z\xFCrich   |   Z\xFCrich AG (CH, UStID=)   |   "
      "300,00   |   300,00",
      "E   |   15.01.2024   |   Regale   |   M\xFCller KG   |   1000,00   |   1190,00",
      "E   |   20.02.2024   |   Gutschrift Regale   |   M\xFCller KG   |   -119,00   |   141,61",
      "E   |   31.03.2024   |   Montage   |   M\xFCller KG   |   250,50   |   298,09",  // 250.5
                                                                                        // x 1.19 is
                                                                                        // 298.09499...
                                                                                        // in binary
      "E   |   02.03.2024   |   Barverkauf   |   M\xFCller KG   |   50,00   |   19%",
      "E   |   01.03.2024   |   Barverkauf Buch   |   M\xFCller KG   |   20,00   |   7%",
      "-------",
      "A   |   05.01.2024   |   Papier   |   B\xFCrobedarf   |   40,00   |   19%",
      "A   |   06.01.2024   |   Zeitschrift   |   B\xFCrobedarf   |   10,00   |   7%",
      "-------",
      "     Nicht EU:  300,00",
      "     Innergem. Lief. mit USt-IdNr:  800,00",
      "     Innergem. Lief. ohne USt-IdNr:  0,00",
      "     Umsatz St.satz 19 v.H:  1181,50",
      "     Umsatz St.satz  7 v.H:  20,00",
      "     Umsatzsteuer:  225,89",  // 225.885, rounded as by hand
      "",
      "     Vorst. 7%:  0,70",
      "     Vorst. 19%:  7,60",
      "     Vorsteuer:  8,30",
  };
  // Twice, into the same totals: the second run starts from zero again.
  TaxTotals totals;
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    RecordingSink sink;
    EvaluateRun(db, Day(2024, 1, 1), Day(2024, 3, 31), TaxationBasis::Ist, totals, sink);
    EXPECT_EQ(LineTexts(sink.lines), expected);
    EXPECT_EQ(sink.maxima, (std::vector<int>{5, 4}));
    const auto figures = FormFigures(totals);
    const int fields[] = {41, 44, 81, 86, 66};
    const double values[] = {800, 0, 1181.5, 20, 8.3};
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(figures[i].field, fields[i]);
      EXPECT_NEAR(figures[i].value, values[i], 1e-9);
    }
    EXPECT_NEAR(totals.NichtEU, 300, 1e-9);
  }
}

// Days and amounts in columns of the text kind travel as the text of their
// REAL, which is the same whichever version of the library reads them.
TEST_F(EvaluationRunTest, RealsInTextColumnsGiveTheSameRunOnEveryLibrary) {
  testdb::Schema schema;
  schema.dateType = "DATETIME";
  schema.amountType = "DECIMAL(10,2)";
  auto& b = Build(schema);
  const double beforeMidnight = 45839.9999999999927;  // 1 July 2025, 23:59:59.999999
  b.Add(testdb::Order{.id = 1, .termin = beforeMidnight, .bezeichnung = "Sp\xE4t"});
  b.Add(testdb::Line{.auftragindex = 1, .anzahl = 1.0, .preis = 100.0});
  b.Add(testdb::CashEntry{.neinaus = 0,
                          .termin = beforeMidnight,
                          .bezeichnung = "Bar",
                          .betrag = 0.1 + 0.2,
                          .mwst = 19.000000000000004});
  RecordingSink sink;
  TaxTotals totals;
  EvaluateRun(Open(), Day(2025, 7, 1), Day(2025, 7, 31), TaxationBasis::Soll, totals, sink);
  const std::vector<std::string> lines = LineTexts(sink.lines);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "E   |   02.07.2025   |   Sp\xE4t   |      |   100,00   |   119,00");
  EXPECT_EQ(lines[1], "E   |   02.07.2025   |   Bar   |      |   0,30   |   19.0%");
  EXPECT_EQ(totals.Umsatz19, 100 + 0.3);  // 0.3, not 0.30000000000000004
}

TEST_F(EvaluationRunTest, AFailedRunKeepsTheLinesBeforeTheErrorAndHasNoSummary) {
  testdb::Schema schema;
  schema.amountType = "VARCHAR(20)";
  auto& b = Build(schema);
  b.Add(testdb::Order{.id = 1,
                      .termin = Day(2024, 3, 1),
                      .bezahltam = Day(2024, 3, 1),
                      .bezeichnung = "gut",
                      .mwst = 0.0});
  b.Add(testdb::CashEntry{.neinaus = 0,
                          .termin = Day(2024, 3, 2),
                          .bezeichnung = "Kasse",
                          .betrag = "x",
                          .mwst = 19.0});
  RecordingSink sink;
  TaxTotals totals;
  EXPECT_THROW(
      EvaluateRun(Open(), Day(2024, 3, 1), Day(2024, 3, 31), TaxationBasis::Ist, totals, sink),
      EConvertError);
  EXPECT_EQ(LineTexts(sink.lines),
            std::vector<std::string>{"E   |   01.03.2024   |   gut   |      |   0,00   |   0,00"});
}

TEST_F(EvaluationRunTest, AMissingTableEndsTheRunWithTheDatabaseError) {
  Build().Exec("DROP TABLE kasse");
  RecordingSink sink;
  TaxTotals totals;
  EXPECT_THROW(
      EvaluateRun(Open(), Day(2024, 3, 1), Day(2024, 3, 31), TaxationBasis::Ist, totals, sink),
      ESQLiteException);
  EXPECT_TRUE(LineTexts(sink.lines).empty());
}

}  // namespace
}  // namespace vorlex
