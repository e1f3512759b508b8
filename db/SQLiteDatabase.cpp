#include "db/SQLiteDatabase.h"

#include <sqlite3.h>

#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "db/SQLiteError.h"
#include "db/SQLiteStatement.h"
#include "db/SQLiteTable.h"
#include "db/SQLiteText.h"
#include "util/NumberText.h"

namespace vorlex {

namespace {

void ReadNumberCell(sqlite3_context* context, int, sqlite3_value** argv) {
  sqlite3_value* cell = argv[0];
  const int type = sqlite3_value_type(cell);
  if (type != SQLITE_TEXT && type != SQLITE_BLOB) {
    sqlite3_result_value(context, cell);
    return;
  }
  const void* data = type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_value_text(cell))
                                         : sqlite3_value_blob(cell);
  std::string_view bytes;
  if (data != nullptr) {
    bytes = std::string_view(static_cast<const char*>(data),
                             static_cast<size_t>(sqlite3_value_bytes(cell)));
  }
  bytes = bytes.substr(0, bytes.find('\0'));
  if ((type == SQLITE_TEXT && IsNumberText(bytes)) || IsBlankText(bytes)) {
    sqlite3_result_value(context, cell);
    return;
  }
  auto* numbers = static_cast<TSQLiteDatabase::NumberCells*>(sqlite3_user_data(context));
  try {
    sqlite3_result_double(context, StrToFloat(bytes, numbers->format));
  } catch (const EConvertError& e) {
    const auto* column = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    numbers->failure = {true, e.what(), column != nullptr ? column : ""};
    sqlite3_result_error(context, e.what(), -1);
  } catch (const std::exception& e) {
    // Nothing may leave through the library.
    sqlite3_result_error(context, e.what(), -1);
  }
}

// The state of kRateNetsFunction, in the library's memory for the aggregate.
struct RateNetsState {
  int count = 0;  // kRateNetsMost + 1: too many rates
  int64_t textLines = 0;
  double rate[kRateNetsMost];
  double net[kRateNetsMost];
};

bool TextOrBlob(sqlite3_value* value) {
  const int type = sqlite3_value_type(value);
  return type == SQLITE_TEXT || type == SQLITE_BLOB;
}

// anzahl * preis as the library multiplies two numbers: integers exactly
// unless the product leaves 64 bits, anything else as doubles.
double LineNet(sqlite3_value* quantity, sqlite3_value* price) {
  if (sqlite3_value_type(quantity) == SQLITE_INTEGER &&
      sqlite3_value_type(price) == SQLITE_INTEGER) {
    const sqlite3_int64 a = sqlite3_value_int64(quantity);
    const sqlite3_int64 b = sqlite3_value_int64(price);
    sqlite3_int64 product = 0;
    if (!__builtin_mul_overflow(a, b, &product)) return static_cast<double>(product);
    return static_cast<double>(a) * static_cast<double>(b);
  }
  return sqlite3_value_double(quantity) * sqlite3_value_double(price);
}

RateNetsState* StateOf(sqlite3_context* context) {
  auto* state = static_cast<RateNetsState*>(sqlite3_aggregate_context(context, sizeof(RateNetsState)));
  if (state == nullptr) sqlite3_result_error_nomem(context);
  return state;
}

void AddNet(RateNetsState& state, double net, sqlite3_value* rateValue) {
  if (state.count > kRateNetsMost) return;
  const double rate = sqlite3_value_type(rateValue) == SQLITE_NULL ? 0 : sqlite3_value_double(rateValue);
  // Kept in the order of their rates.
  int i = 0;
  while (i < state.count && state.rate[i] < rate) ++i;
  if (i < state.count && state.rate[i] == rate) {
    state.net[i] += net;
    return;
  }
  if (state.count == kRateNetsMost) {
    state.count = kRateNetsMost + 1;
    return;
  }
  for (int j = state.count; j > i; --j) {
    state.rate[j] = state.rate[j - 1];
    state.net[j] = state.net[j - 1];
  }
  state.rate[i] = rate;
  state.net[i] = net;
  ++state.count;
}

// (net, rate): the net as the statement computed it.
void AddRateNet(sqlite3_context* context, int, sqlite3_value** argv) {
  RateNetsState* state = StateOf(context);
  if (state == nullptr || sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
  AddNet(*state, sqlite3_value_double(argv[0]), argv[1]);
}

// (anzahl, preis, rate) as stored.
void AddLineRateNet(sqlite3_context* context, int, sqlite3_value** argv) {
  RateNetsState* state = StateOf(context);
  if (state == nullptr) return;
  // Text and blobs, which the library would take as the number it makes of
  // them, make the order one whose cells are read one by one.
  if (TextOrBlob(argv[0]) || TextOrBlob(argv[1]) || TextOrBlob(argv[2])) {
    ++state->textLines;
    return;
  }
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    return;
  }
  AddNet(*state, LineNet(argv[0], argv[1]), argv[2]);
}

void RateNetsValue(sqlite3_context* context) {
  const auto* state = static_cast<RateNetsState*>(sqlite3_aggregate_context(context, 0));
  if (state == nullptr) {
    sqlite3_result_zeroblob(context, 0);  // no lines
    return;
  }
  if (state->textLines > 0) {
    sqlite3_result_int64(context, state->textLines);
    return;
  }
  if (state->count > kRateNetsMost) {
    sqlite3_result_null(context);
    return;
  }
  double pairs[2 * kRateNetsMost];
  for (int i = 0; i < state->count; ++i) {
    pairs[2 * i] = state->rate[i];
    pairs[2 * i + 1] = state->net[i];
  }
  sqlite3_result_blob(context, pairs, static_cast<int>(2 * state->count * sizeof(double)),
                      SQLITE_TRANSIENT);
}

// A text test's argument as a text column's cell is read.
std::string_view TestArgument(sqlite3_value* value, std::string& real) {
  const int type = sqlite3_value_type(value);
  if (type == SQLITE_NULL) return {};
  if (type == SQLITE_FLOAT) {
    real = RealText(sqlite3_value_double(value));
    return real;
  }
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
  if (text == nullptr) return {};
  const std::string_view cell(text, static_cast<size_t>(sqlite3_value_bytes(value)));
  return cell.substr(0, cell.find('\0'));
}

void RunTextTest(sqlite3_context* context, int, sqlite3_value** argv) {
  const auto* test = static_cast<const TSQLiteDatabase::TextTest*>(sqlite3_user_data(context));
  try {
    std::string realA, realB;
    sqlite3_result_int(context,
                       (*test)(TestArgument(argv[0], realA), TestArgument(argv[1], realB)) ? 1 : 0);
  } catch (const std::exception& e) {
    // Nothing may leave through the library.
    sqlite3_result_error(context, e.what(), -1);
  }
}

// Only ever used over a whole partition, whose lines are never taken away.
void RemoveRateNet(sqlite3_context* context, int, sqlite3_value**) {
  sqlite3_result_error(context, "vorlex_rate_nets over a moving frame", -1);
}

}  // namespace

void TSQLiteDatabase::Closer::operator()(sqlite3* db) const {
  sqlite3_close(db);
}

TSQLiteDatabase::TSQLiteDatabase(const std::string& fileName, const FormatSettings& format)
    : numbers_(std::make_unique<NumberCells>(NumberCells{format, {}})) {
  // Read-only and never create: a mistyped location must not leave an empty
  // database where Pelmora's belongs, and Pelmora's data is never changed.
  Open(fileName, SQLITE_OPEN_READONLY, 0);
}

// Vorlex's own file holds its values typed; no user's format reads it.
TSQLiteDatabase::TSQLiteDatabase(const std::string& fileName, Writable writable)
    : numbers_(std::make_unique<NumberCells>()) {
  Open(fileName, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, writable.busyMilliseconds);
}

void TSQLiteDatabase::Open(const std::string& fileName, int flags, int busyMilliseconds) {
  // The library need not count its memory for us; without the count every
  // allocation of a run is cheaper. This holds only while the library is not
  // yet initialised, so it is asked once, before the first connection.
  static const int memoryCounting = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  static_cast<void>(memoryCounting);
  // A connection is used by one thread only, so the library need not lock it
  // on every call.
  sqlite3* handle = nullptr;
  const int rc = sqlite3_open_v2(fileName.c_str(), &handle, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  db_.reset(handle);  // closed with this object, also when the open failed
  const std::string failed = "Failed to open database \"" + fileName + "\" : ";
  if (rc != SQLITE_OK) {
    throw ESQLiteException(failed + (db_ ? sqlite3_errmsg(db_.get()) : "unknown error"), rc,
                           fileName);
  }
  // Pelmora's database is never waited for (its lock surfaces at once);
  // only Vorlex's own file waits for another Vorlex.
  if (busyMilliseconds > 0) sqlite3_busy_timeout(handle, busyMilliseconds);
  sqlite3_create_function_v2(handle, kNumberFunction, 2, SQLITE_UTF8, numbers_.get(),
                             ReadNumberCell, nullptr, nullptr, nullptr);
  sqlite3_create_window_function(handle, kRateNetsFunction, 2, SQLITE_UTF8, nullptr, AddRateNet,
                                 RateNetsValue, RateNetsValue, RemoveRateNet, nullptr);
  sqlite3_create_window_function(handle, kRateNetsFunction, 3, SQLITE_UTF8, nullptr,
                                 AddLineRateNet, RateNetsValue, RateNetsValue, RemoveRateNet,
                                 nullptr);
  try {
    Execute("PRAGMA SYNCHRONOUS=NORMAL;");
    Execute("PRAGMA temp_store = MEMORY;");
  } catch (const ESQLiteException& e) {
    // The settings are the first reading of the file, so their failure is the
    // open's: the message names the file and the library's reason ("file is
    // not a database", "database is locked"), not the setting.
    const int code = sqlite3_errcode(db_.get());
    throw ESQLiteException(
        failed + (code != SQLITE_OK ? sqlite3_errmsg(db_.get()) : "unknown error"), e.Code(),
        fileName);
  }
}

TSQLiteDatabase::~TSQLiteDatabase() = default;

void TSQLiteDatabase::Execute(const std::string& sql) {
  TSQLiteStatement(*this, sql).Execute();
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::OpenTable(const std::string& sql,
                                                         const std::vector<std::string>& kept,
                                                         TableReading reading) {
  return std::make_unique<TSQLiteTable>(*this, sql, kept, reading);
}

void TSQLiteDatabase::DefineTextTest(const std::string& name, TextTest test) {
  if (const auto defined = textTests_.find(name); defined != textTests_.end()) {
    *defined->second = std::move(test);
    return;
  }
  auto held = std::make_unique<TextTest>(std::move(test));
  Check(sqlite3_create_function_v2(db_.get(), name.c_str(), 2, SQLITE_UTF8, held.get(), RunTextTest,
                                   nullptr, nullptr, nullptr),
        "Define function", name);
  textTests_.emplace(name, std::move(held));
}

void TSQLiteDatabase::RaiseLastError(const std::string& action, const std::string& sql) {
  if (numbers_ && numbers_->failure.failed) {
    CellFailure failure = std::exchange(numbers_->failure, {});
    throw ECellConvertError(failure.message, failure.column);
  }
  const int code = db_ ? sqlite3_errcode(db_.get()) : SQLITE_OK;
  throw ESQLiteException(action + " \"" + sql + "\" : " +
                             (code != SQLITE_OK ? sqlite3_errmsg(db_.get()) : "No message"),
                         code != SQLITE_OK ? code : SQLITE_ERROR);
}

}  // namespace vorlex
