#include "testdb/SplitMix64.h"
#include "bench/BenchDb.h"

#include "bench/Args.h"

#include <charconv>
#include <stdexcept>
#include <string_view>

#include "testdb/PelmoraDb.h"
#include "util/uDatum.h"

namespace vorlex::bench {

using testdb::CashEntry;
using testdb::Customer;
using testdb::Line;
using testdb::Order;
using testdb::PelmoraDb;
using testdb::Value;

namespace {

class Rng : public testdb::SplitMix64 {
 public:
  using SplitMix64::SplitMix64;
  int64_t Below(int64_t n) { return static_cast<int64_t>(Next() % static_cast<uint64_t>(n)); }
  bool Percent(int p) { return Below(100) < p; }
};

constexpr int kSuppliers = 50;

// A quantity: mostly whole pieces, a fifth by weight or length with up to
// three decimals.
double Quantity(Rng& rng) {
  if (rng.Percent(80)) return static_cast<double>(1 + rng.Below(20));
  return static_cast<double>(1 + rng.Below(3000)) / 1000.0;
}

// A unit price: mostly whole cents, a quarter with four decimals (per-gram
// prices), a few negative discount lines.
double Price(Rng& rng) {
  const int kind = static_cast<int>(rng.Below(100));
  if (kind < 73) return static_cast<double>(rng.Below(50000)) / 100.0;
  if (kind < 98) return static_cast<double>(rng.Below(5000000)) / 10000.0;
  return -static_cast<double>(1 + rng.Below(2000)) / 100.0;
}

double LineRate(Rng& rng) {
  const int kind = static_cast<int>(rng.Below(100));
  return kind < 75 ? 19.0 : kind < 95 ? 7.0 : 0.0;
}

// Whole days mostly; some entries carry a time of day.
double DayIn(Rng& rng, double firstDay, int64_t days) {
  const double day = firstDay + static_cast<double>(rng.Below(days));
  if (rng.Percent(95)) return day;
  return day + static_cast<double>(rng.Below(96)) / 96.0;
}

std::string OrderText(Rng& rng, int64_t id) {
  const std::string number = std::to_string(id);
  const int kind = static_cast<int>(rng.Below(100));
  if (kind < 80) return "Auftrag " + number;
  if (kind < 90) return "Lieferung laut Angebot und Auftragsbest\xE4tigung Nr. " + number;
  if (kind < 95) return "Bestellung Gew\xFCrze und Tees " + number;  // Windows-1252
  return "Bestellung Gew\xC3\xBCrze und Tees " + number;             // UTF-8
}

constexpr const char* kCashTexts[] = {
    "Barverkauf Laden",
    "Wochenmarkt",
    "B\xFC"
    "robedarf",
    "Porto",
    "Tanken",
    "Wareneinkauf",
    "Reinigung",
    "Fachliteratur",
    "Verpackung",
    "Bewirtung",
};

double CashRate(Rng& rng) {
  const int kind = static_cast<int>(rng.Below(100));
  if (kind < 60) return 19.0;
  if (kind < 85) return 7.0;
  if (kind < 95) return 0.0;
  constexpr double kOdd[] = {16.0, 18.6, 19.4, 6.5, 7.0};
  return kOdd[kind - 95];
}

void WriteCustomers(PelmoraDb& db, const GenOptions& o, Rng& rng) {
  for (int64_t id = 1; id <= o.customers; ++id) {
    Customer c;
    c.id = id;
    const std::string number = std::to_string(id);
    c.name = id % 7 == 0    ? "M\xFCller & S\xF6hne " + number
             : id % 11 == 0 ? "Caf\xC3\xA9 K\xC3\xB6nig " + number
                            : "Kunde " + number;
    c.vorname = id % 3 == 0 ? Value("Anna") : Value("");
    c.kundennr = "K" + number;
    const int kind = static_cast<int>(rng.Below(100));
    const bool withVatId = rng.Percent(50);
    std::string land = "D";
    if (kind >= 70) land = "";
    if (kind >= 74) land = "A";
    if (kind >= 80) land = "E";
    if (kind >= 85) land = "LUX";
    if (kind >= 88) land = "CH";
    if (kind >= 92) land = "ch";
    if (kind >= 94) land = "F";
    if (kind >= 96) land = "NL";
    if (kind >= 98) land = "AT";
    c.land = land;
    c.ust_id = withVatId && land != "D" && !land.empty() ? Value(land + "U" + number) : Value("");
    db.Add(c);
  }
  for (int64_t id = 1; id <= kSuppliers; ++id) {
    db.Add(testdb::Supplier{id, "Lieferant " + std::to_string(id)});
  }
}

void WriteOrders(PelmoraDb& db, const GenOptions& o, Rng& rng, double firstDay, int64_t days) {
  for (int64_t id = 1; id <= o.orders; ++id) {
    double lineSum = 0;
    for (int k = 0; k < o.linesPerOrder; ++k) {
      Line l;
      l.auftragindex = id;
      const double anzahl = Quantity(rng);
      const double preis = Price(rng);
      l.anzahl = anzahl;
      l.preis = preis;
      l.mwst = LineRate(rng);
      lineSum += anzahl * preis;
      db.Add(l);
    }
    Order r;
    r.id = id;
    // One order in a hundred names a customer that does not exist.
    r.besitzerindex = rng.Percent(99) ? 1 + rng.Below(o.customers) : o.customers + 1 + rng.Below(9);
    r.papierkorb = rng.Percent(2) ? 1 : 0;
    const double termin = DayIn(rng, firstDay, days);
    r.termin = termin;
    const int mwstKind = static_cast<int>(rng.Below(100));
    const double mwst = mwstKind < 80 ? 19.0 : mwstKind < 85 ? 7.0 : 0.0;
    r.mwst = mwst;
    const double gross = lineSum * (1.0 + mwst / 100.0);
    const bool credit = rng.Percent(2);
    r.auftragstyp = credit ? -99 : 0;
    r.rechbetrag = credit ? -gross : gross;
    r.skonto = rng.Percent(5) ? -static_cast<double>(rng.Below(500)) / 100.0 : 0.0;
    const int payKind = static_cast<int>(rng.Below(100));
    const double paidOn = termin + static_cast<double>(rng.Below(45));
    if (payKind < 80) {
      r.bezahlt = -1;
      r.davonbezahlt = gross;
      r.bezahltam = paidOn;
    } else if (payKind < 88) {
      r.bezahlt = 0;
      r.davonbezahlt = static_cast<double>(rng.Below(10000)) / 100.0;
      r.bezahltam = paidOn;
    } else if (payKind < 89) {
      r.bezahlt = 0;
      r.davonbezahlt = nullptr;
      r.bezahltam = paidOn;
    } else {
      r.bezahlt = 0;
      r.davonbezahlt = 0.0;
      r.bezahltam = 0.0;
    }
    r.bezeichnung = OrderText(rng, id);
    db.Add(r);
  }
}

void WriteCashBook(PelmoraDb& db, const GenOptions& o, Rng& rng, double firstDay, int64_t days) {
  for (int64_t n = 1; n <= o.cashEntries; ++n) {
    CashEntry e;
    e.papierkorb = rng.Percent(1) ? 1 : 0;
    const bool receipt = rng.Percent(60);
    e.neinaus = receipt ? 0 : 1;
    if (rng.Percent(98)) {
      if (receipt) {
        e.besitzerindex = 1 + rng.Below(o.customers);
      } else {
        e.lieferantindex = 1 + rng.Below(kSuppliers);
      }
    }
    e.termin = DayIn(rng, firstDay, days);
    e.bezeichnung = std::string(kCashTexts[rng.Below(std::size(kCashTexts))]) + " " +
                    std::to_string(1 + rng.Below(500));
    e.betrag = rng.Percent(80) ? static_cast<double>(rng.Below(100000)) / 100.0
                               : static_cast<double>(rng.Below(10000000)) / 10000.0;
    e.mwst = CashRate(rng);
    db.Add(e);
  }
}

}  // namespace

const char* const kGenUsage =
    "usage: vorlex-bench gen [--orders N] [--lines-per-order N] [--cash-entries N]\n"
    "                        [--customers N] [--years N] [--last-year YYYY]\n"
    "                        [--index | --no-index] [--seed N] OUTPUT.db\n"
    "Writes (replacing) a database of Pelmora's shape. Defaults: 100000 orders,\n"
    "5 lines each, 20000 cash-book entries, 2000 customers, 1 year ending 2024,\n"
    "index on verbindauftrag.auftragindex, seed 1.\n";

Period LastYear(const GenOptions& options) {
  return Period{EncodeDate(options.lastYear, 1, 1), EncodeDate(options.lastYear, 12, 31)};
}

void GenerateBenchDb(const std::string& path, const GenOptions& options) {
  if (options.customers < 1) throw std::invalid_argument("at least one customer is needed");
  testdb::Schema schema;
  schema.lineIndex = options.index;
  PelmoraDb db(path, schema);
  const double firstDay = EncodeDate(options.lastYear - options.years + 1, 1, 1);
  const auto days = static_cast<int64_t>(EncodeDate(options.lastYear, 12, 31) - firstDay) + 1;
  // Separate streams, so that changing one count leaves the other tables as they were.
  Rng customers(options.seed * 4 + 1);
  Rng orders(options.seed * 4 + 2);
  Rng cash(options.seed * 4 + 3);
  db.Begin();
  WriteCustomers(db, options, customers);
  WriteOrders(db, options, orders, firstDay, days);
  WriteCashBook(db, options, cash, firstDay, days);
  db.SetVatId("DE123456788");
  db.Commit();
  db.Close();
}

std::string Describe(const GenOptions& o) {
  return "--orders " + std::to_string(o.orders) + " --lines-per-order " +
         std::to_string(o.linesPerOrder) + " --cash-entries " + std::to_string(o.cashEntries) +
         " --customers " + std::to_string(o.customers) + " --years " + std::to_string(o.years) +
         " --last-year " + std::to_string(o.lastYear) + (o.index ? " --index" : " --no-index") +
         " --seed " + std::to_string(o.seed);
}

GenArgs ParseGenArgs(const std::vector<std::string>& args) {
  GenArgs command;
  GenOptions& o = command.options;
  constexpr int64_t kMax = 100'000'000;
  TArgs arg(args);
  while (arg.Next()) {
    if (arg.Is("--help") || arg.Is("-h")) {
      command.help = true;
    } else if (arg.Is("--orders")) {
      o.orders = arg.Number<int64_t>(0, kMax);
    } else if (arg.Is("--lines-per-order")) {
      o.linesPerOrder = arg.Number<int>(0, 1000);
    } else if (arg.Is("--cash-entries")) {
      o.cashEntries = arg.Number<int64_t>(0, kMax);
    } else if (arg.Is("--customers")) {
      o.customers = arg.Number<int64_t>(1, kMax);
    } else if (arg.Is("--years")) {
      o.years = arg.Number<int>(1, 100);
    } else if (arg.Is("--last-year")) {
      o.lastYear = arg.Number<int>(1900, 9999);
    } else if (arg.Is("--index")) {
      o.index = true;
    } else if (arg.Is("--no-index")) {
      o.index = false;
    } else if (arg.Is("--seed")) {
      o.seed = static_cast<uint64_t>(arg.Number<int64_t>(0, INT64_MAX));
    } else if (!arg.Arg().empty() && arg.Arg()[0] != '-' && command.output.empty()) {
      command.output = arg.Arg();
    } else {
      arg.Unknown();
    }
  }
  if (o.years > o.lastYear - 1899) throw std::invalid_argument("--years reaches before 1900");
  if (command.output.empty() && !command.help) throw std::invalid_argument("no output file given");
  return command;
}

}  // namespace vorlex::bench
