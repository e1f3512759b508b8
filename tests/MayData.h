// A small trader's May 2026, the month both front ends evaluate in the window
// and fault tests: one builder for what every such test shares, and a named
// addition for what only one group's assertions rely on.
#pragma once

#include <string>

#include "testdb/PelmoraDb.h"
#include "util/uDatum.h"

namespace vorlex::testing {

inline double MayDay(int day) {
  return EncodeDate(2026, 5, day);
}

// Meier at home and Huber in Austria with a VAT id; shelves for Meier,
// invoiced on the 3rd and paid on the 10th; a cash sale of 100.00 at 19 % on
// the 8th; the trader's VAT id.
inline void FillMay(testdb::PelmoraDb& db) {
  using namespace testdb;
  db.Begin();
  db.Add(Customer{.id = 1, .name = "Meier", .land = "D"});
  db.Add(Customer{.id = 2, .name = "Huber", .land = "A", .ust_id = "ATU12345678"});
  db.Add(Order{.id = 1,
               .besitzerindex = 1,
               .termin = MayDay(3),
               .bezahltam = MayDay(10),
               .bezeichnung = "Regale",
               .skonto = 0.0});
  db.Add(Line{.auftragindex = 1, .anzahl = 2.0, .preis = 50.0});
  db.Add(CashEntry{.besitzerindex = 1,
                   .neinaus = 0,
                   .termin = MayDay(8),
                   .bezeichnung = "Barverkauf",
                   .betrag = 100.0,
                   .mwst = 19.0});
  db.SetVatId("DE123456789");
  db.Commit();
}

// The fault tests' May: orders that count under "Ist" and under "Soll" (a
// delivery to Vienna at 0 %, a credit note), an expense for paper at 7 % from
// "Papier Schmitt", and extraOrders further orders spread over the month.
inline void AddMayFaultEntries(testdb::PelmoraDb& db, int extraOrders = 0) {
  using namespace testdb;
  db.Begin();
  db.Add(Supplier{.id = 1, .name = "Papier Schmitt"});
  db.Add(Order{.id = 2,
               .besitzerindex = 2,
               .termin = MayDay(5),
               .bezahltam = MayDay(12),
               .bezeichnung = "Lieferung Wien",
               .mwst = 0.0});
  db.Add(Line{.auftragindex = 2, .anzahl = 1.0, .preis = 500.0, .mwst = 0.0});
  db.Add(Order{.id = 3,
               .besitzerindex = 1,
               .termin = MayDay(7),
               .bezahltam = MayDay(14),
               .bezeichnung = "Gutschrift",
               .auftragstyp = -99,
               .rechbetrag = -11.9});
  db.Add(Line{.auftragindex = 3, .anzahl = 1.0, .preis = 10.0});
  for (int i = 0; i < extraOrders; ++i) {
    db.Add(Order{.id = 100 + i,
                 .besitzerindex = 1 + i % 2,
                 .termin = MayDay(1) + i % 28,
                 .bezahltam = MayDay(1) + i % 28,
                 .bezeichnung = "Posten " + std::to_string(i)});
    db.Add(Line{.auftragindex = 100 + i, .anzahl = 1.0 + i % 3, .preis = 10.0 + i});
  }
  db.Add(CashEntry{.lieferantindex = 1,
                   .neinaus = 1,
                   .termin = MayDay(9),
                   .bezeichnung = "Papier",
                   .betrag = 20.0,
                   .mwst = 7.0});
  db.Commit();
}

// The window tests' May and a little around it: customers in Spain (a UTF-8
// name) and Switzerland (a Windows-1252 one), the delivery to Vienna invoiced
// in April and paid in May, an unpaid order, an export in June, receipts and
// expenses at both rates.
inline void AddMayWindowEntries(testdb::PelmoraDb& db) {
  using namespace testdb;
  db.Begin();
  db.Add(Customer{.id = 3, .name = "García", .land = "E"});
  db.Add(Customer{.id = 4, .name = "M\xFCller AG", .land = "CH"});
  db.Add(Supplier{.id = 1, .name = "B\xFCrobedarf Schmitt"});
  db.Add(Order{.id = 102,
               .besitzerindex = 2,
               .termin = EncodeDate(2026, 4, 20),
               .bezahltam = MayDay(5),
               .bezeichnung = "Lieferung Wien"});
  db.Add(Line{.auftragindex = 102, .anzahl = 1.0, .preis = 500.0});
  db.Add(Order{.id = 103,
               .besitzerindex = 3,
               .bezahlt = 0,
               .termin = MayDay(15),
               .bezeichnung = "Pedido"});
  db.Add(Line{.auftragindex = 103, .anzahl = 3.0, .preis = 20.0});
  db.Add(Order{.id = 104,
               .besitzerindex = 4,
               .termin = EncodeDate(2026, 6, 2),
               .bezahltam = EncodeDate(2026, 6, 3),
               .bezeichnung = "Export"});
  db.Add(Line{.auftragindex = 104, .anzahl = 1.0, .preis = 80.0});
  db.Add(CashEntry{.besitzerindex = 1,
                   .neinaus = 0,
                   .termin = MayDay(8),
                   .bezeichnung = "Bücher",
                   .betrag = 50.0,
                   .mwst = 7.0});
  db.Add(CashEntry{.lieferantindex = 1,
                   .neinaus = 1,
                   .termin = MayDay(12),
                   .bezeichnung = "Papier",
                   .betrag = 200.0,
                   .mwst = 19.0});
  db.Add(CashEntry{.lieferantindex = 1,
                   .neinaus = 1,
                   .termin = MayDay(13),
                   .bezeichnung = "Zeitschrift",
                   .betrag = 10.0,
                   .mwst = 7.0});
  db.Commit();
}

}  // namespace vorlex::testing
