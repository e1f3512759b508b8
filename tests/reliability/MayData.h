// A small trader's May 2026, the month the campaign's front ends evaluate:
// orders that count under "Ist" and under "Soll", a credit note, a receipt and
// an expense, and the trader's VAT identification number.
#pragma once

#include "testdb/PelmoraDb.h"
#include "util/uDatum.h"

namespace vorlex::testing {

inline void FillMay(testdb::PelmoraDb& db, int extraOrders = 0) {
  using namespace testdb;
  const double may = EncodeDate(2026, 5, 1);
  db.Begin();
  db.Add(Customer{.id = 1, .name = "Meier", .land = "D"});
  db.Add(Customer{.id = 2, .name = "Huber", .land = "A", .ust_id = "ATU12345678"});
  db.Add(Supplier{.id = 1, .name = "Papier Schmitt"});
  db.Add(Order{.id = 1,
               .besitzerindex = 1,
               .termin = may + 2,
               .bezahltam = may + 9,
               .bezeichnung = "Regale",
               .skonto = 0.0});
  db.Add(Line{.auftragindex = 1, .anzahl = 2.0, .preis = 50.0});
  db.Add(Order{.id = 2,
               .besitzerindex = 2,
               .termin = may + 4,
               .bezahltam = may + 11,
               .bezeichnung = "Lieferung Wien",
               .mwst = 0.0});
  db.Add(Line{.auftragindex = 2, .anzahl = 1.0, .preis = 500.0, .mwst = 0.0});
  db.Add(Order{.id = 3,
               .besitzerindex = 1,
               .termin = may + 6,
               .bezahltam = may + 13,
               .bezeichnung = "Gutschrift",
               .auftragstyp = -99,
               .rechbetrag = -11.9});
  db.Add(Line{.auftragindex = 3, .anzahl = 1.0, .preis = 10.0});
  for (int i = 0; i < extraOrders; ++i) {
    db.Add(Order{.id = 100 + i,
                 .besitzerindex = 1 + i % 2,
                 .termin = may + i % 28,
                 .bezahltam = may + i % 28,
                 .bezeichnung = "Posten " + std::to_string(i)});
    db.Add(Line{.auftragindex = 100 + i, .anzahl = 1.0 + i % 3, .preis = 10.0 + i});
  }
  db.Add(CashEntry{.besitzerindex = 1,
                   .neinaus = 0,
                   .termin = may + 7,
                   .bezeichnung = "Barverkauf",
                   .betrag = 100.0,
                   .mwst = 19.0});
  db.Add(CashEntry{.lieferantindex = 1,
                   .neinaus = 1,
                   .termin = may + 8,
                   .bezeichnung = "Papier",
                   .betrag = 20.0,
                   .mwst = 7.0});
  db.SetVatId("DE123456789");
  db.Commit();
}

}  // namespace vorlex::testing
