// The sales evaluation's line sums against the queries they replaced: on
// generated databases, every evaluation run gives the very list bytes, totals
// and errors that one line-sum query per order, read field by field through
// their texts, gives.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "db/LineShapes.h"
#include "db/uDB.h"
#include "output/ExportFile.h"
#include "output/SummaryList.h"
#include "tax/CashBookEvaluation.h"
#include "tax/EvaluationRun.h"
#include "tax/FieldRead.h"
#include "tax/RecordingSink.h"
#include "tax/SalesEvaluation.h"
#include "tax/TaxDbTest.h"
#include "util/NumberText.h"

namespace vorlex {
namespace {

using testing::Day;
using testing::LineShapes;
using testing::RecordingSink;
using testing::Shape;

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

class SalesLineSumsTest : public testing::TaxDbTest {
 protected:
  void Make(const Shape& shape) { BuildShape(Build(SchemaOf(shape)), shape); }
};

TEST_F(SalesLineSumsTest, RunsGiveTheFiguresOfOneQueryPerOrder) {
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
  for (const Shape& shape : LineShapes()) {
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
TEST_F(SalesLineSumsTest, CommaTextsGiveTheFiguresOfTheirNumbers) {
  for (Shape shape : LineShapes()) {
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

}  // namespace
}  // namespace vorlex
