#include "db/SQLiteAccess.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <utility>

#include "util/uFormat.h"
#include "util/uString.h"

namespace vorlex {

static_assert(static_cast<int>(ColumnKind::Integer) == SQLITE_INTEGER &&
              static_cast<int>(ColumnKind::Float) == SQLITE_FLOAT &&
              static_cast<int>(ColumnKind::Text) == SQLITE_TEXT &&
              static_cast<int>(ColumnKind::Blob) == SQLITE_BLOB &&
              static_cast<int>(ColumnKind::Null) == SQLITE_NULL);

namespace {

// A declared type decides the kind only as one of a few whole words, compared
// case-sensitively; every other declared type means text.
ColumnKind KindOfDeclaredType(const char* declared) {
  const std::string_view type(declared);
  if (type == "INTEGER" || type == "BOOLEAN") return ColumnKind::Integer;
  if (type == "NUMERIC" || type == "FLOAT" || type == "DOUBLE" || type == "REAL") {
    return ColumnKind::Float;
  }
  if (type == "BLOB") return ColumnKind::Blob;
  return ColumnKind::Text;
}

// Finalises a prepared statement whichever way the scope is left.
class Statement {
 public:
  Statement() = default;
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  sqlite3_stmt** Out() { return &stmt_; }
  sqlite3_stmt* Get() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// Prepares the first statement of sql; the rest of the text is ignored.
void Prepare(TSQLiteDatabase& db, const std::string& sql, Statement& stmt) {
  if (sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, stmt.Out(), nullptr) != SQLITE_OK) {
    db.RaiseLastError("Error executing SQL", sql);
  }
  if (stmt.Get() == nullptr) db.RaiseLastError("Could not prepare SQL statement", sql);
}

const char* const kAtEnd = "Table is at End of File";

// An array that grows block by block, so that nothing already read is copied
// again however large the result grows.
template <class T>
class Blocks {
 public:
  void push_back(T value) {
    if (size_ == blocks_.size() * kSize)
      blocks_.push_back(std::make_unique_for_overwrite<T[]>(kSize));
    blocks_.back()[size_ & kMask] = value;
    ++size_;
  }
  const T& operator[](size_t i) const { return blocks_[i >> kShift][i & kMask]; }
  size_t size() const { return size_; }

 private:
  static constexpr size_t kShift = 12;
  static constexpr size_t kSize = size_t{1} << kShift;
  static constexpr size_t kMask = kSize - 1;
  std::vector<std::unique_ptr<T[]>> blocks_;
  size_t size_ = 0;
};

// The texts of one column back to back, and for each cell where its text
// ends: four bytes a cell besides the text itself.
class TextCells {
 public:
  void push_back(std::string_view text) {
    bytes_ += text;
    if (bytes_.size() > UINT32_MAX) {
      throw ESQLiteException("Result too large: more than 4 GB of text in one column");
    }
    ends_.push_back(static_cast<uint32_t>(bytes_.size()));
  }
  std::string_view operator[](size_t i) const {
    const uint32_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(bytes_).substr(begin, ends_[i] - begin);
  }

 private:
  std::string bytes_;
  Blocks<uint32_t> ends_;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Blank as a number cell takes it: nothing but control characters and blanks.
bool IsBlankText(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

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
  auto* failure = static_cast<TSQLiteDatabase::CellFailure*>(sqlite3_user_data(context));
  try {
    sqlite3_result_double(context, StrToFloat(bytes));
  } catch (const EConvertError& e) {
    const auto* column = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    *failure = {true, e.what(), column != nullptr ? column : ""};
    sqlite3_result_error(context, e.what(), -1);
  } catch (const std::exception& e) {
    // Nothing may leave through the library.
    sqlite3_result_error(context, e.what(), -1);
  }
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool IsNumberText(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  const auto digits = [&] {
    const size_t from = i;
    while (i < n && IsDigit(text[i])) ++i;
    return i > from;
  };
  while (i < n && IsBlank(text[i])) ++i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  bool mantissa = digits();
  if (i < n && text[i] == '.') {
    ++i;
    mantissa = digits() || mantissa;
  }
  if (!mantissa) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    if (!digits()) return false;
  }
  while (i < n && IsBlank(text[i])) ++i;
  return i == n;
}

std::string RealText(double value) {
  // The library's own steps, in extended precision as it takes them (its
  // constants are doubles): the value scaled into [1, 10), rounded at the
  // 15th digit by adding half of it, then digit by digit.
  if (std::isnan(value)) return "NaN";
  long double v = value;
  std::string text;
  if (v < 0) {
    text += '-';
    v = -v;
  }
  constexpr int kPrecision = 14;  // digits after the first
  long double rounder = 0.5;
  for (int i = 0; i < kPrecision; ++i) rounder *= 0.1;
  int exponent = 0;
  if (v > 0) {
    long double scale = 1.0;
    while (v >= 1e100 * scale && exponent <= 350) {
      scale *= 1e100;
      exponent += 100;
    }
    while (v >= 1e10 * scale && exponent <= 350) {
      scale *= 1e10;
      exponent += 10;
    }
    while (v >= 10.0 * scale && exponent <= 350) {
      scale *= 10.0;
      ++exponent;
    }
    v /= scale;
    while (v < 1e-8) {
      v *= 1e8;
      exponent -= 8;
    }
    while (v < 1.0) {
      v *= 10.0;
      --exponent;
    }
    if (exponent > 350) return text + "Inf";
  }
  v += rounder;
  if (v >= 10.0) {
    v *= 0.1;
    ++exponent;
  }
  const bool scientific = exponent < -4 || exponent > kPrecision;
  int decimals = scientific ? kPrecision : kPrecision - exponent;
  int integerDigits = scientific ? 0 : exponent;  // less one
  // Beyond 26 significant digits the library writes zeros.
  int significant = 26;
  const auto digit = [&v, &significant] {
    if (significant <= 0) return '0';
    --significant;
    const int d = static_cast<int>(v);
    v = (v - d) * 10.0;
    return static_cast<char>('0' + d);
  };
  if (integerDigits < 0) {
    text += '0';
  } else {
    for (; integerDigits >= 0; --integerDigits) text += digit();
  }
  text += '.';
  for (++integerDigits; integerDigits < 0; --decimals, ++integerDigits) text += '0';
  while (decimals-- > 0) text += digit();
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text += '0';
  if (scientific) {
    text += 'e';
    text += exponent < 0 ? '-' : '+';
    int magnitude = std::abs(exponent);
    if (magnitude >= 100) {
      text += static_cast<char>('0' + magnitude / 100);
      magnitude %= 100;
    }
    text += static_cast<char>('0' + magnitude / 10);
    text += static_cast<char>('0' + magnitude % 10);
  }
  return text;
}

bool NumericAffinity(std::string_view declaredType) {
  const std::string upper = AsciiUpper(declaredType);
  const auto contains = [&upper](const char* word) {
    return upper.find(word) != std::string::npos;
  };
  if (contains("INT")) return true;
  if (contains("CHAR") || contains("CLOB") || contains("TEXT")) return false;
  if (contains("BLOB") || upper.empty()) return false;
  return true;  // REAL, FLOA, DOUB, or anything else: NUMERIC
}

SQLiteFailure ESQLiteException::Failure() const {
  switch (code_ & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return SQLiteFailure::Busy;
    case SQLITE_NOTADB:
      return SQLiteFailure::NotADatabase;
    case SQLITE_CORRUPT:
      return SQLiteFailure::Corrupt;
    case SQLITE_IOERR:
      return SQLiteFailure::ReadError;
    default:
      return SQLiteFailure::Other;
  }
}

// ---------------------------------------------------------------------------
// TSQLiteDatabase

void TSQLiteDatabase::Closer::operator()(sqlite3* db) const {
  sqlite3_close(db);
}

TSQLiteDatabase::TSQLiteDatabase(const std::string& fileName) {
  // The library need not count its memory for us; without the count every
  // allocation of a run is cheaper. This holds only while the library is not
  // yet initialised, so it is asked once, before the first connection.
  static const int memoryCounting = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  static_cast<void>(memoryCounting);
  // Read-only and never create: a mistyped location must not leave an empty
  // database where Pelmora's belongs, and Pelmora's data is never changed. A
  // connection is used by one thread only, so the library need not lock it on
  // every call.
  sqlite3* handle = nullptr;
  const int rc = sqlite3_open_v2(fileName.c_str(), &handle,
                                 SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  db_.reset(handle);  // closed with this object, also when the open failed
  const std::string failed = "Failed to open database \"" + fileName + "\" : ";
  if (rc != SQLITE_OK) {
    throw ESQLiteException(failed + (db_ ? sqlite3_errmsg(db_.get()) : "unknown error"), rc,
                           fileName);
  }
  cellFailure_ = std::make_unique<CellFailure>();
  sqlite3_create_function_v2(handle, kNumberFunction, 2, SQLITE_UTF8, cellFailure_.get(),
                             ReadNumberCell, nullptr, nullptr, nullptr);
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
  Statement stmt;
  Prepare(*this, sql, stmt);
  if (sqlite3_step(stmt.Get()) != SQLITE_DONE) {
    RaiseLastError("Error executing SQL statement", sql);
  }
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::OpenTable(const std::string& sql,
                                                         const std::vector<std::string>& kept) {
  return std::make_unique<TSQLiteTable>(*this, sql, kept);
}

void TSQLiteDatabase::RaiseLastError(const std::string& action, const std::string& sql) {
  if (cellFailure_ && cellFailure_->failed) {
    CellFailure failure = std::exchange(*cellFailure_, {});
    throw ECellConvertError(failure.message, failure.column);
  }
  const int code = db_ ? sqlite3_errcode(db_.get()) : SQLITE_OK;
  throw ESQLiteException(
      action + " \"" + sql + "\" : " + (code != SQLITE_OK ? sqlite3_errmsg(db_.get()) : "No message"),
      code != SQLITE_OK ? code : SQLITE_ERROR);
}

// ---------------------------------------------------------------------------
// TSQLiteTable

// A result is held column by column in typed arrays rather than one object per
// cell: numbers in plain arrays, texts back to back in large blocks.
struct TSQLiteTable::Impl {
  struct Column {
    std::string name;  // upper case
    ColumnKind kind = ColumnKind::Text;
    bool kept = true;  // its cells are held
    // The library's type of each cell; NULL also for an empty blob.
    Blocks<uint8_t> types;
    Blocks<int64_t> integers;        // Integer kind
    Blocks<double> floats;           // Float kind
    TextCells texts;                 // Text kind
    std::vector<std::string> blobs;  // Blob kind
    // Numeric kinds: by row, the text of a cell that the library holds as
    // text and cannot read as a number ("zehn", "12,50"). It is read as that
    // text, so that the reader's conversion fails on it and names it, rather
    // than as the 0 or the leading digits the library would make of it.
    std::map<int, std::string> noNumber;

    const std::string* NoNumber(int row) const {
      if (noNumber.empty()) return nullptr;
      const auto kept = noNumber.find(row);
      return kept != noNumber.end() ? &kept->second : nullptr;
    }

    bool IsNull(int row) const { return types[row] == SQLITE_NULL; }
  };
  std::vector<Column> columns;

  // The column whose cells a read wants; raises for a column not kept, which
  // its reader did not name.
  const Column& Kept(int index, int columnCount) const {
    if (index < 0 || index >= columnCount) {
      throw ESQLiteException("Column index out of range: " + std::to_string(index));
    }
    const Column& column = columns[index];
    if (!column.kept) throw ESQLiteException("Field " + column.name + " not kept in dataset");
    return column;
  }

  static void KeepIfNoNumber(Column& column, sqlite3_stmt* stmt, int index, int type) {
    if (type != SQLITE_TEXT && type != SQLITE_BLOB) return;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, index));
    if (text == nullptr) return;
    std::string_view view(text, static_cast<size_t>(sqlite3_column_bytes(stmt, index)));
    view = view.substr(0, view.find('\0'));
    // A blob is never read as a number, whatever its bytes.
    if (type == SQLITE_TEXT && IsNumberText(view)) return;
    // Blank text stays the 0 it has always been read as.
    if (!IsBlankText(view)) column.noNumber.emplace(static_cast<int>(column.types.size()), view);
  }

  void Append(sqlite3_stmt* stmt, int index) {
    Column& column = columns[index];
    const int type = sqlite3_column_type(stmt, index);
    const bool isNull = type == SQLITE_NULL;
    bool held = !isNull;
    if (!isNull && (column.kind == ColumnKind::Integer || column.kind == ColumnKind::Float)) {
      KeepIfNoNumber(column, stmt, index, type);
    }
    switch (column.kind) {
      case ColumnKind::Integer:
        column.integers.push_back(isNull ? 0 : sqlite3_column_int64(stmt, index));
        break;
      case ColumnKind::Float:
        column.floats.push_back(isNull ? 0.0 : sqlite3_column_double(stmt, index));
        break;
      case ColumnKind::Text: {
        std::string_view cell;
        std::string real;
        if (type == SQLITE_FLOAT) {
          // Not the library's text, which differs between its versions.
          real = RealText(sqlite3_column_double(stmt, index));
          cell = real;
        } else if (!isNull) {
          const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, index));
          if (text != nullptr) {
            cell = std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt, index)));
            cell = cell.substr(0, cell.find('\0'));  // text ends at a zero byte
          }
        }
        column.texts.push_back(cell);
        break;
      }
      case ColumnKind::Blob: {
        // An empty blob is held like NULL.
        if (type == SQLITE_FLOAT) {
          column.blobs.push_back(RealText(sqlite3_column_double(stmt, index)));
          break;
        }
        const int size = isNull ? 0 : sqlite3_column_bytes(stmt, index);
        const void* data = isNull ? nullptr : sqlite3_column_blob(stmt, index);
        held = size > 0 && data != nullptr;
        column.blobs.emplace_back(held ? std::string(static_cast<const char*>(data), size)
                                       : std::string());
        break;
      }
      case ColumnKind::Null:
        break;  // always read as empty text; only NULL or not matters
    }
    column.types.push_back(static_cast<uint8_t>(held ? type : SQLITE_NULL));
  }
};

TSQLiteTable::TSQLiteTable(TSQLiteDatabase& db, const std::string& sql,
                           const std::vector<std::string>& kept)
    : impl_(std::make_unique<Impl>()) {
  std::vector<std::string> keptNames;
  for (const std::string& name : kept) keptNames.push_back(AsciiUpper(name));
  Statement stmt;
  Prepare(db, sql, stmt);
  for (;;) {
    const int rc = sqlite3_step(stmt.Get());
    if (rc == SQLITE_DONE) break;
    if (rc == SQLITE_BUSY) {
      // No waiting and no retry: a lock held elsewhere surfaces at once.
      throw ESQLiteException("Could not prepare SQL statement \"" + sql + "\" : SQLite is Busy",
                           SQLITE_BUSY);
    }
    if (rc != SQLITE_ROW) db.RaiseLastError("Could not retrieve data", sql);
    if (rowCount_ == 0) {
      // Names and kinds come from the first row and hold for all rows.
      columnCount_ = sqlite3_column_count(stmt.Get());
      impl_->columns.resize(static_cast<size_t>(columnCount_));
      for (int i = 0; i < columnCount_; ++i) {
        Impl::Column& column = impl_->columns[i];
        const char* name = sqlite3_column_name(stmt.Get(), i);
        column.name = AsciiUpper(name != nullptr ? name : "");
        const char* declared = sqlite3_column_decltype(stmt.Get(), i);
        column.kind = declared != nullptr
                          ? KindOfDeclaredType(declared)
                          : static_cast<ColumnKind>(sqlite3_column_type(stmt.Get(), i));
        column.kept = keptNames.empty() ||
                      std::find(keptNames.begin(), keptNames.end(), column.name) != keptNames.end();
      }
    }
    ++rowCount_;
    for (int i = 0; i < columnCount_; ++i) {
      if (impl_->columns[i].kept) impl_->Append(stmt.Get(), i);
    }
  }
  cursor_ = 0;
}

TSQLiteTable::~TSQLiteTable() = default;

bool TSQLiteTable::MoveNext() {
  if (AtEnd()) return false;
  ++cursor_;
  return true;
}

int TSQLiteTable::ColumnIndex(std::string_view name) const {
  if (impl_->columns.empty()) {
    throw ESQLiteException("Field " + std::string(name) + " Not found. Empty dataset");
  }
  const std::string upper = AsciiUpper(name);
  for (size_t i = 0; i < impl_->columns.size(); ++i) {
    if (impl_->columns[i].name == upper) return static_cast<int>(i);
  }
  throw ESQLiteException("Field not found in dataset: " + std::string(name));
}

namespace {

void CheckIndex(int index, int columnCount) {
  if (index < 0 || index >= columnCount) {
    throw ESQLiteException("Column index out of range: " + std::to_string(index));
  }
}

}  // namespace

ColumnKind TSQLiteTable::Kind(int index) const {
  CheckIndex(index, columnCount_);
  return impl_->columns[index].kind;
}

const std::string& TSQLiteTable::ColumnName(int index) const {
  CheckIndex(index, columnCount_);
  return impl_->columns[index].name;
}

bool TSQLiteTable::CellIsNull(int index) const {
  if (AtEnd()) throw ESQLiteException(kAtEnd);
  return impl_->Kept(index, columnCount_).IsNull(cursor_);
}

bool TSQLiteTable::CellHeldAsInteger(int index) const {
  if (AtEnd()) throw ESQLiteException(kAtEnd);
  const Impl::Column& column = impl_->Kept(index, columnCount_);
  return column.kind == ColumnKind::Integer && column.types[cursor_] == SQLITE_INTEGER;
}

bool TSQLiteTable::CellHeldAsNumber(int index) const {
  if (AtEnd()) throw ESQLiteException(kAtEnd);
  const Impl::Column& column = impl_->Kept(index, columnCount_);
  if (column.kind != ColumnKind::Integer && column.kind != ColumnKind::Float) return false;
  const int type = column.types[cursor_];
  return type == SQLITE_INTEGER || type == SQLITE_FLOAT || type == SQLITE_NULL;
}

std::optional<int64_t> TSQLiteTable::HeldInteger(int row, int index) const {
  const Impl::Column& column = impl_->Kept(index, columnCount_);
  if (row < 0 || row >= rowCount_) {
    throw ESQLiteException("Row out of range: " + std::to_string(row));
  }
  if (column.kind != ColumnKind::Integer || column.types[row] != SQLITE_INTEGER) {
    return std::nullopt;
  }
  return column.integers[row];
}

std::string TSQLiteTable::CellText(int index) const {
  if (AtEnd()) throw ESQLiteException(kAtEnd);
  const Impl::Column& column = impl_->Kept(index, columnCount_);
  if (const std::string* kept = column.NoNumber(cursor_)) return *kept;
  switch (column.kind) {
    case ColumnKind::Integer:
      return std::to_string(CellInteger(index));
    case ColumnKind::Float:
      return FormatFloat(CellFloat(index));
    case ColumnKind::Text:
      return std::string(column.texts[cursor_]);
    case ColumnKind::Blob:
      return CellBlobText(index);
    case ColumnKind::Null:
      break;
  }
  return std::string();
}

std::string_view TSQLiteTable::CellTextView(int index, std::string& scratch) const {
  if (AtEnd()) throw ESQLiteException(kAtEnd);
  const Impl::Column& column = impl_->Kept(index, columnCount_);
  if (column.kind == ColumnKind::Text) return column.texts[cursor_];
  scratch = CellText(index);
  return scratch;
}

std::string TSQLiteTable::CellTextOrEmpty(int index) const {
  if (AtEnd()) throw ESQLiteException(kAtEnd);
  if (CellIsNull(index)) return std::string();
  return CellText(index);
}

int64_t TSQLiteTable::CellInteger(int index) const {
  if (AtEnd()) throw ESQLiteException(kAtEnd);
  const Impl::Column& column = impl_->Kept(index, columnCount_);
  if (column.IsNull(cursor_)) return 0;
  // A kept text reads as its conversion does, or raises the conversion error.
  if (const std::string* kept = column.NoNumber(cursor_)) return StrToInt(*kept);
  if (column.kind == ColumnKind::Integer) return column.integers[cursor_];
  if (column.kind == ColumnKind::Float) {
    const double value = std::trunc(column.floats[cursor_]);
    if (value >= -9223372036854775808.0 && value < 9223372036854775808.0) {
      return static_cast<int64_t>(value);
    }
  }
  throw ESQLiteException("Not an integer or numeric field");
}

double TSQLiteTable::CellFloat(int index) const {
  if (AtEnd()) throw ESQLiteException(kAtEnd);
  const Impl::Column& column = impl_->Kept(index, columnCount_);
  if (column.IsNull(cursor_)) return 0.0;
  if (const std::string* kept = column.NoNumber(cursor_)) return StrToFloat(*kept);
  if (column.kind == ColumnKind::Integer) return static_cast<double>(column.integers[cursor_]);
  if (column.kind == ColumnKind::Float) return column.floats[cursor_];
  throw ESQLiteException("Not an integer or numeric field");
}

const std::string* TSQLiteTable::CellBlob(int index) const {
  if (AtEnd()) throw ESQLiteException(kAtEnd);
  const Impl::Column& column = impl_->Kept(index, columnCount_);
  if (column.IsNull(cursor_)) return nullptr;
  if (column.kind != ColumnKind::Blob) throw ESQLiteException("Not a Blob field");
  return &column.blobs[cursor_];
}

std::string TSQLiteTable::CellBlobText(int index) const {
  const std::string* blob = CellBlob(index);
  return blob != nullptr ? *blob : std::string();
}

// ---------------------------------------------------------------------------
// TSQLiteStatement

TSQLiteStatement::TSQLiteStatement(TSQLiteDatabase& db, std::string sql)
    : db_(db), sql_(std::move(sql)) {
  if (sqlite3_prepare_v2(db.Handle(), sql_.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    db.RaiseLastError("Error executing SQL", sql_);
  }
  if (stmt_ == nullptr) db.RaiseLastError("Could not prepare SQL statement", sql_);
}

TSQLiteStatement::~TSQLiteStatement() {
  sqlite3_finalize(stmt_);
}

bool TSQLiteStatement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  if (rc == SQLITE_BUSY) {
    throw ESQLiteException("Could not prepare SQL statement \"" + sql_ + "\" : SQLite is Busy",
                           SQLITE_BUSY);
  }
  db_.RaiseLastError("Could not retrieve data", sql_);
}

void TSQLiteStatement::Reset() {
  sqlite3_reset(stmt_);
}

void TSQLiteStatement::BindInt64(int index, int64_t value) {
  if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) {
    db_.RaiseLastError("Could not bind a value to", sql_);
  }
}

void TSQLiteStatement::BindText(int index, const std::string& value) {
  if (sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()),
                        SQLITE_TRANSIENT) != SQLITE_OK) {
    db_.RaiseLastError("Could not bind a value to", sql_);
  }
}

int TSQLiteStatement::ColumnCount() const {
  return sqlite3_column_count(stmt_);
}

ColumnKind TSQLiteStatement::ColumnType(int index) const {
  return static_cast<ColumnKind>(sqlite3_column_type(stmt_, index));
}

int64_t TSQLiteStatement::ColumnInt64(int index) const {
  return sqlite3_column_int64(stmt_, index);
}

double TSQLiteStatement::ColumnDouble(int index) const {
  return sqlite3_column_double(stmt_, index);
}

std::string_view TSQLiteStatement::ColumnText(int index) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
  if (text == nullptr) return {};
  return std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, index)));
}

std::string TSQLiteStatement::DeclaredType(int index) const {
  const char* declared = sqlite3_column_decltype(stmt_, index);
  return declared != nullptr ? declared : "";
}

}  // namespace vorlex
