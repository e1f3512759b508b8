#include "db/uDB.h"

#include <exception>

#include "db/SQLiteAccess.h"
#include "util/NumberText.h"

namespace vorlex {

double TVariant::ToFloat() const {
  return StrToFloat(text_, format_);
}

int64_t TVariant::ToInt() const {
  return StrToInt(text_, format_);
}

TDBTable::TDBTable(std::unique_ptr<TSQLiteTable> result) : result_(std::move(result)) {}

TDBTable::~TDBTable() = default;

bool TDBTable::AtEnd() const {
  return result_->AtEnd();
}

bool TDBTable::MoveNext() {
  return result_->MoveNext();
}

int TDBTable::RowCount() const {
  return AtEnd() ? 0 : result_->RowCount();
}

TVariant TDBTable::FieldValue(std::string_view name) const {
  return TVariant(result_->CellText(result_->ColumnIndex(name)), result_->Format());
}

std::string TDBTable::FieldText(std::string_view name) const {
  return result_->CellTextOrEmpty(result_->ColumnIndex(name));
}

const FormatSettings& TDBTable::Format() const {
  return result_->Format();
}

int TDBTable::Index(const TDBField& field) const {
  if (field.table_ != result_.get()) {
    field.index_ = result_->ColumnIndex(field.name_);
    field.table_ = result_.get();
  }
  return field.index_;
}

TVariant TDBTable::FieldValue(const TDBField& field) const {
  return TVariant(result_->CellText(Index(field)), result_->Format());
}

std::string_view TDBTable::FieldView(const TDBField& field, std::string& scratch) const {
  return result_->CellTextView(Index(field), scratch);
}

bool TDBTable::ReadsAsText(const TDBField& field) const {
  return result_->Kind(Index(field)) == ColumnKind::Text;
}

std::string TDBTable::FieldText(const TDBField& field) const {
  return result_->CellTextOrEmpty(Index(field));
}

double TDBTable::FieldFloat(const TDBField& field) const {
  const int index = Index(field);
  if (result_->CellHeldAsNumber(index)) {
    // The decimal text of a whole number reads back as its nearest double.
    if (result_->Kind(index) == ColumnKind::Integer) {
      return static_cast<double>(result_->CellInteger(index));
    }
    return FloatTextValue(result_->CellFloat(index));
  }
  return StrToFloat(result_->CellText(index), result_->Format());
}

int64_t TDBTable::FieldInt(const TDBField& field) const {
  const int index = Index(field);
  // The decimal text of a whole number reads back as that number.
  if (result_->Kind(index) == ColumnKind::Integer && result_->CellHeldAsNumber(index)) {
    return result_->CellInteger(index);
  }
  return StrToInt(result_->CellText(index), result_->Format());
}

TDBase::TDBase(const std::string& fileName, const FormatSettings& format)
    : fileName_(fileName),
      format_(format),
      connection_(std::make_unique<TSQLiteDatabase>(fileName, format)) {}

TDBase::~TDBase() = default;

std::unique_ptr<TDBTable> TDBase::Query(const std::string& sql) {
  return std::make_unique<TDBTable>(Connection().OpenTable(sql));
}

std::unique_ptr<TDBTable> TDBase::Query(const std::string& sql,
                                        const std::vector<std::string>& columnsRead) {
  return std::make_unique<TDBTable>(Connection().OpenTable(sql, columnsRead));
}

std::unique_ptr<TDBTable> TDBase::QueryRowByRow(const std::string& sql,
                                                const std::vector<std::string>& columnsRead) {
  return std::make_unique<TDBTable>(
      Connection().OpenTable(sql, columnsRead, TableReading::RowByRow));
}

void TDBase::DefineTextTest(const std::string& name,
                            std::function<bool(std::string_view, std::string_view)> test) {
  Connection().DefineTextTest(name, std::move(test));
}

void TDBase::Close() {
  connection_.reset();
}

TSQLiteDatabase& TDBase::Connection() {
  // After Close no query runs; say so rather than touch a connection that is gone.
  if (!connection_) throw ESQLiteException("Database \"" + fileName_ + "\" is closed");
  return *connection_;
}

TReadTransaction::TReadTransaction(TDBase& db) : db_(db) {
  db_.Connection().Execute("BEGIN");
}

TReadTransaction::~TReadTransaction() {
  try {
    db_.Connection().Execute("ROLLBACK");
  } catch (const std::exception&) {
    // Only a closed connection gets here; it holds no transaction any more.
  }
}

}  // namespace vorlex
