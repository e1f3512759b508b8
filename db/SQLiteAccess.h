// The lowest layer between the program and the SQLite library: one connection,
// results read whole into memory, one exception type for every failure; each
// part in a file of its own.
#pragma once

#include "db/SQLiteDatabase.h"
#include "db/SQLiteError.h"
#include "db/SQLiteStatement.h"
#include "db/SQLiteTable.h"
#include "db/SQLiteText.h"
