#include "util/NumberText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "util/DateText.h"
#include "util/MoneyText.h"
#include "util/FormatTest.h"
#include "util/uDatum.h"

namespace vorlex {
namespace {

TEST(FormatTest, GeneralFloatText) {
  struct Row {
    double value;
    const char* expected;
  };
  const Row rows[] = {
      {12.5, "12,5"},
      {3.0, "3"},
      {1.0 / 3.0, "0,333333333333333"},
      {2.0 / 3.0, "0,666666666666667"},
      {1234.5, "1234,5"},
      {-2.5, "-2,5"},
      {0.0, "0"},
      {-0.0, "0"},
      {45292.0, "45292"},
      {45382.5, "45382,5"},
      {0.1 + 0.2, "0,3"},
      {1e20, "1E20"},
      {1.5e-7, "1,5E-7"},
      {-1.5e-7, "-1,5E-7"},
      {1e15, "1E15"},
      {123456789012345.0, "123456789012345"},
      {1234567890123456.0, "1,23456789012346E15"},
      {0.0001, "0,0001"},
      {0.00001, "1E-5"},
      {1.23456789012345678, "1,23456789012346"},
      {1e-300, "1E-300"},
      {1.7976931348623157e308, "1,79769313486232E308"},
      {2147483648.0, "2147483648"},
  };
  for (const Row& r : rows) EXPECT_EQ(FormatFloat(r.value, kGerman), r.expected) << r.expected;
  EXPECT_EQ(FormatFloat(12.5, kPoint), "12.5");
  EXPECT_EQ(FormatFloat(1.5e-7, kPoint), "1.5E-7");
  EXPECT_EQ(FormatFloat(std::nan(""), kGerman), "NAN");
  EXPECT_EQ(FormatFloat(-std::numeric_limits<double>::infinity(), kGerman), "-INF");
}

TEST(FormatTest, FloatTextConvertsBackToFifteenDigits) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-20, 20);
  for (int i = 0; i < 20000; ++i) {
    const double value = mantissa(random) * std::pow(10.0, exponent(random));
    const std::string text = FormatFloat(value, kGerman);
    const double back = StrToFloat(text, kGerman);
    ASSERT_EQ(FormatFloat(back, kGerman), text) << text;
    ASSERT_LE(std::fabs(back - value), std::fabs(value) * 1e-14) << text;
  }
  // Cents survive the trip unchanged.
  for (int cents = -100000; cents <= 100000; cents += 7) {
    const double value = cents / 100.0;
    ASSERT_EQ(StrToFloat(FormatFloat(value, kGerman), kGerman), value) << cents;
  }
}

TEST(FormatTest, TextToNumberAcceptsTheGrammar) {
  struct Row {
    const char* text;
    double expected;
  };
  const Row rows[] = {
      {"12,5", 12.5},
      {"12.5", 12.5},  // the library's own text of a text-kind column
      {"0,333333333333333", 0.333333333333333},
      {" -3 ", -3.0},
      {"+4", 4.0},
      {"  7", 7.0},
      {"7  ", 7.0},
      {"0001", 1.0},
      {",5", 0.5},
      {"5,", 5.0},
      {"1E3", 1000.0},
      {"1e+3", 1000.0},
      {"1,5E-7", 1.5e-7},
      {"-2,5e2", -250.0},
      {"1E20", 1e20},
      {"1e-400", 0.0},
      {"0e99999999", 0.0},
      {"1234,5", 1234.5},
      {"45292", 45292.0},
      {"2147483648", 2147483648.0},
  };
  for (const Row& r : rows) EXPECT_EQ(StrToFloat(r.text, kGerman), r.expected) << r.text;
  EXPECT_EQ(StrToFloat("12.5", kPoint), 12.5);
  EXPECT_TRUE(std::signbit(StrToFloat("-0", kGerman)));
}

TEST(FormatTest, TextToNumberRejectsEverythingElse) {
  const char* const bad[] = {
      "",     " ",     "abc",  "1.234,5", "12,5,0", "1 000", "1e",     "1e+",
      "--1",  "+-1",   "12a",  "0x10",    "inf",    "nan",   "INF",    "1e999",
      "\t5",  "1'000", "e5",   ".",       ",",      "-",     "+",      "1,5 E3",
      "1..2", "1,.2",  "\xE4", "1E5.5",   "1 2",    "- 1",   "12\xA0",
  };
  for (const char* text : bad) {
    try {
      StrToFloat(text, kGerman);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), std::string(kConvertErrorText) + ": \"" + text + "\"");
    }
  }
  // With a decimal point as the locale's separator the comma is no separator.
  EXPECT_THROW(StrToFloat("12,5", kPoint), EConvertError);
}

TEST(FormatTest, ConversionErrorNamesTheTextInWindows1252) {
  try {
    StrToFloat("abc", kGerman);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Typkonvertierung von Variant ung\xFCltig: \"abc\"");
  }
  // A long text is named by its beginning, not copied whole into the message.
  try {
    StrToFloat(std::string(100000, 'x'), kGerman);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_LT(std::string(e.what()).size(), 200u);
  }
}

TEST(FormatTest, TextToInteger) {
  struct Row {
    const char* text;
    int64_t expected;
  };
  const Row rows[] = {
      {"12", 12},
      {"-99", -99},
      {" +7 ", 7},
      {"12,5", 12},  // halves to the even neighbour
      {"13,5", 14},
      {"-2,5", -2},
      {"2,51", 3},
      {"1e3", 1000},
      {"4294967301", 4294967301},
      {"9223372036854775807", INT64_MAX},  // exact, not through a double
      {"-9223372036854775808", INT64_MIN},
      {"9007199254740993", 9007199254740993},
  };
  for (const Row& r : rows) EXPECT_EQ(StrToInt(r.text, kGerman), r.expected) << r.text;
  for (const char* text :
       {"", "abc", "9223372036854775808", "1e19", "-1e19", "+-5", "-", "1,2,3"}) {
    EXPECT_THROW(StrToInt(text, kGerman), EConvertError) << text;
  }
}

TEST(FormatTest, RoundHalfEven) {
  struct Row {
    double value, expected;
  };
  const Row rows[] = {
      {0.5, 0},   {1.5, 2},   {2.5, 2},       {-0.5, 0},
      {-1.5, -2}, {-2.5, -2}, {19.4, 19},     {19.5, 20},
      {18.5, 18}, {6.5, 6},   {7.49, 7},      {-2.6, -3},
      {0.0, 0},   {3.0, 3},   {1e300, 1e300}, {4503599627370495.5, 4503599627370496},
  };
  for (const Row& r : rows) EXPECT_EQ(RoundHalfEven(r.value), r.expected) << r.value;
}

TEST(FormatTest, TheSettingsGivenAreUsed) {
  const FormatSettings iso{'.', "yyyy-MM-dd"};
  EXPECT_EQ(FormatMoney(1.5, iso), "1.50");
  EXPECT_EQ(FormatFloat(1.5, iso), "1.5");
  EXPECT_EQ(FormatDate(45292, iso), "2024-01-01");
  EXPECT_EQ(StrToFloat("1.5", iso), 1.5);
  EXPECT_THROW(StrToFloat("1,5", iso), EConvertError);
}

TEST(FormatTest, FloatTextValueIsWhatTheTextReadsBackAs) {
  const auto throughText = [](double value, const FormatSettings& settings = kGerman) {
    return StrToFloat(FormatFloat(value, settings), settings);
  };
  const double max = std::numeric_limits<double>::max();
  const double edges[] = {0.0,
                          -0.0,
                          1.0,
                          -19.0,
                          999999999999999.0,  // 15 digits
                          9999999999999999.0,
                          123456789012345678.0,
                          0.1 + 0.2,
                          1.0 / 3.0,
                          -2.0 / 3.0,
                          12345.678901234567,
                          1e-290,
                          9.99999999999999e-291,
                          1e290,
                          1.0000000000000002e290,
                          std::numeric_limits<double>::min(),
                          std::numeric_limits<double>::denorm_min(),
                          -std::numeric_limits<double>::denorm_min() * 3,
                          1.7976931348623e308,
                          -1.79769313486231e308};
  for (const double value : edges) {
    SCOPED_TRACE(FormatFloat(value, kGerman));
    EXPECT_EQ(FloatTextValue(value), throughText(value));
  }
  // Rounded up by its 15 digits, the largest double's text is no number; the
  // error is the one the text gives.
  for (const double value : {max, -max, std::numeric_limits<double>::infinity(), std::nan("")}) {
    std::string viaText, direct;
    try {
      throughText(value);
    } catch (const EConvertError& e) {
      viaText = e.what();
    }
    try {
      FloatTextValue(value);
    } catch (const EConvertError& e) {
      direct = e.what();
    }
    EXPECT_FALSE(viaText.empty()) << value;
    EXPECT_EQ(direct, viaText);
  }
  // Whole cents, the most common figures, up to the last decade they are read
  // in, and their neighbours.
  std::mt19937_64 cents(7);
  for (int i = 0; i < 100000; ++i) {
    const double digits = std::pow(10.0, static_cast<double>(i % 16));
    const double value =
        static_cast<double>(static_cast<int64_t>(cents() % static_cast<uint64_t>(digits))) / 100;
    for (const double v : {value, -value, std::nextafter(value, 1e300), 1e13 - value / 1e3}) {
      ASSERT_EQ(FloatTextValue(v), throughText(v)) << FormatFloat(v, kGerman);
    }
  }
  // Any bit pattern, whichever separator the user has.
  std::mt19937_64 random(11);
  for (const FormatSettings& settings : {kGerman, kPoint}) {
    for (int i = 0; i < 100000; ++i) {
      const uint64_t bits = random();
      double value;
      std::memcpy(&value, &bits, sizeof value);
      if (!std::isfinite(value) || std::fabs(value) >= 1e308) continue;
      ASSERT_EQ(FloatTextValue(value), throughText(value, settings))
          << FormatFloat(value, settings);
    }
  }
}

}  // namespace
}  // namespace vorlex
