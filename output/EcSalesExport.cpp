#include "output/EcSalesExport.h"

#include "tax/CountryCodes.h"
#include "tax/EcSalesList.h"
#include "util/DateText.h"
#include "util/ProgramText.h"
#include "util/uString.h"

namespace vorlex {

namespace {

// The program's own words are Windows-1252 in the source; the message is UTF-8
// as a whole, so that the names of both encodings read right in it.
std::string Own(std::string_view text) {
  return Windows1252ToUtf8(text);
}

const char* FaultText(VatIdFault fault) {
  switch (fault) {
    case VatIdFault::Blank: return "enthält keine Nummer"_cp1252;
    case VatIdFault::NoShape: return "hat nicht die Form einer USt-IdNr.";
    case VatIdFault::OtherCountry: return "passt nicht zum Land des Kunden";
    case VatIdFault::None: break;
  }
  return "";
}

// One line per entry to correct: date, description, customer, country, VAT id
// and what is wrong with it.
std::string FaultyEntries(const std::vector<RunEntry>& entries, const std::vector<int32_t>& faulty,
                          const FormatSettings& format) {
  std::string text;
  for (int32_t index : faulty) {
    const RunEntry& entry = entries[static_cast<size_t>(index)];
    const Country country = CountryOf(entry.country());
    const std::string prefix =
        country.state ? std::string(", Kürzel "_cp1252) + country.state->vatPrefix : "";
    text += Concat(
        {"\n- ", FormatDate(entry.date, format), " \"", StoredTextAsUtf8(entry.description()),
         "\" (", StoredTextAsUtf8(entry.customer()), ", Land \"", StoredTextAsUtf8(entry.country()),
         "\"", Own(prefix), "): USt-IdNr. \"", StoredTextAsUtf8(entry.vatId()), "\" ",
         Own(FaultText(EcSalesVatIdFault(entry)))});
  }
  return text;
}

void RefuseOtherPeriods(double firstDay, double lastDay, const FormatSettings& format) {
  if (!IsEcSalesPeriod(firstDay, lastDay)) {
    throw EEcSalesRefused(Own("Die Zusammenfassende Meldung gilt für einen Monat oder ein "
                              "Quartal, nicht für den Zeitraum vom "_cp1252) +
                          FormatDate(firstDay, format) + " bis " + FormatDate(lastDay, format) +
                          Own(". Bitte einen Monat oder ein Quartal wählen."_cp1252));
  }
}

}  // namespace

std::string EcSalesBasisNote(TaxationBasis basis, ClassificationChoice choice) {
  if (basis == kEcSalesListBasis || choice.Exact()) return {};
  return Own("Die Zusammenfassende Meldung folgt dem Rechnungsdatum: Auch unbezahlte "
             "Lieferungen des Zeitraums zählen."_cp1252);
}

namespace {

// The list of the entries, or why none can be filed.
EcSalesList CheckedList(const std::vector<RunEntry>& entries, const TaxTotals& totals,
                        double firstDay, double lastDay, const FormatSettings& format,
                        Classification rules) {
  RefuseOtherPeriods(firstDay, lastDay, format);
  if (rules == Classification::Simple) {
    // A list of field 41 alone would leave these supplies out.
    const std::vector<int32_t> missing = EcSalesMissing(entries);
    if (!missing.empty()) {
      std::string text;
      for (const int32_t index : missing) {
        const RunEntry& entry = entries[static_cast<size_t>(index)];
        text += Concat({"\n- ", FormatDate(entry.date, format), " \"",
                        StoredTextAsUtf8(entry.description()), "\" (",
                        StoredTextAsUtf8(entry.customer()), ", Land \"",
                        StoredTextAsUtf8(entry.country()), "\", USt-IdNr. \"",
                        StoredTextAsUtf8(entry.vatId()), "\")"});
      }
      throw EEcSalesRefused(
          Own("Die Zusammenfassende Meldung wurde nicht geschrieben: " +
              std::to_string(missing.size()) +
              (missing.size() == 1 ? " Auftrag" : " Aufträge"_cp1252) +
              " an Kunden mit einer USt-IdNr. eines EU-Staats zählt die Zuordnung "
              "\"einfach\" nicht in Kz 41, die Meldung wäre unvollständig. Die Zuordnung "
              "\"genau\" (vorlex-report --classify exact) nimmt sie auf:"_cp1252) +
          text);
    }
  }
  const EcSalesList list =
      BuildEcSalesList(entries, totals.InnergemMitUStId, totals.Leistungen21);
  if (!list.faulty.empty()) {
    throw EEcSalesRefused(
        Own("Die Zusammenfassende Meldung wurde nicht geschrieben: " +
            std::to_string(list.faulty.size()) +
            (list.faulty.size() == 1 ? " Lieferung" : " Lieferungen") +
            " in Kz 41 oder 21 ohne eine USt-IdNr., die das Portal annimmt. Bitte in Pelmora beim "
            "Kunden korrigieren:") +
        FaultyEntries(entries, list.faulty, format));
  }
  const EcSalesImportLayout& layout = kEcSalesImport;
  if (list.rows.size() > layout.maxRows) {
    throw EEcSalesRefused(Own("Die Zusammenfassende Meldung wurde nicht geschrieben: " +
                              std::to_string(list.rows.size()) +
                              " Zeilen, das Portal nimmt höchstens "_cp1252 +
                              std::to_string(layout.maxRows) + " in einer Datei an."));
  }
  return list;
}

std::string ImportBytes(const EcSalesList& list) {
  const EcSalesImportLayout& layout = kEcSalesImport;
  std::string bytes;
  for (std::string_view line : layout.headerLines) {
    bytes += line;
    bytes += layout.lineEnd;
  }
  for (const EcSalesRow& row : list.rows) {
    bytes += Concat({row.vatId, std::string_view(&layout.separator, 1), std::to_string(row.euros),
                     std::string_view(&layout.separator, 1),
                     row.kind == 'S' ? layout.servicesSupply : layout.goodsSupply,
                     layout.lineEnd});
  }
  return bytes;
}

}  // namespace

EcSalesList EcSalesListOfRun(TDBase& db, TaxationBasis basis, const std::vector<RunEntry>& entries,
                             const TaxTotals& totals, double firstDay, double lastDay,
                             const FormatSettings& format, ClassificationChoice choice) {
  if (basis == kEcSalesListBasis || choice.Exact()) {
    return CheckedList(entries, totals, firstDay, lastDay, format, choice.rules);
  }
  RefuseOtherPeriods(firstDay, lastDay, format);
  const EcSalesOrders orders = ReadEcSalesOrders(db, firstDay, lastDay, choice);
  return CheckedList(orders.entries, orders.totals, firstDay, lastDay, format, choice.rules);
}

std::vector<std::string> EcSalesCorrectionLines(const std::vector<EcSalesCorrectionRow>& rows) {
  if (rows.empty()) return {};
  std::vector<std::string> lines;
  lines.emplace_back(
      "Berichtigte Zusammenfassende Meldung (Kz 03), nur die geänderten Zeilen:"_cp1252);
  for (const EcSalesCorrectionRow& row : rows) {
    const EcSalesImportLayout& layout = kEcSalesImport;
    std::string line = Concat({"  ", row.vatId, std::string_view(&layout.separator, 1),
                               std::to_string(row.euros), std::string_view(&layout.separator, 1),
                               row.kind == 'S' ? layout.servicesSupply : layout.goodsSupply});
    if (!row.filedEuros) {
      line += " (neu)";
    } else if (row.euros == 0) {
      line += " (abgegeben " + std::to_string(*row.filedEuros) + ", entfällt)"_cp1252;
    } else {
      line += " (abgegeben " + std::to_string(*row.filedEuros) + ")";
    }
    lines.push_back(line);
  }
  return lines;
}

std::string EcSalesImportBytes(const EcSalesList& list) {
  return ImportBytes(list);
}

std::string EcSalesBytes(const std::vector<RunEntry>& entries, const TaxTotals& totals,
                         double firstDay, double lastDay, const FormatSettings& format,
                         Classification rules) {
  return ImportBytes(CheckedList(entries, totals, firstDay, lastDay, format, rules));
}

std::string EcSalesBytesOfRun(TDBase& db, TaxationBasis basis, const std::vector<RunEntry>& entries,
                              const TaxTotals& totals, double firstDay, double lastDay,
                              const FormatSettings& format, ClassificationChoice choice) {
  return ImportBytes(
      EcSalesListOfRun(db, basis, entries, totals, firstDay, lastDay, format, choice));
}

}  // namespace vorlex
