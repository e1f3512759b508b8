#include "output/ExportFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ListTexts.h"

namespace vorlex {
namespace {

using namespace std::string_literals;

TEST(ExportFileTest, BytesOfLists) {
  struct Row {
    const char* name;
    std::vector<std::string> lines;
    std::string expected;
  };
  const Row rows[] = {
      {"empty list gives an empty file", {}, ""},
      {"last line ends with CR LF too", {"     Vorsteuer:  0,00"}, "     Vorsteuer:  0,00\r\n"},
      {"empty line stays an empty line", {"-------", "", "x"}, "-------\r\n\r\nx\r\n"},
      {"expense line becomes six fields",
       {"A   |   05.03.2024   |   Porto   |   Post AG   |   10,00   |   19%"},
       "A   ;   05.03.2024   ;   Porto   ;   Post AG   ;   10,00   ;   19%\r\n"},
      {"bar inside a description adds a field",
       {"E   |   01.01.2024   |   a|b   |   N   |   1,00   |   1,19"},
       "E   ;   01.01.2024   ;   a;b   ;   N   ;   1,00   ;   1,19\r\n"},
      {"bytes are written as held, no byte-order mark",
       {"E   |   M\xFCller \xC3\xA4\x80", "\x01\x7F"s + '\0' + "z"},
       "E   ;   M\xFCller \xC3\xA4\x80\r\n\x01\x7F"s + '\0' + "z\r\n"},
      {"no quoting of semicolons or quotes", {"a;\"b\"|c"}, "a;\"b\";c\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CsvBytes(row.lines), row.expected);
  }
}

TEST(ExportFileTest, PiecesOfALongListAreItsBytes) {
  // Longer than one piece, with lines of every length and an empty one.
  std::vector<std::string> texts;
  for (int i = 0; i < 5000; ++i) texts.push_back(std::string(static_cast<size_t>(i % 97), 'x') + "|");
  texts.insert(texts.begin() + 1234, "");
  const std::vector<ListLine> lines = ListLinesOf(texts);
  const BytePieces pieces = CsvPieces(lines);
  std::string joined;
  int count = 0;
  for (std::string_view piece = pieces(); !piece.empty(); piece = pieces(), ++count) joined += piece;
  EXPECT_GT(count, 1);
  EXPECT_EQ(joined, CsvBytes(lines));
  EXPECT_TRUE(pieces().empty());  // and stays at its end
  EXPECT_TRUE(CsvPieces(ListLinesOf({}))().empty());
}

TEST(ExportFileTest, TheProposedNameHoldsPeriodAndBasis) {
  EXPECT_EQ(ExportFileStem(MonthPeriod(2026, 2), TaxationBasis::Ist), "Vorlex 2026-02 Ist");
  EXPECT_EQ(ExportFileStem(QuarterPeriod(2026, 2), TaxationBasis::Soll), "Vorlex 2026-Q2 Soll");
  EXPECT_EQ(ExportFileStem(YearPeriod(2026), TaxationBasis::Ist), "Vorlex 2026 Ist");
  EXPECT_EQ(ExportFileStem(RangePeriod({2025, 11, 15}, {2026, 1, 5}), TaxationBasis::Ist),
            "Vorlex 2025-11-15 bis 2026-01-05 Ist");
  EXPECT_EQ(ExportFileStem(TTaxPeriod{}, TaxationBasis::Ist), "");
}

}  // namespace
}  // namespace vorlex
