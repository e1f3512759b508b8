#include "tax/FormFields.h"

#include <stdexcept>

namespace vorlex {

const FormField* FindFormField(int number) {
  for (const FormField& field : kFormFields) {
    if (field.number == number) return &field;
  }
  return nullptr;
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
  return static_cast<double>(static_cast<long double>(*total) + *also);
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
    if (field.total == total || field.alsoTotal == total) return field.number;
  }
  return 0;
}

}  // namespace vorlex
