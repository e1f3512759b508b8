#include "output/FilingRecordText.h"

#include <cmath>
#include <cstdio>

#include "ledger/FiledPeriods.h"
#include "output/FilingText.h"
#include "tax/FormFields.h"
#include "util/DateText.h"
#include "util/MoneyText.h"
#include "util/ProgramText.h"
#include "util/uDatum.h"

namespace vorlex {

namespace {

std::string IsoDay(double day) {
  const CalendarDate date = DecodeDate(std::floor(day));
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

int64_t Cents(double value) {
  return ShownCents(value).value_or(0);
}

// The value as the portal's field took it: turnovers in whole euros.
std::string TypedValue(int field, const std::optional<int64_t>& cents) {
  if (!cents) return "-";
  const FormField* form = FindFormField(field);
  const bool wholeEuros = form != nullptr && form->wholeEuros;
  return PortalValue(
      {field, false, form != nullptr ? EnteredCents(*form, *cents) : *cents, wholeEuros});
}

std::string EntryText(const FiledEntry& e) {
  if (e.kind != EntryKind::Order) return "Kassenbuch " + e.description;
  return e.description.empty() ? "Auftrag " + std::to_string(e.id) : e.description;
}

}  // namespace

std::string FingerprintInput(const Filing& filing) {
  std::string text;
  for (const FiledEntry& e : filing.entries) {
    for (const std::string& cell :
         {std::to_string(static_cast<int>(e.kind)), std::to_string(e.id), IsoDay(e.date),
          e.description, e.customer, std::to_string(std::llround(e.rate * 100)),
          std::to_string(Cents(e.net)), std::to_string(Cents(e.gross)),
          std::to_string(Cents(e.added)), std::to_string(e.field)}) {
      text += cell;
      text += '\x1F';
    }
    text += '\n';
  }
  return text;
}

std::vector<RecordLine> FilingRecordLines(const Filing& filing, const std::string& fingerprint,
                                          const FormatSettings& format) {
  std::vector<RecordLine> lines;
  const auto add = [&lines](RecordStyle style, std::vector<std::string> cells) {
    lines.push_back({style, std::move(cells)});
  };
  const bool corrected = filing.corrects != 0;
  add(RecordStyle::Title, {"Umsatzsteuer-Voranmeldung " + FiledPeriodName(filing) +
                           (corrected ? " – Berichtigte Anmeldung"_cp1252 : "")});
  add(RecordStyle::Field, {"USt-IdNr.", filing.vatId.empty() ? "(keine)" : filing.vatId});
  add(RecordStyle::Field,
      {"Zeitraum", FiledPeriodName(filing) + " (" + FormatDate(filing.firstDay, format) + " bis " +
                       FormatDate(filing.lastDay, format) + ")"});
  add(RecordStyle::Field, {"Versteuerung", BasisText(filing.basis)});
  const ClassificationChoice choice = ClassificationOfText(filing.classification);
  add(RecordStyle::Field,
      {"Einteilung",
       std::string(ClassificationName(choice.rules)) +
           (choice.sales == ForeignSales::Services && choice.Exact() ? " (Leistungen ins Ausland)"
                                                                     : "")});
  add(RecordStyle::Field, {"Abgegeben am", FormatDate(filing.filedOn, format)});
  add(RecordStyle::Field, {"Transferticket", filing.ticket.empty() ? "(keines)" : filing.ticket});
  if (!filing.note.empty()) add(RecordStyle::Field, {"Notiz", filing.note});

  add(RecordStyle::Heading, {"Kennzahlen, wie im Portal eingegeben"});
  if (corrected) add(RecordStyle::Field, {FieldTag(10) + " (Berichtigte Anmeldung)", "1"});
  for (size_t i = 0; i < kFiledFieldCount; ++i) {
    add(RecordStyle::Field,
        {FieldTag(kFiledFields[i]), TypedValue(kFiledFields[i], filing.cents[i])});
  }
  // The further figures of the exact classification, as they were filed.
  if (choice.Exact()) {
    for (size_t i = 0; i < kFurtherFiledCount; ++i) {
      if (!filing.further[i]) continue;
      const FormField& field = kFurtherFields[i];
      add(RecordStyle::Field, {FurtherFieldTag(field), TypedValue(field.number, filing.further[i])});
    }
  }

  const size_t count = filing.entries.size();
  add(RecordStyle::Heading, {"Einträge ("_cp1252 + std::to_string(count) + ")"});
  add(RecordStyle::Columns, {"Datum", "Eintrag", "Name", "Kz", "Betrag"});
  for (const FiledEntry& e : filing.entries) {
    add(RecordStyle::Entry,
        {FormatDate(e.date, format), EntryText(e), e.customer,
         e.field != 0 ? std::to_string(e.field) : "-", FormatCents(Cents(e.added), format)});
  }
  add(RecordStyle::Heading, {"Nachweis"});
  add(RecordStyle::Field, {"Prüfsumme der Einträge"_cp1252,
                           fingerprint});
  add(RecordStyle::Field, {"Pelmora-Datenbank", filing.pelmoraPath});
  add(RecordStyle::Field, {"Erstellt mit", "Vorlex " + filing.programVersion});
  return lines;
}

}  // namespace vorlex
