#include "db/SQLiteTable.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "db/SQLiteDatabase.h"
#include "db/SQLiteError.h"
#include "db/SQLiteText.h"
#include "util/NumberText.h"
#include "util/uString.h"

namespace vorlex {

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
  void clear() { size_ = 0; }  // the blocks are kept for the next rows

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
  void clear() {
    bytes_.clear();
    ends_.clear();
  }

 private:
  std::string bytes_;
  Blocks<uint32_t> ends_;
};

[[noreturn]] void RaiseIndexOutOfRange(int index) {
  throw ESQLiteException("Column index out of range: " + std::to_string(index));
}

// Every read by column index goes through here; it is on the way of every
// cell read, so only the test stands in the way and the raising is apart.
inline void CheckIndex(int index, int columnCount) {
  if (index < 0 || index >= columnCount) RaiseIndexOutOfRange(index);
}

}  // namespace

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

    void Clear() {
      types.clear();
      integers.clear();
      floats.clear();
      texts.clear();
      blobs.clear();
      noNumber.clear();
    }
  };
  std::vector<Column> columns;
  std::vector<std::string> keptNames;  // upper case; empty: every column
  FormatSettings format;               // the connection's: float cells as text, text as numbers
  std::unique_ptr<TSQLiteStatement> statement;  // until its last row is read

  // The column whose cells a read wants; raises for a column not kept, which
  // its reader did not name.
  const Column& Kept(int index, int columnCount) const {
    CheckIndex(index, columnCount);
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
                           const std::vector<std::string>& kept, TableReading reading)
    : impl_(std::make_unique<Impl>()), rowByRow_(reading == TableReading::RowByRow) {
  for (const std::string& name : kept) impl_->keptNames.push_back(AsciiUpper(name));
  impl_->format = db.Format();
  impl_->statement = std::make_unique<TSQLiteStatement>(db, sql);
  if (rowByRow_) {
    ReadRow();
  } else {
    while (ReadRow()) {
    }
  }
  cursor_ = 0;
}

TSQLiteTable::~TSQLiteTable() = default;

bool TSQLiteTable::ReadRow() {
  if (impl_->statement == nullptr) return false;
  if (!impl_->statement->Step()) {
    impl_->statement.reset();
    return false;
  }
  sqlite3_stmt* stmt = impl_->statement->stmt_;
  if (impl_->columns.empty()) {
    // Names and kinds come from the first row and hold for all rows.
    columnCount_ = sqlite3_column_count(stmt);
    impl_->columns.resize(static_cast<size_t>(columnCount_));
    const std::vector<std::string>& keptNames = impl_->keptNames;
    for (int i = 0; i < columnCount_; ++i) {
      Impl::Column& column = impl_->columns[i];
      const char* name = sqlite3_column_name(stmt, i);
      column.name = AsciiUpper(name != nullptr ? name : "");
      column.kind = KindOf(*impl_->statement, i);
      column.kept = keptNames.empty() ||
                    std::find(keptNames.begin(), keptNames.end(), column.name) != keptNames.end();
    }
  }
  ++rowCount_;
  for (int i = 0; i < columnCount_; ++i) {
    if (impl_->columns[i].kept) impl_->Append(stmt, i);
  }
  return true;
}

ColumnKind TSQLiteTable::KindOf(const TSQLiteStatement& statement, int index) {
  const char* declared = sqlite3_column_decltype(statement.stmt_, index);
  return declared != nullptr ? KindOfDeclaredType(declared)
                             : static_cast<ColumnKind>(sqlite3_column_type(statement.stmt_, index));
}

bool TSQLiteTable::MoveNext() {
  if (AtEnd()) return false;
  if (!rowByRow_) {
    ++cursor_;
    return true;
  }
  for (Impl::Column& column : impl_->columns) {
    if (column.kept) column.Clear();
  }
  rowCount_ = 0;
  ReadRow();
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

ColumnKind TSQLiteTable::Kind(int index) const {
  CheckIndex(index, columnCount_);
  return impl_->columns[index].kind;
}

const std::string& TSQLiteTable::ColumnName(int index) const {
  CheckIndex(index, columnCount_);
  return impl_->columns[index].name;
}

const FormatSettings& TSQLiteTable::Format() const {
  return impl_->format;
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
      return FormatFloat(CellFloat(index), impl_->format);
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
  if (const std::string* kept = column.NoNumber(cursor_)) return StrToInt(*kept, impl_->format);
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
  if (const std::string* kept = column.NoNumber(cursor_)) return StrToFloat(*kept, impl_->format);
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

}  // namespace vorlex
