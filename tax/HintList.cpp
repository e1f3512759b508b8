#include "tax/HintList.h"

#include <algorithm>

#include "tax/FieldRead.h"
#include "tax/FormFields.h"
#include "util/DateText.h"
#include "util/uString.h"

namespace vorlex::hints {

std::string FieldName(TotalKind total) {
  if (const int field = FormFieldOf(total)) return FieldTag(field);
  return total == TotalKind::NichtEU ? "die Summe Nicht EU" : "keine Kennzahl";
}

std::string HintText::Bytes() const {
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

HintText HintList::Name(const RunEntry& entry) const {
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
      text << "Auftrag ohne Bezeichnung vom " << FormatDate(entry.date, format_);
    }
  } else if (entry.kind == EntryKind::Undated) {
    text << "Kassenbuch-Eintrag " << Quoted(TruncateText(entry.description(), 40));
  } else {
    // Its own words are ASCII, the same bytes in either encoding.
    text << Db{CashEntryPlace(FormatDate(entry.date, format_), entry.description())};
  }
  if (!entry.customer().empty()) text << " (" << Db{entry.customer()} << ")";
  return text;
}

HintText Land(const RunEntry& order, const OrderCountry& of) {
  HintText text;
  text << "Land " << Quoted(order.country());
  if (of.country.state) text << " (" << of.country.state->name << ")";
  return text;
}

}  // namespace vorlex::hints
