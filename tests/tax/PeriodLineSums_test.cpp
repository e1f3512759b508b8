// The one pass over a period's lines against the queries it replaced: on
// generated databases, every evaluation run gives the very list bytes, totals
// and errors that one line-sum query per order, read field by field through
// their texts, gives.
#include "tax/PeriodLineSums.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "db/uDB.h"
#include "tax/CashBookEvaluation.h"
#include "tax/EvaluationRun.h"
#include "tax/FieldRead.h"
#include "tax/RecordingSink.h"
#include "tax/SalesEvaluation.h"
#include "tax/TaxDbTest.h"
#include "testdb/SplitMix64.h"
#include "ui/text/CsvExport.h"
#include "ui/text/SummaryList.h"
#include "util/uFormat.h"
#include "util/uString.h"

namespace vorlex {
namespace {

using testdb::Value;
using testing::Day;
using testing::RecordingSink;

constexpr TaxationBasis kIst = TaxationBasis::Ist;
constexpr TaxationBasis kSoll = TaxationBasis::Soll;

// ---------------------------------------------------------------------------
// The reference: the sales evaluation as it was, with one line-sum query per
// amount and every field read by name through its text.

LineSums ReferenceLineSums(TDBase& db, int64_t orderId) {
  const auto sums = db.Query(
      "SELECT SUM(anzahl*(preis*(mwst/100.0))) AS mwst_sum, SUM(anzahl*preis) AS betrag_sum FROM "
      "verbindauftrag WHERE auftragindex=" +
      std::to_string(orderId));
  LineSums result;
  if (!sums->AtEnd()) {
    const auto read = [&](const char* column) -> double {
      if (sums->FieldText(column).empty()) return 0;
      return FloatField(*sums, column, [orderId] {
        return "Positionen von " + OrderPlace(std::to_string(orderId));
      });
    };
    result.vat = read("mwst_sum");
    result.net = read("betrag_sum");
  }
  return result;
}

double ReferenceAmount(TDBase& db, const TDBTable& order, int64_t orderId, bool gross) {
  const auto where = [orderId] { return OrderPlace(std::to_string(orderId)); };
  const LineSums lines = ReferenceLineSums(db, orderId);
  const double skonto = FloatField(order, "skonto", where);
  const double mwst = FloatField(order, "mwst", where);
  const bool carriesVat = mwst != 0;
  const bool negative = IntField(order, "auftragstyp", where) == -99;
  const double base = carriesVat && negative ? -FloatField(order, "rechbetrag", where) : lines.net;
  const double sign = negative ? -1 : 1;
  if (!gross) return carriesVat ? sign * (base + skonto) : sign * base;
  return carriesVat ? base * (1 + mwst / 100) : sign * ((base + lines.vat) - skonto);
}

void ReferenceSales(TDBase& db, double first, double last, TaxationBasis basis, TaxTotals& totals,
                    IEvaluationSink& sink) {
  const char* dateColumn = basis == kIst ? "bezahltam" : "termin";
  const auto orders = db.Query(SalesQuery(first, last, basis));
  sink.ProgressStart(orders->RowCount());
  while (!orders->AtEnd()) {
    sink.ProgressStep();
    RunEntry entry;
    entry.kind = EntryKind::Order;
    const std::string land = orders->FieldValue("land").Text();
    const std::string vatId = orders->FieldValue("ust_id").Text();
    const auto where = [&orders] { return OrderPlace(orders->FieldValue("id").Text()); };
    entry.id = IntField(*orders, "id", where);
    entry.net = ReferenceAmount(db, *orders, entry.id, false);
    entry.gross = ReferenceAmount(db, *orders, entry.id, true);
    entry.date = FloatField(*orders, dateColumn, where);
    entry.SetTexts({.description = orders->FieldValue("bezeichnung").Text(),
                    .customer = orders->FieldValue("b_name").Text(),
                    .country = land,
                    .vatId = vatId});
    const double net = entry.net;
    if (land == "CH") {
      totals.NichtEU += net;
    } else if (land == "A" || land == "E" || land == "LUX") {
      (vatId.empty() ? totals.InnergemOhneUStId : totals.InnergemMitUStId) += net;
    } else {
      totals.Umsatz19 += net;
    }
    sink.AppendEntry(std::move(entry));
    orders->MoveNext();
  }
}

// What a run leaves: its lines, totals and progress, or the error that ended it.
struct Outcome {
  RecordingSink sink;
  TaxTotals totals;
  std::string error;  // kind and message
};

Outcome Capture(const std::function<void(TaxTotals&, IEvaluationSink&)>& run) {
  Outcome o;
  try {
    run(o.totals, o.sink);
  } catch (const EConvertError& e) {
    o.error = std::string("conversion: ") + e.what();
  } catch (const ESQLiteException& e) {
    o.error = std::string("database: ") + e.what();
  }
  return o;
}

void ExpectSame(const Outcome& fast, const Outcome& reference) {
  EXPECT_EQ(fast.error, reference.error);
  EXPECT_EQ(CsvBytes(fast.sink.lines), CsvBytes(reference.sink.lines));
  EXPECT_EQ(fast.sink.maxima, reference.sink.maxima);
  // To the last bit.
  EXPECT_EQ(fast.totals.NichtEU, reference.totals.NichtEU);
  EXPECT_EQ(fast.totals.InnergemOhneUStId, reference.totals.InnergemOhneUStId);
  EXPECT_EQ(fast.totals.InnergemMitUStId, reference.totals.InnergemMitUStId);
  EXPECT_EQ(fast.totals.Umsatz19, reference.totals.Umsatz19);
  EXPECT_EQ(fast.totals.Umsatz7, reference.totals.Umsatz7);
  EXPECT_EQ(fast.totals.Vorsteuer7, reference.totals.Vorsteuer7);
  EXPECT_EQ(fast.totals.Vorsteuer19, reference.totals.Vorsteuer19);
}

// ---------------------------------------------------------------------------
// Generated databases.

class Rng : public testdb::SplitMix64 {
 public:
  using SplitMix64::SplitMix64;
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
};

enum class Amounts {
  Fractional,  // mixed magnitudes, so that the order of adding shows in the sums
  Whole,       // whole numbers stored as integers: the sums are integers
  Mixed,       // whole and fractional lines in one order
  Nulls,       // some quantities, prices and rates NULL
};

struct Shape {
  const char* name;
  bool index = true;
  Amounts amounts = Amounts::Fractional;
  int64_t firstId = 1;
  int64_t idStep = 1;
  bool interleaved = false;  // the lines of neighbouring orders mixed in table order
  std::string amountType = "DOUBLE";
  std::string keyType = "INTEGER";
  std::function<void(testdb::PelmoraDb&)> before = nullptr;  // on the empty tables
  std::function<void(testdb::PelmoraDb&)> extra = nullptr;   // after the data
  // How the sums are read: one statement over the period (else the order's
  // statement, prepared once), and whether some orders need their literal query.
  bool onePass = true;
  bool literal = false;
  // The cells of every third order's lines stored as text with a decimal
  // comma, the shortest that reads back as the number.
  bool commaTexts = false;
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
    const double day = n < 6 ? Day(2023, 12, 1 + n) : Day(2024, 1, 1) + rng.Below(366);
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
                            .termin = Day(2024, 1 + n, 10),
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
    {.name = "amounts declared as text, no index",
     .index = false,
     .amountType = "VARCHAR(20)"},
    {.name = "ids above 32 bits", .firstId = 3000000000, .idStep = 7},
    {.name = "ids around 2^53, no index",
     .index = false,
     .amounts = Amounts::Whole,
     .firstId = 9007199254740950,
     .amountType = "NUMERIC"},
    {.name = "negative ids", .firstId = -40},
    {.name = "negative ids, no index", .index = false, .firstId = -40},
    {.name = "scattered ids, index", .firstId = 5, .idStep = 1000000000000},
    {.name = "scattered ids, no index",
     .index = false,
     .firstId = 5,
     .idStep = 1000000000000},
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
    {.name = "keys declared as text, no index",
     .index = false,
     .keyType = "VARCHAR(20)"},
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

class PeriodLineSumsTest : public testing::TaxDbTest {
 protected:
  void Make(const Shape& shape) {
    testdb::Schema schema;
    schema.lineIndex = shape.index;
    schema.amountType = shape.amountType;
    schema.keyType = shape.keyType;
    testdb::PelmoraDb& b = Build(schema);
    if (shape.before) shape.before(b);
    b.Begin();
    Generate(b, shape);
    b.Commit();
  }
};

TEST_F(PeriodLineSumsTest, RunsGiveTheFiguresOfOneQueryPerOrder) {
  struct Period {
    const char* name;
    double first;
    double last;
  };
  const Period periods[] = {
      {"year", Day(2024, 1, 1), Day(2024, 12, 31)},
      {"quarter", Day(2024, 4, 1), Day(2024, 6, 30)},
      {"December of the year before", Day(2023, 12, 1), Day(2023, 12, 31)},
      {"no orders", Day(2030, 1, 1), Day(2030, 1, 31)},
  };
  for (const Shape& shape : kShapes) {
    SCOPED_TRACE(shape.name);
    Make(shape);
    TDBase& db = Open();
    for (const Period& period : periods) {
      for (const TaxationBasis basis : {kIst, kSoll}) {
        SCOPED_TRACE(std::string(period.name) + (basis == kIst ? ", Ist" : ", Soll"));
        const Outcome fast = Capture([&](TaxTotals& totals, IEvaluationSink& sink) {
          EvaluateRun(db, period.first, period.last, basis, totals, sink);
        });
        const Outcome reference = Capture([&](TaxTotals& totals, IEvaluationSink& sink) {
          totals = TaxTotals{};
          ReferenceSales(db, period.first, period.last, basis, totals, sink);
          CashBookEvaluation(db, period.first, period.last, totals, sink);
          sink.RunComplete(totals);
        });
        ExpectSame(fast, reference);
      }
    }
  }
}

// Lines holding their numbers as text with a decimal comma give the very
// figures of the same lines holding the numbers, whichever way they are read.
// (Columns of other types hold a number otherwise: as its text, or a whole one
// as an integer, which the library adds exactly.)
TEST_F(PeriodLineSumsTest, CommaTextsGiveTheFiguresOfTheirNumbers) {
  for (Shape shape : kShapes) {
    if (shape.amountType != "DOUBLE") continue;
    SCOPED_TRACE(shape.name);
    const auto run = [&](TaxationBasis basis) {
      return Capture([&](TaxTotals& totals, IEvaluationSink& sink) {
        EvaluateRun(*db_, Day(2024, 1, 1), Day(2024, 12, 31), basis, totals, sink);
      });
    };
    Make(shape);
    Open();
    const Outcome numbers[] = {run(kIst), run(kSoll)};
    shape.commaTexts = true;
    Make(shape);
    Open();
    ExpectSame(run(kIst), numbers[0]);
    ExpectSame(run(kSoll), numbers[1]);
  }
}

TEST_F(PeriodLineSumsTest, OnePassWhereTheOrdersQueryReadsInTableOrder) {
  for (const Shape& shape : kShapes) {
    SCOPED_TRACE(shape.name);
    Make(shape);
    TDBase& db = Open();
    const double first = Day(2024, 1, 1);
    const double last = Day(2024, 12, 31);
    const auto orders = db.Query(SalesQuery(first, last, kSoll));
    const TDBField id("id");
    PeriodLineSums sums(db, SalesFromWhere(first, last, kSoll), *orders, id);
    EXPECT_EQ(sums.OnePass(), shape.onePass);
    int64_t walked = 0;
    for (; !orders->AtEnd(); orders->MoveNext(), ++walked) {
      try {
        sums.Of(*orders, id, IntField(*orders, id, [] { return std::string(); }));
      } catch (const std::exception&) {
        // The order's own query fails; the run ends there, as it always did.
      }
    }
    ASSERT_GT(walked, 50);
    // Numbers as text: the cells of every order read one by one.
    EXPECT_EQ(sums.CellReads() > 0, shape.amountType == "VARCHAR(20)");
    EXPECT_EQ(sums.LiteralQueries() > 0, shape.literal);
    EXPECT_LT(sums.LiteralQueries(), 3);
  }
}

TEST_F(PeriodLineSumsTest, TableOrderOnlyFromAScanOrAnIndexOnTheOrderAlone) {
  struct Row {
    const char* name;
    bool lineIndex;
    const char* sql;  // run on the built database
    bool scan;  // or an index on the order alone
  };
  const Row rows[] = {
      {"no index", false, nullptr, true},
      {"index on the order", true, nullptr, true},
      {"descending index on the order", false,
       "CREATE INDEX d ON verbindauftrag (auftragindex DESC)", true},
      {"partial index on the order", false,
       "CREATE INDEX p ON verbindauftrag (auftragindex) WHERE preis > 0", true},
      {"index on the order, other columns too", true,
       "CREATE INDEX o ON verbindauftrag (anzahl, preis, mwst)", true},
      {"index on other columns", false, "CREATE INDEX o ON verbindauftrag (anzahl, preis, mwst)",
       true},
      {"expression", false, "CREATE INDEX e ON verbindauftrag (auftragindex + 0)", true},
      {"order and price", false, "CREATE INDEX t ON verbindauftrag (auftragindex, preis)", false},
      {"covering index led by the price", false,
       "CREATE INDEX c ON verbindauftrag (preis, anzahl, mwst, AUFTRAGINDEX)", false},
      {"a view", false,
       "ALTER TABLE verbindauftrag RENAME TO positionen; CREATE VIEW verbindauftrag AS SELECT * "
       "FROM positionen",
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testdb::Schema schema;
    schema.lineIndex = row.lineIndex;
    testdb::PelmoraDb& b = Build(schema);
    if (row.sql != nullptr) b.Exec(row.sql);
    EXPECT_EQ(LinesReadInTableOrder(Open()), row.scan);
  }
}

}  // namespace
}  // namespace vorlex
