// What the program holds while it runs: the open database, the totals of the
// last run, where the database was found and whether the period controls start
// runs. The program makes one and hands it to its window; each test makes its
// own.
#pragma once

#include <memory>
#include <string>

#include "db/uDB.h"
#include "tax/TaxTotals.h"
#include "util/FormatSettings.h"

namespace vorlex {

// Database, AppDataDir, DbFolder, DbName and EvaluationEnabled keep the names
// start-up has always given them.
struct ProgramContext {
  std::unique_ptr<TDBase> Database;  // empty while no database is open
  TaxTotals totals;                  // of the last run
  std::string AppDataDir;            // Pelmora's folder, with a trailing separator
  std::string DbFolder;              // the database's folder, with a trailing separator
  std::string DbName;                // the database's file name as read; may be empty
  bool EvaluationEnabled = false;    // while false, the period controls start no run
  // How the user writes numbers and dates: the database is read and every
  // text of the window written in them. Set before the window is made.
  FormatSettings format;
};

}  // namespace vorlex
