// Orders and cash-book entries of every kind through a whole run, to the
// fields they reach under the simple and the exact classification; the EC
// sales list of both.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "db/uDB.h"
#include "output/EcSalesExport.h"
#include "tax/EvaluationRun.h"
#include "tax/FormFields.h"
#include "tax/PlausibilityHints.h"
#include "tax/Prepayment.h"
#include "tax/RecordingSink.h"
#include "tests/ListTexts.h"
#include "tax/TaxDbTest.h"
#include "tests/util/FormatTest.h"

namespace vorlex {
namespace {

using testing::Day;
using testing::RecordingSink;

constexpr ClassificationChoice kSimple{};
constexpr ClassificationChoice kGoods{Classification::Exact, ForeignSales::Goods};
constexpr ClassificationChoice kServices{Classification::Exact, ForeignSales::Services};

struct LineSpec {
  double net;
  double rate;
};

struct OrderCase {
  const char* name;
  const char* land;
  const char* ustId;
  double mwst;  // the order's own rate
  std::vector<LineSpec> lines;
  double skonto = 0;
  int type = 0;
  double rechbetrag = 0;
  // Field figures (0: the 0 % figure, -1: the list's "Nicht EU") under each.
  std::map<int, double> simple = {}, goods = {}, services = {};
};

// One order each, alone in its run, so that its fields are the run's.
const std::vector<OrderCase>& Cases() {
  static const std::vector<OrderCase> cases = {
      {"domestic 19", "D", "", 19, {{100, 19}}, 0, 0, 0, {{81, 100}}, {{81, 100}}, {{81, 100}}},
      {"domestic 7", "D", "", 7, {{50, 7}}, 0, 0, 0, {{81, 50}}, {{86, 50}}, {{86, 50}}},
      {"two rates, skonto shared", "", "", 19, {{100, 19}, {300, 7}}, -40, 0, 0,
       {{81, 360}}, {{81, 90}, {86, 270}}, {{81, 90}, {86, 270}}},
      {"other rate", "D", "", 16, {{100, 16}}, 0, 0, 0, {{81, 100}}, {{35, 100}, {36, 16}},
       {{35, 100}, {36, 16}}},
      {"order without VAT", "D", "", 0, {{100, 19}}, 0, 0, 0, {{81, 100}}, {{0, 100}},
       {{0, 100}}},
      {"line at 0 %", "D", "", 19, {{80, 19}, {20, 0}}, 0, 0, 0, {{81, 100}},
       {{81, 80}, {0, 20}}, {{81, 80}, {0, 20}}},
      {"credit note by its own rate", "D", "", 7, {{100, 19}}, 0, -99, -107, {{81, -107}},
       {{86, -107}}, {{86, -107}}},
      {"EU with VAT id", "F", "FR12345678901", 19, {{100, 19}}, 0, 0, 0, {{81, 100}},
       {{41, 100}}, {{21, 100}}},
      {"EU by ISO code, lower case", "es", "ESB1234567", 19, {{100, 19}}, 0, 0, 0, {{81, 100}},
       {{41, 100}}, {{21, 100}}},
      {"EU without VAT id", "AT", "", 7, {{100, 7}}, 0, 0, 0, {{81, 100}}, {{86, 100}},
       {{86, 100}}},
      {"vehicle code without VAT id", "A", "", 19, {{100, 19}}, 0, 0, 0, {{44, 100}},
       {{81, 100}}, {{81, 100}}},
      {"Switzerland", "CH", "CHE123", 19, {{100, 19}}, 0, 0, 0, {{-1, 100}}, {{43, 100}},
       {{45, 100}}},
      {"outside the EU", "US", "", 19, {{100, 19}}, 0, 0, 0, {{81, 100}}, {{43, 100}},
       {{45, 100}}},
      {"Northern Irish id", "GB", "XI123456789", 19, {{100, 19}}, 0, 0, 0, {{81, 100}},
       {{41, 100}}, {{45, 100}}},
      {"unknown country", "ZZ", "", 19, {{100, 19}}, 0, 0, 0, {{81, 100}}, {{81, 100}},
       {{81, 100}}},
  };
  return cases;
}

std::map<int, double> Figures(const TaxTotals& totals) {
  std::map<int, double> figures;
  const auto put = [&figures](int field, double value) {
    if (value != 0) figures[field] = value;
  };
  for (const FormField& field : kFormFields) {
    if (HasEntries(field)) put(field.number, FigureOf(field, totals));
  }
  for (const FormField& field : kFurtherFields) put(field.number, FigureOf(field, totals));
  put(-1, totals.NichtEU);
  return figures;
}

class ExactClassificationTest : public testing::TaxDbTest {
 protected:
  TaxTotals Run(TaxationBasis basis, ClassificationChoice choice, double first = Day(2024, 3, 1),
                double last = Day(2024, 3, 31)) {
    sink_ = RecordingSink{};
    TaxTotals totals;
    EvaluateRun(Open(), first, last, basis, totals, sink_, choice);
    return totals;
  }
  void AddOrder(testdb::PelmoraDb& b, int64_t id, const OrderCase& c, double termin,
                double bezahltam, bool paid = true) {
    b.Add(testdb::Customer{.id = id, .name = c.name, .land = c.land, .ust_id = c.ustId});
    b.Add(testdb::Order{.id = id,
                        .besitzerindex = id,
                        .bezahlt = paid ? -1 : 0,
                        .termin = termin,
                        .bezahltam = bezahltam,
                        .bezeichnung = c.name,
                        .mwst = c.mwst,
                        .skonto = c.skonto,
                        .auftragstyp = c.type,
                        .rechbetrag = c.rechbetrag});
    for (const LineSpec& line : c.lines) {
      b.Add(testdb::Line{.auftragindex = id, .anzahl = 2.0, .preis = line.net / 2,
                         .mwst = line.rate});
    }
  }
  RecordingSink sink_;
};

TEST_F(ExactClassificationTest, EachOrderReachesItsFields) {
  for (const bool lineIndex : {true, false}) {
    for (const OrderCase& c : Cases()) {
      SCOPED_TRACE(std::string(c.name) + (lineIndex ? "" : ", no index"));
      AddOrder(Build({.lineIndex = lineIndex}), 1, c, Day(2024, 3, 5), Day(2024, 3, 6));
      for (const auto& [choice, expected] :
           {std::pair{kSimple, c.simple}, {kGoods, c.goods}, {kServices, c.services}}) {
        const TaxTotals totals = Run(TaxationBasis::Soll, choice);
        EXPECT_EQ(Figures(totals), expected) << ClassificationKey(choice.rules)
                                             << static_cast<int>(choice.sales);
        // The amount is the same under every classification; its shares add
        // up to it.
        ASSERT_EQ(sink_.entries.size(), 1u);
        const RunEntry& entry = sink_.entries[0];
        double shares = 0;
        entry.ForEachShare([&](TotalKind total, double added) {
          if (total != TotalKind::Steuer36) shares += added;
        });
        EXPECT_DOUBLE_EQ(shares, entry.net);
      }
    }
  }
}

TEST_F(ExactClassificationTest, CashBookAtOtherRatesAndFieldNumber83) {
  auto& b = Build();
  b.Add(testdb::CashEntry{.neinaus = 0, .termin = Day(2024, 3, 2), .bezeichnung = "Laden 16",
                          .betrag = 100.0, .mwst = 16.0});
  b.Add(testdb::CashEntry{.neinaus = 0, .termin = Day(2024, 3, 2), .bezeichnung = "Laden 19",
                          .betrag = 200.0, .mwst = 19.0});
  b.Add(testdb::CashEntry{.neinaus = 1, .termin = Day(2024, 3, 3), .bezeichnung = "Einkauf 16",
                          .betrag = 50.0, .mwst = 16.0});
  b.Add(testdb::CashEntry{.neinaus = 1, .termin = Day(2024, 3, 3), .bezeichnung = "Einkauf 19",
                          .betrag = 100.0, .mwst = 19.0});
  const TaxTotals simple = Run(TaxationBasis::Ist, kSimple);
  EXPECT_EQ(Figures(simple), (std::map<int, double>{{81, 200}, {66, 19}}));
  const TaxTotals exact = Run(TaxationBasis::Ist, kGoods);
  EXPECT_EQ(Figures(exact), (std::map<int, double>{{81, 200}, {35, 100}, {36, 16}, {66, 27}}));
  // 19 % of 200, plus the 16,00 of Kz 36, less 27,00 input tax.
  EXPECT_EQ(PrepaymentOf(simple)->due, 3800 - 1900);
  EXPECT_EQ(PrepaymentOf(exact)->due, 3800 + 1600 - 2700);
  // The further figures follow the eleven total lines only where they are not 0.
  EXPECT_EQ(sink_.lines.size(), 4u + 1 + 11 + 1 + 2);
}

TEST_F(ExactClassificationTest, IntraCommunitySuppliesByInvoiceDateUnderIst) {
  auto& b = Build();
  const OrderCase& eu = Cases()[7];
  const OrderCase& home = Cases()[0];
  AddOrder(b, 1, eu, Day(2024, 3, 10), 0, false);                // invoiced, unpaid
  AddOrder(b, 2, eu, Day(2024, 2, 20), Day(2024, 3, 5));         // paid now, invoiced before
  AddOrder(b, 3, home, Day(2024, 2, 20), Day(2024, 3, 5));       // paid now
  AddOrder(b, 4, home, Day(2024, 3, 10), 0, false);              // not paid
  EXPECT_EQ(Figures(Run(TaxationBasis::Ist, kSimple)),
            (std::map<int, double>{{81, 200}}));
  EXPECT_EQ(Figures(Run(TaxationBasis::Ist, kGoods)),
            (std::map<int, double>{{41, 100}, {81, 100}}));
  ASSERT_EQ(sink_.entries.size(), 2u);
  EXPECT_EQ(sink_.entries[1].date, Day(2024, 3, 10));
}

// Under "Ist" one statement takes the supplies by their invoice date after the
// other orders by their payment date, where the customer's texts are read as
// text; a pass for each where they are not (declared BLOB): the same lines.
TEST_F(ExactClassificationTest, OnePassUnderIstGivesTheTwoPassesLines) {
  const double feb = Day(2024, 2, 20), mar = Day(2024, 3, 10), apr = Day(2024, 4, 2);
  const struct {
    OrderCase order;
    double termin, bezahltam;
  } orders[] = {
      {Cases()[7], feb, mar},   // a supply paid now, invoiced before: not this period's
      {Cases()[7], mar, apr},   // invoiced now, paid later: this period's
      {Cases()[8], mar, mar},   // invoiced and paid now, once
      {Cases()[13], feb, mar},  // an XI id: a supply of goods, a service abroad when paid
      {Cases()[13], mar, apr},
      {Cases()[11], feb, mar},  // outside the EU with a VAT id: by its payment
      {Cases()[0], feb, mar},
      {{"DE id", "D", "DE123456789", 19, {{100, 19}}}, feb, mar},
      {{"blank id", "F", " - ", 19, {{100, 19}}}, feb, mar},
      {Cases()[2], mar, mar},
      {Cases()[9], mar, apr},
  };
  for (const ClassificationChoice choice : {kGoods, kServices}) {
    std::vector<std::string> lines[2];
    std::map<int, double> figures[2];
    for (const bool asText : {true, false}) {
      auto& b = Build({.textType = asText ? "VARCHAR(255)" : "BLOB"});
      int64_t id = 0;
      for (const auto& o : orders) AddOrder(b, ++id, o.order, o.termin, o.bezahltam);
      b.Add(testdb::Customer{.id = 99, .name = "ohne", .land = "F", .ust_id = nullptr});
      b.Add(testdb::Order{.id = 99, .besitzerindex = 99, .bezahlt = -1, .termin = feb,
                          .bezahltam = mar, .bezeichnung = "ohne", .mwst = 19});
      figures[asText] = Figures(Run(TaxationBasis::Ist, choice));
      lines[asText] = LineTexts(sink_.lines);
    }
    EXPECT_EQ(lines[true], lines[false]);
    EXPECT_EQ(figures[true], figures[false]);
    const double supplies = choice == kGoods ? 300 : 200;  // the XI id only as goods
    EXPECT_EQ(figures[true][choice == kGoods ? 41 : 21], supplies);
  }
}

TEST_F(ExactClassificationTest, EcSalesListCompleteInExactRefusedInSimple) {
  auto& b = Build();
  AddOrder(b, 1, {"Paris", "F", "FR 12 345678901", 19, {{100.4, 19}}}, Day(2024, 3, 4), 0);
  AddOrder(b, 2, {"Wien", "A", "ATU1234567", 19, {{250.6, 19}}}, Day(2024, 3, 5), 0);
  AddOrder(b, 3, {"Madrid", "E", "ESB1234567", 19, {{49.6, 19}}}, Day(2024, 3, 6), 0);
  const double first = Day(2024, 3, 1);
  const double last = Day(2024, 3, 31);
  for (const TaxationBasis basis : {TaxationBasis::Ist, TaxationBasis::Soll}) {
    TaxTotals totals = Run(basis, kSimple);
    try {
      EcSalesBytesOfRun(*db_, basis, sink_.entries, totals, first, last, kGerman, kSimple);
      ADD_FAILURE() << "the simple list left the French supply out";
    } catch (const EEcSalesRefused& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find("Paris"), std::string::npos) << message;
      EXPECT_NE(message.find("genau"), std::string::npos) << message;
      EXPECT_EQ(message.find("Wien"), std::string::npos) << message;
    }
    totals = Run(basis, kGoods);
    EXPECT_EQ(EcSalesBytesOfRun(*db_, basis, sink_.entries, totals, first, last, kGerman, kGoods),
              "#v3.0\r\nUmsatzsteuer-Identifikationsnummer (USt-IdNr.),Summe (Euro),Art der "
              "Leistung\r\nATU1234567,250,L\r\nESB1234567,50,L\r\nFR12345678901,100,L\r\n");
    totals = Run(basis, kServices);
    const std::string services =
        EcSalesBytesOfRun(*db_, basis, sink_.entries, totals, first, last, kGerman, kServices);
    EXPECT_NE(services.find("FR12345678901,100,S\r\n"), std::string::npos) << services;
  }
}

TEST_F(ExactClassificationTest, HintsOfTheExactClassification) {
  auto& b = Build();
  AddOrder(b, 1, {"Buch", "D", "", 7, {{100, 19}}}, Day(2024, 3, 4), 0);  // lines say 19
  AddOrder(b, 2, {"Steuerfrei", "D", "", 0, {{40, 0}}}, Day(2024, 3, 4), 0);
  AddOrder(b, 3, {"Versand", "F", "", 19, {{10001, 19}}}, Day(2024, 3, 5), 0);
  const auto texts = [&](Classification rules) {
    std::string all;
    for (const Hint& hint :
         PlausibilityHints(sink_.entries, Day(2024, 3, 1), Day(2024, 3, 31), kGerman, rules)) {
      all += hint.text + "\n";
    }
    return all;
  };
  Run(TaxationBasis::Soll, kSimple);
  const std::string simple = texts(Classification::Simple);
  EXPECT_NE(simple.find("Auftrag zu 7 %"), std::string::npos) << simple;
  Run(TaxationBasis::Soll, kGoods);
  const std::string exact = texts(Classification::Exact);
  EXPECT_EQ(exact.find("Auftrag zu 7 %"), std::string::npos) << exact;
  EXPECT_NE(exact.find("Kz 48"), std::string::npos) << exact;
  EXPECT_NE(exact.find("Lieferschwelle"), std::string::npos) << exact;
}

// What a hint of the simple classification says "genau" would do is what an
// exact run of the same order does, and such a hint is gone from that run;
// everything before the ending is the hint as it always read.
TEST_F(ExactClassificationTest, SimpleHintsEndWithWhatTheExactRunDoes) {
  const auto fieldName = [](int field) {
    return field == 0 ? std::string("\"0 % / steuerfrei\"") : "Kz " + std::to_string(field);
  };
  int ended = 0;
  for (const OrderCase& c : Cases()) {
    for (const auto& [choice, exactFields] : {std::pair{kGoods, c.goods}, {kServices, c.services}}) {
      SCOPED_TRACE(std::string(c.name) + " " + std::to_string(static_cast<int>(choice.sales)));
      AddOrder(Build(), 1, c, Day(2024, 3, 5), Day(2024, 3, 6));
      Run(TaxationBasis::Soll, kSimple);
      const std::vector<Hint> plain =
          PlausibilityHints(sink_.entries, Day(2024, 3, 1), Day(2024, 3, 31), kGerman);
      const std::vector<Hint> hints =
          PlausibilityHints(sink_.entries, Day(2024, 3, 1), Day(2024, 3, 31), kGerman,
                            Classification::Simple, ExactSharesFromDatabase(*db_, choice.sales));
      Run(TaxationBasis::Soll, choice);
      std::string exactHints;
      for (const Hint& hint : PlausibilityHints(sink_.entries, Day(2024, 3, 1), Day(2024, 3, 31),
                                                kGerman, Classification::Exact)) {
        exactHints += hint.text + "\n";
      }
      ASSERT_EQ(hints.size(), plain.size());
      for (size_t i = 0; i < hints.size(); ++i) {
        const std::string& text = hints[i].text;
        ASSERT_EQ(text.compare(0, plain[i].text.size(), plain[i].text), 0) << text;
        const std::string ending = text.substr(plain[i].text.size());
        if (!hints[i].exactResolves) {
          EXPECT_EQ(ending, "");
          continue;
        }
        ++ended;
        ASSERT_EQ(exactFields.size(), exactFields.count(36) + 1) << "one field and its tax";
        EXPECT_EQ(ending, " Zuordnung genau: " + fieldName(exactFields.begin()->first) +
                              (exactFields.count(36) ? " mit der Steuer in Kz 36" : ""));
        // The sentence of the simple hint is not in the exact run's hints.
        const std::string sentence = plain[i].text.substr(plain[i].text.find(": ") + 2);
        EXPECT_EQ(exactHints.find(sentence), std::string::npos) << exactHints;
      }
    }
  }
  // 7 %, 16 %, no VAT, the credit note at 7 %, F, es, AT, A, CH, US and XI, each twice.
  EXPECT_EQ(ended, 2 * 12);
}

TEST_F(ExactClassificationTest, HintEndingsOfSplitOrdersAndTheCashBook) {
  auto& b = Build();
  AddOrder(b, 1, {"Tee und Kanne", "D", "", 7, {{80, 7}, {20, 19}}}, Day(2024, 3, 4), 0);
  b.Add(testdb::CashEntry{.neinaus = 0, .termin = Day(2024, 3, 2), .bezeichnung = "Laden 16",
                          .betrag = 100.0, .mwst = 16.0});
  b.Add(testdb::CashEntry{.neinaus = 1, .termin = Day(2024, 3, 3), .bezeichnung = "Einkauf 16",
                          .betrag = 50.0, .mwst = 16.0});
  b.Add(testdb::CashEntry{.neinaus = 1, .termin = Day(2024, 3, 3), .bezeichnung = "Minus",
                          .betrag = 50.0, .mwst = -5.0});
  Run(TaxationBasis::Soll, kSimple);
  std::vector<std::string> endings;
  for (const Hint& hint : PlausibilityHints(sink_.entries, Day(2024, 3, 1), Day(2024, 3, 31),
                                            kGerman, Classification::Simple,
                                            ExactSharesFromDatabase(*db_, ForeignSales::Goods))) {
    const size_t at = hint.text.find(" Zuordnung genau: ");
    endings.push_back(at == std::string::npos ? "-" : hint.text.substr(at + 18));
  }
  // The order's lines decide, not its own rate; a negative rate stays unresolved.
  EXPECT_EQ(endings, (std::vector<std::string>{"Kz 86 80,00, Kz 81 20,00",
                                               "Kz 35 mit der Steuer in Kz 36", "Kz 66", "-"}));
}

}  // namespace
}  // namespace vorlex
