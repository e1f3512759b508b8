#include "ui/text/EcSalesExport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tax/TaxPeriod.h"
#include "util/uDatum.h"
#include "util/uFormat.h"
#include "util/uString.h"

namespace vorlex {
namespace {

RunEntry In41(const char* land, const char* vatId, double net, const char* customer = "Kunde") {
  RunEntry e;
  e.kind = EntryKind::Order;
  e.date = EncodeDate(2026, 5, 4);
  e.description = "Rechnung 2026-030";
  e.customer = customer;
  e.country = land;
  e.vatId = vatId;
  e.total = TotalKind::InnergemMitUStId;
  e.net = e.gross = e.added = net;
  return e;
}

TaxTotals Totals(const std::vector<RunEntry>& entries) {
  TaxTotals totals;
  for (const RunEntry& e : entries) totals.InnergemMitUStId += e.added;
  return totals;
}

class EcSalesExportTest : public ::testing::Test {
 protected:
  void SetUp() override { Format() = FormatSettings{}; }
  void TearDown() override { Format() = FormatSettings{}; }
  const TTaxPeriod q2 = QuarterPeriod(2026, 2);
};

TEST_F(EcSalesExportTest, TheFileOfAQuarter) {
  const std::vector<RunEntry> entries = {In41("LUX", "LU 2016 5772", 310.45),
                                         In41("A", "ATU63452871", 1200),
                                         In41("A", "ATU63452871", 49.60)};
  EXPECT_EQ(EcSalesBytes(entries, Totals(entries), q2.FirstDay, q2.LastDay),
            "#v3.0\r\n"
            "Umsatzsteuer-Identifikationsnummer (USt-IdNr.),Summe (Euro),Art der Leistung\r\n"
            "ATU63452871,1250,L\r\n"
            "LU20165772,310,L\r\n");
  // A month without deliveries: the header lines alone.
  const TTaxPeriod may = MonthPeriod(2026, 5);
  EXPECT_EQ(EcSalesBytes({}, TaxTotals{}, may.FirstDay, may.LastDay),
            "#v3.0\r\n"
            "Umsatzsteuer-Identifikationsnummer (USt-IdNr.),Summe (Euro),Art der Leistung\r\n");
}

TEST_F(EcSalesExportTest, RefusedForAYearOrAFreeRange) {
  for (const TTaxPeriod& period :
       {YearPeriod(2026), RangePeriod({2026, 4, 1}, {2026, 4, 15})}) {
    try {
      EcSalesBytes({}, TaxTotals{}, period.FirstDay, period.LastDay);
      ADD_FAILURE() << "not refused";
    } catch (const EEcSalesRefused& e) {
      const std::string text = e.what();
      EXPECT_NE(text.find("einen Monat oder ein Quartal"), std::string::npos) << text;
      EXPECT_NE(text.find(FormatDate(period.LastDay)), std::string::npos) << text;
    }
  }
}

TEST_F(EcSalesExportTest, RefusedWithTheEntriesToCorrect) {
  const std::vector<RunEntry> entries = {In41("A", "ATU63452871", 100),
                                         In41("E", "DE123456789", 200, "Casa del T\xC3\xA9"),
                                         In41("A", "U123", 300, "Kr\xE4mer")};
  try {
    EcSalesBytes(entries, Totals(entries), q2.FirstDay, q2.LastDay);
    ADD_FAILURE() << "not refused";
  } catch (const EEcSalesRefused& e) {
    const std::string text = e.what();
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_NE(text.find("2 Lieferungen in Kz 41"), std::string::npos) << text;
    EXPECT_NE(text.find("\n- 04.05.2026 \"Rechnung 2026-030\" (Casa del T\xC3\xA9, Land \"E\", "
                        "K\xC3\xBCrzel ES): USt-IdNr. \"DE123456789\" passt nicht"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("(Kr\xC3\xA4mer, Land \"A\", K\xC3\xBCrzel AT): USt-IdNr. \"U123\" hat "
                        "nicht die Form"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("ATU63452871"), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace vorlex
