// An entry's texts and shares travel with it: set in either order, from the
// entry's own texts or shares, copied and moved as the list grows.
#include "tax/RunEntry.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vorlex {
namespace {

const std::vector<EntryShare> kSplit = {{TotalKind::Umsatz19, 80.5}, {TotalKind::Umsatz7, 19.5}};

void ExpectEntry(const RunEntry& entry, const EntryTexts& texts,
                 const std::vector<EntryShare>& shares) {
  EXPECT_EQ(entry.description(), texts.description);
  EXPECT_EQ(entry.customer(), texts.customer);
  EXPECT_EQ(entry.country(), texts.country);
  EXPECT_EQ(entry.vatId(), texts.vatId);
  EXPECT_EQ(entry.rateText(), texts.rateText);
  EXPECT_EQ(entry.dateText(), texts.dateText);
  ASSERT_EQ(entry.Shares().size(), shares.size());
  for (size_t i = 0; i < shares.size(); ++i) {
    EXPECT_EQ(entry.Shares()[i].total, shares[i].total) << i;
    EXPECT_EQ(entry.Shares()[i].added, shares[i].added) << i;
  }
}

TEST(RunEntryTest, TextsAndSharesKeptTogetherWhateverIsSetFirst) {
  const EntryTexts texts{.description = "Rechnung 2024-001",
                         .customer = "Teestube Gruber",
                         .country = "A",
                         .vatId = "ATU12345678",
                         .rateText = "",
                         .dateText = std::string_view("ab\0c", 4)};
  struct Row {
    const char* name;
    bool sharesFirst;
    std::vector<EntryShare> shares;
  };
  const Row rows[] = {
      {"texts, then shares", false, kSplit},
      {"shares, then texts", true, kSplit},
      {"texts alone", false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RunEntry entry;
    if (row.sharesFirst) entry.SetShareList(row.shares);
    entry.SetTexts(texts);
    if (!row.sharesFirst) entry.SetShareList(row.shares);
    ExpectEntry(entry, texts, row.shares);

    // Copies stand on their own; a moved entry keeps everything.
    const RunEntry copy = entry;
    RunEntry assigned;
    assigned = copy;
    std::vector<RunEntry> list;
    list.push_back(std::move(entry));
    for (int i = 0; i < 100; ++i) list.push_back(assigned);  // the list moves them on
    ExpectEntry(copy, texts, row.shares);
    ExpectEntry(list.front(), texts, row.shares);
    ExpectEntry(list.back(), texts, row.shares);
  }
}

TEST(RunEntryTest, OwnTextsAndSharesSetAgain) {
  RunEntry entry;
  entry.SetTexts({.description = "Gutschrift 7", .customer = "Gruber"});
  entry.SetShareList(kSplit);
  // A text taken from the entry's own, and its own shares set again.
  entry.SetCustomer(entry.description().substr(0, 10));
  entry.SetShareList(entry.Shares());
  ExpectEntry(entry, {.description = "Gutschrift 7", .customer = "Gutschrift"}, kSplit);
  // No shares: the texts stay.
  entry.SetShareList({});
  ExpectEntry(entry, {.description = "Gutschrift 7", .customer = "Gutschrift"}, {});
  // Nothing at all.
  entry.SetTexts({});
  ExpectEntry(entry, {}, {});
  EXPECT_FALSE(entry.AddsTo(TotalKind::None));
}

TEST(RunEntryTest, ASplitEntryAddsToEachOfItsShares) {
  RunEntry entry;
  entry.total = TotalKind::Umsatz19;
  entry.added = 80.5;
  EXPECT_TRUE(entry.AddsTo(TotalKind::Umsatz19));
  EXPECT_FALSE(entry.AddsTo(TotalKind::Umsatz7));
  entry.SetShareList(kSplit);
  EXPECT_TRUE(entry.AddsTo(TotalKind::Umsatz7));
  double sum = 0;
  entry.ForEachShare([&sum](TotalKind, double added) { sum += added; });
  EXPECT_EQ(sum, 100.0);
}

}  // namespace
}  // namespace vorlex
