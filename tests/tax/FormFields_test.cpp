#include "tax/FormFields.h"

#include <gtest/gtest.h>

#include <set>

namespace vorlex {
namespace {

TEST(FormFields, EveryTotalButTheSalesOutsideTheEuGoesIntoOneFieldWithEntries) {
  const std::pair<TotalKind, int> rows[] = {
      {TotalKind::InnergemMitUStId, 41}, {TotalKind::InnergemOhneUStId, 44},
      {TotalKind::Umsatz19, 81},         {TotalKind::Umsatz7, 86},
      {TotalKind::Vorsteuer7, 66},       {TotalKind::Vorsteuer19, 66},
      {TotalKind::NichtEU, 0},           {TotalKind::None, 0},
      // The further figures of the exact classification.
      {TotalKind::Leistungen21, 21},     {TotalKind::Umsatz35, 35},
      {TotalKind::Steuer36, 36},         {TotalKind::Ausfuhr43, 43},
      {TotalKind::Ausland45, 45},        {TotalKind::VorsteuerAndere, 66},
      {TotalKind::Steuerfrei, 0},
  };
  for (const auto& [total, field] : rows) {
    EXPECT_EQ(FormFieldOf(total), field) << static_cast<int>(total);
    if (field != 0) {
      EXPECT_TRUE(HasEntries(FormFieldNumbered(field)));
    }
  }
  EXPECT_FALSE(HasEntries(FormFieldNumbered(83)));
  EXPECT_EQ(FindFormField(48), nullptr);
  EXPECT_THROW(FormFieldNumbered(0), std::logic_error);
}

TEST(FormFields, FiguresInTheFormsOrderWithBothInputTaxRatesAdded) {
  const TaxTotals totals{.NichtEU = 1, .InnergemOhneUStId = 3, .InnergemMitUStId = 2,
                         .Umsatz19 = 4, .Umsatz7 = 5, .Vorsteuer7 = 0.5, .Vorsteuer19 = 0.25};
  const auto figures = FormFigures(totals);
  const int fields[] = {41, 44, 81, 86, 66};
  const double values[] = {2, 3, 4, 5, 0.75};
  for (size_t i = 0; i < figures.size(); ++i) {
    EXPECT_EQ(figures[i].field, fields[i]);
    EXPECT_EQ(figures[i].value, values[i]) << fields[i];
  }
  EXPECT_EQ(FigureOf(FormFieldNumbered(83), totals), 0);
}

TEST(FormFields, TurnoverIsEnteredInWholeEurosTaxInCents) {
  std::set<int> turnover;
  for (const FormField& field : kFormFields) {
    if (IsTurnover(field)) turnover.insert(field.number);
  }
  EXPECT_EQ(turnover, (std::set<int>{41, 44, 81, 86}));
  EXPECT_EQ(EnteredCents(FormFieldNumbered(81), 12399), 12300);
  EXPECT_EQ(EnteredCents(FormFieldNumbered(81), -12399), -12300);  // toward zero
  EXPECT_EQ(EnteredCents(FormFieldNumbered(66), -12399), -12399);
}

}  // namespace
}  // namespace vorlex
