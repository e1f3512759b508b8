#include "tax/PlausibilityHints.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "tax/CountryCodes.h"
#include "tax/EcSalesList.h"
#include "tax/ExactClassification.h"
#include "tax/FieldRead.h"
#include "tax/FormFields.h"
#include "tax/TaxPeriod.h"
#include "util/DateText.h"
#include "util/MoneyText.h"
#include "util/NumberText.h"
#include "util/uDatum.h"
#include "util/uString.h"

namespace vorlex {

namespace {

// How the field an order went into is named.
std::string FieldName(TotalKind total) {
  if (const int field = FormFieldOf(total)) return FieldTag(field);
  return total == TotalKind::NichtEU ? "die Summe Nicht EU" : "keine Kennzahl";
}

// A database text inside a hint; shown in quotes when quoted.
struct Db {
  std::string_view text;
  bool quoted = false;
};
Db Quoted(std::string_view text) {
  return {text, true};
}

// A hint's text from the program's own words (Windows-1252) and texts of the
// database (Windows-1252 or UTF-8). When a database text is UTF-8 beyond
// ASCII, the whole text becomes UTF-8, so that it reads right when decoded as
// one.
class HintText {
 public:
  HintText& operator<<(std::string_view program) {
    parts_.push_back({std::string(program), false});
    return *this;
  }
  HintText& operator<<(Db db) {
    if (db.quoted) *this << "\"";
    parts_.push_back({std::string(db.text), true});
    if (db.quoted) *this << "\"";
    return *this;
  }
  HintText& operator<<(const HintText& other) {
    parts_.insert(parts_.end(), other.parts_.begin(), other.parts_.end());
    return *this;
  }

  std::string Bytes() const {
    const auto utf8Beyond = [](const std::string& bytes) {
      return std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; }) &&
             IsValidUtf8(bytes);
    };
    const bool utf8 = std::any_of(parts_.begin(), parts_.end(), [&](const Part& part) {
      return part.fromDb && utf8Beyond(part.bytes);
    });
    std::string out;
    size_t size = 0;
    for (const Part& part : parts_) size += part.bytes.size();
    out.reserve(size);  // the size whenever nothing is converted
    for (const Part& part : parts_) {
      const bool asIs = !utf8 || (part.fromDb && IsValidUtf8(part.bytes));
      out += asIs ? part.bytes : Windows1252ToUtf8(part.bytes);
    }
    // A year's hints stand together: a converted one keeps no more room than its text.
    if (out.capacity() > out.size() + 16) out.shrink_to_fit();
    return out;
  }

 private:
  struct Part {
    std::string bytes;
    bool fromDb;
  };
  std::vector<Part> parts_;
};

class HintList {
 public:
  HintList(const std::vector<RunEntry>& entries, std::vector<Hint>& hints)
      : entries_(entries), hints_(hints) {}

  void Add(size_t index, const HintText& sentence) {
    HintText text = Name(entries_[index]);
    text << ": " << sentence;
    hints_.push_back({static_cast<int32_t>(index), text.Bytes()});
  }

  size_t Size() const { return hints_.size(); }
  // Appends ending to the hint numbered i.
  void EndWith(size_t i, const std::string& ending) {
    // Of just its size: a year's run has tens of thousands of them.
    std::string text;
    text.reserve(hints_[i].text.size() + ending.size());
    text.append(hints_[i].text).append(ending);
    hints_[i].text = std::move(text);
    hints_[i].exactResolves = true;
  }

  // For an entry without a line in the list: its name, then the sentence.
  void AddUnlisted(size_t index, const HintText& sentence) {
    HintText text = Name(entries_[index]);
    text << " " << sentence;
    hints_.push_back({-1, text.Bytes()});
  }

 private:
  static HintText Name(const RunEntry& entry) {
    HintText text;
    const bool order = entry.kind == EntryKind::Order ||
                       (entry.kind == EntryKind::Undated && entry.missingDate != MissingDate::Cash);
    if (order) {
      // By its description as the list shows it, as the trader knows it.
      const std::string shown = TruncateText(entry.description(), 40);
      const bool blank = std::all_of(shown.begin(), shown.end(),
                                     [](char c) { return static_cast<unsigned char>(c) <= 32; });
      if (!blank) {
        text << Db{shown};
      } else if (entry.kind == EntryKind::Undated) {
        text << OrderPlace(std::to_string(entry.id));
      } else {
        text << "Auftrag ohne Bezeichnung vom " << FormatDate(entry.date);
      }
    } else if (entry.kind == EntryKind::Undated) {
      text << "Kassenbuch-Eintrag " << Quoted(TruncateText(entry.description(), 40));
    } else {
      // Its own words are ASCII, the same bytes in either encoding.
      text << Db{CashEntryPlace(FormatDate(entry.date), entry.description())};
    }
    if (!entry.customer().empty()) text << " (" << Db{entry.customer()} << ")";
    return text;
  }

  const std::vector<RunEntry>& entries_;
  std::vector<Hint>& hints_;

 public:
  const std::vector<RunEntry>& Entries() const { return entries_; }
};

// An order's country code as the hints read it. Orders come sorted by their
// country, so most orders read the code of the order before them.
struct OrderCountry {
  std::string stored;  // as the order holds it
  std::string code;    // NormalCode
  Country country;

  const OrderCountry& Of(std::string_view text) {
    if (text != stored) {
      stored = text;
      code = NormalCode(text);
      country = CountryOf(code);
    }
    return *this;
  }
};

// An order's country as a hint names it.
HintText Land(const RunEntry& order, const OrderCountry& of) {
  HintText text;
  text << "Land " << Quoted(order.country());
  if (of.country.state) text << " (" << of.country.state->name << ")";
  return text;
}

void UnknownCountryHint(HintList& hints, size_t index, const RunEntry& order,
                        const OrderCountry& of, bool) {
  if (of.code.empty() || of.country.kind != Country::Unknown) return;
  hints.Add(index, HintText() << Quoted(order.country())
                              << " ist kein bekannter L\xE4ndercode; der Umsatz wird als "
                                 "Inlandsumsatz in "
                              << FieldName(order.total)
                              << " gez\xE4hlt, bitte das Land des Kunden pr\xFC"
                                 "fen.");
}

void EuAsDomesticHint(HintList& hints, size_t index, const RunEntry& order, const OrderCountry& of,
                      bool) {
  if (order.total != TotalKind::Umsatz19 || of.country.kind != Country::EuMember) return;
  const bool hasVatId = !ReportedVatId(order.vatId()).empty();
  hints.Add(index, HintText() << Land(order, of)
                              << (hasVatId ? " mit USt-IdNr. wird als Inlandsumsatz in Kz 81 "
                                             "gez\xE4hlt; eine innergemeinschaftliche Lieferung an "
                                             "ein Unternehmen geh\xF6rt in Kz 41."
                                           : " ohne USt-IdNr. wird als Inlandsumsatz in Kz 81 "
                                             "gez\xE4hlt; bitte pr\xFC"
                                             "fen, ob der Kunde ein "
                                             "Privatkunde ist (dann richtig) oder ein Unternehmen, "
                                             "dessen USt-IdNr. fehlt."));
}

void NonEuAsDomesticHint(HintList& hints, size_t index, const RunEntry& order,
                         const OrderCountry& of, bool) {
  if (order.total != TotalKind::Umsatz19 || of.country.kind != Country::NonEu) return;
  hints.Add(index, HintText() << Land(order, of)
                              << " liegt au\xDF"
                                 "erhalb der EU und wird als Inlandsumsatz in "
                                 "Kz 81 gez\xE4hlt; bitte pr\xFC"
                                 "fen, ob eine steuerfreie "
                                 "Ausfuhr vorliegt, die nicht in Kz 81 geh\xF6rt.");
}

void NewVehiclesHint(HintList& hints, size_t index, const RunEntry& order, const OrderCountry& of,
                     bool) {
  if (order.total != TotalKind::InnergemOhneUStId) return;
  hints.Add(index, HintText() << Land(order, of)
                              << " ohne USt-IdNr. wird in Kz 44 gez\xE4hlt, die nur f\xFCr neue "
                                 "Fahrzeuge gilt; ein Verkauf an einen Privatkunden ist meist im "
                                 "Inland steuerpflichtig (Kz 81/86).");
}

void NonEuHint(HintList& hints, size_t index, const RunEntry& order, const OrderCountry&, bool) {
  if (order.total != TotalKind::NichtEU) return;
  hints.Add(index, HintText() << "Land " << Quoted(order.country()) << ": "
                              << FormatMoney(order.added)
                              << " Umsatz mit einem Kunden au\xDF"
                                 "erhalb der EU z\xE4hlt nur in "
                                 "der Summe Nicht EU der Liste; solche Ums\xE4tze geh\xF6ren in "
                                 "der Voranmeldung meist in Kz 43 oder Kz 45, die Vorlex nicht "
                                 "ausweist.");
}

void PartPaymentHint(HintList& hints, size_t index, const RunEntry& order, const OrderCountry&,
                     bool) {
  if (!order.partlyPaid) return;
  const int64_t received = std::llround(order.received * 100);
  const int64_t gross = std::llround(order.gross * 100);
  if (gross == 0 || received == 0 || std::llabs(received) >= std::llabs(gross)) return;
  hints.Add(index, HintText() << "nur teilweise bezahlt: " << FormatMoney(order.received) << " von "
                              << FormatMoney(order.gross) << " erhalten, gez\xE4hlt "
                              << "wird der ganze Betrag in " << FieldName(order.total)
                              << "; bei Ist-Versteuerung ist nur der erhaltene Betrag zu "
                                 "versteuern.");
}

void VatIdHints(HintList& hints, size_t index, const RunEntry& order, const OrderCountry& of,
                bool) {
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
                                << " hat nicht die Form einer USt-IdNr. (L\xE4nderk\xFCrzel und "
                                   "Nummer); bitte beim Kunden pr\xFC" "fen.");
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
                              << ", K\xFCrzel " << prefix
                              << "); bitte Land und USt-IdNr. des Kunden pr\xFC" "fen.");
}

void OrderRateHint(HintList& hints, size_t index, const RunEntry& order, const OrderCountry&,
                   bool exact) {
  if (exact || order.total != TotalKind::Umsatz19 || order.rate == 19) return;
  if (order.rate == 7) {
    hints.Add(index, HintText() << "Auftrag zu 7 % wird in Kz 81 (19 %) gez\xE4hlt; Umsatz zu "
                                   "7 % geh\xF6rt in Kz 86.");
  } else if (order.rate == 0) {
    hints.Add(index, HintText() << "Auftrag ohne Umsatzsteuer wird als steuerpflichtiger "
                                   "Umsatz in Kz 81 (19 %) gez\xE4hlt; bitte pr\xFC"
                                   "fen, ob der "
                                   "Umsatz steuerfrei ist.");
  } else {
    hints.Add(index, HintText() << "Auftrag zu " << FormatFloat(order.rate)
                                << " % wird in Kz 81 (19 %) gez\xE4hlt; bitte den Steuersatz "
                                   "pr\xFC"
                                   "fen.");
  }
}

void CreditNoteHint(HintList& hints, size_t index, const RunEntry& order, const OrderCountry&,
                    bool) {
  if (order.orderType != -99 || order.rate == 0) return;
  // The net amount of such a credit note is its stored invoice amount.
  const std::string field = FieldName(order.total);
  const std::string change = order.added <= 0
                                 ? " mindert " + field + " um " + FormatMoney(-order.added)
                                 : " erh\xF6ht " + field + " um " + FormatMoney(order.added);
  hints.Add(index, HintText() << "Gutschrift mit Umsatzsteuer" << change
                              << ", bewertet mit ihrem gespeicherten Rechnungsbetrag; bitte "
                                 "pr\xFC"
                                 "fen, ob dieser Betrag die Umsatzsteuer enth\xE4lt.");
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
  hints.AddUnlisted(index, HintText() << "hat kein g\xFCltiges " << date << " (Spalte " << column
                                      << ": " << Quoted(TruncateText(entry.dateText(), 40))
                                      << ") und fehlt deshalb in " << runs << ".");
}

// A VAT id of nothing but separators still puts the order into field 41, but
// the EC sales list has no number to report it under.
void EcSalesListHints(HintList& hints, size_t index, const RunEntry& order, const OrderCountry&,
                      bool) {
  if (EcSalesVatIdFault(order) != VatIdFault::Blank) return;
  hints.Add(index, HintText() << "USt-IdNr. " << Quoted(order.vatId())
                              << " enth\xE4lt keine Nummer; die Lieferung wird in Kz 41 "
                                 "gez\xE4hlt, kann so aber nicht in die Zusammenfassende "
                                 "Meldung; bitte die USt-IdNr. des Kunden eintragen.");
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
  hints.Add(index, HintText() << FormatMoney(taxFree)
                              << " Umsatz zu 0 % z\xE4hlt unter \"0 % / steuerfrei\"; Vorlex kann "
                                 "ihn keiner Kennzahl zuordnen: steuerfreie Ums\xE4tze mit "
                                 "Vorsteuerabzug geh\xF6ren z. B. in Kz 48, solche ohne in Kz 87; "
                                 "bitte pr\xFC" "fen.");
}

// Sales to customers in other member states without a VAT id, per calendar
// year of the run: past the threshold those countries' VAT applies.
void DistanceSalesHints(const std::vector<RunEntry>& entries, std::vector<Hint>& hints) {
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
    hints.push_back({-1, "Ums\xE4tze an Kunden ohne USt-IdNr. in anderen EU-Staaten " +
                             std::to_string(year) + " in diesem Zeitraum: " + FormatMoney(sum) +
                             ", mehr als die EU-weite Lieferschwelle von 10.000 Euro; "
                             "dann gilt die Umsatzsteuer der L\xE4nder der Kunden, "
                             "erkl\xE4rt \xFC" "ber den One-Stop-Shop (OSS), nicht in dieser "
                             "Voranmeldung."});
  }
}

}  // namespace

namespace {

void CashRateHint(HintList& hints, size_t index, const RunEntry& entry, const OrderCountry&, bool) {
  if (entry.total != TotalKind::None || entry.rate == 0) return;
  hints.Add(index, HintText() << "Steuersatz " << Db{entry.rateText()}
                              << " % z\xE4hlt in keine Kennzahl; bitte den Steuersatz pr\xFC"
                                 "fen "
                                 "(nur 0, 7 und 19 % werden ausgewertet).");
}

using Rule = void (*)(HintList&, size_t, const RunEntry&, const OrderCountry&, bool exact);

// In the order an order's hints are listed.
constexpr Rule kOrderRules[] = {
    UnknownCountryHint, EuAsDomesticHint, NonEuAsDomesticHint, NewVehiclesHint, NonEuHint,
    PartPaymentHint,    VatIdHints,       EcSalesListHints,    OrderRateHint,   CreditNoteHint};

// How a field that the exact classification adds to is named.
std::string ExactFieldName(TotalKind total) {
  if (total == TotalKind::Steuerfrei) return "\"0 % / steuerfrei\"";
  return FieldName(total);
}

// " Zuordnung genau: Kz 86": the fields that the exact classification gives
// the entry, with their amounts where it splits it.
std::string ExactEnding(const std::vector<EntryShare>& shares) {
  bool tax36 = false;
  std::vector<EntryShare> named;
  for (const EntryShare& share : shares) {
    if (share.total == TotalKind::Steuer36) {
      tax36 = true;
      continue;
    }
    const auto same = std::find_if(named.begin(), named.end(), [&](const EntryShare& n) {
      return ExactFieldName(n.total) == ExactFieldName(share.total);
    });
    if (same == named.end()) {
      named.push_back(share);
    } else {
      same->added += share.added;
    }
  }
  std::stable_sort(named.begin(), named.end(), [](const EntryShare& a, const EntryShare& b) {
    return std::fabs(a.added) > std::fabs(b.added);
  });
  std::string text = " Zuordnung genau: ";
  if (named.empty()) return text + "keine Kennzahl";
  for (size_t i = 0; i < named.size(); ++i) {
    if (i > 0) text += ", ";
    text += ExactFieldName(named[i].total);
    if (named.size() > 1) text += " " + FormatMoney(named[i].added);
  }
  if (tax36) text += named.size() > 1 ? ", Steuer in Kz 36" : " mit der Steuer in Kz 36";
  return text;
}

// A hint that a rule gave on an entry of a simple run, numbered first. Small,
// as a year's run notes tens of thousands.
struct Fired {
  uint32_t index;
  uint32_t first;
  Rule rule;
};

// Applies the rules to one entry; with fired, each rule that gives hints is
// noted there.
void ApplyRules(HintList& list, size_t index, const RunEntry& entry, const OrderCountry& of,
                bool exact, std::span<const Rule> rules, std::vector<Fired>* fired) {
  for (const Rule rule : rules) {
    const size_t first = list.Size();
    rule(list, index, entry, of, exact);
    for (size_t hint = first; fired != nullptr && hint < list.Size(); ++hint) {
      fired->push_back({static_cast<uint32_t>(index), static_cast<uint32_t>(hint), rule});
    }
  }
}

// A hint of the simple classification that the exact one would not give ends
// with what that does with its entry. Every entry is asked for at once, so
// that the lines of their orders are read in one pass.
void EndWithExactFields(HintList& list, const std::vector<Fired>& fired,
                        const ExactSharesOf& exactOf) {
  const std::vector<RunEntry>& entries = list.Entries();
  std::vector<const RunEntry*> asked;
  for (const Fired& f : fired) {
    if (asked.empty() || asked.back() != &entries[f.index]) asked.push_back(&entries[f.index]);
  }
  if (exactOf.prepare) exactOf.prepare(asked);
  std::optional<RunEntry> asExact;
  std::vector<EntryShare> shares;
  size_t made = SIZE_MAX;
  for (const Fired& f : fired) {
    const RunEntry& entry = entries[f.index];
    if (made != f.index) {
      made = f.index;
      shares = exactOf.of(entry);
      asExact = entry;
      if (shares.empty()) {
        asExact->total = TotalKind::None;  // the exact classification counts it nowhere
        asExact->SetShareList({});
      } else {
        SetShares(*asExact, shares);
      }
    }
    std::vector<Hint> probe;
    HintList probeList(entries, probe);
    OrderCountry country;
    f.rule(probeList, f.index, *asExact, country.Of(entry.country()), true);
    if (probe.empty()) list.EndWith(f.first, ExactEnding(shares));
  }
}

}  // namespace

std::vector<Hint> PlausibilityHints(const std::vector<RunEntry>& entries, double firstDay,
                                    double lastDay, Classification rules,
                                    const ExactSharesOf& exactOf) {
  const bool exact = rules == Classification::Exact;
  std::vector<Fired> fired;
  std::vector<Fired>* endings = !exact && exactOf ? &fired : nullptr;
  std::vector<Hint> hints;
  if (PeriodReversed(firstDay, lastDay)) {
    hints.push_back({-1, "Zeitraum vom " + FormatDate(firstDay) + " bis " + FormatDate(lastDay) +
                             ": der erste Tag liegt nach dem letzten, es wurde nichts "
                             "ausgewertet."});
  }
  HintList list(entries, hints);
  OrderCountry country;
  static constexpr Rule kCashRules[] = {CashRateHint};
  for (size_t i = 0; i < entries.size(); ++i) {
    const RunEntry& entry = entries[i];
    if (entry.kind == EntryKind::Order) {
      const OrderCountry& of = country.Of(entry.country());
      ApplyRules(list, i, entry, of, exact, kOrderRules, endings);
      if (exact) TaxFreeHint(list, i, entry);
    } else if (entry.kind == EntryKind::Undated) {
      UndatedHint(list, i, entry);
    } else if (entry.kind == EntryKind::Receipt || entry.kind == EntryKind::Expense) {
      ApplyRules(list, i, entry, country, exact, kCashRules, endings);
    }
  }
  if (!fired.empty()) EndWithExactFields(list, fired, exactOf);
  if (exact) DistanceSalesHints(entries, hints);
  return hints;
}

}  // namespace vorlex
