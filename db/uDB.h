// The narrow interface through which the program reads the invoicing database:
// the database, its results and their fields, the line sums of a period's
// orders (db/PeriodLineSums.h) and the errors of the layer below
// (db/SQLiteError.h), which pass through unchanged.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/PeriodLineSums.h"
#include "db/SQLiteError.h"
#include "util/FormatSettings.h"

namespace vorlex {

class TSQLiteDatabase;
class TSQLiteTable;

// A field value: always text. Numbers really travel as text in the user's
// format (a float is rounded to 15 significant digits on the way) and are
// converted back by the reader, in the format the text was made in.
class TVariant {
 public:
  TVariant() = default;
  TVariant(std::string text, const FormatSettings& format)
      : text_(std::move(text)), format_(format) {}
  const std::string& Text() const { return text_; }
  // Raise EConvertError (util/NumberText.h) when the text is no number.
  double ToFloat() const;
  int64_t ToInt() const;
  bool IsEmpty() const { return text_.empty(); }
  friend bool operator==(const TVariant& v, std::string_view s) { return v.text_ == s; }
  friend std::string operator+(const std::string& s, const TVariant& v) { return s + v.text_; }
  friend std::string operator+(const TVariant& v, const std::string& s) { return v.text_ + s; }

 private:
  std::string text_;
  FormatSettings format_;
};

// A column named once and found in a result at its first use; later reads of
// that result go straight to its position. The lookup raises what a lookup by
// name raises, at the same first read.
class TDBField {
 public:
  explicit TDBField(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const { return name_; }

 private:
  friend class TDBTable;
  std::string name_;
  mutable const TSQLiteTable* table_ = nullptr;
  mutable int index_ = -1;
};

class TDBTable {
 public:
  explicit TDBTable(std::unique_ptr<TSQLiteTable> result);
  ~TDBTable();
  TDBTable(const TDBTable&) = delete;
  TDBTable& operator=(const TDBTable&) = delete;
  bool AtEnd() const;
  bool MoveNext();
  // Rows of the result while the cursor is on a row; 0 once AtEnd (see
  // TDBase::QueryRowByRow).
  int RowCount() const;
  TVariant FieldValue(std::string_view name) const;
  std::string FieldText(std::string_view name) const;
  TVariant FieldValue(const TDBField& field) const;
  std::string FieldText(const TDBField& field) const;
  // FieldValue(field).Text() without a copy where the result holds the text;
  // scratch holds it otherwise. Valid while the result and scratch are.
  std::string_view FieldView(const TDBField& field, std::string& scratch) const;
  // The same as FieldValue(field).ToFloat(), without the text where the cell
  // holds a number: a float cell is rounded to the 15 significant digits of
  // its text.
  double FieldFloat(const TDBField& field) const;
  // The same as FieldValue(field).ToInt().
  int64_t FieldInt(const TDBField& field) const;
  int Index(const TDBField& field) const;
  // The column is read as text (by its declared type), as a text test of the
  // connection reads its arguments (TDBase::DefineTextTest).
  bool ReadsAsText(const TDBField& field) const;
  // The format settings the fields are read in: the database's.
  const FormatSettings& Format() const;

 private:
  // The period's line sums read the ids of all rows at once.
  friend class TPeriodLineSums;
  std::unique_ptr<TSQLiteTable> result_;
};

class TDBase {
 public:
  // format: how the user writes numbers, by which the fields' texts are made
  // and read (the front end's settings).
  TDBase(const std::string& fileName, const FormatSettings& format);
  ~TDBase();
  TDBase(const TDBase&) = delete;
  TDBase& operator=(const TDBase&) = delete;

  // The caller owns the result; releasing it is destroying it.
  std::unique_ptr<TDBTable> Query(const std::string& sql);
  // The same, holding only the cells of the columns named, which are all that
  // the caller reads: a large result then takes a fraction of the memory.
  std::unique_ptr<TDBTable> Query(const std::string& sql,
                                  const std::vector<std::string>& columnsRead);
  // The same, reading each row as the cursor reaches it, so that only one
  // row is held at a time: for one walk of a large result, which must be
  // destroyed before the database is closed. RowCount() is 1 while on a row.
  std::unique_ptr<TDBTable> QueryRowByRow(const std::string& sql,
                                          const std::vector<std::string>& columnsRead);
  // The SQL function name(a, b) of this database's statements: test(a, b) as 1
  // or 0, the arguments read as text columns are read. Defining a name again
  // replaces its test.
  void DefineTextTest(const std::string& name,
                      std::function<bool(std::string_view, std::string_view)> test);
  void Close();
  bool IsOpen() const { return connection_ != nullptr; }
  const std::string& FileName() const { return fileName_; }
  const FormatSettings& Format() const { return format_; }

 private:
  // The classes of the facade that work on the connection itself.
  friend class TPeriodLineSums;
  friend class TOrderRates;
  friend class TReadTransaction;
  // Raises when the database is closed.
  TSQLiteDatabase& Connection();

  std::string fileName_;
  FormatSettings format_;
  std::unique_ptr<TSQLiteDatabase> connection_;
};

// Every query between construction and destruction reads the same state of
// the database, whatever another program commits meanwhile. A read
// transaction writes nothing; it ends with the scope, also when the scope is
// left by an error, so that the next reads see the database afresh.
class TReadTransaction {
 public:
  explicit TReadTransaction(TDBase& db);
  ~TReadTransaction();
  TReadTransaction(const TReadTransaction&) = delete;
  TReadTransaction& operator=(const TReadTransaction&) = delete;

 private:
  TDBase& db_;
};

}  // namespace vorlex
