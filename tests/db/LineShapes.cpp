#include "db/LineShapes.h"

#include <algorithm>
#include <charconv>
#include <utility>
#include <vector>

#include "testdb/SplitMix64.h"
#include "util/uDatum.h"

namespace vorlex::testing {

namespace {

using testdb::Value;

class Rng : public testdb::SplitMix64 {
 public:
  using SplitMix64::SplitMix64;
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
};

Value CommaText(const Value& cell) {
  const auto* number = std::get_if<double>(&cell.get());
  if (number == nullptr) return cell;
  char buffer[32];
  std::string text(buffer, std::to_chars(buffer, buffer + sizeof buffer, *number).ptr);
  // "19" and "1e+16" would be stored as numbers.
  if (text.find('.') == std::string::npos) text.insert(std::min(text.find('e'), text.size()), ".0");
  std::replace(text.begin(), text.end(), '.', ',');
  return text;
}

constexpr int kOrders = 90;

// A line amount where adding in another order, or in more precision, gives
// another double.
Value FractionalAmount(Rng& rng) {
  switch (rng.Below(6)) {
    case 0:
      return rng.Below(100000) / 100.0;
    case 1:
      return rng.Below(10000000) / 10000.0;
    case 2:
      return 1e13 + rng.Below(1000) / 8.0;
    case 3:
      return -1e13 + rng.Below(1000) / 3.0;
    case 4:
      return 0.1 * (1 + rng.Below(9));
    default:
      return 1.0 / (1 + rng.Below(7));
  }
}

Value LineAmount(Rng& rng, Amounts amounts, int lineIndex) {
  switch (amounts) {
    case Amounts::Fractional:
      return FractionalAmount(rng);
    case Amounts::Whole:
      return static_cast<int64_t>(rng.Below(2000)) - 100;
    case Amounts::Mixed:
      return lineIndex % 2 == 0 ? Value(static_cast<int64_t>(rng.Below(500)))
                                : FractionalAmount(rng);
    case Amounts::Nulls:
      return rng.Below(4) == 0 ? Value(nullptr) : FractionalAmount(rng);
  }
  return 0.0;
}

// kOrders orders over 2024 (and a few in 2023 whose lines must not count),
// 0 to 6 lines each, a cash book, customers of every country kind.
void Generate(testdb::PelmoraDb& b, const Shape& shape) {
  Rng rng(0x5EED);
  const char* countries[] = {"D", "", "A", "E", "LUX", "CH", "F"};
  for (int64_t c = 1; c <= 7; ++c) {
    b.Add(testdb::Customer{.id = c,
                           .name = "Kunde " + std::to_string(c),
                           .land = countries[c - 1],
                           .ust_id = c % 2 == 0 ? Value("XU" + std::to_string(c)) : Value("")});
  }
  b.Add(testdb::Supplier{1, "Lieferant"});
  std::vector<testdb::Line> lines;
  for (int n = 0; n < kOrders; ++n) {
    const int64_t id = shape.firstId + n * shape.idStep;
    const double day =
        n < 6 ? EncodeDate(2023, 12, 1 + n) : EncodeDate(2024, 1, 1) + rng.Below(366);
    const bool credit = rng.Below(12) == 0;
    b.Add(testdb::Order{.id = id,
                        .besitzerindex = 1 + rng.Below(8),
                        .bezahlt = rng.Below(5) == 0 ? 0 : -1,
                        .davonbezahlt = rng.Below(3) == 0 ? Value(0.0) : Value(12.5),
                        .termin = day,
                        .bezahltam = day + rng.Below(20),
                        .bezeichnung = "Auftrag " + std::to_string(id),
                        .mwst = rng.Below(5) == 0 ? 0.0 : 19.0,
                        .skonto = rng.Below(4) == 0 ? -1.5 : 0.0,
                        .auftragstyp = credit ? -99 : 0,
                        .rechbetrag = credit ? -119.0 : 0.0});
    const int count = rng.Below(7);  // 0: an order without lines
    for (int k = 0; k < count; ++k) {
      testdb::Line line;
      line.auftragindex = id;
      line.anzahl = LineAmount(rng, shape.amounts, k);
      line.preis = LineAmount(rng, shape.amounts, k + 1);
      if (shape.amounts != Amounts::Whole && rng.Below(3) == 0) {
        // Large amounts of both signs that cancel: what is left of the small
        // ones between them depends on the order of adding.
        line.anzahl = 1.0;
        line.preis = (rng.Below(2) == 0 ? 1 : -1) * (1e16 + 2.0 * rng.Below(1000));
      }
      const bool noRate = shape.amounts == Amounts::Nulls && rng.Below(5) == 0;
      line.mwst = noRate ? Value(nullptr) : Value(rng.Below(3) == 0 ? 7.0 : 19.0);
      if (shape.commaTexts && n % 3 == 0) {
        for (Value* cell : {&line.anzahl, &line.preis, &line.mwst}) *cell = CommaText(*cell);
      }
      lines.push_back(std::move(line));
    }
  }
  // Lines of no order at all.
  lines.push_back(testdb::Line{.auftragindex = shape.firstId - 1, .anzahl = 1.0, .preis = 5.0});
  lines.push_back(testdb::Line{.auftragindex = nullptr, .anzahl = 1.0, .preis = 5.0});
  if (shape.interleaved) {
    // Neighbouring orders' lines in turns.
    for (size_t i = 0; i + 3 < lines.size(); i += 4) std::swap(lines[i + 1], lines[i + 3]);
  }
  for (const testdb::Line& line : lines) b.Add(line);
  for (int n = 0; n < 12; ++n) {
    b.Add(testdb::CashEntry{.besitzerindex = 1 + n % 7,
                            .lieferantindex = 1,
                            .neinaus = n % 3 == 0 ? 1 : 0,
                            .termin = EncodeDate(2024, 1 + n, 10),
                            .bezeichnung = "Kasse " + std::to_string(n),
                            .betrag = 10.0 + n / 7.0,
                            .mwst = n % 2 == 0 ? 19.0 : 7.0});
  }
  if (shape.extra) shape.extra(b);
}

// The line table again, with another declared type of its order key.
void LineTable(testdb::PelmoraDb& b, const std::string& keyType, bool index) {
  b.Exec("DROP TABLE verbindauftrag");
  b.Exec("CREATE TABLE verbindauftrag (id INTEGER PRIMARY KEY, auftragindex " + keyType +
         ", artikelnr VARCHAR(255), anzahl DOUBLE, preis DOUBLE, mwst DOUBLE, einheit "
         "VARCHAR(255))");
  if (index) b.Exec("CREATE INDEX verbindauftrag_auftragindex ON verbindauftrag (auftragindex)");
}

void IdsThatAreNoStoredIntegers(testdb::PelmoraDb& b) {
  b.Exec("DROP TABLE auftrag");
  b.Exec(
      "CREATE TABLE auftrag (id INTEGER, auftragsnr VARCHAR(255), besitzerindex INTEGER, "
      "papierkorb INTEGER, bezahlt INTEGER, davonbezahlt DOUBLE, termin DOUBLE, "
      "bezahltam DOUBLE, bezeichnung VARCHAR(255), mwst DOUBLE, skonto DOUBLE, "
      "auftragstyp INTEGER, rechbetrag DOUBLE, bemerkung VARCHAR(255), erstellt DOUBLE)");
}

void SomeIdsFloats(testdb::PelmoraDb& b) {
  b.Exec("UPDATE auftrag SET id = id + 0.25 WHERE id % 3 = 0");
}

void TwoLinesBeyond64Bits(testdb::PelmoraDb& b) {
  for (int i = 0; i < 2; ++i) {
    b.Add(testdb::Line{.auftragindex = 20, .anzahl = 1, .preis = int64_t{5000000000000000000}});
  }
}

const Shape kShapes[] = {
    {.name = "fractional amounts, index"},
    {.name = "fractional amounts, no index", .index = false},
    {.name = "lines in turns, index", .interleaved = true},
    {.name = "lines in turns, no index", .index = false, .interleaved = true},
    {.name = "whole amounts stored as integers",
     .amounts = Amounts::Whole,
     .amountType = "NUMERIC"},
    {.name = "whole and fractional lines mixed, no index",
     .index = false,
     .amounts = Amounts::Mixed,
     .amountType = "NUMERIC"},
    {.name = "NULL quantities, prices and rates", .amounts = Amounts::Nulls},
    {.name = "NULL quantities, prices and rates, no index",
     .index = false,
     .amounts = Amounts::Nulls},
    {.name = "amounts declared as text", .amountType = "VARCHAR(20)"},
    {.name = "amounts declared as text, no index", .index = false, .amountType = "VARCHAR(20)"},
    {.name = "ids above 32 bits", .firstId = 3000000000, .idStep = 7},
    {.name = "ids around 2^53, no index",
     .index = false,
     .amounts = Amounts::Whole,
     .firstId = 9007199254740950,
     .amountType = "NUMERIC"},
    {.name = "negative ids", .firstId = -40},
    {.name = "negative ids, no index", .index = false, .firstId = -40},
    {.name = "scattered ids, index", .firstId = 5, .idStep = 1000000000000},
    {.name = "scattered ids, no index", .index = false, .firstId = 5, .idStep = 1000000000000},
    // Lines added to an order long after it, the lines of all later orders
    // between: the order's stretch of the table holds every other order's.
    {.name = "an order's lines far apart, no index",
     .index = false,
     .extra =
         [](testdb::PelmoraDb& b) {
           for (const double preis : {1e16, 0.3, -1e16, 0.1}) {
             b.Add(testdb::Line{
                 .auftragindex = int64_t{12}, .anzahl = 1.0, .preis = preis, .mwst = 19.0});
           }
         }},
    // An index that may give an order's lines in another order than the table's.
    {.name = "index on the order and another column",
     .index = false,
     .extra =
         [](testdb::PelmoraDb& b) {
           b.Exec("CREATE INDEX two ON verbindauftrag (auftragindex, preis)");
         },
     .onePass = false},
    {.name = "index on the price and the order",
     .index = false,
     .extra =
         [](testdb::PelmoraDb& b) {
           b.Exec("CREATE INDEX two ON verbindauftrag (preis DESC, auftragindex, anzahl, mwst)");
         },
     .onePass = false},
    // Ids in an integer column that is no row id: a float id is read cut to a
    // whole number, and that number's lines are summed.
    {.name = "ids that are no stored integers",
     .before = IdsThatAreNoStoredIntegers,
     .extra = SomeIdsFloats},
    {.name = "ids that are no stored integers, no index",
     .index = false,
     .before = IdsThatAreNoStoredIntegers,
     .extra = SomeIdsFloats},
    {.name = "keys declared as text", .keyType = "VARCHAR(20)"},
    {.name = "keys declared as text, no index", .index = false, .keyType = "VARCHAR(20)"},
    {.name = "line keys declared as text",
     .before = [](testdb::PelmoraDb& b) { LineTable(b, "VARCHAR(20)", true); }},
    {.name = "line keys declared as text, no index",
     .index = false,
     .before = [](testdb::PelmoraDb& b) { LineTable(b, "VARCHAR(20)", false); }},
    {.name = "line keys without a type, no index",
     .index = false,
     .before = [](testdb::PelmoraDb& b) { LineTable(b, "", false); }},
    {.name = "line keys declared as floats",
     .before = [](testdb::PelmoraDb& b) { LineTable(b, "REAL", true); },
     .extra =
         [](testdb::PelmoraDb& b) {
           b.Add(testdb::Line{.auftragindex = 7.5, .anzahl = 1.0, .preis = 1000.0});
         }},
    {.name = "line keys declared as floats, no index",
     .index = false,
     .before = [](testdb::PelmoraDb& b) { LineTable(b, "REAL", false); },
     .extra =
         [](testdb::PelmoraDb& b) {
           b.Add(testdb::Line{.auftragindex = 7.5, .anzahl = 1.0, .preis = 1000.0});
         }},
    // Sums the library fails on or that read back as no number: the order's
    // literal query gives its error or figure. Where the one statement fails,
    // every order asks its own statement.
    {.name = "a sum beyond 64 bits",
     .amounts = Amounts::Whole,
     .amountType = "NUMERIC",
     .extra = TwoLinesBeyond64Bits,
     .onePass = false,
     .literal = true},
    {.name = "a sum beyond 64 bits, no index",
     .index = false,
     .amounts = Amounts::Whole,
     .amountType = "NUMERIC",
     .extra = TwoLinesBeyond64Bits,
     .onePass = false,
     .literal = true},
    {.name = "a sum beyond the double range",
     .extra =
         [](testdb::PelmoraDb& b) {
           b.Add(testdb::Line{.auftragindex = 30, .anzahl = 10.0, .preis = 1e308});
         },
     .literal = true},
    {.name = "a sum beyond the double range, no index",
     .index = false,
     .extra =
         [](testdb::PelmoraDb& b) {
           b.Add(testdb::Line{.auftragindex = 30, .anzahl = 10.0, .preis = 1e308});
         },
     .literal = true},
};

}  // namespace

std::span<const Shape> LineShapes() {
  return kShapes;
}

testdb::Schema SchemaOf(const Shape& shape) {
  testdb::Schema schema;
  schema.lineIndex = shape.index;
  schema.amountType = shape.amountType;
  schema.keyType = shape.keyType;
  return schema;
}

void BuildShape(testdb::PelmoraDb& b, const Shape& shape) {
  if (shape.before) shape.before(b);
  b.Begin();
  Generate(b, shape);
  b.Commit();
}

}  // namespace vorlex::testing
