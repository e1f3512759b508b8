// Values Pelmora should not hold in the columns Vorlex reads: both front ends
// give either the right lines and figures or the conversion error naming
// column and row, and never crash.
#include <string>
#include <vector>

#include "tests/MayData.h"
#include "tests/reliability/Harness.h"

namespace vorlex::testing {
namespace {

using testdb::Value;

const std::string kMegabyte = [] {
  std::string text = "Sehr lange Beschreibung ";
  while (text.size() < (1u << 20)) text += "und noch mehr Text ";
  return text;
}();

// Which column of which rows of May gets the value.
struct Cell {
  const char* table;
  const char* column;
  const char* where;
};
const Cell kReceiptAmount{"kasse", "betrag", "bezeichnung = 'Barverkauf'"};
const Cell kExpenseAmount{"kasse", "betrag", "bezeichnung = 'Papier'"};
const Cell kReceiptRate{"kasse", "mwst", "bezeichnung = 'Barverkauf'"};
const Cell kReceiptDirection{"kasse", "neinaus", "bezeichnung = 'Barverkauf'"};
const Cell kExpenseDirection{"kasse", "neinaus", "bezeichnung = 'Papier'"};
const Cell kReceiptText{"kasse", "bezeichnung", "bezeichnung = 'Barverkauf'"};
const Cell kReceiptCustomer{"kasse", "besitzerindex", "bezeichnung = 'Barverkauf'"};
const Cell kEntryDates{"kasse", "termin", "1"};
const Cell kSupplierName{"lieferant", "name", "1"};
const Cell kShelfId{"auftrag", "id", "id = 1"};
const Cell kShelfRate{"auftrag", "mwst", "id = 1"};
const Cell kShelfDiscount{"auftrag", "skonto", "id = 1"};
const Cell kShelfText{"auftrag", "bezeichnung", "id = 1"};
const Cell kShelfPaidPart{"auftrag", "davonbezahlt", "id = 1"};
const Cell kShelfBin{"auftrag", "papierkorb", "id = 1"};
const Cell kShelfPrice{"verbindauftrag", "preis", "auftragindex = 1"};
const Cell kShelfQuantity{"verbindauftrag", "anzahl", "auftragindex = 1"};
const Cell kShelfLineRate{"verbindauftrag", "mwst", "auftragindex = 1"};
const Cell kPaymentDates{"auftrag", "bezahltam", "1"};
const Cell kCreditKind{"auftrag", "auftragstyp", "id = 3"};
const Cell kCreditTotal{"auftrag", "rechbetrag", "id = 3"};
const Cell kViennaCountry{"besitzer", "land", "id = 2"};
const Cell kViennaVatId{"besitzer", "ust_id", "id = 2"};
const Cell kViennaName{"besitzer", "name", "id = 2"};
const Cell kMeierName{"besitzer", "name", "id = 1"};
const Cell kTradersVatId{"settingsmandant", "ustidnummer", "1"};

// Read all the same: the output holds these lines (as the terminal shows
// them) and lacks those texts.
struct Works {
  const char* name;
  Cell cell;
  Value value;
  std::vector<std::string> holds;
  std::vector<std::string> lacks = {};
  testdb::Schema schema = {};
};

// Not a number where one is needed: the conversion error naming the column and
// the row.
struct Fails {
  const char* name;
  Cell cell;
  Value value;
  const char* place;
  testdb::Schema schema = {};  // declared types other than the usual ones
};

const char* const kReceipt = "Kassenbuch-Eintrag vom 08.05.2026 \"Barverkauf\"";

class BadValueTest : public FaultTest {
 protected:
  // May 2026 with one cell spoilt.
  void Make(const Cell& cell, const Value& value, const testdb::Schema& schema = {}) {
    testdb::WriteSettingsFile(PelmoraDir() + "pelmora.ini", "Daten", "vorlex.db");
    fs::create_directories(PelmoraDir() + "Daten");
    const std::string path = PelmoraDir() + "Daten/vorlex.db";
    {
      testdb::PelmoraDb db(path, schema);
      FillMay(db);
      AddMayFaultEntries(db);
    }
    SetColumn(path, cell.table, cell.column, value, cell.where);
  }

  void Check(const Works& row) {
    SCOPED_TRACE(row.name);
    Make(row.cell, row.value, row.schema);
    const std::string out = ExpectBothWork();
    for (const std::string& text : row.holds) {
      EXPECT_NE(out.find(text), std::string::npos) << text << "\n" << out.substr(0, 3000);
    }
    for (const std::string& text : row.lacks) EXPECT_EQ(out.find(text), std::string::npos) << text;
    form.reset();
    Database.reset();
  }

  void Check(const Fails& row) {
    SCOPED_TRACE(row.name);
    Make(row.cell, row.value, row.schema);
    ExpectBothFail("Typkonvertierung von Variant ung\xC3\xBCltig: \"",
                   std::string("(Spalte ") + row.cell.column + ", " + row.place + ")\n");
  }
};

TEST_F(BadValueTest, CashBookValuesThatRead) {
  const Works rows[] = {
      {"NULL amount",
       kReceiptAmount,
       nullptr,
       {"|   Barverkauf   |   Meier   |   0,00   |   19%", "Umsatz St.satz 19 v.H:  88,10"}},
      {"German decimal comma in the amount",
       kReceiptAmount,
       "12,50",
       {"|   Barverkauf   |   Meier   |   12,50   |   19%"}},
      {"amount beyond 32 bits",
       kReceiptAmount,
       int64_t{4294967297},
       {"|   Barverkauf   |   Meier   |   4294967297,00   |   19%"}},
      {"amount 1e12",
       kReceiptAmount,
       1e12,
       {"|   1000000000000,00   |   19%", "Umsatz St.satz 19 v.H:  1000000000088,10"}},
      {"amount -1e12",
       kExpenseAmount,
       -1e12,
       {"|   Papier   |   Papier Schmitt   |   -1000000000000,00   |   7%",
        "Vorst. 7%:  -70000000000,00"}},
      {"NULL rate",
       kReceiptRate,
       nullptr,
       {"|   Barverkauf   |   Meier   |   100,00   |   0%", "Umsatz St.satz 19 v.H:  88,10"}},
      {"NULL direction",
       kExpenseDirection,
       nullptr,
       {"E   |   09.05.2026   |   Papier   |      |   20,00   |   7%"}},
      // With the 32-bit cut this would be a receipt (0).
      {"direction beyond 32 bits",
       kReceiptDirection,
       int64_t{4294967296},
       {"?   |   08.05.2026   |   Barverkauf   |   Meier   |   100,00   |   19%",
        "Umsatz St.satz 19 v.H:  88,10"}},
      {"NULL date", kEntryDates, nullptr, {}, {"Barverkauf", "Papier   |"}},
      // Not listed, and a hint says why.
      {"letters in the date",
       kEntryDates,
       "gestern",
       {"Kassenbuch-Eintrag \"Barverkauf\" (Meier) hat kein g\xC3\xBCltiges Datum (Spalte "
        "termin: \"gestern\") und fehlt deshalb in jeder Auswertung."},
       {"|   Barverkauf   |", "|   Papier   |"}},
      {"NULL description",
       kReceiptText,
       nullptr,
       {"E   |   08.05.2026   |      |   Meier   |   100,00   |   19%"}},
      {"number as description", kReceiptText, 12345, {"|   12345   |   Meier   |"}},
      {"zero byte in the description",
       kReceiptText,
       std::string("Bar\0verkauf", 11),
       {"|   Bar   |   Meier   |"}},
      {"invalid UTF-8 in the description",
       kReceiptText,
       "Bar\xFF\xFE",
       {"|   Bar\xC3\xBF\xC3\xBE   |   Meier   |"}},
      {"a description of 1 MB",
       kReceiptText,
       kMegabyte,
       {"|   " + kMegabyte.substr(0, 40) + "...   |   Meier   |"}},
      {"letters as customer key",
       kReceiptCustomer,
       "eins",
       {"|   Barverkauf   |      |   100,00   |   19%"}},
      {"NULL supplier name", kSupplierName, nullptr, {"|   Papier   |      |   20,00   |   7%"}},
  };
  for (const Works& row : rows) Check(row);
}

TEST_F(BadValueTest, CashBookValuesThatAreNoNumber) {
  const Fails rows[] = {
      {"letters in the amount", kReceiptAmount, "zehn", kReceipt},
      {"letters in the rate", kReceiptRate, "neunzehn", kReceipt},
      {"letters in the direction", kReceiptDirection, "ein", kReceipt},
      {"NULL amount declared as text", kReceiptAmount, nullptr, kReceipt, {.amountType = "TEXT"}},
  };
  for (const Fails& row : rows) Check(row);
}

TEST_F(BadValueTest, OrderValuesThatRead) {
  const Works rows[] = {
      // Without a rate the order carries no VAT; its lines' VAT makes the gross.
      {"NULL rate", kShelfRate, nullptr, {"|   Regale   |   Meier   |   100,00   |   119,00"}},
      // Read as the text it is stored as, whatever the column's declared type.
      {"German decimal comma in a rate declared as integer",
       kShelfRate,
       "19,5",
       {"|   Regale   |   Meier   |   100,00   |   119,50"},
       {},
       {.amountType = "INTEGER"}},
      {"NULL cash discount",
       kShelfDiscount,
       nullptr,
       {"|   Regale   |   Meier   |   100,00   |   119,00"}},
      // With the 32-bit cut this would be a credit note (-99).
      {"kind beyond 32 bits",
       kCreditKind,
       int64_t{4294967296LL - 99},
       {"|   Gutschrift   |   Meier   |   10,00   |   11,90"}},
      {"NULL invoice total of a credit note",
       kCreditTotal,
       nullptr,
       {"|   Gutschrift   |   Meier   |   0,00   |   0,00"}},
      {"invoice total -1e12",
       kCreditTotal,
       -1e12,
       {"|   Gutschrift   |   Meier   |   -1000000000000,00   |   1190000000000,00"}},
      {"NULL payment date", kPaymentDates, nullptr, {}, {"Regale", "Gutschrift"}},
      {"letters in the paid part", kShelfPaidPart, "halb", {"|   Regale   |"}},
      {"NULL recycle-bin flag", kShelfBin, nullptr, {}, {"Regale"}},
      {"a description of 1 MB",
       kShelfText,
       kMegabyte,
       {"|   " + kMegabyte.substr(0, 40) + "...   |   Meier   |"}},
      {"zero byte in the description",
       kShelfText,
       std::string("\0Regale", 7),
       {"E   |   10.05.2026   |      |   Meier   |   100,00   |   119,00"}},
      {"NULL price", kShelfPrice, nullptr, {"|   Regale   |   Meier   |   0,00   |   0,00"}},
      {"NULL quantity", kShelfQuantity, nullptr, {"|   Regale   |   Meier   |   0,00   |   0,00"}},
      {"NULL line rate",
       kShelfLineRate,
       nullptr,
       {"|   Regale   |   Meier   |   100,00   |   119,00"}},
      {"NULL description", kShelfText, nullptr, {"E   |   10.05.2026   |      |   Meier   |"}},
      {"NULL kind", kCreditKind, nullptr, {"|   Gutschrift   |   Meier   |   10,00   |   11,90"}},
      {"NULL customer name", kMeierName, nullptr, {"|   Regale   |      |   100,00   |"}},
      {"letters in the payment date",
       kPaymentDates,
       "gestern",
       {"Regale (Meier) hat kein g\xC3\xBCltiges Zahlungsdatum (Spalte bezahltam: \"gestern\") "
        "und fehlt deshalb in jeder Ist-Auswertung.",
        "Gutschrift (Meier) hat kein"},
       {"|   Regale   |", "|   Gutschrift   |"}},
      {"price beyond 32 bits",
       kShelfPrice,
       int64_t{4294967297},
       {"|   Regale   |   Meier   |   8589934594,00   |   10222022166,86"}},
      {"quantity 1e12",
       kShelfQuantity,
       1e12,
       {"|   Regale   |   Meier   |   50000000000000,00   |   59500000000000,00"}},
      {"NULL country",
       kViennaCountry,
       nullptr,
       {"|   Lieferung Wien   |   Huber   |   500,00   |   500,00"}},
      {"number as country", kViennaCountry, 12345, {"|   Huber (12345, UStID=ATU12345678)   |"}},
      {"NULL VAT number",
       kViennaVatId,
       nullptr,
       {"|   Huber (A, UStID=)   |", "Innergem. Lief. ohne USt-IdNr:  500,00"}},
      {"invalid UTF-8 in a name",
       kMeierName,
       "M\xE9ier\xFF",
       {"|   Regale   |   M\xC3\xA9ier\xC3\xBF   |"}},
      {"a name of 1 MB",
       kViennaName,
       kMegabyte,
       {"|   " + kMegabyte + " (A, UStID=ATU12345678)   |"}},
      {"NULL trader's VAT number", kTradersVatId, nullptr, {"|   Regale   |"}},
      {"a trader's VAT number of 1 MB", kTradersVatId, kMegabyte, {"|   Regale   |"}},
  };
  for (const Works& row : rows) Check(row);
}

TEST_F(BadValueTest, OrderValuesThatAreNoNumber) {
  const Fails rows[] = {
      {"letters in the rate", kShelfRate, "neunzehn", "Auftrag id 1"},
      {"letters in the cash discount", kShelfDiscount, "drei", "Auftrag id 1"},
      {"letters in the kind", kCreditKind, "gut", "Auftrag id 3"},
      {"letters in the invoice total", kCreditTotal, "elf", "Auftrag id 3"},
      {"NULL rate declared as text", kShelfRate, nullptr, "Auftrag id 1", {.amountType = "TEXT"}},
      {"letters in the order id", kShelfId, "eins", "Auftrag id eins", {.keyType = "INT"}},
  };
  for (const Fails& row : rows) Check(row);
}

// The quantity, price and rate of a line follow the rules of every other
// number cell, whether the lines are read through their index or not: the
// order "Regale" has one line of 2 x 50.00 at 19 %.
TEST_F(BadValueTest, TextInAnOrdersLine) {
  const testdb::Schema noIndex{.lineIndex = false};
  const testdb::Schema asText{.amountType = "VARCHAR(20)"};
  const std::string asStored = "|   Regale   |   Meier   |   100,00   |   119,00";
  const Works works[] = {
      {"decimal comma in the price", kShelfPrice, "50,00", {asStored}},
      {"decimal comma in the price, no index", kShelfPrice, "50,00", {asStored}, {}, noIndex},
      {"decimal point in a price declared as text", kShelfPrice, "50.00", {asStored}, {}, asText},
      {"decimal comma in the quantity",
       kShelfQuantity,
       "2,5",
       {"|   Regale   |   Meier   |   125,00   |   148,75"}},
      {"decimal comma in the rate", kShelfLineRate, "19,0", {asStored}},
      {"blank price", kShelfPrice, "", {"|   Regale   |   Meier   |   0,00   |   0,00"}},
      {"blanks as the quantity",
       kShelfQuantity,
       "   ",
       {"|   Regale   |   Meier   |   0,00   |   0,00"},
       {},
       noIndex},
  };
  for (const Works& row : works) Check(row);
  const char* const lines = "Positionen von Auftrag id 1";
  const Fails fails[] = {
      {"letters in the price", kShelfPrice, "zehn", lines},
      {"letters in the price, no index", kShelfPrice, "zehn", lines, noIndex},
      {"a unit after the price", kShelfPrice, "12 EUR", lines},
      {"thousands separator in the price", kShelfPrice, "1.234,56", lines, asText},
      {"only a sign as the quantity", kShelfQuantity, "+", lines},
      {"letters in the rate", kShelfLineRate, "neunzehn", lines, noIndex},
  };
  for (const Fails& row : fails) Check(row);
}

TEST_F(BadValueTest, AnErrorNamesALongDescriptionByItsBeginning) {
  Make(kReceiptAmount, "zehn");
  SetColumn(PelmoraDir() + "Daten/vorlex.db", "kasse", "bezeichnung", kMegabyte,
            "bezeichnung = 'Barverkauf'");
  ExpectBothFail("Typkonvertierung von Variant ung\xC3\xBCltig: \"zehn\" (Spalte betrag, ",
                 "Kassenbuch-Eintrag vom 08.05.2026 \"" + kMegabyte.substr(0, 40) + "...\")\n");
}

}  // namespace
}  // namespace vorlex::testing
