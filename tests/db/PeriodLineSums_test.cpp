// How the line sums of a period are read from each layout of the line table,
// and when the order's own query reads the lines in the table's order. That
// the figures are those of one query per order, the sales evaluation's test
// (tests/tax/SalesLineSums_test.cpp) compares on the same databases.
#include "db/PeriodLineSums.h"

#include <gtest/gtest.h>

#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "DbTest.h"
#include "db/LineShapes.h"
#include "db/SQLiteDatabase.h"
#include "db/SQLiteStatement.h"
#include "db/uDB.h"
#include "db/uDB_Help.h"
#include "tests/util/FormatTest.h"
#include "util/uDatum.h"

namespace vorlex {
namespace {

using testing::LineShapes;
using testing::Shape;

// The VAT of a line for net prices, over the cells as stored and as read.
LineVat NetPriceVat() {
  const auto vat = [](bool read) {
    return LineCell("anzahl", read) + "*(" + LineCell("preis", read) + "*(" +
           LineCell("mwst", read) + "/100.0))";
  };
  return {vat(false), vat(true)};
}

class PeriodLineSumsTest : public testing::DbTest {
 protected:
  std::string Path() const { return folder_.File("lines.db"); }
  TDBase& Make(const Shape& shape) {
    db_.reset();
    {
      testdb::PelmoraDb b(Path(), SchemaOf(shape));
      BuildShape(b, shape);
    }
    db_ = std::make_unique<TDBase>(Path(), kGerman);
    return *db_;
  }

  std::unique_ptr<TDBase> db_;
};

// The FROM and WHERE text of the live orders of 2024.
std::string LiveOrdersOf2024() {
  return " FROM auftrag WHERE (auftrag.papierkorb = 0) AND (termin >= " + SQLDate(2024, 1, 1) +
         ") AND (termin < " + SQLDate(2025, 1, 1) + ") ";
}

// With the nets by rate, the rates' column tells the lines holding text in
// place of their count: the same orders are read cell by cell or left to
// their own query, with the same sums.
TEST_F(PeriodLineSumsTest, OnePassWhereTheOrdersQueryReadsInTableOrder) {
  const std::string fromWhere = LiveOrdersOf2024();
  for (const Shape& shape : LineShapes()) {
    SCOPED_TRACE(shape.name);
    TDBase& db = Make(shape);
    const auto orders = db.Query("SELECT auftrag.*" + fromWhere + "ORDER BY termin");
    const TDBField id("id");
    TPeriodLineSums sums(db, fromWhere, NetPriceVat());
    TPeriodLineSums withRates(db, fromWhere, NetPriceVat(), true);
    EXPECT_EQ(sums.OnePass(), shape.onePass);
    EXPECT_EQ(withRates.OnePass(), shape.onePass);
    int64_t walked = 0;
    for (; !orders->AtEnd(); orders->MoveNext(), ++walked) {
      const int64_t order = orders->FieldInt(id);
      const auto answer = [&](TPeriodLineSums& from) -> std::optional<LineSumsAnswer> {
        try {
          return from.Of(*orders, id, order);
        } catch (const std::exception&) {
          // The order's own query fails; the run ends there, as it always did.
          return std::nullopt;
        }
      };
      const std::optional<LineSumsAnswer> plain = answer(sums);
      const std::optional<LineSumsAnswer> rated = answer(withRates);
      ASSERT_EQ(plain.has_value(), rated.has_value()) << order;
      if (!plain) continue;
      ASSERT_EQ(plain->sums.has_value(), rated->sums.has_value()) << order;
      EXPECT_EQ(plain->readCells, rated->readCells) << order;
      if (plain->sums) {
        EXPECT_EQ(plain->sums->net, rated->sums->net) << order;
        EXPECT_EQ(plain->sums->vat, rated->sums->vat) << order;
      }
    }
    ASSERT_GT(walked, 50);
    // Numbers as text: the cells of every order read one by one.
    EXPECT_EQ(sums.CellReads() > 0, shape.amountType == "VARCHAR(20)");
    EXPECT_EQ(sums.OwnQueries() > 0, shape.literal);
    EXPECT_LT(sums.OwnQueries(), 3);
    EXPECT_EQ(withRates.CellReads(), sums.CellReads());
    EXPECT_EQ(withRates.OwnQueries(), sums.OwnQueries());
  }
}

// An order's nets by rate as its lines add up one after the other, in the
// order in which the order's own query reads them.
RateNets LinesByRate(TSQLiteDatabase& db, int64_t orderId) {
  TSQLiteStatement lines(db, "SELECT " + LineCell("anzahl", true) + "*" +
                                              LineCell("preis", true) + ", " +
                                              LineCell("mwst", true) +
                                              " FROM verbindauftrag WHERE auftragindex=?1");
  lines.BindInt64(1, orderId);
  std::map<double, double> byRate;
  while (lines.Step()) {
    if (lines.ColumnType(0) == ColumnKind::Null) continue;
    const double rate = lines.ColumnType(1) == ColumnKind::Null ? 0 : lines.ColumnDouble(1);
    byRate[rate] += lines.ColumnDouble(0);
  }
  RateNets nets;
  for (const auto& [rate, net] : byRate) {
    if (net != 0) nets.push_back({rate, net});
  }
  return nets;
}

// The nets by rate as the order's own query gives them.
void ExpectNets(const RateNets& nets, const RateNets& expected, int64_t order) {
  ASSERT_EQ(nets.size(), expected.size()) << order;
  for (size_t i = 0; i < nets.size(); ++i) {
    EXPECT_EQ(nets[i].rate, expected[i].rate) << order;
    EXPECT_EQ(nets[i].net, expected[i].net) << order;
  }
}

TEST_F(PeriodLineSumsTest, NetsByRateFromEveryLayoutAsTheLinesAddUp) {
  const std::string fromWhere = LiveOrdersOf2024();
  for (const Shape& shape : LineShapes()) {
    SCOPED_TRACE(shape.name);
    TDBase& db = Make(shape);
    const auto orders = db.Query("SELECT auftrag.*" + fromWhere + "ORDER BY termin");
    const TDBField id("id");
    TPeriodLineSums sums(db, fromWhere, NetPriceVat(), true);
    TSQLiteDatabase own(Path(), kGerman);
    int mixed = 0;
    for (; !orders->AtEnd(); orders->MoveNext()) {
      const int64_t order = orders->FieldInt(id);
      RateNets nets;
      try {
        nets = sums.RatesOf(*orders, id, order);
      } catch (const std::exception&) {
        continue;  // a cell no number can be read from
      }
      ExpectNets(nets, LinesByRate(own, order), order);
      mixed += nets.size() > 1;
    }
    if (shape.amounts == testing::Amounts::Fractional) {
      EXPECT_GT(mixed, 0);
    }
  }

  // More rates than the one pass keeps: the library groups them.
  db_.reset();
  {
    testdb::PelmoraDb b(Path());
    b.Add(testdb::Order{.id = 1, .termin = EncodeDate(2024, 3, 1)});
    for (int rate = 1; rate <= kRateNetsMost + 2; ++rate) {
      b.Add(testdb::Line{.auftragindex = int64_t{1}, .anzahl = 1.0, .preis = 10.0 * rate,
                         .mwst = static_cast<double>(rate)});
    }
  }
  TDBase db(Path(), kGerman);
  const auto orders = db.Query("SELECT auftrag.*" + fromWhere + "ORDER BY termin");
  const TDBField id("id");
  TPeriodLineSums sums(db, fromWhere, NetPriceVat(), true);
  const RateNets nets = sums.RatesOf(*orders, id, 1);
  ASSERT_EQ(nets.size(), static_cast<size_t>(kRateNetsMost + 2));
  EXPECT_EQ(nets.back().rate, kRateNetsMost + 2);
  EXPECT_EQ(nets.back().net, 10.0 * (kRateNetsMost + 2));
}

// The lines of many orders read in one statement add up as each order's own
// query: on every layout, for orders without lines, and for one with more
// rates than the statement keeps, which is left to its own query.
TEST_F(PeriodLineSumsTest, OrderRatesReadTogetherAsEachOrderAlone) {
  for (const Shape& shape : LineShapes()) {
    SCOPED_TRACE(shape.name);
    TDBase& db = Make(shape);
    std::vector<int64_t> ids = {999999};  // no such order
    for (const auto orders = db.Query("SELECT id FROM auftrag"); !orders->AtEnd();
         orders->MoveNext()) {
      ids.push_back(orders->FieldInt(TDBField("id")));
    }
    TOrderRates rates(db, NetPriceVat());
    const size_t answered = rates.Prefetch(ids);
    TSQLiteDatabase own(Path(), kGerman);
    size_t compared = 0;
    for (const int64_t order : ids) {
      RateNets nets;
      try {
        nets = rates.Of(order);
      } catch (const std::exception&) {
        continue;  // a cell no number can be read from
      }
      ExpectNets(nets, LinesByRate(own, order), order);
      ++compared;
    }
    EXPECT_GT(compared, ids.size() / 2);
    // A layout with a cell no number can be read from leaves every order to
    // its own query; on every other the one statement answers most.
    EXPECT_TRUE(answered > ids.size() / 2 || answered == 0) << answered;
  }
  db_.reset();
  {
    testdb::PelmoraDb b(Path());
    for (int rate = 1; rate <= kRateNetsMost + 2; ++rate) {
      b.Add(testdb::Line{.auftragindex = int64_t{1}, .anzahl = 1.0, .preis = 10.0 * rate,
                         .mwst = static_cast<double>(rate)});
    }
    b.Add(testdb::Line{.auftragindex = int64_t{2}, .anzahl = 2.0, .preis = 5.0, .mwst = 7.0});
  }
  TDBase db(Path(), kGerman);
  TOrderRates rates(db, NetPriceVat());
  EXPECT_EQ(rates.Prefetch({1, 2, 3}), 1u);
  EXPECT_EQ(rates.Of(1).size(), static_cast<size_t>(kRateNetsMost + 2));
  ASSERT_EQ(rates.Of(2).size(), 1u);
  EXPECT_EQ(rates.Of(2)[0].net, 10.0);
  EXPECT_TRUE(rates.Of(3).empty());
}

// Whole numbers stored as integers are multiplied as the library multiplies
// them: exactly, and as doubles where the product leaves 64 bits.
TEST_F(PeriodLineSumsTest, NetsOfWholeNumbersAsTheLibraryMultipliesThem) {
  {
    testdb::PelmoraDb b(Path(), {.amountType = "NUMERIC"});
    b.Add(testdb::Order{.id = 1, .termin = EncodeDate(2024, 3, 1)});
    for (const auto& [anzahl, preis] : {std::pair<int64_t, int64_t>{4294967311, 4294967357},
                                        {3037000493, 3037000453},
                                        {3, 7}}) {
      b.Add(testdb::Line{.auftragindex = int64_t{1}, .anzahl = anzahl, .preis = preis});
    }
  }
  TDBase db(Path(), kGerman);
  const std::string fromWhere = LiveOrdersOf2024();
  const auto orders = db.Query("SELECT auftrag.*" + fromWhere);
  TPeriodLineSums sums(db, fromWhere, NetPriceVat(), true);
  TOrderRates rates(db, NetPriceVat());
  ASSERT_EQ(rates.Prefetch({1}), 1u);
  TSQLiteDatabase own(Path(), kGerman);
  const RateNets expected = LinesByRate(own, 1);
  ASSERT_EQ(expected.size(), 1u);
  ExpectNets(sums.RatesOf(*orders, TDBField("id"), 1), expected, 1);
  ExpectNets(rates.Of(1), expected, 1);
}

TEST_F(PeriodLineSumsTest, TableOrderOnlyFromAScanOrAnIndexOnTheOrderAlone) {
  struct Row {
    const char* name;
    bool lineIndex;
    const char* sql;  // run on the built database
    bool scan;        // or an index on the order alone
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
    std::filesystem::remove(Path());
    {
      testdb::Schema schema;
      schema.lineIndex = row.lineIndex;
      testdb::PelmoraDb b(Path(), schema);
      if (row.sql != nullptr) b.Exec(row.sql);
    }
    TSQLiteDatabase db(Path(), kGerman);
    EXPECT_EQ(LinesReadInTableOrder(db, NetPriceVat()), row.scan);
  }
}

}  // namespace
}  // namespace vorlex
