// The list narrowed to one form field: on a generated year, the entries shown
// for a field add up to that field's figure and nothing else, every entry of
// the field is shown, and the total lines stay as they are.
#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "db/uDB.h"
#include "output/SummaryList.h"
#include "tax/EvaluationRun.h"
#include "tax/FormFields.h"
#include "tax/GeneratedDb.h"
#include "tests/ListTexts.h"
#include "tests/util/FormatTest.h"
#include "util/MoneyText.h"
#include "util/uDatum.h"

namespace vorlex {
namespace {

TEST(FieldLineRows, EntriesOfAFieldAddUpToItsFigureAndTheTotalLinesStay) {
  TRunList run(kGerman);
  {
    const testing::GeneratedDb generated("fieldlines", 3000, 1, true, 3);
    TDBase db(generated.Path(), kGerman);
    TaxTotals totals;
    EvaluateRun(db, EncodeDate(2025, 1, 1), EncodeDate(2025, 12, 31), TaxationBasis::Soll, totals,
                run);
  }
  const std::vector<ListLine> summary = SummaryLines(run.totals, kGerman);

  for (const FormFigure& figure : FormFigures(run.totals)) {
    SCOPED_TRACE(figure.field);
    std::vector<ListLine> shown;
    for (const int32_t row : FieldLineRows(run.lines, run.entries, figure.field)) {
      shown.push_back(run.lines[static_cast<size_t>(row)]);
    }
    ASSERT_GE(shown.size(), summary.size());
    // The same totals from the shown entries alone, added in list order.
    TaxTotals again;
    size_t entries = 0;
    for (const ListLine& line : shown) {
      if (line.entry < 0) continue;
      const RunEntry& entry = run.entries[static_cast<size_t>(line.entry)];
      if (double* total = again.Of(entry.total)) *total += entry.added;
      ++entries;
    }
    EXPECT_GT(entries, 0u);
    for (const FormFigure& other : FormFigures(again)) {
      if (other.field == figure.field) {
        EXPECT_EQ(std::bit_cast<uint64_t>(other.value), std::bit_cast<uint64_t>(figure.value));
        EXPECT_EQ(FormatMoney(other.value, kGerman), FormatMoney(figure.value, kGerman));
      } else {
        EXPECT_EQ(other.value, 0) << "field " << other.field << " among the entries";
      }
    }
    // No entry of the field is left out.
    size_t expected = 0;
    for (const RunEntry& entry : run.entries) expected += FormFieldOf(entry.total) == figure.field;
    EXPECT_EQ(entries, expected);
    // The total lines close the shown list as they close the whole one.
    const std::vector<ListLine> tail(shown.end() - static_cast<std::ptrdiff_t>(summary.size()),
                                     shown.end());
    EXPECT_EQ(LineTexts(tail), LineTexts(summary));
  }
  // Sales outside the EU go into no field's list.
  EXPECT_NE(run.totals.NichtEU, 0);
  for (const int field : {41, 44, 81, 86, 66}) {
    for (const int32_t row : FieldLineRows(run.lines, run.entries, field)) {
      const int32_t entry = run.lines[static_cast<size_t>(row)].entry;
      if (entry >= 0) {
        EXPECT_NE(run.entries[static_cast<size_t>(entry)].total, TotalKind::NichtEU);
      }
    }
  }
}

// Under the exact classification the further figures are chosen as the five
// are: the entries shown add up to the figure (the shares of split orders
// counted), none of the figure's entries is left out; the 0 % figure goes by
// its own key.
TEST(FieldLineRows, EachFurtherFigureShowsTheEntriesThatMakeIt) {
  TRunList run(kGerman);
  {
    const testing::GeneratedDb generated("fieldlines-exact", 3000, 1, true, 3);
    TDBase db(generated.Path(), kGerman);
    TaxTotals totals;
    EvaluateRun(db, EncodeDate(2025, 1, 1), EncodeDate(2025, 12, 31), TaxationBasis::Soll, totals,
                run, {Classification::Exact, ForeignSales::Goods});
  }
  size_t figures = 0;
  for (const FormField& field : kFurtherFields) {
    const double figure = FigureOf(field, run.totals);
    if (figure == 0) continue;
    ++figures;
    const int key = FigureKey(field);
    SCOPED_TRACE(FigureTag(key));
    long double sum = 0;
    size_t entries = 0;
    for (const int32_t row : FieldLineRows(run.lines, run.entries, key)) {
      const int32_t entry = run.lines[static_cast<size_t>(row)].entry;
      if (entry < 0) continue;
      ++entries;
      run.entries[static_cast<size_t>(entry)].ForEachShare([&](TotalKind total, double added) {
        if (total == field.total) sum += added;
      });
    }
    EXPECT_EQ(FormatMoney(static_cast<double>(sum), kGerman), FormatMoney(figure, kGerman));
    size_t expected = 0;
    for (const RunEntry& entry : run.entries) expected += entry.AddsTo(field.total);
    EXPECT_EQ(entries, expected);
    EXPECT_GT(entries, 0u);
  }
  EXPECT_GE(figures, 2u) << "the generated year has further figures";
  EXPECT_EQ(FieldFilterNote(kZeroRateFigure, 3), "Nur Eintr\xE4ge zu 0 % / steuerfrei (3)");
  EXPECT_EQ(FieldFilterNote(43, 1), "Nur Eintr\xE4ge zu Kz 43 (1)");
}

}  // namespace
}  // namespace vorlex
