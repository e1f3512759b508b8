// The year overview against runs of each of its periods: on generated
// databases, every month, quarter and year row holds the very totals, bit for
// bit, that a run of that period adds up, for both bases, with and without the
// index on the line table and with indexes that may change how the queries
// read their rows.
#include "tax/YearOverview.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "db/uDB.h"
#include "output/SummaryList.h"
#include "output/YearOverviewText.h"
#include "tax/EvaluationRun.h"
#include "tax/GeneratedDb.h"
#include "tax/TaxDbTest.h"
#include "testdb/PelmoraDb.h"
#include "tests/util/FormatTest.h"
#include "util/FormatSettings.h"

namespace vorlex {
namespace {

using testing::Day;

std::vector<uint64_t> Bits(const TaxTotals& t) {
  return {std::bit_cast<uint64_t>(t.NichtEU),          std::bit_cast<uint64_t>(t.InnergemOhneUStId),
          std::bit_cast<uint64_t>(t.InnergemMitUStId), std::bit_cast<uint64_t>(t.Umsatz19),
          std::bit_cast<uint64_t>(t.Umsatz7),          std::bit_cast<uint64_t>(t.Vorsteuer7),
          std::bit_cast<uint64_t>(t.Vorsteuer19)};
}

void Exec(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  const std::string message = error != nullptr ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  ASSERT_EQ(rc, SQLITE_OK) << message;
}

struct Variant {
  const char* name;
  bool lineIndex;
  const char* extra;  // more SQL after generation
};

// Besides the generated rows, entries that tie in the sort of their query
// (same country and day; same direction, text and day) with amounts whose sum
// depends on the order of adding, in every month.
const char* const kTies =
    "INSERT INTO kasse (papierkorb, neinaus, termin, bezeichnung, betrag, mwst) "
    "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 143) "
    "SELECT 0, i % 2, 45292 + (i / 6) * 61 % 731, 'Gleich', "
    "  (i * 7919 % 100000) / 1000.0 + 0.1, CASE WHEN i % 3 = 0 THEN 7 ELSE 19 END FROM n;"
    "INSERT INTO auftrag (id, besitzerindex, papierkorb, bezahlt, davonbezahlt, termin, "
    "  bezahltam, bezeichnung, mwst, skonto, auftragstyp, rechbetrag) "
    "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 239) "
    "SELECT 900000 + i, 1, 0, -1, 1.0, 45658 + (i / 10) * 15, 45658 + (i / 10) * 15, 'Gleich', "
    "  19, 0, 0, 0 FROM n;"
    "INSERT INTO verbindauftrag (auftragindex, anzahl, preis, mwst) "
    "SELECT id, 1, (id * 104729 % 1000000) / 10000.0 + 0.01, 19 FROM auftrag WHERE id >= 900000;";

class YearOverviewAgainstRuns : public ::testing::TestWithParam<Variant> {};

TEST_P(YearOverviewAgainstRuns, EveryRowHoldsTheTotalsOfARunOfItsPeriod) {
  const Variant& variant = GetParam();
  const testing::GeneratedDb generated(std::string("overview-") + variant.name, 6000, 2,
                                       variant.lineIndex, 15);
  const std::string& path = generated.Path();
  Exec(path, kTies);
  if (variant.extra[0] != '\0') Exec(path, variant.extra);

  TDBase db(path, kGerman);
  for (const int year : {2024, 2025}) {
    for (const TaxationBasis basis : {TaxationBasis::Ist, TaxationBasis::Soll}) {
      const YearOverview overview = EvaluateYearOverview(db, year, basis);
      ASSERT_EQ(overview.rows.size(), 17u);
      std::vector<bool> fieldSeen(100, false);
      for (const OverviewRow& row : overview.rows) {
        SCOPED_TRACE(OverviewRowLabel(row) + " " + std::to_string(year) + " basis " +
                     BasisText(basis));
        TRunList run(kGerman);
        TaxTotals totals;
        EvaluateRun(db, row.period.FirstDay, row.period.LastDay, basis, totals, run);
        EXPECT_EQ(Bits(row.totals), Bits(totals));
        EXPECT_EQ(OverviewCells(row.totals, kGerman), OverviewCells(totals, kGerman));
        if (row.span == OverviewSpan::Month) {
          for (const FormFigure& f : FormFigures(totals)) {
            if (f.value != 0) fieldSeen[f.field] = true;
          }
        }
      }
      // The data reach every field, so that no row agrees by being empty.
      for (const int field : {41, 44, 81, 86, 66}) EXPECT_TRUE(fieldSeen[field]) << field;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Databases, YearOverviewAgainstRuns,
    ::testing::Values(Variant{"index", true, ""}, Variant{"noindex", false, ""},
                      Variant{"dateindexes", true,
                              "CREATE INDEX a_termin ON auftrag (termin);"
                              "CREATE INDEX a_bezahltam ON auftrag (bezahltam);"
                              "CREATE INDEX k_termin ON kasse (termin);"},
                      Variant{"sortindexes", false,
                              "CREATE INDEX b_land ON besitzer (land);"
                              "CREATE INDEX k_sort ON kasse (neinaus, bezeichnung, termin);"
                              "CREATE INDEX a_kunde ON auftrag (besitzerindex, bezahltam);"
                              "ANALYZE;"}),
    [](const ::testing::TestParamInfo<Variant>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlex
