// How the line sums of a period are read from each layout of the line table,
// and when the order's own query reads the lines in the table's order. That
// the figures are those of one query per order, the sales evaluation's test
// (tests/tax/SalesLineSums_test.cpp) compares on the same databases.
#include "db/PeriodLineSums.h"

#include <gtest/gtest.h>

#include <exception>
#include <filesystem>
#include <memory>
#include <string>

#include "DbTest.h"
#include "db/LineShapes.h"
#include "db/SQLiteDatabase.h"
#include "db/uDB.h"
#include "db/uDB_Help.h"

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
    db_ = std::make_unique<TDBase>(Path());
    return *db_;
  }

  std::unique_ptr<TDBase> db_;
};

TEST_F(PeriodLineSumsTest, OnePassWhereTheOrdersQueryReadsInTableOrder) {
  // The live orders of 2024.
  const std::string fromWhere =
      " FROM auftrag WHERE (auftrag.papierkorb = 0) AND (termin >= " + SQLDate(2024, 1, 1) +
      ") AND (termin < " + SQLDate(2025, 1, 1) + ") ";
  for (const Shape& shape : LineShapes()) {
    SCOPED_TRACE(shape.name);
    TDBase& db = Make(shape);
    const auto orders = db.Query("SELECT auftrag.*" + fromWhere + "ORDER BY termin");
    const TDBField id("id");
    TPeriodLineSums sums(db, fromWhere, *orders, id, NetPriceVat());
    EXPECT_EQ(sums.OnePass(), shape.onePass);
    int64_t walked = 0;
    for (; !orders->AtEnd(); orders->MoveNext(), ++walked) {
      try {
        sums.Of(*orders, id, orders->FieldInt(id));
      } catch (const std::exception&) {
        // The order's own query fails; the run ends there, as it always did.
      }
    }
    ASSERT_GT(walked, 50);
    // Numbers as text: the cells of every order read one by one.
    EXPECT_EQ(sums.CellReads() > 0, shape.amountType == "VARCHAR(20)");
    EXPECT_EQ(sums.OwnQueries() > 0, shape.literal);
    EXPECT_LT(sums.OwnQueries(), 3);
  }
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
    TSQLiteDatabase db(Path());
    EXPECT_EQ(LinesReadInTableOrder(db, NetPriceVat()), row.scan);
  }
}

}  // namespace
}  // namespace vorlex
