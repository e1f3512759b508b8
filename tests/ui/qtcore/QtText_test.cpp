#include "ui/qtcore/QtText.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QStringDecoder>
#include <string>

#include "util/DateText.h"
#include "util/MoneyText.h"
#include "util/uDatum.h"
#include "util/uString.h"

namespace vorlex {
namespace {

TEST(QtTextTest, DecodesUtf8AsItIsAndEverythingElseAsWindows1252) {
  struct Row {
    const char* name;
    std::string bytes;
    QString expected;
  };
  const Row rows[] = {
      {"ASCII", "Porto 19%", QStringLiteral("Porto 19%")},
      {"UTF-8 umlauts", "M\xC3\xBCller \xE2\x82\xAC", QStringLiteral(u"M\u00FCller \u20AC")},
      {"Windows-1252 umlauts", "M\xFCller Ausg\xE4nge",
       QStringLiteral(u"M\u00FCller Ausg\u00E4nge")},
      {"Windows-1252 euro and quotes",
       "\x80 \x84"
       "a\x93",
       QStringLiteral(u"\u20AC \u201Ea\u201C")},
      {"one invalid byte makes the whole text Windows-1252", "\xC3\xA4 \xE4",
       QStringLiteral(u"\u00C3\u00A4 \u00E4")},
      {"truncated UTF-8 sequence", "ab\xC3", QStringLiteral(u"ab\u00C3")},
      {"empty", "", QString()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DecodeText(row.bytes), row.expected);
  }
}

TEST(QtTextTest, OwnWindows1252TableDecodesAsQtsCodecDoes) {
  // Qt's own codec needs ICU, which a Windows build of Qt may lack; where it is
  // there, every byte must come out the same through our table.
  QStringDecoder reference("windows-1252");
  if (!reference.isValid()) GTEST_SKIP() << "this Qt has no Windows-1252 codec";
  for (int byte = 0; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    EXPECT_TRUE(IsValidUtf8(Windows1252ToUtf8(one))) << byte;
    if (byte < 0x80) continue;  // ASCII is UTF-8 already
    EXPECT_EQ(DecodeText(one), reference.decode(QByteArrayView(one.data(), 1))) << byte;
  }
  EXPECT_EQ(Windows1252ToUtf8("Stra\xDF" "e \x80 5"), "Stra\xC3\x9F" "e \xE2\x82\xAC 5");
}

TEST(QtTextTest, FormatSettingsOfLocales) {
  const double day = EncodeDate(2024, 3, 31);
  struct Row {
    const char* locale;
    char separator;
    const char* date;
  };
  const Row rows[] = {
      {"de_DE", ',', "31.03.2024"}, {"en_US", '.', "3/31/2024"}, {"en_GB", '.', "31/03/2024"},
      {"fr_CH", ',', "31.03.2024"}, {"C", '.', "2024-03-31"},  // the C locale's format names the
                                                               // month
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.locale);
    const FormatSettings fs = FormatSettingsFromLocale(QLocale(QString::fromLatin1(row.locale)));
    EXPECT_EQ(fs.decimalSeparator, row.separator);
    EXPECT_EQ(FormatDate(day, fs), row.date);
    EXPECT_EQ(FormatMoney(1234.5, fs), std::string("1234") + row.separator + "50");
  }
}

TEST(QtTextTest, EveryLocaleWritesTheYearWithFourDigitsAndTheDayAsANumber) {
  const double day = EncodeDate(2024, 11, 28);
  for (const QLocale& locale :
       QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
    SCOPED_TRACE(locale.name().toStdString());
    const FormatSettings fs = FormatSettingsFromLocale(locale);
    const std::string text = FormatDate(day, fs);
    EXPECT_NE(text.find("2024"), std::string::npos) << fs.shortDatePattern;
    EXPECT_NE(text.find("28"), std::string::npos) << fs.shortDatePattern;
    EXPECT_NE(text.find("11"), std::string::npos) << fs.shortDatePattern;
    EXPECT_EQ(text.find("2024", text.find("2024") + 1), std::string::npos);
    EXPECT_TRUE(fs.decimalSeparator == '.' || fs.decimalSeparator == ',')
        << locale.decimalPoint().toStdString();
  }
}

}  // namespace
}  // namespace vorlex
