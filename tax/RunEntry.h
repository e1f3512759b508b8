// One entry of an evaluation run as data: an order or a cash-book entry with
// what it was read as and which total its amount went to, or the divider
// between two groups of entries.
#pragma once

#include <cstdint>
#include <string>

namespace vorlex {

enum class EntryKind : uint8_t {
  Order,      // a sale
  Receipt,    // a cash-book receipt
  Expense,    // a cash-book expense
  OtherCash,  // a cash-book entry that is neither; it counts nowhere
  Separator,  // the divider between two groups
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
};

struct RunEntry {
  EntryKind kind = EntryKind::Separator;
  TotalKind total = TotalKind::None;
  int64_t id = 0;         // the order's id; 0 for the cash book
  int64_t orderType = 0;  // auftragstyp of an order; -99 is a credit note
  double date = 0;        // day number: payment or invoice date by basis; the cash book's date
  double rate = 0;        // VAT rate in percent (0 where a cash entry's rate was not read)
  double net = 0;         // an order's net amount; a cash entry's amount
  double gross = 0;       // an order's gross amount; a cash entry's amount
  double added = 0;       // what went into the total: net turnover, a receipt, input tax
  // An order counted by its payment date (Ist) that is not marked paid in
  // full: what has come in of its gross amount.
  bool partlyPaid = false;
  double received = 0;
  std::string description;  // as stored, not cut
  std::string customer;     // the name the list shows
  std::string country;      // the customer's country code (orders)
  std::string vatId;        // the customer's VAT identification number (orders)
  std::string rateText;     // a cash entry's rate as stored, shown as read

  bool IsCash() const {
    return kind == EntryKind::Receipt || kind == EntryKind::Expense || kind == EntryKind::OtherCash;
  }
};

}  // namespace vorlex
