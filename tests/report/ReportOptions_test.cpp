#include "report/ReportOptions.h"
#include "report/ReportUsage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vorlex {
namespace {

TEST(ReportOptionsTest, Periods) {
  struct Days {
    CalendarDate first;
    CalendarDate last;
  };
  struct Row {
    std::vector<std::string> args;
    std::optional<Days> period;
  };
  const Row rows[] = {
      {{}, std::nullopt},
      {{"--year", "2024"}, Days{{2024, 1, 1}, {2024, 12, 31}}},
      {{"--year=1998"}, Days{{1998, 1, 1}, {1998, 12, 31}}},
      {{"--quarter", "2024-Q1"}, Days{{2024, 1, 1}, {2024, 3, 31}}},
      {{"--quarter", "2024-Q2"}, Days{{2024, 4, 1}, {2024, 6, 30}}},
      {{"--quarter", "2024-q3"}, Days{{2024, 7, 1}, {2024, 9, 30}}},
      {{"--quarter", "2024-Q4"}, Days{{2024, 10, 1}, {2024, 12, 31}}},
      {{"--month", "2024-02"}, Days{{2024, 2, 1}, {2024, 2, 29}}},
      {{"--month", "2100-02"}, Days{{2100, 2, 1}, {2100, 2, 28}}},
      {{"--month", "2023-12"}, Days{{2023, 12, 1}, {2023, 12, 31}}},
      {{"--from", "2024-03-05", "--to", "2024-04-10"}, Days{{2024, 3, 5}, {2024, 4, 10}}},
      {{"--to", "2024-04-10", "--from", "2024-03-05"}, Days{{2024, 3, 5}, {2024, 4, 10}}},
      {{"--from=2024-02-29", "--to=2024-02-29"}, Days{{2024, 2, 29}, {2024, 2, 29}}},
      {{"--year", "9999"}, Days{{9999, 1, 1}, {9999, 12, 31}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.args));
    const ReportOptions options = ParseReportArguments(row.args);
    ASSERT_EQ(options.period.has_value(), row.period.has_value());
    if (row.period) {
      EXPECT_EQ(options.period->First, row.period->first);
      EXPECT_EQ(options.period->Last, row.period->last);
      EXPECT_EQ(options.period->FirstDay, EncodeDate(row.period->first.year,
                                                     row.period->first.month,
                                                     row.period->first.day));
    }
    EXPECT_FALSE(options.help);
  }
}

TEST(ReportOptionsTest, DatabaseBasisAndCsv) {
  const ReportOptions defaults = ParseReportArguments({});
  EXPECT_EQ(defaults.db, "");
  EXPECT_EQ(defaults.basis, TaxationBasis::Ist);
  EXPECT_FALSE(defaults.csv.has_value());

  const ReportOptions all = ParseReportArguments(
      {"--db", "/srv/B\xFCro/pelmora.db", "--basis", "soll", "--csv", "-", "--month", "2024-03"});
  EXPECT_EQ(all.db, "/srv/B\xFCro/pelmora.db");
  EXPECT_EQ(all.basis, TaxationBasis::Soll);
  EXPECT_EQ(all.csv, "-");

  EXPECT_EQ(ParseReportArguments({"--basis=IST"}).basis, TaxationBasis::Ist);
  EXPECT_EQ(ParseReportArguments({"--basis", "Soll"}).basis, TaxationBasis::Soll);
  EXPECT_EQ(ParseReportArguments({"--csv=a=b.csv"}).csv, "a=b.csv");
  const ReportOptions json = ParseReportArguments({"--strict", "--format", "json"});
  EXPECT_TRUE(json.json && json.strict);
  EXPECT_FALSE(ParseReportArguments({"--format=text"}).json);
  for (const int field : {41, 44, 81, 86, 66}) {
    EXPECT_EQ(ParseReportArguments({"--field", std::to_string(field)}).field, field);
  }
  const ReportOptions overview =
      ParseReportArguments({"--overview=2026", "--basis", "soll", "--csv", "j.csv", "--format", "json"});
  EXPECT_EQ(overview.overview, 2026);
  EXPECT_FALSE(overview.period.has_value());
  EXPECT_EQ(overview.csv, "j.csv");
  const ReportOptions files = ParseReportArguments(
      {"--quarter", "2026-Q2", "--table", "t.csv", "--zm=-", "--csv", "l.csv"});
  EXPECT_EQ(files.table, "t.csv");
  EXPECT_EQ(files.zm, "-");
  EXPECT_EQ(ParseReportArguments({"--zm", "zm.csv"}).zm, "zm.csv");  // the current month
  // Help wins over everything else on the line, wrong arguments included.
  EXPECT_TRUE(ParseReportArguments({"--year", "x", "--help"}).help);
  EXPECT_TRUE(ParseReportArguments({"--month", "2024-03", "--help"}).help);
  EXPECT_TRUE(ParseReportArguments({"-h"}).help);
}

TEST(ReportOptionsTest, WrongArguments) {
  const std::vector<std::vector<std::string>> rows = {
      {"2024"},
      {"--jahr", "2024"},
      {"--year"},
      {"--year", "24"},
      {"--year", "0000"},
      {"--year", "20245"},
      {"--year", "2024", "--year", "2025"},
      {"--year", "2024", "--month", "2024-03"},
      {"--quarter", "2024-Q5"},
      {"--quarter", "2024-Q0"},
      {"--quarter", "2024Q1"},
      {"--month", "2024-13"},
      {"--month", "2024-3"},
      {"--month", "2024-00"},
      {"--from", "2024-03-01"},
      {"--to", "2024-03-01"},
      {"--from", "2024-02-30", "--to", "2024-03-01"},
      {"--from", "2024-3-1", "--to", "2024-03-01"},
      {"--from", "2024-03-01", "--to", "2024-03-01", "--month", "2024-03"},
      {"--basis", "halb"},
      {"--db", ""},
      {"--csv="},
      {"-x"},
      {"--format", "xml"},
      {"--strict=yes"},
      {"--strict", "--strict"},
      {"--format=json", "--csv", "-"},
      {"--field", "83"},
      {"--field", "8"},
      {"--field", "081"},
      {"--field", "41", "--field", "44"},
      {"--overview", "26"},
      {"--overview", "2026", "--year", "2026"},
      {"--overview", "2026", "--month", "2026-03"},
      {"--overview", "2026", "--field", "81"},
      {"--overview", "2026", "--strict"},
      {"--table", ""},
      {"--zm="},
      {"--table", "-", "--csv", "-"},
      {"--zm", "-", "--format", "json"},
      {"--overview", "2026", "--table", "t.csv"},
      {"--zm", "zm.csv", "--year", "2026"},
      {"--zm", "zm.csv", "--from", "2026-04-01", "--to", "2026-06-30"},
      {"--mark-filed", "--year", "2026"},
      {"--mark-filed", "--from", "2026-04-01", "--to", "2026-04-30"},
      {"--mark-filed=ja"},
      {"--ticket", "et-1", "--month", "2026-03"},
      {"--filed-on", "2026-04-31", "--mark-filed"},
      {"--changes", "--month", "2026-03"},
      {"--changes", "--mark-filed"},
      {"--ledger", ""},
  };
  for (const auto& args : rows) {
    SCOPED_TRACE(::testing::PrintToString(args));
    EXPECT_THROW(ParseReportArguments(args), EUsage);
  }
}

TEST(ReportOptionsTest, MarkFiled) {
  const ReportOptions o = ParseReportArguments({"--quarter", "2026-Q1", "--mark-filed",
                                                "--filed-on", "2026-04-10", "--ticket", "et-1",
                                                "--ledger", "l.db"});
  EXPECT_TRUE(o.markFiled);
  EXPECT_EQ(o.filedOn, (CalendarDate{2026, 4, 10}));
  EXPECT_EQ(o.ticket, "et-1");
  EXPECT_EQ(o.ledger, "l.db");
  // The current month, without a period named.
  EXPECT_TRUE(ParseReportArguments({"--mark-filed"}).markFiled);
  EXPECT_TRUE(ParseReportArguments({"--changes", "--ledger", "l.db"}).changes);
}

TEST(ReportOptionsTest, RangeEndingBeforeItBeginsNamesBothDays) {
  struct Row {
    std::vector<std::string> args;
    const char* message;
  };
  const Row rows[] = {
      {{"--from", "2026-12-31", "--to", "2026-12-01"},
       "--from 2026-12-31 liegt nach --to 2026-12-01"},
      {{"--to=2026-12-31", "--from=2027-01-01"}, "--from 2027-01-01 liegt nach --to 2026-12-31"},
      {{"--from", "2026-03-01", "--to", "2026-02-28"},
       "--from 2026-03-01 liegt nach --to 2026-02-28"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.args));
    try {
      ParseReportArguments(row.args);
      ADD_FAILURE() << "accepted";
    } catch (const EUsage& e) {
      EXPECT_STREQ(e.what(), row.message);
    }
  }
}

// The usage names exactly the fields that --field takes, and the rejection
// of another says which ones those are.
TEST(ReportOptionsTest, UsageNamesEveryFieldThatFieldTakes) {
  std::string accepted;
  for (int n = 1; n <= 99; ++n) {
    const std::string number = n < 10 ? "0" + std::to_string(n) : std::to_string(n);
    try {
      if (ParseReportArguments({"--field", number}).field == n) {
        accepted += (accepted.empty() ? "" : "|") + number;
      }
    } catch (const EUsage&) {
    }
  }
  EXPECT_EQ(accepted, "21|35|36|41|43|44|45|66|81|86");
  const std::string usage = ReportUsage();
  EXPECT_NE(usage.find("[--field 41|44|81|86|66|21|35|36|43|45]"), std::string::npos) << usage;
  EXPECT_NE(usage.find("deren Wert: 41, 44, 81, 86, 66, 21, 35, 36, 43 oder 45"),
            std::string::npos);
  for (const char* option : {"--classify simple|exact", "--sales goods|services"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
  try {
    ParseReportArguments({"--field", "39"});
    ADD_FAILURE() << "--field 39 accepted";
  } catch (const EUsage& e) {
    EXPECT_STREQ(e.what(),
                 "--field: Kennzahl 41, 44, 81, 86, 66, 21, 35, 36, 43 oder 45 erwartet: \"39\"");
  }
}

}  // namespace
}  // namespace vorlex
