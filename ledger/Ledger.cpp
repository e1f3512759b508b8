#include "ledger/Ledger.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "db/SQLiteError.h"
#include "db/SQLiteStatement.h"
#include "db/SQLiteWritableDatabase.h"
#include "ledger/LedgerFile.h"
#include "util/DateText.h"
#include "util/Platform.h"
#include "util/ProgramText.h"
#include "util/uString.h"

namespace vorlex {

namespace {

namespace fs = std::filesystem;

using ledger::DayOfIso;
using ledger::IsoDay;
using ledger::KindName;
using ledger::KindOf;
using ledger::kApplicationId;
using ledger::Migration;
using ledger::Migrations;
using ledger::NewestVersion;
using ledger::PeriodKindOf;

std::string Words(std::string_view windows1252) {
  return Windows1252ToUtf8(windows1252);
}

std::string Named(const std::string& path) {
  return Words("Die Ablage der Abgaben „"_cp1252) + StoredTextAsUtf8(path) + Words("“"_cp1252);
}

ELedgerError Damaged(const std::string& path) {
  return ELedgerError(
      Named(path) + Words(" ist keine Datenbank von Vorlex oder ist beschädigt. Vorlex "
                          "lässt sie unverändert und vermerkt nichts darin; benennen Sie "
                          "sie um oder nennen Sie eine andere Datei."_cp1252),
      LedgerFailure::Damaged);
}

bool StartsLikeDatabase(const std::string& path) {
  std::ifstream in(PathFromText(path), std::ios::binary);
  char header[16] = {};
  in.read(header, sizeof header);
  if (in.gcount() == 0 && in.eof()) return true;  // an empty file is an empty database
  return in.gcount() == sizeof header &&
         std::string_view(header, 16) == std::string_view("SQLite format 3\0", 16);
}

}  // namespace

std::string DefaultLedgerPath() {
  if (std::string path = EnvironmentValue("VORLEX_LEDGER"); !path.empty()) return path;
  return UserDataFolder() + kPathSeparator + "Vorlex" + kPathSeparator + "vorlex.db";
}

bool InPelmorasFolders(const std::string& ledger, const std::string& pelmoraDatabase,
                       const std::string& appDataDir) {
  std::error_code ignored;
  const fs::path folder = fs::weakly_canonical(PathFromText(ledger), ignored).parent_path();
  if (!pelmoraDatabase.empty() &&
      folder == fs::weakly_canonical(PathFromText(pelmoraDatabase), ignored).parent_path()) {
    return true;
  }
  if (appDataDir.empty()) return false;
  fs::path pelmora = fs::weakly_canonical(PathFromText(appDataDir), ignored);
  if (!pelmora.has_filename()) pelmora = pelmora.parent_path();
  const auto mismatch = std::mismatch(pelmora.begin(), pelmora.end(), folder.begin(), folder.end());
  return mismatch.first == pelmora.end();
}

TLedger::TLedger(std::string path, LedgerAccess access, int busyMilliseconds)
    : path_(std::move(path)) {
  std::error_code error;
  const fs::path file = PathFromText(path_);
  const fs::file_status status = fs::status(file, error);
  if (fs::exists(status)) {
    // Only a file that begins as a database reaches the library, which
    // never writes to a file it refuses.
    if (!fs::is_regular_file(status) || !StartsLikeDatabase(path_)) throw Damaged(path_);
  } else if (access == LedgerAccess::Read) {
    return;
  } else if (file.has_parent_path() && !fs::create_directories(file.parent_path(), error) &&
             error) {
    throw ELedgerError(
        Named(path_) + Words(" kann nicht angelegt werden: ") + error.message() + ".",
        LedgerFailure::Other);
  }
  try {
    // The busy wait is set before the first statement; what is looked at
    // below is one state of the file, as another Vorlex may be laying it out
    // at this moment. A writer looks under the write lock and lays the file
    // out, or brings it up to date, before it lets the lock go.
    db_ = std::make_unique<TSQLiteWritableDatabase>(path_, busyMilliseconds);
    if (access == LedgerAccess::Read) {
      db_->InReadTransaction([&] { CheckLayout(); });
    } else {
      db_->InTransaction([&] { LayOut(CheckLayout()); });
    }
  } catch (const ELedgerError&) {
    db_.reset();
    throw;
  } catch (const std::exception& e) {
    db_.reset();
    Raise(e);
  }
}

TLedger::~TLedger() = default;

void TLedger::Raise(const std::exception& error) {
  if (const auto* sql = dynamic_cast<const ESQLiteException*>(&error)) {
    switch (sql->Failure()) {
      case SQLiteFailure::Busy:
        throw ELedgerError(Named(path_) + Words(" wird gerade von einem anderen Vorlex-Programm "
                                                "beschrieben. Bitte versuchen Sie es gleich "
                                                "noch einmal."),
                           LedgerFailure::Busy);
      case SQLiteFailure::NotADatabase:
      case SQLiteFailure::Corrupt:
        throw Damaged(path_);
      default:
        break;
    }
  }
  throw ELedgerError(Named(path_) + Words(" kann nicht gelesen oder geschrieben werden (") +
                         StoredTextAsUtf8(error.what()) + ").",
                     LedgerFailure::Other);
}

int64_t TLedger::CheckLayout() {
  {
    TSQLiteStatement check(db_->Connection(), "PRAGMA quick_check");
    if (!check.Step() || check.ColumnText(0) != "ok") throw Damaged(path_);
  }
  const int64_t id = db_->QueryInt("PRAGMA application_id");
  const int64_t version = db_->QueryInt("PRAGMA user_version");
  const int64_t objects = db_->QueryInt("SELECT count(*) FROM sqlite_master");
  if (id == 0 && objects == 0) return 0;  // a new, empty file
  if (id != kApplicationId) throw Damaged(path_);
  if (version > NewestVersion()) {
    throw ELedgerError(Named(path_) + Words(" stammt von einer neueren Version von Vorlex; "
                                            "diese Version lässt sie unverändert. Bitte "
                                            "aktualisieren Sie Vorlex."_cp1252),
                       LedgerFailure::Newer);
  }
  return version;
}

void TLedger::LayOut(int64_t version) {
  if (version >= NewestVersion()) return;
  for (const Migration& step : Migrations()) {
    if (step.version <= version) continue;
    for (const char* statement : step.statements) db_->Execute(statement);
  }
  db_->Execute("PRAGMA application_id = " + std::to_string(kApplicationId));
  db_->Execute("PRAGMA user_version = " + std::to_string(NewestVersion()));
}

std::vector<Filing> TLedger::Select(const std::string& condition, double firstDay, double lastDay,
                                    TaxationBasis basis) {
  std::vector<Filing> filings;
  const int64_t version = db_ ? db_->QueryInt("PRAGMA user_version") : 0;
  if (version == 0) return filings;
  try {
    TSQLiteStatement select(
        db_->Connection(),
        "SELECT id, corrects, period_kind, first_day, last_day, basis, classification, filed_on,"
        " ticket, note, kz41, kz44, kz81, kz86, kz66, kz83, kz39, program_version, pelmora_path,"
        " vat_id, " +
            std::string(version >= 3 ? "kz21, kz35, kz36, kz43, kz45, zero_rate"
                                     : "NULL, NULL, NULL, NULL, NULL, NULL") +
            " FROM filing f WHERE " + condition + " ORDER BY first_day, last_day, basis, id");
    if (condition.find('?') != std::string::npos) {
      select.BindText(1, IsoDay(firstDay));
      select.BindText(2, IsoDay(lastDay));
      select.BindText(3, BasisText(basis));
    }
    while (select.Step()) {
      Filing& f = filings.emplace_back();
      const auto text = [&](int i) { return std::string(select.ColumnText(i)); };
      f.id = select.ColumnInt64(0);
      f.corrects = select.ColumnInt64(1);
      f.firstDay = DayOfIso(select.ColumnText(3));
      f.lastDay = DayOfIso(select.ColumnText(4));
      f.periodKind = PeriodKindOf(select.ColumnText(2), f.firstDay);
      f.basis = select.ColumnText(5) == "Soll" ? TaxationBasis::Soll : TaxationBasis::Ist;
      f.classification = text(6);
      f.filedOn = DayOfIso(select.ColumnText(7));
      f.ticket = text(8);
      f.note = text(9);
      for (int i = 0; i < static_cast<int>(kFiledFieldCount); ++i) {
        if (select.ColumnType(10 + i) != ColumnKind::Null) f.cents[i] = select.ColumnInt64(10 + i);
      }
      f.programVersion = text(17);
      f.pelmoraPath = text(18);
      f.vatId = text(19);
      for (int i = 0; i < static_cast<int>(kFurtherFiledCount); ++i) {
        if (select.ColumnType(20 + i) != ColumnKind::Null) f.further[i] = select.ColumnInt64(20 + i);
      }
    }
  } catch (const ELedgerError&) {
    throw;
  } catch (const std::exception& e) {
    Raise(e);
  }
  return filings;
}

void TLedger::LoadEntries(std::vector<Filing>& filings) {
  if (filings.empty()) return;
  try {
    TSQLiteStatement entries(db_->Connection(),
                             "SELECT kind, pelmora_id, day, description, customer, rate, net,"
                             " gross, added, field FROM filing_entry WHERE filing = ?"
                             " ORDER BY position");
    for (Filing& f : filings) {
      entries.Reset();
      entries.BindInt64(1, f.id);
      while (entries.Step()) {
        f.entries.push_back({KindOf(entries.ColumnText(0)), entries.ColumnInt64(1),
                             entries.ColumnDouble(2), std::string(entries.ColumnText(3)),
                             std::string(entries.ColumnText(4)), entries.ColumnDouble(5),
                             entries.ColumnDouble(6), entries.ColumnDouble(7),
                             entries.ColumnDouble(8), static_cast<int>(entries.ColumnInt64(9))});
      }
    }
    // Filings of a ledger before the list's record have none.
    if (db_->QueryInt("PRAGMA user_version") < 2) return;
    TSQLiteStatement made(db_->Connection(), "SELECT 1 FROM filing_ec_list WHERE filing = ?");
    TSQLiteStatement rows(db_->Connection(),
                          "SELECT vat_id, kind, euros FROM filing_ec_row WHERE filing = ?"
                          " ORDER BY position");
    for (Filing& f : filings) {
      made.Reset();
      made.BindInt64(1, f.id);
      if (!made.Step()) continue;
      f.ecSales.emplace();
      rows.Reset();
      rows.BindInt64(1, f.id);
      while (rows.Step()) {
        const std::string_view kind = rows.ColumnText(1);
        f.ecSales->push_back({.vatId = std::string(rows.ColumnText(0)),
                              .kind = kind.empty() ? 'L' : kind.front(),
                              .euros = rows.ColumnInt64(2)});
      }
    }
  } catch (const ELedgerError&) {
    throw;
  } catch (const std::exception& e) {
    Raise(e);
  }
}

std::optional<Filing> TLedger::LatestFiling(double firstDay, double lastDay, TaxationBasis basis,
                                            const Filing* trader) {
  std::vector<Filing> filings =
      Select("first_day = ? AND last_day = ? AND basis = ?", firstDay, lastDay, basis);
  std::erase_if(filings, [trader](const Filing& f) { return trader && !SameTrader(f, *trader); });
  if (filings.empty()) return std::nullopt;
  std::vector<Filing> latest;
  latest.push_back(std::move(filings.back()));
  LoadEntries(latest);
  return std::move(latest.front());
}

std::optional<Filing> TLedger::LatestFiling(const Filing& run) {
  return LatestFiling(run.firstDay, run.lastDay, run.basis, &run);
}

std::vector<Filing> TLedger::LatestFilings(const Filing* trader) {
  std::vector<Filing> filings = Select("1", 0, 0, TaxationBasis::Ist);
  std::erase_if(filings, [trader](const Filing& f) { return trader && !SameTrader(f, *trader); });
  // Ordered by period and basis, then id: the last of each period is its latest.
  std::vector<Filing> latest;
  for (Filing& f : filings) {
    if (!latest.empty() && latest.back().firstDay == f.firstDay &&
        latest.back().lastDay == f.lastDay && latest.back().basis == f.basis) {
      latest.back() = std::move(f);
    } else {
      latest.push_back(std::move(f));
    }
  }
  LoadEntries(latest);
  return latest;
}

int64_t TLedger::Record(const Filing& filing, const FormatSettings& format) {
  int64_t id = 0;
  if (!db_) throw std::logic_error("the ledger was opened for reading a missing file");
  try {
    db_->InTransaction([&] {
      // Opened for reading, or laid out by an older Vorlex since.
      LayOut(CheckLayout());
      const std::optional<Filing> latest = LatestFiling(filing);
      if (latest && !CompareWithFiling(*latest, filing, format).Changed()) {
        throw ELedgerError(
            Words("Der Zeitraum ist schon am ") + Words(FormatDate(latest->filedOn, format)) +
                Words(" abgegeben und seitdem unverändert; es wird nichts vermerkt."_cp1252),
            LedgerFailure::Unchanged);
      }
      TSQLiteStatement insert(
          db_->Connection(),
          "INSERT INTO filing (corrects, period_kind, first_day, last_day, basis, classification,"
          " filed_on, ticket, note, kz41, kz44, kz81, kz86, kz66, kz83, kz39, program_version,"
          " pelmora_path, vat_id, kz21, kz35, kz36, kz43, kz45, zero_rate)"
          " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
      if (latest) {
        insert.BindInt64(1, latest->id);
      } else {
        insert.BindNull(1);
      }
      insert.BindText(2, filing.periodKind == TPeriodKind::Monat ? "month" : "quarter");
      insert.BindText(3, IsoDay(filing.firstDay));
      insert.BindText(4, IsoDay(filing.lastDay));
      insert.BindText(5, BasisText(filing.basis));
      insert.BindText(6, filing.classification);
      insert.BindText(7, IsoDay(filing.filedOn));
      insert.BindText(8, filing.ticket);
      insert.BindText(9, filing.note);
      for (int i = 0; i < static_cast<int>(kFiledFieldCount); ++i) {
        if (filing.cents[i]) {
          insert.BindInt64(10 + i, *filing.cents[i]);
        } else {
          insert.BindNull(10 + i);
        }
      }
      insert.BindText(17, filing.programVersion);
      insert.BindText(18, filing.pelmoraPath);
      insert.BindText(19, filing.vatId);
      for (int i = 0; i < static_cast<int>(kFurtherFiledCount); ++i) {
        if (filing.further[i]) {
          insert.BindInt64(20 + i, *filing.further[i]);
        } else {
          insert.BindNull(20 + i);
        }
      }
      insert.Execute();
      id = db_->QueryInt("SELECT last_insert_rowid()");
      TSQLiteStatement entry(db_->Connection(),
                             "INSERT INTO filing_entry (filing, position, kind, pelmora_id, day,"
                             " description, customer, rate, net, gross, added, field)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
      int64_t position = 0;
      for (const FiledEntry& e : filing.entries) {
        entry.Reset();
        entry.BindInt64(1, id);
        entry.BindInt64(2, ++position);
        entry.BindText(3, KindName(e.kind));
        entry.BindInt64(4, e.id);
        entry.BindDouble(5, e.date);
        entry.BindText(6, e.description);
        entry.BindText(7, e.customer);
        entry.BindDouble(8, e.rate);
        entry.BindDouble(9, e.net);
        entry.BindDouble(10, e.gross);
        entry.BindDouble(11, e.added);
        entry.BindInt64(12, e.field);
        entry.Execute();
      }
      if (filing.ecSales) {
        TSQLiteStatement made(db_->Connection(), "INSERT INTO filing_ec_list (filing) VALUES (?)");
        made.BindInt64(1, id);
        made.Execute();
        TSQLiteStatement row(db_->Connection(),
                             "INSERT INTO filing_ec_row (filing, position, vat_id, kind, euros)"
                             " VALUES (?, ?, ?, ?, ?)");
        int64_t rowPosition = 0;
        for (const EcSalesRow& r : *filing.ecSales) {
          row.Reset();
          row.BindInt64(1, id);
          row.BindInt64(2, ++rowPosition);
          row.BindText(3, r.vatId);
          row.BindText(4, std::string(1, r.kind));
          row.BindInt64(5, r.euros);
          row.Execute();
        }
      }
    });
  } catch (const ELedgerError&) {
    throw;
  } catch (const std::exception& e) {
    Raise(e);
  }
  return id;
}

}  // namespace vorlex
