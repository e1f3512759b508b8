// The summary list as text: one line per entry, the dividers and, after a
// complete run, the total lines. The window, the CSV file and the reporter all
// show these bytes (Windows-1252).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tax/EvaluationSink.h"
#include "tax/RunEntry.h"
#include "tax/TaxTotals.h"
#include "util/FormatSettings.h"

namespace vorlex {

inline constexpr const char* ColumnSeparator = "   |   ";
inline constexpr const char* SeparatorLine = "-------";

enum class LineKind : uint8_t {
  Receipt,  // a sale or a cash receipt ("E")
  Expense,  // a cash expense ("A")
  Other,    // a cash entry that is neither ("?")
  Rule,     // a divider
  Total,    // a total line or the blank line among them
};

struct ListLine {
  std::string text;
  LineKind kind = LineKind::Total;
  bool foreignCustomer = false;  // the line carries a customer's country note
  int32_t entry = -1;            // index of its entry in the run, -1 for a total line
};

// The line of one entry, its date and amounts in format.
ListLine EntryLine(const RunEntry& entry, int32_t index, const FormatSettings& format);
// The divider and the ten total lines; after them the special prepayment of
// field 39 where the totals deduct one.
std::vector<ListLine> SummaryLines(const TaxTotals& totals, const FormatSettings& format);
// "     Sondervorauszahlung (Kz 39):  500,00".
ListLine Field39Line(int64_t cents, const FormatSettings& format);

// Of a run's lines, the rows of those of the entries that went into form
// field `field` (41, 44, 81, 86, 66) and of the total lines, in list order;
// the dividers between the groups of entries are left out.
std::vector<int32_t> FieldLineRows(const std::vector<ListLine>& lines,
                                   const std::vector<RunEntry>& entries, int field);
// The note while the list shows one field's entries, e.g.
// "Nur Einträge zu Kz 81 (12)" (Windows-1252).
std::string FieldFilterNote(int field, size_t entries);

// Keeps a run as it arrives: its entries and their lines, and after a complete
// run the totals and the total lines.
class TRunList : public IEvaluationSink {
 public:
  // format: how the lines write dates and amounts.
  explicit TRunList(const FormatSettings& format) : format_(format) {}
  void AppendEntry(RunEntry entry) override;
  void RunComplete(const TaxTotals& totals) override;
  // Each stage announces how many entries follow; room for them is made at once.
  void ProgressStart(int maximum) override;
  void ProgressStep() override {}
  // After a complete run: the period's return deducts the special prepayment,
  // field 39 in cents; a line follows the total lines where it is not 0.
  void DeductSpecialPrepayment(int64_t field39);

  std::vector<RunEntry> entries;
  std::vector<ListLine> lines;
  TaxTotals totals;
  bool complete = false;

 private:
  FormatSettings format_;
};

}  // namespace vorlex
