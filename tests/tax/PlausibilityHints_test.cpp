#include "tax/PlausibilityHints.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/util/FormatTest.h"
#include "util/uDatum.h"

namespace vorlex {
namespace {

const double kDay = EncodeDate(2024, 3, 5);

RunEntry Order(const char* land, const char* vatId, TotalKind total, double rate = 19,
               int64_t type = 0, double added = 100) {
  RunEntry e;
  e.kind = EntryKind::Order;
  e.id = 17;
  e.date = kDay;
  e.SetTexts({.customer = "Kunde", .country = land, .vatId = vatId});
  e.total = total;
  e.rate = rate;
  e.orderType = type;
  e.net = e.added = added;
  return e;
}

RunEntry Cash(EntryKind kind, const char* rateText, double rate, TotalKind total) {
  RunEntry e;
  e.kind = kind;
  e.date = kDay;
  e.SetTexts({.description = "Porto", .customer = "Post", .rateText = rateText});
  e.rate = rate;
  e.total = total;
  e.net = e.gross = e.added = 10;
  return e;
}

// One entry each; every hint it raises must contain its fragment, in order.
TEST(HintsTest, WhatEachEntryRaises) {
  using T = TotalKind;
  struct Row {
    const char* name;
    RunEntry entry;
    std::vector<std::string> fragments;
  };
  const Row rows[] = {
      // Nothing to say.
      {"domestic at 19 %", Order("D", "", T::Umsatz19), {}},
      {"empty country", Order("", "", T::Umsatz19), {}},
      {"DE with a German VAT id", Order("DE", "DE 123 456 789", T::Umsatz19), {}},
      {"A with an AT VAT id in 41", Order("A", "ATU63452871", T::InnergemMitUStId, 0), {}},
      {"E with an ES VAT id in 41", Order("E", "ESB86212420", T::InnergemMitUStId, 0), {}},
      {"LUX with a LU VAT id in 41", Order("LUX", "LU20165772", T::InnergemMitUStId, 0), {}},
      // Outside the EU: the list's sum only, and fields the program does not show.
      {"CH with a Swiss number",
       Order("CH", "CHE-116.281.710 MWST", T::NichtEU, 0),
       {"Land \"CH\": 100,00 Umsatz mit einem Kunden au\xDF"
        "erhalb der EU z\xE4hlt nur in der Summe Nicht EU"}},
      {"receipt at 19 %", Cash(EntryKind::Receipt, "19", 19, T::Umsatz19), {}},
      {"expense without VAT", Cash(EntryKind::Expense, "0", 0, T::None), {}},
      {"neither receipt nor expense", Cash(EntryKind::OtherCash, "16", 0, T::None), {}},
      {"credit note without VAT, in 81",
       Order("D", "", T::Umsatz19, 0, -99, -50),
       {"ohne Umsatzsteuer"}},
      // The rate of an order.
      {"domestic at 7 %", Order("D", "", T::Umsatz19, 7), {"zu 7 % wird in Kz 81 (19 %)"}},
      {"domestic without VAT", Order("", "", T::Umsatz19, 0), {"steuerfrei"}},
      {"domestic at 16 %", Order("D", "", T::Umsatz19, 16), {"Auftrag zu 16 % wird in Kz 81"}},
      // Member states counted as domestic, in every spelling.
      {"F with a French VAT id",
       Order("F", "FR40303265045", T::Umsatz19),
       {"Land \"F\" (Frankreich) mit USt-IdNr. wird als Inlandsumsatz in Kz 81"}},
      {"AT without VAT id", Order("AT", "", T::Umsatz19), {"(\xD6sterreich) ohne USt-IdNr."}},
      {"nl in lower case", Order("nl", "", T::Umsatz19), {"(Niederlande) ohne"}},
      {"L for Luxembourg", Order("L", "", T::Umsatz19), {"(Luxemburg)"}},
      {"EL with a Greek VAT id",
       Order("EL", "EL094259216", T::Umsatz19),
       {"(Griechenland) mit USt-IdNr."}},
      {"A with a blank after it", Order("A ", "", T::Umsatz19), {"(\xD6sterreich)"}},
      // Outside the EU, but counted as domestic.
      {"US without VAT",
       Order("US", "", T::Umsatz19, 0),
       {"au\xDF"
        "erhalb der EU",
        "steuerfrei"}},
      {"GB",
       Order("GB", "", T::Umsatz19),
       {"Land \"GB\" liegt au\xDF"
        "erhalb der EU"}},
      {"ch in lower case",
       Order("ch", "", T::Umsatz19),
       {"au\xDF"
        "erhalb der EU"}},
      // No country code at all.
      {"XY", Order("XY", "", T::Umsatz19), {"\"XY\" ist kein bekannter L\xE4ndercode"}},
      {"USA", Order("USA", "", T::Umsatz19), {"\"USA\" ist kein"}},
      // Field 44 without VAT id.
      {"A without VAT id in 44",
       Order("A", "", T::InnergemOhneUStId),
       {"(\xD6sterreich) ohne USt-IdNr. wird in Kz 44"}},
      {"E without VAT id in 44", Order("E", "", T::InnergemOhneUStId), {"(Spanien)"}},
      // VAT ids.
      {"A with a German VAT id",
       Order("A", "DE123456789", T::InnergemMitUStId, 0),
       {"passt nicht zu Land \"A\" (\xD6sterreich, K\xFCrzel AT)"}},
      {"D with an Austrian VAT id", Order("D", "ATU63452871", T::Umsatz19), {"K\xFCrzel DE"}},
      {"empty country with an Austrian VAT id",
       Order("", "ATU63452871", T::Umsatz19),
       {"zum leeren Land"}},
      {"GR for Greece with its prefix EL",
       Order("GR", "GR094259216", T::Umsatz19),
       {"(Griechenland) mit", "K\xFCrzel EL"}},
      {"too short", Order("A", "ATU1", T::InnergemMitUStId, 0), {"nicht die Form"}},
      {"a word", Order("D", "beantragt", T::Umsatz19), {"\"beantragt\" hat nicht die Form"}},
      // A credit note with VAT, valued from its invoice amount.
      {"credit note in 81",
       Order("D", "", T::Umsatz19, 19, -99, -119),
       {"Gutschrift mit Umsatzsteuer mindert Kz 81 um 119,00"}},
      {"credit note in 44",
       Order("E", "", T::InnergemOhneUStId, 19, -99, -119),
       {"Kz 44", "mindert Kz 44 um 119,00"}},
      // Cash-book rates that count nowhere.
      {"receipt at 16 %",
       Cash(EntryKind::Receipt, "16", 16, T::None),
       {"Steuersatz 16 % z\xE4hlt in keine Kennzahl"}},
      {"expense at 6.5 %", Cash(EntryKind::Expense, "6.5", 6.5, T::None), {"Steuersatz 6.5 %"}},
  };
  for (const Row& r : rows) {
    const std::vector<Hint> hints = PlausibilityHints({r.entry}, kDay, kDay, kGerman);
    ASSERT_EQ(hints.size(), r.fragments.size()) << r.name << ": "
                                                << (hints.empty() ? "" : hints[0].text);
    for (size_t i = 0; i < hints.size(); ++i) {
      EXPECT_EQ(hints[i].entry, 0) << r.name;
      EXPECT_NE(hints[i].text.find(r.fragments[i]), std::string::npos)
          << r.name << ": " << hints[i].text;
    }
  }
}

TEST(HintsTest, HintsNameTheirEntryAsErrorMessagesDo) {
  RunEntry longCash = Cash(EntryKind::Expense, "16", 16, TotalKind::None);
  longCash.SetDescription(std::string(41, 'x'));
  RunEntry anonymous = Order("XY", "", TotalKind::Umsatz19);
  anonymous.SetCustomer("");
  RunEntry invoice = Order("D", "", TotalKind::Umsatz19, 7);
  invoice.SetDescription("Rechnung 2024-017");
  // Without a date, and so without a line: named by its id.
  RunEntry undated = Order("D", "", TotalKind::None);
  undated.kind = EntryKind::Undated;
  undated.missingDate = MissingDate::Invoice;
  undated.SetCustomer("");
  undated.SetDateText(std::string(50, '?'));
  const std::vector<RunEntry> entries = {
      Order("D", "", TotalKind::Umsatz19),
      invoice,
      RunEntry{},
      Cash(EntryKind::Receipt, "16", 16, TotalKind::None),
      longCash,
      anonymous,
      undated,
  };
  const std::vector<Hint> hints = PlausibilityHints(entries, kDay, kDay + 30, kGerman);
  ASSERT_EQ(hints.size(), 5u);
  EXPECT_EQ(hints[4].entry, -1);
  EXPECT_EQ(hints[4].text, "Auftrag id 17 hat kein g\xFCltiges Rechnungsdatum (Spalte termin: \"" +
                               std::string(40, '?') +
                               "...\") und fehlt deshalb in jeder Soll-Auswertung.");
  EXPECT_EQ(hints[0].entry, 1);
  // An order by its description as the list shows it, never by its id.
  EXPECT_EQ(hints[0].text.rfind("Rechnung 2024-017 (Kunde): Auftrag zu 7 %", 0), 0u)
      << hints[0].text;
  EXPECT_EQ(hints[1].entry, 3);
  EXPECT_EQ(hints[1].text.rfind("Kassenbuch-Eintrag vom 05.03.2024 \"Porto\" (Post): ", 0), 0u)
      << hints[1].text;
  EXPECT_EQ(hints[2].entry, 4);
  EXPECT_EQ(hints[2].text.rfind("Kassenbuch-Eintrag vom 05.03.2024 \"" + std::string(40, 'x') +
                                    "...\" (Post): ",
                                0),
            0u)
      << hints[2].text;
  EXPECT_EQ(hints[3].entry, 5);
  EXPECT_EQ(hints[3].text.rfind("Auftrag ohne Bezeichnung vom 05.03.2024: ", 0), 0u)
      << hints[3].text;
}

TEST(HintsTest, AnOrderCountedWholeUnderIstThoughPaidInPart) {
  const auto paid = [](double gross, bool partly, double received) {
    RunEntry e = Order("D", "", TotalKind::Umsatz19, 19, 0, 53.40);
    e.gross = gross;
    e.partlyPaid = partly;
    e.received = received;
    return PlausibilityHints({e}, kDay, kDay, kGerman);
  };
  const std::vector<Hint> part = paid(63.55, true, 31.78);
  ASSERT_EQ(part.size(), 1u);
  EXPECT_NE(part[0].text.find("nur teilweise bezahlt: 31,78 von 63,55 erhalten"), std::string::npos)
      << part[0].text;
  EXPECT_NE(part[0].text.find("in Kz 81; bei Ist-Versteuerung ist nur der erhaltene Betrag zu "
                              "versteuern."),
            std::string::npos)
      << part[0].text;
  EXPECT_TRUE(paid(63.55, false, 0).empty());      // marked paid in full
  EXPECT_TRUE(paid(63.55, true, 63.55).empty());   // all of it received
  EXPECT_TRUE(paid(63.55, true, 63.554).empty());  // to the cent
  EXPECT_TRUE(paid(63.55, true, 80).empty());      // more than the invoice: nothing "partly"
}

TEST(HintsTest, OneEncodingForTheWholeHint) {
  struct Row {
    const char* name;
    const char* customer;
    const char* description;
    const char* expectedStart;
  };
  const Row rows[] = {
      {"Windows-1252 names", "M\xFCller", "B\xFC" "cher",
       "Kassenbuch-Eintrag vom 05.03.2024 \"B\xFC" "cher\" (M\xFCller): Steuersatz 16 % z\xE4hlt"},
      {"UTF-8 name", "L\xC3\xB3pez", "Tee",
       "Kassenbuch-Eintrag vom 05.03.2024 \"Tee\" (L\xC3\xB3pez): Steuersatz 16 % z\xC3\xA4hlt"},
      {"UTF-8 name, Windows-1252 description", "L\xC3\xB3pez", "B\xFC" "cher",
       "Kassenbuch-Eintrag vom 05.03.2024 \"B\xC3\xBC" "cher\" (L\xC3\xB3pez): Steuersatz 16 % "
       "z\xC3\xA4hlt"},
  };
  for (const Row& r : rows) {
    RunEntry entry = Cash(EntryKind::Receipt, "16", 16, TotalKind::None);
    entry.SetCustomer(r.customer);
    entry.SetDescription(r.description);
    const std::vector<Hint> hints = PlausibilityHints({entry}, kDay, kDay, kGerman);
    ASSERT_EQ(hints.size(), 1u) << r.name;
    EXPECT_EQ(hints[0].text.rfind(r.expectedStart, 0), 0u) << r.name << ": " << hints[0].text;
  }
}

TEST(HintsTest, APeriodThatEndsBeforeItBegins) {
  const std::vector<RunEntry> none;
  EXPECT_TRUE(
      PlausibilityHints(none, kDay, kDay + 0.75, kGerman).empty());  // one day, a time of day
  const std::vector<Hint> hints =
      PlausibilityHints({Order("D", "", TotalKind::Umsatz19, 7)}, kDay + 1, kDay, kGerman);
  ASSERT_EQ(hints.size(), 2u);
  EXPECT_EQ(hints[0].entry, -1);
  EXPECT_EQ(hints[0].text.rfind("Zeitraum vom 06.03.2024 bis 05.03.2024: der erste Tag liegt nach",
                                0),
            0u)
      << hints[0].text;
  EXPECT_EQ(hints[1].entry, 0);
}

TEST(HintsTest, VatIdShape) {
  for (const char* good : {"ATU63452871", "DE 123 456 789", "BE 0123.456.789", "IE1234567WA",
                           "IE1+23456B", "fr40303265045", "NL123456789B01"}) {
    EXPECT_TRUE(HasVatIdShape(good)) << good;
  }
  for (const char* bad : {"", "AT", "ATU1", "1234567890", "beantragt", "DE123456789012345",
                          "DE12345/678", "D123456789"}) {
    EXPECT_FALSE(HasVatIdShape(bad)) << bad;
  }
}

}  // namespace
}  // namespace vorlex
