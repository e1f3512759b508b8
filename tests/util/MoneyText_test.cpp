#include "util/MoneyText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "util/FormatTest.h"
#include "util/uDatum.h"

namespace vorlex {
namespace {

TEST(FormatTest, MoneyTextRoundsTiesAwayFromZero) {
  struct Row {
    double value;
    const char* expected;
  };
  const Row rows[] = {
      {12.125, "12,13"},  // exact binary tie
      {-12.125, "-12,13"},
      {0.125, "0,13"},
      {0.375, "0,38"},
      {2.625, "2,63"},
      {-0.625, "-0,63"},
      {1.005, "1,00"},    // really 1.00499999999999989...
      {2.675, "2,67"},    // really 2.67499999999999982...
      {-0.005, "-0,01"},  // really -0.00500000000000000010...
      {0.0, "0,00"},
      {-0.0, "0,00"},
      {-0.001, "0,00"},  // rounds to zero: no minus sign
      {-0.004999, "0,00"},
      {1234.5, "1234,50"},  // no grouping
      {-19.99, "-19,99"},
      {1e12, "1000000000000,00"},
      {-1e12 - 0.125, "-1000000000000,13"},
      {1234567.891, "1234567,89"},
      {0.1 + 0.2, "0,30"},
      {99.995, "100,00"},  // really 99.99500000000000454...: above the tie
  };
  for (const Row& r : rows) EXPECT_EQ(FormatMoney(r.value, kGerman), r.expected) << r.value;
  EXPECT_EQ(FormatMoney(12.125, kPoint), "12.13");
  EXPECT_EQ(FormatMoney(1e20, kGerman), "100000000000000000000,00");
  EXPECT_EQ(FormatMoney(std::numeric_limits<double>::infinity(), kGerman), "INF");
}

TEST(FormatTest, MoneyTextOfEveryCentTieInARange) {
  // k/100 + 1/200 is exact in binary only for odd multiples of 1/8.
  for (int m = -4001; m <= 4001; m += 2) {
    const double value = m / 8.0;
    const long long cents = (25LL * std::llabs(m) + 1) / 2;
    std::string expected = m < 0 ? "-" : "";
    expected += std::to_string(cents / 100) + "," + (cents % 100 < 10 ? "0" : "") +
                std::to_string(cents % 100);
    ASSERT_EQ(FormatMoney(value, kGerman), expected) << value;
  }
}

TEST(FormatTest, MoneyTextOfWholeCentsAndTheirNeighboursIsTheRoundedDecimal) {
  // Away from the exact ties, the text is the value's decimal expansion rounded
  // to two places, as the library's fixed format makes it.
  const auto expected = [](double value) {
    char buffer[400];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2).ptr;
    std::string text(buffer, end);
    if (text.find_first_not_of("-0.") == std::string::npos) text = "0.00";
    return text;
  };
  std::mt19937_64 random(5);
  for (int i = 0; i < 100000; ++i) {
    const double digits = std::pow(10.0, static_cast<double>(i % 17));
    const double value =
        static_cast<double>(static_cast<int64_t>(random() % static_cast<uint64_t>(digits))) / 100;
    for (const double v : {value, -value, std::nextafter(value, 1e300), value / 3,
                           value * 1.0049999, -value / 7 + 0.004999}) {
      if (std::fmod(v * 8, 2.0) == 1.0 || std::fmod(v * 8, 2.0) == -1.0) continue;  // ties
      ASSERT_EQ(FormatMoney(v, kPoint), expected(v)) << v;
    }
  }
}

TEST(FormatTest, ShownCentsAreTheCentsOfTheMoneyText) {
  struct Row {
    double value;
    std::optional<int64_t> cents;
  };
  const Row rows[] = {
      {0.015, 1},      // 0.01499...: 1.5 after multiplying by 100, so round() says 2
      {0.245, 24},     // likewise 24.5 after multiplying
      {0.125, 13},     // exact tie, away from zero; a half-even round says 12
      {-0.125, -13},
      {19.99, 1999},   // 1998.9999... after multiplying, so truncating says 1998
      {1.005, 100},
      {99.995, 10000},
      {-0.001, 0},     // shown without sign
      {-19.7, -1970},
      {999999999999.99, 99999999999999},
      {std::numeric_limits<double>::infinity(), std::nullopt},
      {std::nan(""), std::nullopt},
      {1e15, std::nullopt},
      {-1e15, std::nullopt},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ShownCents(r.value), r.cents) << r.value;
    if (r.cents) {
      EXPECT_EQ(FormatCents(*r.cents, kGerman), FormatMoney(r.value, kGerman)) << r.value;
    }
  }
}

TEST(FormatTest, CentsText) {
  EXPECT_EQ(FormatCents(-1240, kGerman), "-12,40");
  EXPECT_EQ(FormatCents(5, kGerman), "0,05");
  EXPECT_EQ(FormatCents(-5, kGerman), "-0,05");
  EXPECT_EQ(FormatCents(0, kGerman), "0,00");
  EXPECT_EQ(FormatCents(280, kPoint), "2.80");
  EXPECT_EQ(FormatCents(std::numeric_limits<int64_t>::min(), kGerman), "-92233720368547758,08");
}

}  // namespace
}  // namespace vorlex
