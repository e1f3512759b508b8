#include "ui/text/TableExport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tax/EvaluationRun.h"
#include "tax/Prepayment.h"
#include "util/uDatum.h"
#include "util/uFormat.h"
#include "util/uString.h"

namespace vorlex {
namespace {

using Table = std::vector<std::vector<std::string>>;

// A reader as a spreadsheet reads such a file: ";" between cells, CR LF after
// rows, quoted cells with doubled quotes, line breaks inside quotes kept.
Table ReadTable(std::string_view bytes) {
  Table rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    std::string& cell = rows.back().back();
    if (quoted) {
      if (c == '"' && i + 1 < bytes.size() && bytes[i + 1] == '"') {
        cell += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cell += c;
      }
    } else if (c == '"' && cell.empty()) {
      quoted = true;
    } else if (c == ';') {
      rows.back().emplace_back();
    } else if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      rows.emplace_back(1);
      ++i;
    } else {
      cell += c;
    }
  }
  EXPECT_FALSE(quoted);
  EXPECT_EQ(rows.back(), std::vector<std::string>(1));  // after the last CR LF
  rows.pop_back();
  return rows;
}

RunEntry Entry(EntryKind kind, const char* description, const char* customer, double net,
               TotalKind total) {
  RunEntry e;
  e.kind = kind;
  e.date = EncodeDate(2026, 3, 5);
  e.description = description;
  e.customer = customer;
  e.net = e.gross = e.added = net;
  e.total = total;
  e.rate = 19;
  e.rateText = "19";
  return e;
}

class TableExportTest : public ::testing::Test {
 protected:
  // The user's own format must not reach the table.
  void SetUp() override { Format() = FormatSettings{'.', "yyyy-MM-dd"}; }
  void TearDown() override { Format() = FormatSettings{}; }
};

TEST_F(TableExportTest, ASpreadsheetReadsEveryCellAsStored) {
  RunEntry order = Entry(EntryKind::Order, "Tee; lose | Sorte \"A\"", "Kr\xE4mer", 1234.5,
                         TotalKind::InnergemMitUStId);
  order.gross = 1234.5;
  order.rate = 0;
  order.country = "A";
  order.vatId = "ATU63452871";
  RunEntry credit = Entry(EntryKind::Order, "Zeile 1\nZeile 2\r\nZeile 3", "K\xC3\xBChn", -119,
                          TotalKind::Umsatz19);
  credit.orderType = -99;
  credit.gross = -141.61;
  RunEntry receipt = Entry(EntryKind::Receipt, "Bar|verkauf", "", 10, TotalKind::Umsatz7);
  receipt.rate = 7;
  RunEntry other = Entry(EntryKind::OtherCash, "Umbuchung", "", 5, TotalKind::None);
  other.rateText = "sechzehn";
  const std::vector<RunEntry> entries = {
      order,
      credit,
      receipt,
      RunEntry{},  // a divider: no row
      Entry(EntryKind::Expense, "Porto", "Post \"Gelb\"", 100, TotalKind::Vorsteuer19),
      other,
  };
  TaxTotals totals;
  totals.InnergemMitUStId = 1234.5;
  totals.Umsatz19 = 1000.004;
  totals.Umsatz7 = 10;
  totals.Vorsteuer19 = 19;
  totals.NichtEU = 12.3;

  const std::string bytes = TableBytes(entries, totals);
  ASSERT_EQ(bytes.rfind("\xEF\xBB\xBF", 0), 0u);
  EXPECT_TRUE(IsValidUtf8(bytes));
  const Table table = ReadTable(std::string_view(bytes).substr(3));
  ASSERT_EQ(table.size(), 1u + 5u + 7u);
  for (const auto& row : table) EXPECT_EQ(row.size(), std::size(kTableColumns));
  EXPECT_EQ(table[0][0], "Art");
  EXPECT_EQ(table[0][9], "Kz");

  // The texts as stored, decoded from either encoding.
  EXPECT_EQ(table[1], (std::vector<std::string>{"Rechnung", "05.03.2026", "Tee; lose | Sorte \"A\"",
                                                "Kr\xC3\xA4mer", "A", "ATU63452871", "0",
                                                "1234,50", "1234,50", "41"}));
  EXPECT_EQ(table[2][0], "Gutschrift");
  EXPECT_EQ(table[2][2], "Zeile 1\nZeile 2\r\nZeile 3");
  EXPECT_EQ(table[2][3], "K\xC3\xBChn");
  EXPECT_EQ(table[2][7], "-119,00");
  EXPECT_EQ(table[2][8], "-141,61");
  EXPECT_EQ(table[3], (std::vector<std::string>{"Einnahme", "05.03.2026", "Bar|verkauf", "", "",
                                                "", "7", "10,00", "", "86"}));
  EXPECT_EQ(table[4][3], "Post \"Gelb\"");
  EXPECT_EQ(table[4][9], "66");
  EXPECT_EQ(table[5][0], "Kasse");
  EXPECT_EQ(table[5][6], "sechzehn");
  EXPECT_EQ(table[5][9], "");

  // The figures of the run, each with its field.
  const std::vector<std::vector<std::string>> figures = {
      {"41", "1234,50"}, {"44", "0,00"}, {"81", "1000,00"}, {"86", "10,00"},
      {"66", "19,00"},   {"83", "171,70"}, {"", "12,30"}};
  for (size_t i = 0; i < figures.size(); ++i) {
    const auto& row = table[6 + i];
    EXPECT_EQ(row[9], figures[i][0]) << i;
    EXPECT_EQ(row[7], figures[i][1]) << i;
    EXPECT_FALSE(row[2].empty()) << i;
  }
  // Those are the figures the window and the reporter show.
  const auto shown = FormFigures(totals);
  for (size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(std::to_string(shown[i].field), figures[i][0]);
    EXPECT_EQ(FormatMoney(shown[i].value, FormatSettings{}), figures[i][1]);
  }
  EXPECT_EQ(FormatCents(PrepaymentOf(totals)->due, FormatSettings{}), figures[5][1]);
}

TEST_F(TableExportTest, CellsAreQuotedOnlyWhereTheyMustBe) {
  EXPECT_EQ(TableCell("Regal"), "Regal");
  EXPECT_EQ(TableCell(" Regal, gro\xC3\x9F "), " Regal, gro\xC3\x9F ");
  EXPECT_EQ(TableCell("a;b"), "\"a;b\"");
  EXPECT_EQ(TableCell("Sorte \"A\""), "\"Sorte \"\"A\"\"\"");
  EXPECT_EQ(TableCell("a\nb"), "\"a\nb\"");
  EXPECT_EQ(TableCell("a\rb"), "\"a\rb\"");
}

}  // namespace
}  // namespace vorlex
