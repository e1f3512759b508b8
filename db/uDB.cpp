#include "db/uDB.h"

#include "util/uFormat.h"

namespace vorlex {

std::unique_ptr<TDBase> Database;

double TVariant::ToFloat() const {
  return StrToFloat(text_);
}

int64_t TVariant::ToInt() const {
  return StrToInt(text_);
}

TVariant TDBTable::FieldValue(std::string_view name) const {
  return TVariant(result_->CellText(result_->ColumnIndex(name)));
}

std::string TDBTable::FieldText(std::string_view name) const {
  return result_->CellTextOrEmpty(result_->ColumnIndex(name));
}

TDBase::TDBase(const std::string& fileName)
    : fileName_(fileName), connection_(std::make_unique<TSQLiteDatabase>(fileName)) {}

TDBase::~TDBase() = default;

std::unique_ptr<TDBTable> TDBase::Query(const std::string& sql) {
  return std::make_unique<TDBTable>(Connection().OpenTable(sql));
}

void TDBase::Close() {
  connection_.reset();
}

TSQLiteDatabase& TDBase::Connection() {
  // After Close no query runs; say so rather than touch a connection that is gone.
  if (!connection_) throw ESQLiteException("Database \"" + fileName_ + "\" is closed");
  return *connection_;
}

}  // namespace vorlex
