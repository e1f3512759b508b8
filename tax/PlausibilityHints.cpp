#include "tax/PlausibilityHints.h"

#include <cmath>

#include "tax/CountryCodes.h"
#include "tax/FieldRead.h"
#include "util/uFormat.h"

namespace vorlex {

namespace {

// The VAT id without separators, in upper case.
std::string CompactVatId(std::string_view vatId) {
  std::string compact;
  for (char c : vatId) {
    if (c == ' ' || c == '.' || c == '-') continue;
    compact += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return compact;
}

// How the field an order went into is named.
std::string FieldName(TotalKind total) {
  switch (total) {
    case TotalKind::InnergemMitUStId: return "Kz 41";
    case TotalKind::InnergemOhneUStId: return "Kz 44";
    case TotalKind::Umsatz19: return "Kz 81";
    case TotalKind::NichtEU: return "die Summe Nicht EU";
    default: return "keine Kennzahl";
  }
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

class HintList {
 public:
  HintList(const std::vector<RunEntry>& entries, std::vector<Hint>& hints)
      : entries_(entries), hints_(hints) {}

  void Add(size_t index, const std::string& sentence) {
    const RunEntry& entry = entries_[index];
    std::string text = entry.kind == EntryKind::Order
                           ? OrderPlace(std::to_string(entry.id))
                           : CashEntryPlace(FormatDate(entry.date), entry.description);
    if (!entry.customer.empty()) text += " (" + entry.customer + ")";
    hints_.push_back({static_cast<int32_t>(index), text + ": " + sentence});
  }

 private:
  const std::vector<RunEntry>& entries_;
  std::vector<Hint>& hints_;
};

void CountryHints(HintList& hints, size_t index, const RunEntry& order) {
  const std::string code = NormalCode(order.country);
  const Country country = CountryOf(code);
  const bool hasVatId = !CompactVatId(order.vatId).empty();
  const std::string land = "Land " + Quoted(order.country);
  const std::string field = FieldName(order.total);
  if (!code.empty() && country.kind == Country::Unknown) {
    hints.Add(index, Quoted(order.country) +
                         " ist kein bekannter L\xE4ndercode; der Umsatz wird als Inlandsumsatz in " +
                         field + " gez\xE4hlt, bitte das Land des Kunden pr\xFC" "fen.");
  }
  if (order.total == TotalKind::Umsatz19 && country.kind == Country::EuMember) {
    const std::string state = land + " (" + country.state->name + ")";
    hints.Add(index, hasVatId ? state + " mit USt-IdNr. wird als Inlandsumsatz in Kz 81 gez\xE4hlt; "
                                        "eine innergemeinschaftliche Lieferung an ein Unternehmen "
                                        "geh\xF6rt in Kz 41."
                              : state + " ohne USt-IdNr. wird als Inlandsumsatz in Kz 81 gez\xE4hlt; "
                                        "bitte pr\xFC" "fen, ob der Kunde ein Privatkunde ist (dann "
                                        "richtig) oder ein Unternehmen, dessen USt-IdNr. fehlt.");
  }
  if (order.total == TotalKind::Umsatz19 && country.kind == Country::NonEu) {
    hints.Add(index, land +
                         " liegt au\xDF" "erhalb der EU und wird als Inlandsumsatz in Kz 81 "
                         "gez\xE4hlt; bitte pr\xFC" "fen, ob eine steuerfreie Ausfuhr vorliegt, die "
                         "nicht in Kz 81 geh\xF6rt.");
  }
  if (order.total == TotalKind::InnergemOhneUStId) {
    const std::string state =
        country.state ? land + " (" + country.state->name + ")" : land;
    hints.Add(index, state +
                         " ohne USt-IdNr. wird in Kz 44 gez\xE4hlt, die nur f\xFCr neue Fahrzeuge "
                         "gilt; ein Verkauf an einen Privatkunden ist meist im Inland "
                         "steuerpflichtig (Kz 81/86).");
  }
}

void VatIdHints(HintList& hints, size_t index, const RunEntry& order) {
  const std::string vatId = CompactVatId(order.vatId);
  if (vatId.empty()) return;
  // Only the EU's own numbers have a known form; outside it the field may
  // hold any tax number.
  const Country country = CountryOf(order.country);
  const bool domestic = NormalCode(order.country).empty() || country.kind == Country::Germany;
  if (!domestic && country.kind != Country::EuMember) return;
  if (!HasVatIdShape(vatId)) {
    hints.Add(index, "USt-IdNr. " + Quoted(order.vatId) +
                         " hat nicht die Form einer USt-IdNr. (L\xE4nderk\xFCrzel und Nummer); "
                         "bitte beim Kunden pr\xFC" "fen.");
    return;
  }
  const std::string prefix = domestic ? "DE" : country.state->vatPrefix;
  if (vatId.compare(0, 2, prefix) == 0) return;
  const std::string land = domestic && NormalCode(order.country).empty()
                               ? std::string("zum leeren Land (Inland")
                               : "zu Land " + Quoted(order.country) + " (" +
                                     (domestic ? "Deutschland" : country.state->name);
  hints.Add(index, "USt-IdNr. " + Quoted(order.vatId) + " passt nicht " + land +
                       ", K\xFCrzel " + prefix +
                       "); bitte Land und USt-IdNr. des Kunden pr\xFC" "fen.");
}

void OrderRateHints(HintList& hints, size_t index, const RunEntry& order) {
  if (order.total == TotalKind::Umsatz19 && order.rate != 19) {
    if (order.rate == 7) {
      hints.Add(index, "Auftrag zu 7 % wird in Kz 81 (19 %) gez\xE4hlt; Umsatz zu 7 % geh\xF6rt in "
                       "Kz 86.");
    } else if (order.rate == 0) {
      hints.Add(index, "Auftrag ohne Umsatzsteuer wird als steuerpflichtiger Umsatz in Kz 81 "
                       "(19 %) gez\xE4hlt; bitte pr\xFC" "fen, ob der Umsatz steuerfrei ist.");
    } else {
      hints.Add(index, "Auftrag zu " + FormatFloat(order.rate) +
                           " % wird in Kz 81 (19 %) gez\xE4hlt; bitte den Steuersatz pr\xFC" "fen.");
    }
  }
  if (order.orderType == -99 && order.rate != 0) {
    // The net amount of such a credit note is its stored invoice amount.
    const std::string change = order.added <= 0 ? " mindert " + FieldName(order.total) + " um " +
                                                      FormatMoney(-order.added)
                                                : " erh\xF6ht " + FieldName(order.total) + " um " +
                                                      FormatMoney(order.added);
    hints.Add(index, "Gutschrift mit Umsatzsteuer" + change +
                         ", bewertet mit ihrem gespeicherten Rechnungsbetrag; bitte pr\xFC" "fen, "
                         "ob dieser Betrag die Umsatzsteuer enth\xE4lt.");
  }
}

}  // namespace

bool HasVatIdShape(std::string_view vatId) {
  const std::string id = CompactVatId(vatId);
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

std::vector<Hint> PlausibilityHints(const std::vector<RunEntry>& entries, double firstDay,
                                    double lastDay) {
  std::vector<Hint> hints;
  if (std::floor(firstDay) > std::floor(lastDay)) {
    hints.push_back({-1, "Zeitraum vom " + FormatDate(firstDay) + " bis " + FormatDate(lastDay) +
                             ": der erste Tag liegt nach dem letzten, es wurde nichts "
                             "ausgewertet."});
  }
  HintList list(entries, hints);
  for (size_t i = 0; i < entries.size(); ++i) {
    const RunEntry& entry = entries[i];
    if (entry.kind == EntryKind::Order) {
      CountryHints(list, i, entry);
      VatIdHints(list, i, entry);
      OrderRateHints(list, i, entry);
    } else if ((entry.kind == EntryKind::Receipt || entry.kind == EntryKind::Expense) &&
               entry.total == TotalKind::None && entry.rate != 0) {
      list.Add(i, "Steuersatz " + entry.rateText +
                      " % z\xE4hlt in keine Kennzahl; bitte den Steuersatz pr\xFC" "fen (nur 0, 7 "
                      "und 19 % werden ausgewertet).");
    }
  }
  return hints;
}

}  // namespace vorlex
