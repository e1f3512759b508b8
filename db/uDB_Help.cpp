#include "db/uDB_Help.h"

#include "util/NumberText.h"
#include "util/uDatum.h"
#include "util/uString.h"

namespace vorlex {

std::string ReplaceAll(std::string_view source, std::string_view find,
                       std::string_view replacement) {
  return StrReplaceAll(source, find, replacement);
}

std::string SQLDate(uint16_t year, uint16_t month, uint16_t day) {
  // SQL number literals always carry a decimal point, whatever the locale; a
  // whole day has none to carry anyway.
  return ReplaceAll(FormatFloat(EncodeDate(year, month, day), FormatSettings{}), ",", ".");
}

std::string SQLDateOf(double dayNumber) {
  const CalendarDate date = DecodeDate(dayNumber);
  return SQLDate(static_cast<uint16_t>(date.year), static_cast<uint16_t>(date.month),
                 static_cast<uint16_t>(date.day));
}

}  // namespace vorlex
