#include "output/FilingText.h"

#include <algorithm>

#include "tax/FilingCalendar.h"
#include "tax/FormFields.h"
#include "tax/Prepayment.h"
#include "util/DateText.h"
#include "util/MoneyText.h"
#include "util/ProgramText.h"

namespace vorlex {

namespace {

const FormatSettings kTaxOfficeFormat{',', "dd.MM.yyyy"};

bool AllDigits(std::string_view part) {
  return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<int64_t> ParseEuroAmount(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  const size_t mark = text.find_first_of(",.");
  const std::string_view euros = text.substr(0, mark);
  const std::string_view cents =
      mark == std::string_view::npos ? std::string_view{} : text.substr(mark + 1);
  if (euros.empty() || euros.size() > 12 || !AllDigits(euros) ||
      (mark != std::string_view::npos && (cents.empty() || cents.size() > 2 || !AllDigits(cents)))) {
    return std::nullopt;
  }
  int64_t value = 0;
  for (const char c : euros) value = value * 10 + (c - '0');
  int64_t fraction = 0;
  for (const char c : cents) fraction = fraction * 10 + (c - '0');
  if (cents.size() == 1) fraction *= 10;
  return value * 100 + fraction;
}

std::string DueDateText(double day) {
  return FormatDate(day, kTaxOfficeFormat);
}

RunDueDates DueDatesOf(const TTaxPeriod& period, bool extensionGranted, const TaxTotals& totals) {
  RunDueDates due;
  due.preReturn = PreReturnDue(period, extensionGranted);
  // The EC sales list reports the supplies of field 41 and the services of
  // field 21 (only the exact classification fills that one).
  for (const int field : {41, 21}) {
    const std::optional<int64_t> cents = ShownCents(FigureOf(FormFieldNumbered(field), totals));
    if (cents && *cents != 0) due.ecSalesList = EcSalesListDue(period);
  }
  return due;
}

std::vector<std::string> DueDateLines(const RunDueDates& due, const std::string& separator) {
  std::vector<std::string> lines;
  if (due.preReturn) lines.push_back("Abgabe bis" + separator + DueDateText(*due.preReturn));
  if (due.ecSalesList) lines.push_back("ZM bis" + separator + DueDateText(*due.ecSalesList));
  return lines;
}

std::string SpecialPrepaymentLine(const SpecialPrepaymentOfYear& prepayment,
                                  const FormatSettings& format) {
  const std::string year = std::to_string(prepayment.year);
  switch (prepayment.kind) {
    case SpecialPrepaymentKind::NoneQuarterly:
      return year + " ist keine Sondervorauszahlung zu leisten: Die Voranmeldungen werden "
                    "vierteljährlich abgegeben."_cp1252;
    case SpecialPrepaymentKind::NoneWithoutExtension:
      return year + " ist keine Sondervorauszahlung zu leisten: Es ist keine "
                    "Dauerfristverlängerung eingetragen."_cp1252;
    case SpecialPrepaymentKind::Owed:
      break;
  }
  std::string line = "Sondervorauszahlung " + year + ": " + FormatCents(prepayment.amount, format);
  if (prepayment.due) line += ", anzumelden bis " + DueDateText(*prepayment.due);
  return line;
}

std::vector<std::string> SpecialPrepaymentLines(const SpecialPrepaymentOfYear& prepayment,
                                                const FormatSettings& format) {
  if (prepayment.kind != SpecialPrepaymentKind::Owed) {
    return {SpecialPrepaymentLine(prepayment, format)};
  }
  std::vector<std::string> lines{"Sondervorauszahlung " + std::to_string(prepayment.year) + ": " +
                                 FormatCents(prepayment.amount, format)};
  if (prepayment.due) lines.push_back("Anzumelden bis: " + DueDateText(*prepayment.due));
  if (prepayment.assessed) {
    lines.push_back("(vom Finanzamt festgesetzt)");
  } else {
    lines.push_back("(ein Elftel der Vorauszahlungen " + std::to_string(prepayment.year - 1) +
                    ": " + FormatCents(prepayment.base, format) + ")");
  }
  return lines;
}

std::vector<PortalFigure> PortalFigures(const TaxTotals& totals) {
  std::vector<PortalFigure> figures;
  const std::optional<Prepayment> p = PrepaymentOf(totals);
  if (!p) return figures;
  const auto add = [&figures](int field, bool tax, int64_t cents, bool wholeEuros) {
    if (cents != 0) figures.push_back({field, tax, cents, wholeEuros});
  };
  // A figure of the totals as typed: turnovers in whole euros, a tax in cents.
  const auto addShown = [&totals, &add](int field) {
    const FormField& form = FormFieldNumbered(field);
    const std::optional<int64_t> cents = ShownCents(FigureOf(form, totals));
    if (!cents) return false;
    add(field, false, EnteredCents(form, *cents), form.wholeEuros);
    return true;
  };
  // The fields the exact classification adds are 0 under the simple one and
  // so left out there.
  for (const int field : {21, 35, 36, 41, 43, 44, 45}) {
    if (!addShown(field)) return {};
  }
  add(81, false, p->base81 * 100, true);
  add(81, true, p->tax81, false);
  add(86, false, p->base86 * 100, true);
  add(86, true, p->tax86, false);
  add(66, false, p->inputTax, false);
  add(39, false, p->field39, false);
  add(83, false, p->due, false);
  return figures;
}

std::string PortalLabel(const PortalFigure& figure) {
  return figure.tax ? "Steuer zu " + FieldTag(figure.field) : FieldTag(figure.field);
}

std::string PortalValue(const PortalFigure& figure) {
  const std::string text = FormatCents(figure.cents, kTaxOfficeFormat);
  return figure.wholeEuros ? text.substr(0, text.size() - 3) : text;
}

std::string PortalText(const std::vector<PortalFigure>& figures) {
  std::string text;
  for (const PortalFigure& figure : figures) {
    text += PortalLabel(figure) + ": " + PortalValue(figure) + "\n";
  }
  return text;
}

}  // namespace vorlex
