// What the plausibility rules write their hints with: the sentence of a hint
// in the program's words and the database's texts, the list that names each
// hint's entry first, and an order's country as the rules read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tax/CountryCodes.h"
#include "tax/PlausibilityHints.h"
#include "tax/RunEntry.h"
#include "util/FormatSettings.h"

namespace vorlex::hints {

// How the field an order went into is named.
std::string FieldName(TotalKind total);

// A database text inside a hint; shown in quotes when quoted.
struct Db {
  std::string_view text;
  bool quoted = false;
};
inline Db Quoted(std::string_view text) {
  return {text, true};
}

// A hint's text from the program's own words (Windows-1252) and texts of the
// database (Windows-1252 or UTF-8). When a database text is UTF-8 beyond
// ASCII, the whole text becomes UTF-8, so that it reads right when decoded as
// one.
class HintText {
 public:
  HintText& operator<<(std::string_view program) {
    bytes_ += program;
    return *this;
  }
  HintText& operator<<(Db db) {
    if (db.quoted) bytes_ += '"';
    AppendDb(db.text);
    if (db.quoted) bytes_ += '"';
    return *this;
  }
  HintText& operator<<(const HintText& other);

  std::string Bytes() const;

 private:
  void AppendDb(std::string_view text);

  // Every part back to back; where the database's texts lie in it.
  struct DbPart {
    uint32_t begin;
    uint32_t end;
  };
  std::string bytes_;
  std::vector<DbPart> dbParts_;
  bool utf8_ = false;  // a database text is UTF-8 beyond ASCII
};

class HintList {
 public:
  // format: how the hints write amounts and dates.
  HintList(const std::vector<RunEntry>& entries, std::vector<Hint>& hints,
           const FormatSettings& format)
      : entries_(entries), hints_(hints), format_(format) {}

  void Add(size_t index, const HintText& sentence) {
    HintText text = Name(entries_[index]);
    text << ": " << sentence;
    hints_.push_back({static_cast<int32_t>(index), text.Bytes()});
  }

  const std::vector<RunEntry>& Entries() const { return entries_; }
  const FormatSettings& Format() const { return format_; }
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
  HintText Name(const RunEntry& entry) const;

  const std::vector<RunEntry>& entries_;
  std::vector<Hint>& hints_;
  const FormatSettings& format_;
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
HintText Land(const RunEntry& order, const OrderCountry& of);

// One rule: appends the hints it gives on the entry at index; exact: the run
// used the exact classification.
using Rule = void (*)(HintList&, size_t, const RunEntry&, const OrderCountry&, bool exact);

}  // namespace vorlex::hints
