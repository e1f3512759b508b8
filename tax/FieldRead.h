// Reading numbers from a result row so that a bad cell can be found again: a
// text that is no number still ends the run with the conversion error, but its
// message also names the column and the row, so that the user can mend the row
// in Pelmora.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "db/uDB.h"
#include "util/NumberText.h"
#include "util/uString.h"

namespace vorlex {

// A conversion error that knows the column and the row of its cell.
class EFieldConvertError : public EConvertError {
 public:
  EFieldConvertError(const std::string& message, std::string_view column, std::string where)
      : EConvertError(message), column_(column), where_(std::move(where)) {}
  const std::string& Column() const { return column_; }
  const std::string& Where() const { return where_; }

 private:
  std::string column_;
  std::string where_;
};

// The conversion error again, with " (Spalte <column>, <where>)" added.
[[noreturn]] inline void RaiseConvertErrorAt(const EConvertError& error, std::string_view column,
                                             const std::string& where) {
  std::string message = error.what();
  message += " (Spalte ";
  message += column;
  message += ", ";
  message += where;
  message += ")";
  throw EFieldConvertError(message, column, where);
}

// where() names the row; it is called only when the conversion fails.
template <class Where>
double FloatField(const TDBTable& row, std::string_view column, const Where& where) {
  const TVariant value = row.FieldValue(column);
  try {
    return value.ToFloat();
  } catch (const EConvertError& e) {
    RaiseConvertErrorAt(e, column, where());
  }
}

template <class Where>
int64_t IntField(const TDBTable& row, std::string_view column, const Where& where) {
  const TVariant value = row.FieldValue(column);
  try {
    return value.ToInt();
  } catch (const EConvertError& e) {
    RaiseConvertErrorAt(e, column, where());
  }
}

// The same for a column found once per result; the figures and the errors are
// those of the reads by name.
template <class Where>
double FloatField(const TDBTable& row, const TDBField& column, const Where& where) {
  try {
    return row.FieldFloat(column);
  } catch (const EConvertError& e) {
    RaiseConvertErrorAt(e, column.Name(), where());
  }
}

template <class Where>
int64_t IntField(const TDBTable& row, const TDBField& column, const Where& where) {
  try {
    return row.FieldInt(column);
  } catch (const EConvertError& e) {
    RaiseConvertErrorAt(e, column.Name(), where());
  }
}

// True when the date in column of the current row is text that is no number:
// no period's condition selects such a row (text compares above every day),
// so that it is missing from every run. The date is read as a run reads it.
inline bool DateIsNoNumber(const TDBTable& row, const TDBField& column) {
  try {
    row.FieldFloat(column);
    return false;
  } catch (const EConvertError&) {
    return true;
  }
}

// The condition on a date column (SQL) that chooses the rows DateIsNoNumber
// may find: text and blobs compare above every number, the infinite too, and
// the unary plus takes the column's affinity away, under which the number
// would be compared as text.
inline std::string DateHeldAsText(std::string_view column) {
  return "+" + std::string(column) + " > 9e999";
}

// "Auftrag id 17": how an order is named in an error message.
inline std::string OrderPlace(std::string_view idText) {
  return "Auftrag id " + std::string(idText);
}

// "Positionen von Auftrag id 17": the lines of an order in an error message.
inline std::string OrderLinesPlace(int64_t orderId) {
  return "Positionen von " + OrderPlace(std::to_string(orderId));
}

// "Kassenbuch-Eintrag vom 05.03.2024 "Porto"": how a cash-book entry is named
// in an error message; the description as the list shows it, so that a long
// one cannot swamp the message.
inline std::string CashEntryPlace(std::string_view dateText, std::string_view description) {
  return "Kassenbuch-Eintrag vom " + std::string(dateText) + " \"" +
         TruncateText(description, 40) + "\"";
}

}  // namespace vorlex
