#include "ui/SummaryList.h"

#include <string>

#include "util/uFormat.h"

namespace vorlex {

void AppendSummary(const TaxTotals& totals, IEvaluationSink& sink) {
  const auto line = [&sink](const char* label, long double value) {
    sink.AppendLine(std::string("     ") + label + ":  " + FormatMoneyExtended(value));
  };
  // The output VAT and the whole input tax are derived here, in extended
  // precision, and not stored.
  const long double outputVat = 0.19L * totals.Umsatz19 + 0.07L * totals.Umsatz7;
  const long double inputTax = static_cast<long double>(totals.Vorsteuer7) + totals.Vorsteuer19;

  sink.AppendLine(SeparatorLine);
  line("Nicht EU", totals.NichtEU);
  line("Innergem. Lief. mit USt-IdNr", totals.InnergemMitUStId);
  line("Innergem. Lief. ohne USt-IdNr", totals.InnergemOhneUStId);
  line("Umsatz St.satz 19 v.H", totals.Umsatz19);
  line("Umsatz St.satz  7 v.H", totals.Umsatz7);
  line("Umsatzsteuer", outputVat);
  sink.AppendLine("");
  line("Vorst. 7%", totals.Vorsteuer7);
  line("Vorst. 19%", totals.Vorsteuer19);
  line("Vorsteuer", inputTax);
}

}  // namespace vorlex
