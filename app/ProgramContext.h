// What the program holds while it runs: the open database, the totals of the
// last run, where the database was found and whether the period controls start
// runs. The program makes one and hands it to its window; each test makes its
// own.
#pragma once

#include <memory>
#include <string>

#include "db/uDB.h"
#include "tax/TaxTotals.h"

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
};

}  // namespace vorlex
