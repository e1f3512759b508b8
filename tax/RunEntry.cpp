#include "tax/RunEntry.h"

#include <cstring>
#include <stdexcept>

namespace vorlex {

RunEntry::TextBlock& RunEntry::TextBlock::operator=(const TextBlock& other) {
  if (this != &other)
    Set({other.Text(0), other.Text(1), other.Text(2), other.Text(3), other.Text(4), other.Text(5)});
  return *this;
}

void RunEntry::TextBlock::Set(const std::array<std::string_view, 6>& texts) {
  size_t size = 0;
  for (const std::string_view text : texts) size += text.size();
  if (size > UINT32_MAX) throw std::length_error("RunEntry: texts longer than 4 GB");
  std::unique_ptr<char[]> joined =
      size > 0 ? std::make_unique_for_overwrite<char[]>(size) : nullptr;
  size_t end = 0;
  for (size_t i = 0; i < texts.size(); ++i) {
    if (!texts[i].empty()) std::memcpy(joined.get() + end, texts[i].data(), texts[i].size());
    end += texts[i].size();
    ends_[i] = static_cast<uint32_t>(end);
  }
  bytes_ = std::move(joined);
}

bool RunEntry::AddsTo(TotalKind kind) const {
  if (!shares) return total == kind && kind != TotalKind::None;
  for (const EntryShare& share : *shares) {
    if (share.total == kind) return true;
  }
  return false;
}

void RunEntry::SetTexts(const EntryTexts& texts) {
  texts_.Set({texts.description, texts.customer, texts.country, texts.vatId, texts.rateText,
              texts.dateText});
}

void RunEntry::SetText(std::string_view EntryTexts::*field, std::string_view text) {
  EntryTexts texts = Texts();
  texts.*field = text;
  SetTexts(texts);
}

}  // namespace vorlex
