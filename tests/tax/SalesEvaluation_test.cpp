#include "tax/SalesEvaluation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/uDB.h"
#include "tax/RecordingSink.h"
#include "tax/TaxDbTest.h"
#include "tests/ListTexts.h"
#include "tests/util/FormatTest.h"
#include "util/NumberText.h"

namespace vorlex {
namespace {

using testing::Day;
using testing::RecordingSink;

constexpr TaxationBasis kIst = TaxationBasis::Ist;
constexpr TaxationBasis kSoll = TaxationBasis::Soll;

class SalesTest : public testing::TaxDbTest {
 protected:
  // An order of 100.00 net at 19 % (one line).
  void AddOrder(testdb::PelmoraDb& b, testdb::Order order, double net = 100) {
    b.Add(order);
    b.Add(testdb::Line{.auftragindex = order.id, .anzahl = 1.0, .preis = net, .mwst = 19.0});
  }
  std::vector<std::string> Run(double first, double last, TaxationBasis basis,
                               const FormatSettings& format = kGerman) {
    sink_ = RecordingSink(format);
    totals_ = TaxTotals{};
    SalesEvaluation(Open(), first, last, basis, totals_, sink_);
    return LineTexts(sink_.lines);
  }
  // The descriptions of the listed orders, in list order.
  std::vector<std::string> Listed(double first, double last, TaxationBasis basis) {
    std::vector<std::string> names;
    for (const std::string& line : Run(first, last, basis)) {
      const std::size_t start = line.find("|   ", line.find("|   ") + 1) + 4;
      names.push_back(line.substr(start, line.find("   |", start) - start));
    }
    return names;
  }

  RecordingSink sink_;
  TaxTotals totals_;
};

TEST_F(SalesTest, QueryTexts) {
  EXPECT_EQ(SalesQuery(Day(2024, 1, 1), Day(2024, 3, 31), kIst),
            "SELECT DISTINCT auftrag.*, besitzer.name AS b_name,besitzer.vorname AS b_vor, "
            "besitzer.kundennr AS b_kdnr, besitzer.land, ust_id FROM (auftrag LEFT JOIN besitzer "
            "ON auftrag.besitzerindex=besitzer.id) WHERE (auftrag.papierkorb = 0) AND ((bezahlt = "
            "-1) OR(davonbezahlt IS NOT 0))AND (bezahltam >= 45292) AND (bezahltam < 45383)  "
            "ORDER BY besitzer.land,bezahltam");
  // Only the calendar days of the bounds count.
  EXPECT_EQ(SalesQuery(Day(2024, 1, 1) + 0.75, Day(2024, 3, 31) + 0.5, kSoll),
            "SELECT DISTINCT auftrag.*, besitzer.name AS b_name,besitzer.vorname AS b_vor, "
            "besitzer.kundennr AS b_kdnr, besitzer.land, ust_id FROM (auftrag LEFT JOIN besitzer "
            "ON auftrag.besitzerindex=besitzer.id) WHERE (auftrag.papierkorb = 0)AND (termin >= "
            "45292) AND (termin < 45383)  ORDER BY besitzer.land,termin");
  // The last representable day still has a bound after it.
  EXPECT_NE(SalesQuery(Day(9999, 12, 1), Day(9999, 12, 31), kSoll).find("(termin < 2958466)"),
            std::string::npos);
}

TEST_F(SalesTest, ClassificationAndCountryNote) {
  auto& b = Build();
  struct Customer {
    const char* land;
    const char* ustId;
  };
  const Customer customers[] = {
      {"D", ""},      {"A", "ATU1"}, {"A", ""},  {"E", "ESX2"},  {"LUX", ""}, {"LUX", "LU3"},
      {"CH", "CHE4"}, {"", ""},      {"ch", ""}, {"AT", "ATU5"}, {"F", ""},   {"NL", "NL6"},
  };
  for (int i = 0; i < 12; ++i) {
    b.Add(testdb::Customer{.id = i + 1,
                           .name = "Kunde " + std::to_string(i + 1),
                           .land = customers[i].land,
                           .ust_id = customers[i].ustId});
    AddOrder(b, {.id = i + 1,
                 .besitzerindex = i + 1,
                 .termin = Day(2024, 3, 1 + i),
                 .bezeichnung = "Auftrag " + std::to_string(i + 1)});
  }
  AddOrder(
      b, {.id = 20, .besitzerindex = 99, .termin = Day(2024, 3, 20), .bezeichnung = "Ohne Kunde"});
  b.Add(testdb::Customer{.id = 21, .name = "Null-Land", .land = nullptr, .ust_id = nullptr});
  AddOrder(b, {.id = 21, .besitzerindex = 21, .termin = Day(2024, 3, 21), .bezeichnung = "NULL"});

  // Rows come by country code (NULL first, byte order), then by date.
  const std::vector<std::string> expected = {
      "E   |   20.03.2024   |   Ohne Kunde   |      |   100,00   |   119,00",
      "E   |   21.03.2024   |   NULL   |   Null-Land   |   100,00   |   119,00",
      "E   |   08.03.2024   |   Auftrag 8   |   Kunde 8   |   100,00   |   119,00",
      "E   |   02.03.2024   |   Auftrag 2   |   Kunde 2 (A, UStID=ATU1)   |   100,00   |   119,00",
      "E   |   03.03.2024   |   Auftrag 3   |   Kunde 3 (A, UStID=)   |   100,00   |   119,00",
      "E   |   10.03.2024   |   Auftrag 10   |   Kunde 10 (AT, UStID=ATU5)   |   100,00   |   "
      "119,00",
      "E   |   07.03.2024   |   Auftrag 7   |   Kunde 7 (CH, UStID=CHE4)   |   100,00   |   119,00",
      "E   |   01.03.2024   |   Auftrag 1   |   Kunde 1   |   100,00   |   119,00",
      "E   |   04.03.2024   |   Auftrag 4   |   Kunde 4 (E, UStID=ESX2)   |   100,00   |   119,00",
      "E   |   11.03.2024   |   Auftrag 11   |   Kunde 11 (F, UStID=)   |   100,00   |   119,00",
      "E   |   05.03.2024   |   Auftrag 5   |   Kunde 5 (LUX, UStID=)   |   100,00   |   119,00",
      "E   |   06.03.2024   |   Auftrag 6   |   Kunde 6 (LUX, UStID=LU3)   |   100,00   |   119,00",
      "E   |   12.03.2024   |   Auftrag 12   |   Kunde 12 (NL, UStID=NL6)   |   100,00   |   "
      "119,00",
      "E   |   09.03.2024   |   Auftrag 9   |   Kunde 9 (ch, UStID=)   |   100,00   |   119,00",
  };
  EXPECT_EQ(Run(Day(2024, 3, 1), Day(2024, 3, 31), kSoll), expected);
  EXPECT_NEAR(totals_.NichtEU, 100, 1e-9);
  EXPECT_NEAR(totals_.InnergemMitUStId, 300, 1e-9);   // A, E, LUX with number
  EXPECT_NEAR(totals_.InnergemOhneUStId, 200, 1e-9);  // A, LUX without
  EXPECT_NEAR(totals_.Umsatz19, 800, 1e-9);           // D, empty, NULL, missing, ch, AT, F, NL
  EXPECT_EQ(totals_.Umsatz7, 0);
  EXPECT_EQ(totals_.Vorsteuer7, 0);
  EXPECT_EQ(totals_.Vorsteuer19, 0);
  EXPECT_EQ(sink_.maxima, std::vector<int>{14});
  EXPECT_EQ(sink_.position, 14);
}

TEST_F(SalesTest, IstSelectsPaidOrdersByPaymentDateSollAllOrdersByInvoiceDate) {
  auto& b = Build();
  const double after = Day(2024, 4, 2);
  struct Row {
    const char* name;
    testdb::Value bezahlt, davonbezahlt, papierkorb;
    double termin, bezahltam;
  };
  const Row rows[] = {
      {"paid-in", -1, 0.0, 0, Day(2024, 3, 1), Day(2024, 3, 15)},
      {"paid-later", -1, 0.0, 0, Day(2024, 3, 2), after},
      {"invoiced-earlier-paid-in", -1, 0.0, 0, Day(2024, 2, 10), Day(2024, 3, 16)},
      {"unpaid", 0, 0.0, 0, Day(2024, 3, 3), 0.0},
      {"part-paid", 0, 25.0, 0, Day(2024, 2, 11), Day(2024, 3, 17)},
      {"part-NULL", 0, nullptr, 0, Day(2024, 3, 4), Day(2024, 3, 18)},
      {"paid-flag-1", 1, 0.0, 0, Day(2024, 3, 5), Day(2024, 3, 19)},
      {"bin", -1, 0.0, 1, Day(2024, 3, 6), Day(2024, 3, 20)},
      {"bin-NULL", -1, 0.0, nullptr, Day(2024, 3, 7), Day(2024, 3, 21)},
      {"unpaid-negative-part", 0, -5.0, 0, Day(2024, 3, 8), Day(2024, 3, 22)},
  };
  int id = 0;
  for (const Row& row : rows) {
    AddOrder(b, {.id = ++id,
                 .besitzerindex = 0,
                 .papierkorb = row.papierkorb,
                 .bezahlt = row.bezahlt,
                 .davonbezahlt = row.davonbezahlt,
                 .termin = row.termin,
                 .bezahltam = row.bezahltam,
                 .bezeichnung = row.name});
  }
  const double first = Day(2024, 3, 1), last = Day(2024, 3, 31);
  EXPECT_EQ(Listed(first, last, kIst),
            (std::vector<std::string>{"paid-in", "invoiced-earlier-paid-in", "part-paid",
                                      "part-NULL", "unpaid-negative-part"}));
  // Under "Ist" the payment date is shown.
  EXPECT_EQ(LineTexts(sink_.lines)[0].substr(0, 20), "E   |   15.03.2024  ");
  EXPECT_NEAR(totals_.Umsatz19, 500, 1e-9);
  EXPECT_EQ(Listed(first, last, kSoll),
            (std::vector<std::string>{"paid-in", "paid-later", "unpaid", "part-NULL", "paid-flag-1",
                                      "unpaid-negative-part"}));
  EXPECT_NEAR(totals_.Umsatz19, 600, 1e-9);
}

TEST_F(SalesTest, TheWholeLastDayBelongsToThePeriod) {
  auto& b = Build();
  const double dates[] = {45291.99, 45292.0, 45292.75, 45382.0, 45382.5, 45382.999, 45383.0};
  int id = 0;
  for (double date : dates) {
    AddOrder(b, {.id = ++id,
                 .termin = date,
                 .bezahltam = date,
                 .bezeichnung = FormatFloat(date, FormatSettings{'.', "yyyy"})});
  }
  const std::vector<std::string> q1 = {"45292", "45292.75", "45382", "45382.5", "45382.999"};
  struct Row {
    const char* name;
    double first, last;
    TaxationBasis basis;
  };
  const Row rows[] = {
      {"whole days, Soll", 45292.0, 45382.0, kSoll},
      {"whole days, Ist", 45292.0, 45382.0, kIst},
      {"bounds with a time of day", 45292.6, 45382.2, kSoll},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Listed(row.first, row.last, row.basis), q1);
  }
  EXPECT_EQ(Listed(45383.0, 45383.0, kSoll), std::vector<std::string>{"45383"});
  EXPECT_EQ(Listed(45291.0, 45291.0, kSoll), std::vector<std::string>{"45291.99"});
  // First day after the last day: nothing, and no error.
  EXPECT_TRUE(Listed(45382.0, 45292.0, kSoll).empty());
  EXPECT_EQ(sink_.maxima, std::vector<int>{0});
}

TEST_F(SalesTest, DescriptionIsCutAfterFortyCharacters) {
  auto& b = Build();
  const std::string forty(40, 'x');
  const std::string umlauts40 = std::string(39, 'u') + "\xC3\xBC";  // UTF-8, 40 characters
  AddOrder(b, {.id = 1, .termin = Day(2024, 3, 1), .bezeichnung = forty});
  AddOrder(b, {.id = 2, .termin = Day(2024, 3, 2), .bezeichnung = forty + "y"});
  AddOrder(b, {.id = 3, .termin = Day(2024, 3, 3), .bezeichnung = umlauts40 + "\xC3\xA4"});
  AddOrder(b, {.id = 4, .termin = Day(2024, 3, 4), .bezeichnung = std::string(41, '\xE4')});
  AddOrder(b, {.id = 5, .termin = Day(2024, 3, 5), .bezeichnung = nullptr});
  EXPECT_EQ(Listed(Day(2024, 3, 1), Day(2024, 3, 31), kSoll),
            (std::vector<std::string>{forty, forty + "...", umlauts40 + "...",
                                      std::string(40, '\xE4') + "...", ""}));
}

TEST_F(SalesTest, AmountsFollowTheFormatSettings) {
  auto& b = Build();
  // 1234.5 x 1.19 is 1469.05499... in binary: shown, never rounded to cents before.
  AddOrder(b, {.id = 1, .termin = Day(2024, 3, 31), .bezeichnung = "Regal"}, 1234.5);
  EXPECT_EQ(
      Run(Day(2024, 3, 1), Day(2024, 3, 31), kSoll, kPoint),
      std::vector<std::string>{"E   |   3/31/2024   |   Regal   |      |   1234.50   |   1469.05"});
}

TEST_F(SalesTest, AConversionErrorStopsAtTheOrderAndNamesIt) {
  testdb::Schema schema;
  schema.amountType = "VARCHAR(20)";
  auto& b = Build(schema);
  b.Add(testdb::Customer{.id = 1, .name = "Huber", .land = "A", .ust_id = ""});
  AddOrder(b, {.id = 7, .besitzerindex = 1, .termin = Day(2024, 3, 1), .bezeichnung = "gut"});
  AddOrder(b, {.id = 8,
               .besitzerindex = 1,
               .termin = Day(2024, 3, 2),
               .bezeichnung = "schlecht",
               .skonto = "2 Prozent"});
  AddOrder(b, {.id = 9, .besitzerindex = 1, .termin = Day(2024, 3, 3), .bezeichnung = "danach"});
  TDBase& db = Open();
  RecordingSink sink;
  TaxTotals totals;
  try {
    SalesEvaluation(db, Day(2024, 3, 1), Day(2024, 3, 31), kSoll, totals, sink);
    ADD_FAILURE() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(std::string(e.what()),
              std::string(kConvertErrorText) + ": \"2 Prozent\" (Spalte skonto, Auftrag id 8)");
  }
  EXPECT_EQ(LineTexts(sink.lines),
            std::vector<std::string>{
                "E   |   01.03.2024   |   gut   |   Huber (A, UStID=)   |   100,00   |   119,00"});
  EXPECT_NEAR(totals.InnergemOhneUStId, 100, 1e-9);
}

}  // namespace
}  // namespace vorlex
