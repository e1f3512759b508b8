#include "demo/DemoData.h"
#include "testdb/SplitMix64.h"

#include <cmath>
#include <cstdint>
#include <ctime>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "testdb/PelmoraDb.h"
#include "util/Platform.h"

namespace vorlex::demo {

namespace fs = std::filesystem;
using testdb::CashEntry;
using testdb::Customer;
using testdb::Line;
using testdb::Order;
using testdb::PelmoraDb;
using testdb::Supplier;

namespace {

class Rng : public testdb::SplitMix64 {
 public:
  using SplitMix64::SplitMix64;
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
  // Whole cents between two euro amounts.
  double Euros(int from, int to) { return (from * 100 + Below((to - from) * 100 + 1)) / 100.0; }
};

double RoundToCents(double value) {
  return std::round(value * 100.0) / 100.0;
}

// Older records were written by Pelmora in Windows-1252, newer ones in UTF-8,
// as in a database that has been kept for years.
struct CustomerRow {
  const char* name;
  const char* vorname;
  const char* kundennr;
  const char* land;
  const char* ustId;
};
constexpr CustomerRow kCustomers[] = {
    {"B\xE4"
     "ckerei Schr\xF6"
     "der",
     "", "K-1001", "D", ""},
    {"Weinhaus K\xFC"
     "hn",
     "", "K-1002", "D", ""},
    {"Lehmann",
     "J\xFC"
     "rgen",
     "K-1003", "D", ""},
    {"Hoffmann Feinkost KG", "", "K-1004", "D", ""},
    {"Teehaus Z\xFC"
     "rich AG",
     "", "K-1005", "CH", "CHE-116.281.710 MWST"},
    {"Teestube Gruber", "", "K-1006", "A", "ATU63452871"},
    {"\xC9"
     "picerie Fine Weber",
     "", "K-1007", "LUX", "LU20165772"},
    {"Caf\xC3\xA9 Sonnenschein GmbH", "", "K-1008", "D", ""},
    {"Buchhandlung \xC3\x96"
     "lmann",
     "", "K-1009", "D", ""},
    {"Pichler", "Anna", "K-1010", "A", ""},
    {"Casa del T\xC3\xA9 S.L.", "", "K-1011", "E", "ESB86212420"},
    {"L\xC3\xB3pez Garc\xC3\xAD"
     "a",
     "Mar\xC3\xAD"
     "a",
     "K-1012", "E", ""},
    {"Barverkauf", "", "K-0000", "D", ""},
};
constexpr int kBakery = 1;
constexpr int kCafe = 8;
constexpr int kCashSales = 13;
// Customer ids as often as they order: the German regulars most.
constexpr int kOrderingCustomers[] = {1, 1, 1, 2, 2, 3, 4, 4, 5, 6, 6, 7, 8, 8, 9, 10, 11, 12};

constexpr const char* kSuppliers[] = {
    "Gro\xDF"
    "handel Nordtee GmbH",
    "Verpackung Kr\xC3\xA4"
    "mer",
    "Tankstelle am Ring",
    "Deutsche Post",
    "Buchhandlung \xC3\x96"
    "lmann",
    "Zeltbau M\xFC"
    "ller",
};
enum SupplierId { kTeaWholesale = 1, kPackaging, kFuel, kPost, kBooks, kTents };

struct Product {
  double preis;
  double mwst;
  bool byWeight;  // loose tea, sold by the kilogram
};
constexpr Product kProducts[] = {
    {8.90, 7, false},   {38.50, 7, true},  {12.40, 7, false},  {14.20, 7, false},
    {34.50, 19, false}, {6.95, 19, false}, {24.90, 19, false}, {19.80, 19, false},
};

std::string Padded(int number, size_t width) {
  std::string text = std::to_string(number);
  return std::string(width > text.size() ? width - text.size() : 0, '0') + text;
}

bool ChargesGermanVat(const CustomerRow& c) {
  const std::string land = c.land;
  if (land == "CH") return false;
  return std::string(c.ustId).empty();  // deliveries to another EU trader are tax-free
}

class DemoWriter {
 public:
  DemoWriter(PelmoraDb& db, const CalendarDate& today)
      : db_(db), today_(today), todayNumber_(EncodeDate(today.year, today.month, today.day)) {}

  void Write() {
    for (size_t i = 0; i < std::size(kCustomers); ++i) {
      const CustomerRow& c = kCustomers[i];
      db_.Add(
          Customer{static_cast<int64_t>(i + 1), c.name, c.vorname, c.kundennr, c.land, c.ustId});
    }
    for (size_t i = 0; i < std::size(kSuppliers); ++i)
      db_.Add(Supplier{static_cast<int64_t>(i + 1), kSuppliers[i]});
    db_.SetVatId(kDemoVatId);
    for (int m = 0; m < kDemoMonths; ++m) WriteMonth(m);
  }

 private:
  struct Month {
    int index;  // 0 the oldest, kDemoMonths - 1 the current month
    int year;
    int month;
    int lastDay;  // the last day with entries: today in the current month
    double firstDayNumber;
    bool current;
  };

  Month MonthAt(int index) const {
    const int fromNow = kDemoMonths - 1 - index;
    const int serial = today_.year * 12 + (today_.month - 1) - fromNow;
    Month m{index, serial / 12, serial % 12 + 1, 0, 0, fromNow == 0};
    m.lastDay = m.current
                    ? today_.day
                    : DaysInMonth(static_cast<uint16_t>(m.year), static_cast<uint16_t>(m.month));
    m.firstDayNumber = EncodeDate(m.year, m.month, 1);
    return m;
  }

  double Day(const Month& m, int day) const {
    return m.firstDayNumber + std::min(day, m.lastDay) - 1;
  }

  std::string NextInvoiceNumber(int year) {
    return std::to_string(year) + "-" + Padded(++invoiceCount_[year], 3);
  }

  void WriteMonth(int index) {
    const Month m = MonthAt(index);
    Rng rng(0xD3A0'0000ULL + static_cast<uint64_t>(index));
    WriteOrders(m, rng);
    WriteCashBook(m, rng);
  }

  enum class Payment { Paid, PartPaid, Open };

  void WriteOrders(const Month& m, Rng& rng) {
    const int count = 5 + rng.Below(4);
    for (int k = 0; k < count; ++k) {
      const int customer = kOrderingCustomers[rng.Below(std::size(kOrderingCustomers))];
      const double termin = Day(m, 1 + rng.Below(m.lastDay));
      Payment payment = rng.Below(100) < 72 ? Payment::Paid
                        : rng.Below(2) == 0 ? Payment::PartPaid
                                            : Payment::Open;
      double paidOn = termin + rng.Below(21);
      if (m.current && k < 3) {
        // Today's month shows all three states, whichever day it is.
        const Payment fixed[] = {Payment::Paid, Payment::Open, Payment::PartPaid};
        payment = fixed[k];
        paidOn = k == 0 ? termin : todayNumber_;
      }
      if (m.index == kDemoMonths - 2 && k == count - 1) {
        payment = Payment::Paid;  // paid on the first of today's month
        paidOn = todayNumber_ - (today_.day - 1);
      }
      std::string bezeichnung = "Rechnung " + NextInvoiceNumber(m.year);
      if (m.index == 7 && k == 0) {
        bezeichnung =
            "Pr\xC3\xA4sentk\xC3\xB6rbe f\xC3\xBCr das Firmenjubil\xC3\xA4um unserer Kunden";
        WriteOrder(kCafe, termin, payment, paidOn, bezeichnung, rng, 0);
        continue;
      }
      WriteOrder(customer, termin, payment, paidOn, bezeichnung, rng, 0);
    }
    if (m.index == 6 || m.index == kDemoMonths - 2) WriteCreditNote(m, rng);
    if (m.index == 10) {
      // Entered twice by mistake and moved to the recycle bin.
      WriteOrder(2, Day(m, 9), Payment::Open, 0, "Rechnung doppelt erfasst", rng, 1);
    }
  }

  void WriteOrder(int customer, double termin, Payment payment, double paidOn,
                  const std::string& bezeichnung, Rng& rng, int papierkorb) {
    const CustomerRow& c = kCustomers[customer - 1];
    const bool vat = ChargesGermanVat(c);
    const int64_t id = ++orderCount_;
    double net = 0;
    const int lines = 1 + rng.Below(4);
    for (int i = 0; i < lines; ++i) {
      const Product& p = kProducts[rng.Below(std::size(kProducts))];
      const double anzahl = p.byWeight ? (1 + rng.Below(6)) * 0.5 : 1 + rng.Below(12);
      db_.Add(Line{id, anzahl, p.preis, vat ? p.mwst : 0.0});
      net += anzahl * p.preis;
    }
    const double gross = RoundToCents(vat ? net * 1.19 : net);
    if (paidOn > todayNumber_) payment = Payment::Open;  // not yet
    Order o;
    o.id = id;
    o.besitzerindex = customer;
    o.papierkorb = papierkorb;
    o.termin = termin;
    o.bezeichnung = bezeichnung;
    o.mwst = vat ? 19.0 : 0.0;
    o.rechbetrag = gross;
    switch (payment) {
      case Payment::Paid:
        o.bezahlt = -1;
        o.davonbezahlt = gross;
        o.bezahltam = paidOn;
        break;
      case Payment::PartPaid:
        o.bezahlt = 0;
        o.davonbezahlt = RoundToCents(gross / 2);
        o.bezahltam = paidOn;
        break;
      case Payment::Open:
        o.bezahlt = 0;
        o.davonbezahlt = 0.0;
        o.bezahltam = 0.0;
        break;
    }
    db_.Add(o);
  }

  // Returned gift sets, refunded three days later.
  void WriteCreditNote(const Month& m, Rng& rng) {
    const int64_t id = ++orderCount_;
    const double anzahl = 1 + rng.Below(3);
    db_.Add(Line{id, anzahl, 24.90, 19.0});
    const double termin = Day(m, 1 + rng.Below(m.lastDay));
    Order o;
    o.id = id;
    o.besitzerindex = kBakery;
    o.termin = termin;
    o.bezahlt = -1;
    o.bezahltam = std::min(termin + 3, todayNumber_);
    o.bezeichnung = "Gutschrift " + NextInvoiceNumber(m.year) + " Retoure Geschenksets";
    o.mwst = 19.0;
    o.auftragstyp = -99;
    o.rechbetrag = -RoundToCents(anzahl * 24.90 * 1.19);
    o.davonbezahlt = o.rechbetrag;
    db_.Add(o);
  }

  void Receipt(double termin, const char* bezeichnung, double betrag, double mwst) {
    CashEntry e;
    e.besitzerindex = kCashSales;
    e.neinaus = 0;
    e.termin = termin;
    e.bezeichnung = bezeichnung;
    e.betrag = betrag;
    e.mwst = mwst;
    db_.Add(e);
  }

  void Expense(double termin, int supplier, const char* bezeichnung, double betrag, double mwst,
               int papierkorb = 0) {
    CashEntry e;
    e.papierkorb = papierkorb;
    e.lieferantindex = supplier;
    e.neinaus = 1;
    e.termin = termin;
    e.bezeichnung = bezeichnung;
    e.betrag = betrag;
    e.mwst = mwst;
    db_.Add(e);
  }

  void WriteCashBook(const Month& m, Rng& rng) {
    // The shop's till on the third, the weekly market on Saturdays (day 0 of
    // the day numbers was a Saturday).
    Receipt(Day(m, 3), "Ladenverkauf Tee", rng.Euros(60, 180), 7);
    Receipt(Day(m, 3),
            "Ladenverkauf Teekannen und Zubeh\xF6"
            "r",
            rng.Euros(40, 160), 19);
    for (int day = 1; day <= m.lastDay; ++day) {
      const double termin = m.firstDayNumber + day - 1;
      if (static_cast<int64_t>(termin) % 7 != 0) continue;
      Receipt(termin, "Wochenmarkt Tee lose", rng.Euros(120, 340), 7);
      Receipt(termin,
              "Wochenmarkt Zubeh\xF6"
              "r",
              rng.Euros(25, 140), 19);
    }
    Expense(Day(m, 5), kTeaWholesale, "Teeeinkauf Nordtee", rng.Euros(450, 900), 7);
    Expense(Day(m, 8), kPackaging, "Versandkartons und Polsterpapier", rng.Euros(45, 95), 19);
    Expense(Day(m, 12), kFuel, "Diesel Lieferfahrten", rng.Euros(48, 75), 19);
    Expense(Day(m, 20), kPost, "Porto Pakete", rng.Euros(28, 64), 0);  // postage carries no VAT
    if (m.index % 3 == 1) Expense(Day(m, 15), kBooks, "Fachbuch Teekunde", 29.90, 7);
    if (m.index % 4 == 2) {
      Expense(Day(m, 17), kTents, "Reparatur Marktpavillon", rng.Euros(80, 240), 19);
    }
    if (m.index == 9) {
      Expense(Day(m, 11), kFuel, "Diesel (falsch gebucht)", 61.20, 19, 1);
    }
  }

  PelmoraDb& db_;
  CalendarDate today_;
  double todayNumber_;
  int64_t orderCount_ = 0;
  std::map<int, int> invoiceCount_;
};

}  // namespace

DemoInstallation DemoPaths(const fs::path& appData) {
  const fs::path pelmora = appData / "Pelmora";
  return DemoInstallation{pelmora / "pelmora.ini", pelmora / kDemoDbFolder / kDemoDbName};
}

DemoInstallation MakeDemoInstallation(const fs::path& appData, const CalendarDate& today) {
  if (appData.empty()) throw std::runtime_error("no folder given for the demo installation");
  if (!IsValidDate(today.year, today.month, today.day) || today.year < 2) {
    throw std::runtime_error("not a usable date for the demo data");
  }
  const DemoInstallation paths = DemoPaths(appData);
  for (const fs::path& p : {paths.settingsFile, paths.database}) {
    if (fs::exists(fs::symlink_status(p))) {
      throw std::runtime_error(p.string() +
                               " exists already; the demo is made only in a new folder");
    }
  }
  fs::create_directories(paths.database.parent_path());
  {
    PelmoraDb db(PathText(paths.database));
    db.Begin();
    DemoWriter(db, today).Write();
    db.Commit();
    db.Close();
  }
  testdb::WriteSettingsFile(PathText(paths.settingsFile), kDemoDbFolder, kDemoDbName);
  return paths;
}

CalendarDate LocalToday() {
  const std::time_t now = std::time(nullptr);
  const std::tm local = LocalTime(now);
  return CalendarDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

CalendarDate ParseIsoDate(const std::string& text) {
  const auto bad = [&] { return std::runtime_error("not a date of the form YYYY-MM-DD: " + text); };
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') throw bad();
  int parts[3] = {0, 0, 0};
  const size_t starts[3] = {0, 5, 8};
  const size_t lengths[3] = {4, 2, 2};
  for (int i = 0; i < 3; ++i) {
    for (size_t j = starts[i]; j < starts[i] + lengths[i]; ++j) {
      if (text[j] < '0' || text[j] > '9') throw bad();
      parts[i] = parts[i] * 10 + (text[j] - '0');
    }
  }
  if (!IsValidDate(parts[0], parts[1], parts[2])) throw bad();
  return CalendarDate{parts[0], parts[1], parts[2]};
}

}  // namespace vorlex::demo
