#include "output/EcSalesExport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tax/PlausibilityHints.h"
#include "tax/TaxPeriod.h"
#include "tests/util/FormatTest.h"
#include "util/FormatSettings.h"
#include "util/uDatum.h"

namespace vorlex {
namespace {

RunEntry Order(const char* land, const char* vatId, double net,
               TotalKind total = TotalKind::InnergemMitUStId, const char* customer = "Kunde") {
  RunEntry e;
  e.kind = EntryKind::Order;
  e.date = EncodeDate(2026, 5, 4);
  e.SetTexts(
      {.description = "Rechnung 2026-030", .customer = customer, .country = land, .vatId = vatId});
  e.total = total;
  e.net = e.gross = e.added = net;
  return e;
}

// The run's totals as it adds them.
TaxTotals Totals(const std::vector<RunEntry>& entries) {
  TaxTotals totals;
  for (const RunEntry& e : entries) {
    if (double* total = totals.Of(e.total)) *total += e.added;
  }
  return totals;
}

const char* const kHead =
    "#v3.0\r\nUmsatzsteuer-Identifikationsnummer (USt-IdNr.),Summe (Euro),Art der Leistung\r\n";

// What an EEcSalesRefused says; "" when nothing is refused.
std::string Refusal(const std::vector<RunEntry>& entries, const TTaxPeriod& period) {
  try {
    EcSalesBytes(entries, Totals(entries), period.FirstDay, period.LastDay, kGerman);
  } catch (const EEcSalesRefused& e) {
    return e.what();
  }
  return "";
}

TEST(EcSalesExport, RowsPerVatIdAddingUpToFieldFortyOne) {
  const TTaxPeriod q2 = QuarterPeriod(2026, 2);
  const std::vector<RunEntry> entries = {
      Order("A", "ATU63452871", 1000.40),
      Order("A", "atu 634.528-71", 260.30),  // the same number, written otherwise
      Order("E", "ESB86212420", 500.49),
      Order("E", "ESB86212420", -100.00),  // a credit note
      Order("LUX", "LU20165772", 99.50),
      Order("E", "ESA1234567", 0.30),
      Order("A", "", 70.00, TotalKind::InnergemOhneUStId),
      Order("D", "DE123456789", 80.00, TotalKind::Umsatz19),
  };
  // By hand: 1260,70 -> 1261; 400,49 -> 400; 99,50 -> 100; 0,30 -> 0: 1761
  // against field 41's 1760,99 -> 1760. The row rounded up furthest, LU by
  // 0,50, goes down; ESA1234567 at 0 euros has no row.
  EXPECT_EQ(EcSalesBytes(entries, Totals(entries), q2.FirstDay, q2.LastDay, kGerman),
            std::string(kHead) + "ATU63452871,1261,L\r\nESB86212420,400,L\r\nLU20165772,99,L\r\n");
  // A month without deliveries: the head alone.
  const TTaxPeriod may = MonthPeriod(2026, 5);
  EXPECT_EQ(EcSalesBytes({}, TaxTotals{}, may.FirstDay, may.LastDay, kGerman), kHead);

  // A year or a free range is no period of the list.
  for (const TTaxPeriod& period : {YearPeriod(2026), RangePeriod({2026, 4, 1}, {2026, 4, 15}),
                                   RangePeriod({2026, 2, 1}, {2026, 4, 30})}) {
    EXPECT_EQ(Refusal({}, period).rfind(
                  "Die Zusammenfassende Meldung gilt f\xC3\xBCr einen Monat oder ein Quartal", 0),
              0u);
  }
}

TEST(EcSalesExport, RefusedWithTheEntriesToCorrect) {
  const std::vector<RunEntry> entries = {
      Order("A", "ATU63452871", 100),
      Order("E", "DE123456789", 200, TotalKind::InnergemMitUStId, "Casa del T\xC3\xA9"),
      Order("A", "U123", 300, TotalKind::InnergemMitUStId, "Kr\xE4mer"),
      Order("LUX", " - ", 300),
  };
  const std::string text = Refusal(entries, MonthPeriod(2026, 5));
  EXPECT_NE(text.find("3 Lieferungen in Kz 41"), std::string::npos) << text;
  EXPECT_NE(text.find("\n- 04.05.2026 \"Rechnung 2026-030\" (Casa del T\xC3\xA9, Land \"E\", "
                      "K\xC3\xBCrzel ES): USt-IdNr. \"DE123456789\" passt nicht"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("(Kr\xC3\xA4mer, Land \"A\", K\xC3\xBCrzel AT): USt-IdNr. \"U123\" hat "
                      "nicht die Form"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("USt-IdNr. \" - \" enth\xC3\xA4lt keine Nummer"), std::string::npos) << text;
  EXPECT_EQ(text.find("ATU63452871"), std::string::npos) << text;
  // The same entries carry a hint, the one no other hint names too.
  const std::vector<Hint> hints = PlausibilityHints(entries, 0, 0, kGerman);
  for (const int32_t index : {1, 2, 3}) {
    bool hinted = false;
    for (const Hint& h : hints) hinted = hinted || h.entry == index;
    EXPECT_TRUE(hinted) << index;
  }
}

}  // namespace
}  // namespace vorlex
