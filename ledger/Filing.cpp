#include "ledger/Filing.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <tuple>

#include "ledger/FiledPeriods.h"
#include "tax/EcSalesList.h"
#include "tax/FormFields.h"
#include "tax/Prepayment.h"
#include "util/DateText.h"
#include "util/MoneyText.h"
#include "util/NumberText.h"
#include "util/ProgramText.h"
#include "util/uDatum.h"

namespace vorlex {

namespace {

bool IsFiledKind(EntryKind kind) {
  return kind == EntryKind::Order || kind == EntryKind::Receipt || kind == EntryKind::Expense ||
         kind == EntryKind::OtherCash;
}

bool IsCash(const FiledEntry& e) {
  return e.kind != EntryKind::Order;
}

int64_t Cents(double value) {
  return ShownCents(value).value_or(0);
}

std::string Money(double value, const FormatSettings& format) {
  return FormatCents(Cents(value), format);
}

// Whether two day numbers fall on the same day, whatever their times.
bool SameDay(double a, double b) {
  return DecodeDate(a) == DecodeDate(b);
}

// As the list names an entry: an order by its description, a cash-book entry
// by its description and day.

std::string EntryName(const FiledEntry& e, const FormatSettings& format) {
  if (!IsCash(e)) {
    return e.description.empty() ? "Auftrag " + std::to_string(e.id) : e.description;
  }
  return "Kassenbuch " + e.description + " (" + FormatDate(e.date, format) + ")";
}

std::string NameOrNone(const std::string& name) {
  return name.empty() ? "(ohne)" : name;
}

// "Rechnung 2026-017: 200,00 statt 100,00; Kunde Huber statt Gruber", or
// empty when the entry is as filed.
std::string ChangeLine(const FiledEntry& was, const FiledEntry& is, const FormatSettings& format) {
  std::vector<std::string> parts;
  const auto differ = [](double a, double b) { return Cents(a) != Cents(b); };
  if (differ(is.net, was.net)) {
    parts.push_back(Money(is.net, format) + " statt " + Money(was.net, format));
  } else if (differ(is.gross, was.gross)) {
    parts.push_back("brutto " + Money(is.gross, format) + " statt " + Money(was.gross, format));
  }
  if (is.rate != was.rate) {
    parts.push_back(FormatFloat(is.rate, format) + " % statt " + FormatFloat(was.rate, format) +
                    " %");
  }
  if (is.field != was.field) {
    const auto tag = [](int field) {
      return field != 0 ? FieldTag(field) : std::string("keine Kz");
    };
    parts.push_back(tag(is.field) + " statt " + tag(was.field));
  } else if (parts.empty() && differ(is.added, was.added)) {
    parts.push_back("in " + FieldTag(is.field) + " " + Money(is.added, format) + " statt " +
                    Money(was.added, format));
  }
  if (!SameDay(is.date, was.date)) {
    parts.push_back("Datum " + FormatDate(is.date, format) + " statt " +
                    FormatDate(was.date, format));
  }
  if (is.customer != was.customer) {
    parts.push_back(std::string(is.kind == EntryKind::Expense ? "Lieferant " : "Kunde ") +
                    NameOrNone(is.customer) + " statt " + NameOrNone(was.customer));
  }
  if (!IsCash(is) && is.description != was.description) {
    parts.push_back("bisher " + NameOrNone(was.description));
  }
  if (parts.empty()) return {};
  std::string line = EntryName(is, format) + ":";
  for (size_t i = 0; i < parts.size(); ++i) line += (i == 0 ? " " : "; ") + parts[i];
  return line;
}

// Orders by their id; a cash-book entry by what the list shows of it.
using Key = std::tuple<int, int64_t, std::string, std::string>;
Key KeyOf(const FiledEntry& e) {
  if (!IsCash(e)) return {0, e.id, {}, {}};
  return {static_cast<int>(e.kind), 0, e.description, e.customer};
}

}  // namespace

Filing FilingOfRun(const TTaxPeriod& period, TaxationBasis basis,
                   const std::vector<RunEntry>& entries, const TaxTotals& totals) {
  Filing filing;
  filing.periodKind = period.PeriodKind;
  filing.firstDay = period.FirstDay;
  filing.lastDay = period.LastDay;
  filing.basis = basis;
  const std::optional<Prepayment> prepayment = PrepaymentOf(totals);
  for (size_t i = 0; i < kFiledFieldCount; ++i) {
    const int number = kFiledFields[i];
    if (number == 83) {
      if (prepayment) filing.cents[i] = prepayment->due;
    } else if (number == 39) {
      filing.cents[i] = totals.field39;
    } else {
      filing.cents[i] = ShownCents(FigureOf(FormFieldNumbered(number), totals));
    }
  }
  for (size_t i = 0; i < kFurtherFiledCount; ++i) {
    filing.further[i] = ShownCents(FigureOf(kFurtherFields[i], totals));
  }
  for (const RunEntry& entry : entries) {
    if (!IsFiledKind(entry.kind)) continue;
    filing.entries.push_back({entry.kind, entry.id, entry.date, std::string(entry.description()),
                              std::string(entry.customer()), entry.rate, entry.net, entry.gross,
                              entry.added, FormFieldOf(entry.total)});
  }
  return filing;
}

FilingChanges CompareWithFiling(const Filing& filed, const Filing& now,
                                const FormatSettings& format) {
  FilingChanges changes;
  changes.filedOn = filed.filedOn;
  for (size_t i = 0; i < kFiledFieldCount; ++i) {
    changes.all[i] = {kFiledFields[i], filed.cents[i], now.cents[i]};
    if (filed.cents[i] != now.cents[i]) changes.figures.push_back(changes.all[i]);
  }
  // A filing of the simple rules has its further figures at 0; one recorded
  // before they were kept has none, and differs from no run in them.
  if (ClassificationOfText(filed.classification).Exact()) {
    for (size_t i = 0; i < kFurtherFiledCount; ++i) {
      const FigureChange change = {FigureKey(kFurtherFields[i]), filed.further[i], now.further[i]};
      if (!change.filed && !change.now) continue;
      changes.further.push_back(change);
      if (change.filed && change.filed != change.now) changes.figures.push_back(change);
    }
  }

  // The filed entries not yet matched, by key, in their order.
  std::multimap<Key, size_t> open;
  for (size_t i = 0; i < filed.entries.size(); ++i) open.emplace(KeyOf(filed.entries[i]), i);
  std::vector<const FiledEntry*> match(now.entries.size(), nullptr);
  const auto take = [&](size_t n, auto accept) {
    auto [from, to] = open.equal_range(KeyOf(now.entries[n]));
    for (auto it = from; it != to; ++it) {
      if (accept(filed.entries[it->second])) {
        match[n] = &filed.entries[it->second];
        open.erase(it);
        return;
      }
    }
  };
  // A cash-book entry on its own day first, so that two alike on different
  // days keep their own; then whatever is left of the same key.
  for (size_t n = 0; n < now.entries.size(); ++n) {
    if (IsCash(now.entries[n])) {
      take(n, [&](const FiledEntry& e) { return SameDay(e.date, now.entries[n].date); });
    }
  }
  for (size_t n = 0; n < now.entries.size(); ++n) {
    if (match[n] == nullptr) take(n, [](const FiledEntry&) { return true; });
  }
  // A cash-book entry whose customer or supplier alone changed.
  for (size_t n = 0; n < now.entries.size(); ++n) {
    const FiledEntry& entry = now.entries[n];
    if (match[n] != nullptr || !IsCash(entry)) continue;
    for (auto it = open.begin(); it != open.end(); ++it) {
      const FiledEntry& was = filed.entries[it->second];
      if (was.kind == entry.kind && was.description == entry.description &&
          SameDay(was.date, entry.date)) {
        match[n] = &was;
        open.erase(it);
        break;
      }
    }
  }
  for (size_t n = 0; n < now.entries.size(); ++n) {
    const FiledEntry& entry = now.entries[n];
    if (match[n] == nullptr) {
      changes.entries.push_back(EntryName(entry, format) + " neu");
    } else if (std::string line = ChangeLine(*match[n], entry, format); !line.empty()) {
      changes.entries.push_back(std::move(line));
    }
  }
  std::vector<size_t> removed;
  for (const auto& [key, index] : open) removed.push_back(index);
  std::sort(removed.begin(), removed.end());
  for (const size_t index : removed) {
    changes.entries.push_back(EntryName(filed.entries[index], format) + " nicht mehr enthalten");
  }
  return changes;
}

namespace {

// "+100,00", "-10,00", "0,00"; empty where one side cannot be shown.
std::string Difference(const FigureChange& change, const FormatSettings& format) {
  if (!change.filed || !change.now) return {};
  const int64_t difference = *change.now - *change.filed;
  return (difference > 0 ? "+" : "") + FormatCents(difference, format);
}

std::string CentsText(const std::optional<int64_t>& cents, const FormatSettings& format) {
  return cents ? FormatCents(*cents, format) : "-";
}

}  // namespace

std::vector<std::string> CorrectedReturnLines(const FilingChanges& changes,
                                              const FormatSettings& format) {
  if (changes.figures.empty()) return {};
  std::vector<std::string> lines = {"Berichtigte Anmeldung (Kz 10: 1)"};
  const auto add = [&](const FigureChange& field) {
    const std::string difference = Difference(field, format);
    lines.push_back(FigureTag(field.field) + ": " + CentsText(field.now, format) + " | abgegeben " +
                    CentsText(field.filed, format) + " | " +
                    (difference.empty() ? "-" : difference));
  };
  for (const FigureChange& field : changes.all) add(field);
  for (const FigureChange& field : changes.further) add(field);
  return lines;
}

std::string FilingStatusLine(const FilingChanges& changes, const FormatSettings& format) {
  const std::string day =
      FormatDate(changes.filedOn, format) +
      (changes.filedRules.empty() ? "" : " (Zuordnung " + changes.filedRules + ")");
  if (!changes.Changed()) return "Abgegeben am " + day + " – unverändert"_cp1252;
  std::string line = "Seit der Abgabe am " + day + " geändert: "_cp1252;
  if (changes.figures.empty()) {
    const size_t n = changes.entries.size();
    return line + std::to_string(n) + (n == 1 ? " Eintrag" : " Einträge"_cp1252) +
           ", Kennzahlen gleich";
  }
  for (size_t i = 0; i < changes.figures.size(); ++i) {
    const FigureChange& change = changes.figures[i];
    const std::string difference = Difference(change, format);
    line += (i == 0 ? "" : ", ") + FigureTag(change.field) + " " +
            (difference.empty() ? "nicht berechenbar" : difference);
  }
  return line;
}

bool SameClassification(const Filing& filed, const Filing& run) {
  return ClassificationOfText(filed.classification) == ClassificationOfText(run.classification);
}

std::string FiledPeriodName(const Filing& filing) {
  const CalendarDate first = DecodeDate(filing.firstDay);
  char name[32];
  if (filing.periodKind == TPeriodKind::Monat) {
    std::snprintf(name, sizeof name, "%04d-%02d", first.year, first.month);
  } else {
    std::snprintf(name, sizeof name, "%04d-Q%d", first.year, (first.month - 1) / 3 + 1);
  }
  return name;
}

bool SameTrader(const Filing& filed, const Filing& run) {
  const std::string filedId = ReportedVatId(filed.vatId);
  const std::string runId = ReportedVatId(run.vatId);
  if (!filedId.empty() && !runId.empty()) return filedId == runId;
  return filed.pelmoraPath == run.pelmoraPath;
}

}  // namespace vorlex
