// Text to number and back: any text either converts to a finite number or
// raises the conversion error naming it; a number's texts convert back to it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "util/DateText.h"
#include "util/MoneyText.h"
#include "util/NumberText.h"
#include "util/uDatum.h"

using namespace vorlex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the user's decimal separator.
  FormatSettings fs;
  fs.decimalSeparator = (data[0] & 1) != 0 ? ',' : '.';
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  double value = 0;
  try {
    value = StrToFloat(text, fs);
  } catch (const EConvertError& e) {
    FUZZ_CHECK(std::string_view(e.what()).rfind(kConvertErrorText, 0) == 0);
    return 0;
  }
  FUZZ_CHECK(std::isfinite(value));

  // The general text holds 15 significant digits and converts back to itself
  // (below the normal range of doubles digits are lost on the way).
  const std::string general = FormatFloat(value, fs);
  const double again = StrToFloat(general, fs);
  if (value == 0 || std::fabs(value) >= 1e-300) FUZZ_CHECK(FormatFloat(again, fs) == general);

  // The money text is the value to the cent, in the user's format.
  const std::string money = FormatMoney(value, fs);
  const double cents = StrToFloat(money, fs);
  FUZZ_CHECK(std::fabs(cents - value) <= 0.0051 + std::fabs(value) * 1e-15);
  FUZZ_CHECK(money.find(fs.decimalSeparator == ',' ? '.' : ',') == std::string::npos);
  const std::string extended = FormatMoneyExtended(value, fs);
  FUZZ_CHECK(std::fabs(StrToFloat(extended, fs) - value) <= 0.0051 + std::fabs(value) * 1e-15);

  // Whole numbers: rounded, or the conversion error when beyond 64 bits.
  try {
    const int64_t whole = StrToInt(text, fs);
    FUZZ_CHECK(std::fabs(static_cast<double>(whole) - value) <= 0.5 + std::fabs(value) * 1e-15);
  } catch (const EConvertError&) {
    FUZZ_CHECK(std::fabs(value) >= 9.2e18);
  }

  // As a day number: a date of the years 1 to 9999, or the date error.
  try {
    const CalendarDate date = DecodeDate(value);
    FUZZ_CHECK(date.year >= 1 && date.year <= 9999);
    FUZZ_CHECK(FormatDate(value, fs).size() == 10);
  } catch (const EDateError&) {
  }
  return 0;
}
