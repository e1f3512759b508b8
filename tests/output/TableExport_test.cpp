#include "output/TableExport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tax/EvaluationRun.h"
#include "tax/FormFields.h"
#include "tests/util/FormatTest.h"
#include "util/MoneyText.h"
#include "util/uDatum.h"
#include "util/uString.h"

namespace vorlex {
namespace {

using Table = std::vector<std::vector<std::string>>;

// A reader as a spreadsheet reads such a file: ";" between cells, CR LF after
// rows, quoted cells with doubled quotes, line breaks inside quotes kept.
Table ReadTable(std::string_view bytes) {
  Table rows;
  std::vector<std::string> row(1);
  bool quoted = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    const char next = i + 1 < bytes.size() ? bytes[i + 1] : '\0';
    if (quoted && c == '"') {
      quoted = next == '"';
      if (quoted) row.back() += bytes[i++];
    } else if (quoted || (c != '"' && c != ';' && !(c == '\r' && next == '\n'))) {
      row.back() += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ';') {
      row.emplace_back();
    } else {
      rows.push_back(std::move(row));
      row.assign(1, "");
      ++i;
    }
  }
  EXPECT_EQ(row, std::vector<std::string>(1));  // nothing after the last CR LF
  return rows;
}

RunEntry Entry(EntryKind kind, const char* description, const char* customer, double net,
               TotalKind total, double rate = 19) {
  RunEntry e;
  e.kind = kind;
  e.date = EncodeDate(2026, 3, 5);
  e.SetTexts({.description = description, .customer = customer});
  e.net = e.gross = e.added = net;
  e.total = total;
  e.rate = rate;
  return e;
}

TEST(TableExport, ASpreadsheetReadsEveryCellAsStored) {
  RunEntry order = Entry(EntryKind::Order, "Tee; lose | Sorte \"A\"", "Kr\xE4mer", 1234.5,
                         TotalKind::InnergemMitUStId, 0);
  order.SetCountry("A");
  order.SetVatId("ATU63452871");
  RunEntry credit = Entry(EntryKind::Order, "Zeile 1\nZeile 2\r\nZeile 3", "K\xC3\xBChn", -119,
                          TotalKind::Umsatz19);
  credit.orderType = -99;
  credit.gross = -141.61;
  RunEntry other = Entry(EntryKind::OtherCash, "Umbuchung", "", 5, TotalKind::None, 0);
  other.SetRateText("sechzehn");
  const std::vector<RunEntry> entries = {
      order, credit, Entry(EntryKind::Receipt, "Bar|verkauf", "", 10, TotalKind::Umsatz7, 7),
      RunEntry{},  // a divider: no row
      Entry(EntryKind::Expense, "Porto", "Post \"Gelb\"", 100, TotalKind::Vorsteuer19), other};
  const TaxTotals totals{.NichtEU = 12.3, .InnergemMitUStId = 1234.5, .Umsatz19 = 1000.004,
                         .Umsatz7 = 10, .Vorsteuer19 = 19};

  const std::string bytes = TableBytes(entries, totals);
  ASSERT_EQ(bytes.rfind("\xEF\xBB\xBF", 0), 0u);
  EXPECT_TRUE(IsValidUtf8(bytes));
  const Table table = ReadTable(std::string_view(bytes).substr(3));
  ASSERT_EQ(table.size(), 1u + 5u + 7u);
  for (const auto& row : table) EXPECT_EQ(row.size(), std::size(kTableColumns));
  EXPECT_EQ(table[0][2], "Beleg");

  // The texts as stored, decoded from either encoding.
  EXPECT_EQ(table[1], (std::vector<std::string>{"Rechnung", "05.03.2026", "Tee; lose | Sorte \"A\"",
                                                "Kr\xC3\xA4mer", "A", "ATU63452871", "0",
                                                "1234,50", "1234,50", "41"}));
  EXPECT_EQ(table[2], (std::vector<std::string>{"Gutschrift", "05.03.2026",
                                                "Zeile 1\nZeile 2\r\nZeile 3", "K\xC3\xBChn", "",
                                                "", "19", "-119,00", "-141,61", "81"}));
  EXPECT_EQ(table[3], (std::vector<std::string>{"Einnahme", "05.03.2026", "Bar|verkauf", "", "",
                                                "", "7", "10,00", "", "86"}));
  EXPECT_EQ(table[4][3], "Post \"Gelb\"");
  EXPECT_EQ(table[4][9], "66");
  EXPECT_EQ(table[5][6], "sechzehn");
  EXPECT_EQ(table[5][9], "");

  // The figures the window and the reporter show, each with its field.
  const auto shown = FormFigures(totals);
  for (size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(table[6 + i][9], std::to_string(shown[i].field));
    EXPECT_EQ(table[6 + i][7], FormatMoney(shown[i].value, kGerman));
  }
  EXPECT_EQ(table[8][7], "1000,00");
  EXPECT_EQ(table[11], (std::vector<std::string>{"Kennzahl", "", "Verbleibende Vorauszahlung", "",
                                                 "", "", "", "171,70", "", "83"}));
  EXPECT_EQ(table[12][2], "Nicht EU");
  EXPECT_EQ(table[12][7], "12,30");
}

// An order split by the exact classification names each field it went into,
// once; the further figures follow the six, the 0 % figure, which has no
// field, follows the sales outside the EU.
TEST(TableExport, AnExactRunNamesTheFieldsOfSplitOrdersAndItsFurtherFigures) {
  const auto split = [](const char* description, std::vector<EntryShare> shares) {
    RunEntry e = Entry(EntryKind::Order, description, "Kunde", 0, shares.front().total);
    e.added = shares.front().added;
    for (const EntryShare& share : shares) e.net += share.total == TotalKind::Steuer36 ? 0 : share.added;
    e.SetShareList(shares);
    return e;
  };
  const std::vector<RunEntry> entries = {
      split("Tee und Kannen", {{TotalKind::Umsatz19, 60}, {TotalKind::Umsatz7, 40},
                               {TotalKind::Umsatz19, 5}}),
      split("Alter Satz", {{TotalKind::Umsatz35, 100}, {TotalKind::Steuer36, 16}}),
      split("Steuerfrei und 19", {{TotalKind::Steuerfrei, 30}, {TotalKind::Umsatz19, 10}}),
  };
  const TaxTotals totals{.Umsatz19 = 75, .Umsatz7 = 40, .Umsatz35 = 100, .Steuer36 = 16,
                         .Steuerfrei = 30};
  const std::string bytes = TableBytes(entries, totals);
  EXPECT_TRUE(IsValidUtf8(bytes));
  const Table table = ReadTable(std::string_view(bytes).substr(3));
  ASSERT_EQ(table.size(), 1u + 3u + 6u + 2u + 2u);
  EXPECT_EQ(table[1][9], "81, 86");
  EXPECT_EQ(table[2][9], "35, 36");
  EXPECT_EQ(table[2][7], "100,00");
  EXPECT_EQ(table[3][9], "81");
  EXPECT_EQ(table[9][9], "83");
  EXPECT_EQ(table[10], (std::vector<std::string>{"Kennzahl", "", "Umsatz and. St.s\xC3\xA4tze", "",
                                                 "", "", "", "100,00", "", "35"}));
  EXPECT_EQ(table[11][2], "Steuer zu Kz 35");
  EXPECT_EQ(table[11][7], "16,00");
  EXPECT_EQ(table[12][2], "Nicht EU");
  EXPECT_EQ(table[13], (std::vector<std::string>{"Summe", "", "0 % / steuerfrei", "", "", "", "",
                                                 "30,00", "", ""}));
}

}  // namespace
}  // namespace vorlex
