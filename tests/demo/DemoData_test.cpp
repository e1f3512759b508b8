#include "demo/DemoData.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "bench/Probe.h"
#include "db/uDB.h"
#include "location/PelmoraLocation.h"
#include "output/SummaryList.h"
#include "tax/EvaluationRun.h"
#include "tax/FormFields.h"
#include "tests/ScratchFolder.h"
#include "tests/util/FormatTest.h"
#include "util/FormatSettings.h"
#include "util/uString.h"
namespace vorlex::demo {
namespace {

namespace fs = std::filesystem;

std::string Num(double dayNumber) {
  return std::to_string(static_cast<int64_t>(dayNumber));
}

// The first day of the month `back` months before the given date's month.
double MonthStart(const CalendarDate& d, int back) {
  const int serial = d.year * 12 + d.month - 1 - back;
  return EncodeDate(serial / 12, serial % 12 + 1, 1);
}

struct DayCase {
  const char* name;
  CalendarDate today;
};

void PrintTo(const DayCase& c, std::ostream* os) {
  *os << c.name;
}

class DemoDays : public ::testing::TestWithParam<DayCase> {};

// Whatever day the demo is made, today's month has something to show under
// both taxation bases and in both directions of the cash book, and nothing is
// dated after today or before the year and a quarter.
TEST_P(DemoDays, CurrentMonthHasEveryKindOfEntryAndNothingLiesOutsideTheSpan) {
  const CalendarDate today = GetParam().today;
  testing::ScratchFolder dir("vorlex-demo");
  const DemoInstallation made = MakeDemoInstallation(dir.Path() / "appdata", today);
  const probe::Db db(made.database.string());

  const std::string monthStart = Num(MonthStart(today, 0));
  const std::string tomorrow = Num(EncodeDate(today.year, today.month, today.day) + 1);
  const std::string inMonth = " >= " + monthStart + " AND ";
  const auto count = [&](const std::string& where, const std::string& table = "auftrag") {
    return db.Number("SELECT COUNT(*) FROM " + table + " WHERE papierkorb = 0 AND " + where);
  };
  EXPECT_GE(count("termin" + inMonth + "termin < " + tomorrow), 3) << "Soll";
  EXPECT_GE(count("bezahltam" + inMonth + "bezahltam < " + tomorrow +
                  " AND (bezahlt = -1 OR davonbezahlt IS NOT 0)"),
            2)
      << "Ist";
  EXPECT_GE(count("termin" + inMonth + "bezahlt = 0 AND davonbezahlt = 0"), 1) << "unpaid";
  EXPECT_GE(count("termin" + inMonth + "bezahlt = 0 AND davonbezahlt > 0"), 1) << "part-paid";
  for (const char* kind : {"neinaus = 0 AND mwst = 7", "neinaus = 0 AND mwst = 19",
                           "neinaus = 1 AND mwst = 7", "neinaus = 1 AND mwst = 19"}) {
    EXPECT_GE(count("termin" + inMonth + kind, "kasse"), 1) << kind;
  }

  const std::string first = Num(MonthStart(today, kDemoMonths - 1));
  for (const char* check : {"SELECT COUNT(*) FROM auftrag WHERE termin < %F OR termin >= %T",
                            "SELECT COUNT(*) FROM auftrag WHERE bezahltam <> 0 AND (bezahltam < "
                            "termin OR bezahltam >= %T)",
                            "SELECT COUNT(*) FROM kasse WHERE termin < %F OR termin >= %T"}) {
    const std::string sql = StrReplaceAll(StrReplaceAll(check, "%F", first), "%T", tomorrow);
    EXPECT_EQ(db.Number(sql), 0) << sql;
  }
  // Every month of the span has business.
  for (int back = 0; back < kDemoMonths; ++back) {
    const std::string from = Num(MonthStart(today, back));
    const std::string to = Num(MonthStart(today, back - 1));
    const std::string span = " WHERE termin >= " + from + " AND termin < " + to;
    EXPECT_GE(db.Number("SELECT COUNT(*) FROM auftrag" + span), 5) << back << " months back";
    EXPECT_GE(db.Number("SELECT COUNT(*) FROM kasse" + span), 6) << back << " months back";
  }
}

INSTANTIATE_TEST_SUITE_P(Days, DemoDays,
                         ::testing::Values(DayCase{"MidMonth", {2025, 6, 17}},
                                           DayCase{"NewYearsDay", {2026, 1, 1}},
                                           DayCase{"LeapDay", {2024, 2, 29}},
                                           DayCase{"NewYearsEve", {2025, 12, 31}},
                                           DayCase{"FirstOfMarch", {2025, 3, 1}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DemoContent, ShowsEveryCaseTheEvaluationTellsApart) {
  testing::ScratchFolder dir("vorlex-demo");
  const DemoInstallation made = MakeDemoInstallation(dir.Path(), {2025, 6, 17});
  const probe::Db db(made.database.string());
  const auto rows = [&](const std::string& sql) { return db.Rows(sql); };

  EXPECT_EQ(rows("SELECT ustidnummer FROM settingsmandant"), std::string(kDemoVatId) + "\n");
  // Customers with orders: at home, in Austria and Spain with and without a VAT
  // identification number, in Luxembourg and in Switzerland.
  EXPECT_EQ(rows("SELECT DISTINCT land, ust_id <> '' FROM auftrag JOIN besitzer ON "
                 "besitzerindex = besitzer.id WHERE papierkorb = 0 ORDER BY 1, 2"),
            "A|0\nA|1\nCH|1\nD|0\nE|0\nE|1\nLUX|1\n");
  EXPECT_GE(db.Number("SELECT COUNT(*) FROM auftrag WHERE auftragstyp = -99 AND mwst = 19 AND "
                      "rechbetrag < 0"),
            1);
  EXPECT_GE(db.Number("SELECT COUNT(*) FROM auftrag WHERE papierkorb <> 0"), 1);
  EXPECT_GE(db.Number("SELECT COUNT(*) FROM kasse WHERE papierkorb <> 0"), 1);
  EXPECT_GE(db.Number("SELECT COUNT(*) FROM auftrag WHERE length(bezeichnung) > 45"), 1);
  // Every order has lines; orders without VAT have none at a rate.
  EXPECT_EQ(db.Number("SELECT COUNT(*) FROM auftrag WHERE id NOT IN (SELECT auftragindex FROM "
                      "verbindauftrag)"),
            0);
  EXPECT_EQ(db.Number("SELECT COUNT(*) FROM auftrag JOIN verbindauftrag ON auftragindex = "
                      "auftrag.id WHERE auftrag.mwst = 0 AND verbindauftrag.mwst <> 0"),
            0);

  // Names with umlauts in both encodings that Pelmora databases hold.
  std::set<bool> utf8;
  std::istringstream names(
      rows("SELECT name FROM besitzer UNION ALL SELECT name FROM lieferant UNION ALL SELECT "
           "bezeichnung FROM auftrag UNION ALL SELECT bezeichnung FROM kasse"));
  for (std::string name; std::getline(names, name);) {
    const bool ascii = std::all_of(name.begin(), name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) utf8.insert(IsValidUtf8(name));
  }
  EXPECT_EQ(utf8, (std::set<bool>{false, true}));
}

class Lines : public TRunList {
 public:
  Lines() : TRunList(kGerman) {}
  int Containing(const std::string& text) const {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const ListLine& l) {
      return l.text.find(text) != std::string::npos;
    }));
  }
};

// The demo is there to show the program: over its span every figure of the
// form has a value under both bases, and today's month lists invoices.
TEST(DemoEvaluation, EveryFormFigureHasAValueAndTodaysMonthListsInvoices) {
  testing::ScratchFolder dir("vorlex-demo");
  const CalendarDate today{2025, 6, 17};
  TDBase db(MakeDemoInstallation(dir.Path(), today).database.string(), kGerman);
  const double todayNumber = EncodeDate(today.year, today.month, today.day);
  for (const TaxationBasis basis : {TaxationBasis::Ist, TaxationBasis::Soll}) {
    TaxTotals totals;
    Lines all;
    EvaluateRun(db, MonthStart(today, kDemoMonths - 1), todayNumber, basis, totals, all);
    for (const FormFigure& f : FormFigures(totals)) {
      EXPECT_GT(f.value, 0) << "field " << f.field << ", basis " << BasisText(basis);
    }
    EXPECT_GT(totals.NichtEU, 0) << BasisText(basis);
    EXPECT_EQ(all.Containing("Gutschrift"), 2) << BasisText(basis);

    Lines month;
    EvaluateRun(db, MonthStart(today, 0), todayNumber, basis, totals, month);
    EXPECT_GE(month.Containing("Rechnung "), basis == TaxationBasis::Ist ? 2 : 3)
        << BasisText(basis);
    EXPECT_EQ(month.Containing(SeparatorLine), 2)
        << BasisText(basis);  // receipts | expenses | totals
  }
}

TEST(DemoInstallation, SettingsFileLeadsToTheDatabaseAndNothingIsWrittenElsewhere) {
  testing::ScratchFolder root("vorlex-demo");
  const fs::path appData = root.Path() / "appdata";
  const DemoInstallation made = MakeDemoInstallation(appData, {2025, 6, 17});

  const DatabaseLocation location =
      ReadDatabaseLocation(made.settingsFile.string(), (appData / "Pelmora/").string());
  EXPECT_EQ(fs::path(location.Path()), made.database);
  EXPECT_EQ(made.database, appData / "Pelmora" / "Daten" / "pelmora.db");

  std::set<std::string> written;
  for (const auto& entry : fs::recursive_directory_iterator(root.Path())) {
    if (entry.is_regular_file()) {
      written.insert(fs::relative(entry.path(), root.Path()).generic_string());
    }
  }
  EXPECT_EQ(written, (std::set<std::string>{"appdata/Pelmora/pelmora.ini",
                                            "appdata/Pelmora/Daten/pelmora.db"}));
}

TEST(DemoInstallation, SameDayGivesTheSameDataAndAnotherDayShiftsIt) {
  testing::ScratchFolder dir("vorlex-demo");
  const auto dump = [&](const char* name, CalendarDate today) {
    return probe::Db(MakeDemoInstallation(dir.Path() / name, today).database.string()).Dump();
  };
  const std::string once = dump("a", {2025, 6, 17});
  EXPECT_EQ(once, dump("b", {2025, 6, 17}));
  EXPECT_NE(once, dump("c", {2025, 7, 17}));
}

TEST(DemoInstallation, NeverReplacesAnExistingInstallation) {
  testing::ScratchFolder dir("vorlex-demo");
  const DemoInstallation paths = DemoPaths(dir.Path());
  for (const fs::path& existing : {paths.settingsFile, paths.database}) {
    testing::ScratchFolder target("vorlex-demo");
    const DemoInstallation p = DemoPaths(target.Path());
    const fs::path file = existing == paths.settingsFile ? p.settingsFile : p.database;
    fs::create_directories(file.parent_path());
    { std::ofstream(file) << "real data"; }
    EXPECT_THROW(MakeDemoInstallation(target.Path(), {2025, 6, 17}), std::runtime_error);
    std::ifstream in(file);
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "real data") << file;
  }
  EXPECT_THROW(MakeDemoInstallation("", {2025, 6, 17}), std::runtime_error);
}

TEST(ParseIsoDate, TakesOnlyRealDatesInTheIsoForm) {
  struct Case {
    const char* text;
    bool valid;
    CalendarDate date;
  };
  const Case cases[] = {
      {"2024-02-29", true, {2024, 2, 29}},
      {"2025-12-31", true, {2025, 12, 31}},
      {"2025-02-29", false, {}},
      {"2025-13-01", false, {}},
      {"2025-6-17", false, {}},
      {"17.06.2025", false, {}},
      {"2025-06-1x", false, {}},
      {"", false, {}},
  };
  for (const Case& c : cases) {
    if (c.valid) {
      EXPECT_EQ(ParseIsoDate(c.text), c.date) << c.text;
    } else {
      EXPECT_THROW(ParseIsoDate(c.text), std::runtime_error) << c.text;
    }
  }
}

}  // namespace
}  // namespace vorlex::demo
