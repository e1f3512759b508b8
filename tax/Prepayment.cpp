#include "tax/Prepayment.h"

#include "tax/FormFields.h"
#include "util/MoneyText.h"

namespace vorlex {

std::optional<Prepayment> PrepaymentOf(double field81, double field86, double field66,
                                       double field36) {
  const std::optional<int64_t> cents81 = ShownCents(field81);
  const std::optional<int64_t> cents86 = ShownCents(field86);
  const std::optional<int64_t> cents66 = ShownCents(field66);
  const std::optional<int64_t> cents36 = ShownCents(field36);
  if (!cents81 || !cents86 || !cents66 || !cents36) return std::nullopt;
  Prepayment p;
  p.base81 = EnteredCents(FormFieldNumbered(81), *cents81) / 100;
  p.base86 = EnteredCents(FormFieldNumbered(86), *cents86) / 100;
  // 19 % of whole euros is 19 cents per euro, always a whole number of cents,
  // so no rounding enters the tax.
  p.tax81 = p.base81 * 19;
  p.tax86 = p.base86 * 7;
  // The tax of field 36 is typed in euros and cents, as computed.
  p.tax36 = EnteredCents(FormFieldNumbered(36), *cents36);
  p.inputTax = EnteredCents(FormFieldNumbered(66), *cents66);
  p.due = p.tax81 + p.tax86 + p.tax36 - p.inputTax;
  return p;
}

std::optional<Prepayment> PrepaymentOf(const TaxTotals& totals) {
  std::optional<Prepayment> p = PrepaymentOf(FigureOf(FormFieldNumbered(81), totals),
                                             FigureOf(FormFieldNumbered(86), totals),
                                             FigureOf(FormFieldNumbered(66), totals), totals.Steuer36);
  if (p) {
    p->field39 = totals.field39;
    p->due -= totals.field39;
  }
  return p;
}

std::string PrepaymentStatus(int64_t due, const FormatSettings& format) {
  std::string text = FieldTag(83) + ": " + FormatCents(due, format);
  if (due > 0) text += " zu zahlen";
  if (due < 0) text += " Erstattung";
  return text;
}

}  // namespace vorlex
