#include "tax/PlausibilityHints.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "tax/CountryCodes.h"
#include "tax/EcSalesList.h"
#include "tax/ExactClassification.h"
#include "tax/ExactHintEndings.h"
#include "tax/FieldRead.h"
#include "tax/FormFields.h"
#include "tax/HintList.h"
#include "tax/TaxPeriod.h"
#include "util/DateText.h"
#include "util/MoneyText.h"
#include "util/NumberText.h"
#include "util/ProgramText.h"
#include "util/uDatum.h"
#include "util/uString.h"

namespace vorlex {

using namespace hints;

namespace {

void UnknownCountryHint(HintList& hints, size_t index, const RunEntry& order,
                        const OrderCountry& of, bool) {
  if (of.code.empty() || of.country.kind != Country::Unknown) return;
  hints.Add(index, HintText() << Quoted(order.country())
                              << " ist kein bekannter Ländercode; der Umsatz wird als "
                                 "Inlandsumsatz in "_cp1252
                              << FieldName(order.total)
                              << " gezählt, bitte das Land des Kunden prüfen."_cp1252);
}

void EuAsDomesticHint(HintList& hints, size_t index, const RunEntry& order, const OrderCountry& of,
                      bool) {
  if (order.total != TotalKind::Umsatz19 || of.country.kind != Country::EuMember) return;
  const bool hasVatId = !ReportedVatId(order.vatId()).empty();
  hints.Add(index, HintText() << Land(order, of)
                              << (hasVatId ? " mit USt-IdNr. wird als Inlandsumsatz in Kz 81 "
                                             "gezählt; eine innergemeinschaftliche Lieferung an "
                                             "ein Unternehmen gehört in Kz 41."_cp1252
                                           : " ohne USt-IdNr. wird als Inlandsumsatz in Kz 81 "
                                             "gezählt; bitte prüfen, ob der Kunde ein "
                                             "Privatkunde ist (dann richtig) oder ein Unternehmen, "
                                             "dessen USt-IdNr. fehlt."_cp1252));
}

void NonEuAsDomesticHint(HintList& hints, size_t index, const RunEntry& order,
                         const OrderCountry& of, bool) {
  if (order.total != TotalKind::Umsatz19 || of.country.kind != Country::NonEu) return;
  hints.Add(index, HintText() << Land(order, of)
                              << " liegt außerhalb der EU und wird als Inlandsumsatz in "
                                 "Kz 81 gezählt; bitte prüfen, ob eine steuerfreie "
                                 "Ausfuhr vorliegt, die nicht in Kz 81 gehört."_cp1252);
}

void NewVehiclesHint(HintList& hints, size_t index, const RunEntry& order, const OrderCountry& of,
                     bool) {
  if (order.total != TotalKind::InnergemOhneUStId) return;
  hints.Add(index, HintText() << Land(order, of)
                              << " ohne USt-IdNr. wird in Kz 44 gezählt, die nur für neue "
                                 "Fahrzeuge gilt; ein Verkauf an einen Privatkunden ist meist im "
                                 "Inland steuerpflichtig (Kz 81/86)."_cp1252);
}

void NonEuHint(HintList& hints, size_t index, const RunEntry& order, const OrderCountry&, bool) {
  if (order.total != TotalKind::NichtEU) return;
  hints.Add(index, HintText() << "Land " << Quoted(order.country()) << ": "
                              << FormatMoney(order.added, hints.Format())
                              << " Umsatz mit einem Kunden außerhalb der EU zählt nur in "
                                 "der Summe Nicht EU der Liste; solche Umsätze gehören in "
                                 "der Voranmeldung meist in Kz 43 oder Kz 45, die Vorlex nicht "
                                 "ausweist."_cp1252);
}

void PartPaymentHint(HintList& hints, size_t index, const RunEntry& order, const OrderCountry&,
                     bool) {
  if (!order.partlyPaid) return;
  const int64_t received = std::llround(order.received * 100);
  const int64_t gross = std::llround(order.gross * 100);
  if (gross == 0 || received == 0 || std::llabs(received) >= std::llabs(gross)) return;
  hints.Add(index,
            HintText() << "nur teilweise bezahlt: " << FormatMoney(order.received, hints.Format())
                       << " von " << FormatMoney(order.gross, hints.Format())
                       << " erhalten, gezählt wird der ganze Betrag in "_cp1252
                       << FieldName(order.total)
                       << "; bei Ist-Versteuerung ist nur der erhaltene Betrag zu "
                          "versteuern.");
}

void VatIdHints(HintList& hints, size_t index, const RunEntry& order, const OrderCountry& of,
                bool) {
  if (order.vatId().empty()) return;  // most orders
  const std::string vatId = ReportedVatId(order.vatId());
  if (vatId.empty()) return;
  // Only the EU's own numbers have a known form; outside it the field may
  // hold any tax number.
  const Country country = of.country;
  const bool noCountry = of.code.empty();
  const bool domestic = noCountry || country.kind == Country::Germany;
  if (!domestic && country.kind != Country::EuMember) return;
  if (!HasVatIdShape(vatId)) {
    hints.Add(index, HintText() << "USt-IdNr. " << Quoted(order.vatId())
                                << " hat nicht die Form einer USt-IdNr. (Länderkürzel und "
                                   "Nummer); bitte beim Kunden prüfen."_cp1252);
    return;
  }
  const std::string prefix = domestic ? "DE" : country.state->vatPrefix;
  if (vatId.compare(0, 2, prefix) == 0) return;
  HintText land;
  if (noCountry) {
    land << "zum leeren Land (Inland";
  } else {
    land << "zu Land " << Quoted(order.country()) << " ("
         << (domestic ? "Deutschland" : country.state->name);
  }
  hints.Add(index, HintText() << "USt-IdNr. " << Quoted(order.vatId()) << " passt nicht " << land
                              << ", Kürzel "_cp1252 << prefix
                              << "); bitte Land und USt-IdNr. des Kunden prüfen."_cp1252);
}

void OrderRateHint(HintList& hints, size_t index, const RunEntry& order, const OrderCountry&,
                   bool exact) {
  if (exact || order.total != TotalKind::Umsatz19 || order.rate == 19) return;
  if (order.rate == 7) {
    hints.Add(index, HintText() << "Auftrag zu 7 % wird in Kz 81 (19 %) gezählt; Umsatz zu "
                                   "7 % gehört in Kz 86."_cp1252);
  } else if (order.rate == 0) {
    hints.Add(index, HintText() << "Auftrag ohne Umsatzsteuer wird als steuerpflichtiger "
                                   "Umsatz in Kz 81 (19 %) gezählt; bitte prüfen, ob der "
                                   "Umsatz steuerfrei ist."_cp1252);
  } else {
    hints.Add(index, HintText() << "Auftrag zu " << FormatFloat(order.rate, hints.Format())
                                << " % wird in Kz 81 (19 %) gezählt; bitte den Steuersatz "
                                   "prüfen."_cp1252);
  }
}

void CreditNoteHint(HintList& hints, size_t index, const RunEntry& order, const OrderCountry&,
                    bool) {
  if (order.orderType != -99 || order.rate == 0) return;
  // The net amount of such a credit note is its stored invoice amount.
  const std::string field = FieldName(order.total);
  const std::string change =
      order.added <= 0
          ? " mindert " + field + " um " + FormatMoney(-order.added, hints.Format())
          : " erhöht "_cp1252 + field + " um " + FormatMoney(order.added, hints.Format());
  hints.Add(index, HintText() << "Gutschrift mit Umsatzsteuer" << change
                              << ", bewertet mit ihrem gespeicherten Rechnungsbetrag; bitte "
                                 "prüfen, ob dieser Betrag die Umsatzsteuer enthält."_cp1252);
}

// An entry whose date no period selects is missing from every run of its
// kind.
void UndatedHint(HintList& hints, size_t index, const RunEntry& entry) {
  const char* date = "Datum";
  const char* column = "termin";
  const char* runs = "jeder Auswertung";
  if (entry.missingDate == MissingDate::Payment) {
    date = "Zahlungsdatum";
    column = "bezahltam";
    runs = "jeder Ist-Auswertung";
  } else if (entry.missingDate == MissingDate::Invoice) {
    date = "Rechnungsdatum";
    runs = "jeder Soll-Auswertung";
  }
  hints.AddUnlisted(index, HintText()
                               << "hat kein gültiges "_cp1252 << date << " (Spalte " << column
                               << ": " << Quoted(TruncateText(entry.dateText(), 40))
                               << ") und fehlt deshalb in " << runs << ".");
}

// A VAT id of nothing but separators still puts the order into field 41, but
// the EC sales list has no number to report it under.
void EcSalesListHints(HintList& hints, size_t index, const RunEntry& order, const OrderCountry&,
                      bool) {
  if (EcSalesVatIdFault(order) != VatIdFault::Blank) return;
  hints.Add(index, HintText() << "USt-IdNr. " << Quoted(order.vatId())
                              << " enthält keine Nummer; die Lieferung wird in Kz 41 "
                                 "gezählt, kann so aber nicht in die Zusammenfassende "
                                 "Meldung; bitte die USt-IdNr. des Kunden eintragen."_cp1252);
}

}  // namespace

bool HasVatIdShape(std::string_view vatId) {
  const std::string id = ReportedVatId(vatId);
  if (id.size() < 4 || id.size() > 14) return false;
  const auto letter = [](char c) { return c >= 'A' && c <= 'Z'; };
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (!letter(id[0]) || !letter(id[1])) return false;
  int digits = 0;
  for (size_t i = 2; i < id.size(); ++i) {
    if (digit(id[i])) {
      ++digits;
    } else if (!letter(id[i]) && id[i] != '+' && id[i] != '*') {
      return false;
    }
  }
  return digits >= 2;
}

namespace {

// Turnover that the exact classification cannot place: at 0 %.
void TaxFreeHint(HintList& hints, size_t index, const RunEntry& entry) {
  double taxFree = 0;
  entry.ForEachShare([&taxFree](TotalKind total, double added) {
    if (total == TotalKind::Steuerfrei) taxFree += added;
  });
  if (taxFree == 0) return;
  hints.Add(index, HintText() << FormatMoney(taxFree, hints.Format())
                              << " Umsatz zu 0 % zählt unter \"0 % / steuerfrei\"; Vorlex kann "
                                 "ihn keiner Kennzahl zuordnen: steuerfreie Umsätze mit "
                                 "Vorsteuerabzug gehören z. B. in Kz 48, solche ohne in Kz 87; "
                                 "bitte prüfen."_cp1252);
}

// Sales to customers in other member states without a VAT id, per calendar
// year of the run: past the threshold those countries' VAT applies.
void DistanceSalesHints(const std::vector<RunEntry>& entries, std::vector<Hint>& hints,
                        const FormatSettings& format) {
  std::vector<std::pair<int, double>> years;
  for (const RunEntry& entry : entries) {
    if (entry.kind != EntryKind::Order || !ReportedVatId(entry.vatId()).empty()) continue;
    if (CountryOf(entry.country()).kind != Country::EuMember) continue;
    const int year = DecodeDate(entry.date).year;
    auto found = std::find_if(years.begin(), years.end(),
                              [year](const auto& y) { return y.first == year; });
    if (found == years.end()) found = years.insert(years.end(), {year, 0.0});
    found->second += entry.net;
  }
  for (const auto& [year, sum] : years) {
    if (sum <= kDistanceSalesThreshold) continue;
    hints.push_back({-1, "Umsätze an Kunden ohne USt-IdNr. in anderen EU-Staaten "_cp1252 +
                             std::to_string(year) +
                             " in diesem Zeitraum: " + FormatMoney(sum, format) +
                             ", mehr als die EU-weite Lieferschwelle von 10.000 Euro; "
                             "dann gilt die Umsatzsteuer der Länder der Kunden, "
                             "erklärt über den One-Stop-Shop (OSS), nicht in dieser "
                             "Voranmeldung."_cp1252});
  }
}

}  // namespace

namespace {

void CashRateHint(HintList& hints, size_t index, const RunEntry& entry, const OrderCountry&, bool) {
  if (entry.total != TotalKind::None || entry.rate == 0) return;
  hints.Add(index, HintText() << "Steuersatz " << Db{entry.rateText()}
                              << " % zählt in keine Kennzahl; bitte den Steuersatz prüfen "
                                 "(nur 0, 7 und 19 % werden ausgewertet)."_cp1252);
}

// In the order an order's hints are listed.
constexpr Rule kOrderRules[] = {
    UnknownCountryHint, EuAsDomesticHint, NonEuAsDomesticHint, NewVehiclesHint, NonEuHint,
    PartPaymentHint,    VatIdHints,       EcSalesListHints,    OrderRateHint,   CreditNoteHint};
// Those whose hints the exact classification gives as well: whether they fire
// reads nothing that a classification decides (an entry's total, its shares),
// so their hints never end with what the exact one would do.
constexpr Rule kSameUnderEither[] = {UnknownCountryHint, PartPaymentHint, VatIdHints,
                                     CreditNoteHint};

}  // namespace

std::vector<Hint> PlausibilityHints(const std::vector<RunEntry>& entries, double firstDay,
                                    double lastDay, const FormatSettings& format,
                                    Classification rules, const ExactSharesOf& exactOf) {
  const bool exact = rules == Classification::Exact;
  std::vector<Fired> fired;
  std::vector<Fired>* endings = !exact && exactOf ? &fired : nullptr;
  std::vector<Hint> hints;
  if (PeriodReversed(firstDay, lastDay)) {
    hints.push_back({-1, "Zeitraum vom " + FormatDate(firstDay, format) + " bis " +
                             FormatDate(lastDay, format) +
                             ": der erste Tag liegt nach dem letzten, es wurde nichts "
                             "ausgewertet."});
  }
  HintList list(entries, hints, format);
  OrderCountry country;
  static constexpr Rule kCashRules[] = {CashRateHint};
  for (size_t i = 0; i < entries.size(); ++i) {
    const RunEntry& entry = entries[i];
    if (entry.kind == EntryKind::Order) {
      const OrderCountry& of = country.Of(entry.country());
      ApplyRules(list, i, entry, of, exact, kOrderRules, endings, kSameUnderEither);
      if (exact) TaxFreeHint(list, i, entry);
    } else if (entry.kind == EntryKind::Undated) {
      UndatedHint(list, i, entry);
    } else if (entry.kind == EntryKind::Receipt || entry.kind == EntryKind::Expense) {
      ApplyRules(list, i, entry, country, exact, kCashRules, endings);
    }
  }
  if (!fired.empty()) EndWithExactFields(list, fired, exactOf);
  if (exact) DistanceSalesHints(entries, hints, format);
  return hints;
}

}  // namespace vorlex
