#include "tax/FormFields.h"

#include <stdexcept>

namespace vorlex {

const FormField* FindFormField(int number) {
  for (const FormField& field : kFormFields) {
    if (field.number == number) return &field;
  }
  for (const FormField& field : kFurtherFields) {
    if (field.number == number && number != 0) return &field;
  }
  return nullptr;
}

std::string FurtherFieldTag(const FormField& field) {
  return field.number != 0 ? FieldTag(field.number) : field.label;
}

static_assert(kFurtherFields.back().number == 0, "the 0 % figure is the last further figure");

std::string FigureTag(int key) {
  return key == kZeroRateFigure ? std::string(kFurtherFields.back().label) : FieldTag(key);
}

bool GoesIntoField(const RunEntry& entry, int number) {
  if (number == kZeroRateFigure) return entry.AddsTo(TotalKind::Steuerfrei);
  bool into = false;
  entry.ForEachShare([&into, number](TotalKind total, double) {
    if (FormFieldOf(total) == number) into = true;
  });
  return into;
}

const FormField& FormFieldNumbered(int number) {
  const FormField* field = FindFormField(number);
  if (field == nullptr) throw std::logic_error("no form field " + std::to_string(number));
  return *field;
}

std::string FieldTag(int number) {
  return "Kz " + std::to_string(number);
}

double FigureOf(const FormField& field, const TaxTotals& totals) {
  const double* total = totals.Of(field.total);
  if (total == nullptr) return 0;
  const double* also = totals.Of(field.alsoTotal);
  if (also == nullptr) return *total;
  // Added in extended precision, as the list's total line of the input tax.
  long double sum = static_cast<long double>(*total) + *also;
  if (const double* third = totals.Of(field.thirdTotal); third != nullptr && *third != 0) {
    sum += *third;
  }
  return static_cast<double>(sum);
}

std::array<FormFigure, 5> FormFigures(const TaxTotals& totals) {
  std::array<FormFigure, 5> figures{};
  size_t i = 0;
  for (const FormField& field : kFormFields) {
    if (HasEntries(field)) figures.at(i++) = {field.number, FigureOf(field, totals)};
  }
  return figures;
}

int FormFieldOf(TotalKind total) {
  if (total == TotalKind::None) return 0;
  for (const FormField& field : kFormFields) {
    if (field.total == total || field.alsoTotal == total || field.thirdTotal == total) {
      return field.number;
    }
  }
  for (const FormField& field : kFurtherFields) {
    if (field.total == total) return field.number;
  }
  return 0;
}

}  // namespace vorlex
