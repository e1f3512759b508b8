#include "tax/Prepayment.h"

#include "tax/EvaluationRun.h"
#include "util/uFormat.h"

namespace vorlex {

std::optional<Prepayment> PrepaymentOf(double field81, double field86, double field66) {
  const std::optional<int64_t> cents81 = ShownCents(field81);
  const std::optional<int64_t> cents86 = ShownCents(field86);
  const std::optional<int64_t> cents66 = ShownCents(field66);
  if (!cents81 || !cents86 || !cents66) return std::nullopt;
  Prepayment p;
  // Integer division drops the cents toward zero, for a negative base too.
  p.base81 = *cents81 / 100;
  p.base86 = *cents86 / 100;
  // 19 % of whole euros is 19 cents per euro, always a whole number of cents,
  // so no rounding enters the tax.
  p.tax81 = p.base81 * 19;
  p.tax86 = p.base86 * 7;
  p.inputTax = *cents66;
  p.due = p.tax81 + p.tax86 - p.inputTax;
  return p;
}

std::optional<Prepayment> PrepaymentOf(const TaxTotals& totals) {
  double field81 = 0, field86 = 0, field66 = 0;
  for (const FormFigure& figure : FormFigures(totals)) {
    if (figure.field == 81) field81 = figure.value;
    if (figure.field == 86) field86 = figure.value;
    if (figure.field == 66) field66 = figure.value;
  }
  return PrepaymentOf(field81, field86, field66);
}

std::string PrepaymentStatus(int64_t due) {
  std::string text = "Kz 83: " + FormatCents(due);
  if (due > 0) text += " zu zahlen";
  if (due < 0) text += " Erstattung";
  return text;
}

}  // namespace vorlex
