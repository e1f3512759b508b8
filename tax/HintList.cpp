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

void HintText::AppendDb(std::string_view text) {
  const auto begin = static_cast<uint32_t>(bytes_.size());
  bytes_ += text;
  dbParts_.push_back({begin, static_cast<uint32_t>(bytes_.size())});
  if (!utf8_ && std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; })) {
    utf8_ = IsValidUtf8(text);
  }
}

HintText& HintText::operator<<(const HintText& other) {
  const auto offset = static_cast<uint32_t>(bytes_.size());
  bytes_ += other.bytes_;
  for (const DbPart& part : other.dbParts_) {
    dbParts_.push_back({part.begin + offset, part.end + offset});
  }
  utf8_ = utf8_ || other.utf8_;
  return *this;
}

std::string HintText::Bytes() const {
  if (!utf8_) return bytes_;
  // The program's words, and a database text that is no UTF-8, converted.
  const std::string_view all(bytes_);
  std::string out;
  out.reserve(bytes_.size() + 16);
  size_t at = 0;
  for (const DbPart& part : dbParts_) {
    out += Windows1252ToUtf8(all.substr(at, part.begin - at));
    const std::string_view db = all.substr(part.begin, part.end - part.begin);
    if (IsValidUtf8(db)) {
      out += db;
    } else {
      out += Windows1252ToUtf8(db);
    }
    at = part.end;
  }
  out += Windows1252ToUtf8(all.substr(at));
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
