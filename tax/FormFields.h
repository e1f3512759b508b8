// The fields of the VAT pre-return that Vorlex fills: one table for the
// pictures, the status bar, the hints, the exports, the year overview and
// the reporter.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "tax/TaxTotals.h"
#include "util/ProgramText.h"

namespace vorlex {

struct FormField {
  int number;
  // The total the field shows; the input tax adds both rates. Field 83 shows
  // none: the prepayment is computed from fields 81, 86 and 66.
  TotalKind total;
  TotalKind alsoTotal;
  // The tax office takes the figure in whole euros, its cents dropped.
  bool wholeEuros;
  const char* label;  // as the table for the spreadsheet names it
  // A third total the figure adds: the input tax at other rates (exact
  // classification only).
  TotalKind thirdTotal = TotalKind::None;
};

// In the order every front end shows them.
inline constexpr std::array<FormField, 6> kFormFields = {{
    {41, TotalKind::InnergemMitUStId, TotalKind::None, true, "Innergem. Lief. mit USt-IdNr"},
    {44, TotalKind::InnergemOhneUStId, TotalKind::None, true, "Innergem. Lief. ohne USt-IdNr"},
    {81, TotalKind::Umsatz19, TotalKind::None, true, "Umsatz St.satz 19 v.H"},
    {86, TotalKind::Umsatz7, TotalKind::None, true, "Umsatz St.satz 7 v.H"},
    {66, TotalKind::Vorsteuer7, TotalKind::Vorsteuer19, false, "Vorsteuer",
     TotalKind::VorsteuerAndere},
    {83, TotalKind::None, TotalKind::None, false, "Verbleibende Vorauszahlung"},
}};

// The further figures that only the exact classification fills, in the order
// they are shown after the five; the 0 % figure has no field (number 0).
inline constexpr std::array<FormField, 6> kFurtherFields = {{
    {21, TotalKind::Leistungen21, TotalKind::None, true, "Sonst. Leistungen EU"},
    {35, TotalKind::Umsatz35, TotalKind::None, true, "Umsatz and. St.sätze"_cp1252},
    {36, TotalKind::Steuer36, TotalKind::None, false, "Steuer zu Kz 35"},
    {43, TotalKind::Ausfuhr43, TotalKind::None, true, "Ausfuhrlieferungen"},
    {45, TotalKind::Ausland45, TotalKind::None, true, "Leistungen im Ausland"},
    {0, TotalKind::Steuerfrei, TotalKind::None, false, "0 % / steuerfrei"},
}};

// "Kz 21" for a further figure, its label for the 0 % figure.
std::string FurtherFieldTag(const FormField& field);

// The 0 % figure has no field number; a figure is chosen (shown alone in the
// list, drawn as chosen) by this key instead. 0 stands for no figure.
inline constexpr int kZeroRateFigure = -1;
// A figure's key: its field number, kZeroRateFigure for the 0 % figure.
constexpr int FigureKey(const FormField& field) {
  return field.number != 0 ? field.number : kZeroRateFigure;
}
// "Kz 81" for a field number, "0 % / steuerfrei" for kZeroRateFigure.
std::string FigureTag(int key);

// Whether any of the entry's amount went into field number (41, 44, 81, 86,
// 66 or a further figure; kZeroRateFigure for the 0 % figure).
bool GoesIntoField(const RunEntry& entry, int number);

// Field 39, which no run fills: the special prepayment a December return
// deducts before field 83.
inline constexpr const char* kField39Label = "Sondervorauszahlung";

// The field of that number, or nullptr.
const FormField* FindFormField(int number);
// The field of that number; the number must be one of the table's.
const FormField& FormFieldNumbered(int number);

// A field that run entries go into: every one but 83.
constexpr bool HasEntries(const FormField& field) {
  return field.total != TotalKind::None;
}

// A turnover field (41, 44, 81, 86): turnover is taken in whole euros, tax in
// euros and cents.
constexpr bool IsTurnover(const FormField& field) {
  return HasEntries(field) && field.wholeEuros;
}

// "Kz 81".
std::string FieldTag(int number);

// The cents of a figure as the tax office takes them: a whole-euro field's
// cents dropped toward zero, for a negative figure too.
constexpr int64_t EnteredCents(const FormField& field, int64_t shownCents) {
  return field.wholeEuros ? shownCents / 100 * 100 : shownCents;
}

struct FormFigure {
  int field;
  double value;
};
// The figure of a field with entries, in euros.
double FigureOf(const FormField& field, const TaxTotals& totals);
// The five figures of the fields with entries, in the table's order.
std::array<FormFigure, 5> FormFigures(const TaxTotals& totals);

// The form field whose figure a total goes into: 41, 44, 81, 86 or 66 (both
// input-tax totals); 0 for the sales outside the EU and for no total.
int FormFieldOf(TotalKind total);

}  // namespace vorlex
