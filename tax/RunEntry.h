// One entry of an evaluation run as data: an order or a cash-book entry with
// what it was read as and which total its amount went to, or the divider
// between two groups of entries.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <string_view>
#include <vector>

namespace vorlex {

enum class EntryKind : uint8_t {
  Order,      // a sale
  Receipt,    // a cash-book receipt
  Expense,    // a cash-book expense
  OtherCash,  // a cash-book entry that is neither; it counts nowhere
  Separator,  // the divider between two groups
  // An order or cash-book entry that no period selects, as its date is text
  // that is no number: it has no line, counts nowhere and only its hint names
  // it. These come after all others.
  Undated,
};

// Which date an Undated entry lacks.
enum class MissingDate : uint8_t {
  None,
  Payment,  // an order's bezahltam, under "Ist"
  Invoice,  // an order's termin, under "Soll"
  Cash,     // a cash-book entry's termin
};

// Which of the run's seven totals an entry's amount went to.
enum class TotalKind : uint8_t {
  None,
  NichtEU,
  InnergemOhneUStId,
  InnergemMitUStId,
  Umsatz19,
  Umsatz7,
  Vorsteuer7,
  Vorsteuer19,
  // Only the exact classification fills these.
  Leistungen21,     // Kz 21: services to a business in another member state
  Umsatz35,         // Kz 35: turnover at another rate above 0
  Steuer36,         // Kz 36: the tax of Kz 35
  Ausfuhr43,        // Kz 43: goods exported out of the EU
  Ausland45,        // Kz 45: services supplied abroad
  Steuerfrei,       // turnover at 0 %, which no field of Vorlex takes
  VorsteuerAndere,  // input tax at rates other than 7 and 19 %, part of Kz 66
};

// What went into one total, where an entry's amount is split over several.
struct EntryShare {
  TotalKind total = TotalKind::None;
  double added = 0;
};

// The texts of an entry as stored, not cut.
struct EntryTexts {
  std::string_view description = {};
  std::string_view customer = {};  // the name the list shows
  std::string_view country = {};   // the customer's country code (orders)
  std::string_view vatId = {};     // the customer's VAT identification number (orders)
  std::string_view rateText = {};  // a cash entry's rate as stored, shown as read
  std::string_view dateText = {};  // an Undated entry's date as stored
};

struct RunEntry {
  EntryKind kind = EntryKind::Separator;
  TotalKind total = TotalKind::None;
  bool partlyPaid = false;  // see received
  MissingDate missingDate = MissingDate::None;  // of an Undated entry
  int64_t id = 0;         // the order's id; 0 for the cash book
  int64_t orderType = 0;  // auftragstyp of an order; -99 is a credit note
  double date = 0;        // day number: payment or invoice date by basis; the cash book's date
  double rate = 0;        // VAT rate in percent (0 where a cash entry's rate was not read)
  double net = 0;         // an order's net amount; a cash entry's amount
  double gross = 0;       // an order's gross amount; a cash entry's amount
  double added = 0;       // what went into the total: net turnover, a receipt, input tax
  // An order counted by its payment date (Ist) that is not marked paid in
  // full: what has come in of its gross amount.
  double received = 0;

  // An order that the exact classification splits over several totals (its
  // lines at several rates, or turnover and tax of Kz 35/36): every share,
  // the first one being total and added. Empty for every other entry.
  std::span<const EntryShare> Shares() const { return block_.Shares(); }
  // The shares may be this entry's own.
  void SetShareList(std::span<const EntryShare> shares);

  // Calls f(total, added) for every total the entry added to.
  template <class F>
  void ForEachShare(F&& f) const {
    const std::span<const EntryShare> shares = Shares();
    if (shares.empty()) {
      if (total != TotalKind::None) f(total, added);
      return;
    }
    for (const EntryShare& share : shares) f(share.total, share.added);
  }
  // Whether any of its amount went into total.
  bool AddsTo(TotalKind kind) const;

  // The six texts, as stored.
  std::string_view description() const { return Text(0); }
  std::string_view customer() const { return Text(1); }
  std::string_view country() const { return Text(2); }
  std::string_view vatId() const { return Text(3); }
  std::string_view rateText() const { return Text(4); }
  std::string_view dateText() const { return Text(5); }
  EntryTexts Texts() const { return {Text(0), Text(1), Text(2), Text(3), Text(4), Text(5)}; }
  // The views may point into this entry's own texts.
  void SetTexts(const EntryTexts& texts);

  void SetDescription(std::string_view text) { SetText(&EntryTexts::description, text); }
  void SetCustomer(std::string_view text) { SetText(&EntryTexts::customer, text); }
  void SetCountry(std::string_view text) { SetText(&EntryTexts::country, text); }
  void SetVatId(std::string_view text) { SetText(&EntryTexts::vatId, text); }
  void SetRateText(std::string_view text) { SetText(&EntryTexts::rateText, text); }
  void SetDateText(std::string_view text) { SetText(&EntryTexts::dateText, text); }

  bool IsCash() const {
    return kind == EntryKind::Receipt || kind == EntryKind::Expense || kind == EntryKind::OtherCash;
  }

 private:
  // A year holds a hundred thousand entries, and the list moves them all
  // whenever it grows: what an entry holds beyond its numbers lies in one
  // block of its own, of just its size (where each text ends and how many
  // shares there are, the shares, then the six texts back to back), and no
  // block at all where all of it is empty. Copied whole with the entry.
  class OwnBlock {
   public:
    OwnBlock() = default;
    OwnBlock(const OwnBlock& other) { *this = other; }
    OwnBlock& operator=(const OwnBlock& other);
    OwnBlock(OwnBlock&& other) noexcept = default;
    OwnBlock& operator=(OwnBlock&& other) noexcept = default;
    ~OwnBlock() = default;

    std::string_view Text(size_t i) const;
    std::span<const EntryShare> Shares() const;
    // The texts and shares may point into this block.
    void Set(const std::array<std::string_view, 6>& texts, std::span<const EntryShare> shares);

   private:
    struct Header {
      std::array<uint32_t, 6> ends{};  // of each text, from the first one's start
      uint32_t shares = 0;
    };
    // The shares follow the header at their own alignment.
    static constexpr size_t kSharesAt =
        (sizeof(Header) + alignof(EntryShare) - 1) / alignof(EntryShare) * alignof(EntryShare);

    const Header& Head() const { return *std::launder(reinterpret_cast<const Header*>(bytes_.get())); }
    const char* TextsBegin() const;

    std::unique_ptr<std::byte[]> bytes_;
  };

  std::string_view Text(size_t i) const { return block_.Text(i); }
  void SetText(std::string_view EntryTexts::*field, std::string_view text);

  OwnBlock block_;
};

}  // namespace vorlex
