#include "tax/RunEntry.h"

#include <cstring>
#include <stdexcept>

namespace vorlex {

RunEntry::OwnBlock& RunEntry::OwnBlock::operator=(const OwnBlock& other) {
  if (this != &other) {
    Set({other.Text(0), other.Text(1), other.Text(2), other.Text(3), other.Text(4), other.Text(5)},
        other.Shares());
  }
  return *this;
}

const char* RunEntry::OwnBlock::TextsBegin() const {
  return reinterpret_cast<const char*>(bytes_.get()) + kSharesAt +
         Head().shares * sizeof(EntryShare);
}

std::string_view RunEntry::OwnBlock::Text(size_t i) const {
  if (!bytes_) return {};
  const Header& head = Head();
  const uint32_t begin = i == 0 ? 0 : head.ends[i - 1];
  return std::string_view(TextsBegin() + begin, head.ends[i] - begin);
}

std::span<const EntryShare> RunEntry::OwnBlock::Shares() const {
  if (!bytes_ || Head().shares == 0) return {};
  return {std::launder(reinterpret_cast<const EntryShare*>(bytes_.get() + kSharesAt)),
          Head().shares};
}

void RunEntry::OwnBlock::Set(const std::array<std::string_view, 6>& texts,
                             std::span<const EntryShare> shares) {
  size_t size = 0;
  for (const std::string_view text : texts) size += text.size();
  if (size > UINT32_MAX) throw std::length_error("RunEntry: texts longer than 4 GB");
  if (size == 0 && shares.empty()) {
    bytes_.reset();
    return;
  }
  // Made whole before the old block goes, which the texts may point into.
  std::unique_ptr<std::byte[]> block =
      std::make_unique_for_overwrite<std::byte[]>(kSharesAt + shares.size_bytes() + size);
  Header* head = new (block.get()) Header;
  head->shares = static_cast<uint32_t>(shares.size());
  auto* kept = reinterpret_cast<EntryShare*>(block.get() + kSharesAt);
  for (size_t i = 0; i < shares.size(); ++i) new (kept + i) EntryShare(shares[i]);
  char* out = reinterpret_cast<char*>(block.get() + kSharesAt + shares.size_bytes());
  size_t end = 0;
  for (size_t i = 0; i < texts.size(); ++i) {
    if (!texts[i].empty()) std::memcpy(out + end, texts[i].data(), texts[i].size());
    end += texts[i].size();
    head->ends[i] = static_cast<uint32_t>(end);
  }
  bytes_ = std::move(block);
}

bool RunEntry::AddsTo(TotalKind kind) const {
  const std::span<const EntryShare> shares = Shares();
  if (shares.empty()) return total == kind && kind != TotalKind::None;
  for (const EntryShare& share : shares) {
    if (share.total == kind) return true;
  }
  return false;
}

void RunEntry::SetTexts(const EntryTexts& texts) {
  block_.Set({texts.description, texts.customer, texts.country, texts.vatId, texts.rateText,
              texts.dateText},
             Shares());
}

void RunEntry::SetShareList(std::span<const EntryShare> shares) {
  if (shares.empty() && Shares().empty()) return;
  block_.Set({Text(0), Text(1), Text(2), Text(3), Text(4), Text(5)}, shares);
}

void RunEntry::SetText(std::string_view EntryTexts::*field, std::string_view text) {
  EntryTexts texts = Texts();
  texts.*field = text;
  SetTexts(texts);
}

}  // namespace vorlex
