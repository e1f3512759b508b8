#include "ui/qtcore/QtText.h"

#include "util/uString.h"

namespace vorlex {

// Our own Windows-1252 table, so that no build of Qt needs ICU for it.
QString DecodeText(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  const std::string utf8 = Windows1252ToUtf8(bytes);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

namespace {

// Month and weekday names are outside what the core's date text knows; a
// locale whose short format uses them (the C locale's "d MMM yyyy") gets the
// ISO order instead.
bool UsesNames(const QString& pattern) {
  bool quoted = false;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern[i];
    if (c == u'\'') {
      quoted = !quoted;
    } else if (!quoted && (c == u'M' || c == u'd') && pattern.mid(i, 3) == QString(3, c)) {
      return true;
    }
  }
  return false;
}

// Every year field outside quotes becomes "yyyy".
QString FourDigitYear(const QString& pattern) {
  QString result;
  bool quoted = false;
  for (qsizetype i = 0; i < pattern.size();) {
    const QChar c = pattern[i];
    if (c == u'\'') quoted = !quoted;
    if (!quoted && c == u'y') {
      while (i < pattern.size() && pattern[i] == u'y') ++i;
      result += QStringLiteral("yyyy");
      continue;
    }
    result += c;
    ++i;
  }
  return result;
}

}  // namespace

FormatSettings FormatSettingsFromLocale(const QLocale& locale) {
  FormatSettings settings;
  const QString point = locale.decimalPoint();
  settings.decimalSeparator =
      point.size() == 1 && point[0].unicode() < 0x80 ? static_cast<char>(point[0].unicode()) : '.';
  QString pattern = locale.dateFormat(QLocale::ShortFormat);
  if (pattern.isEmpty() || UsesNames(pattern)) pattern = QStringLiteral("yyyy-MM-dd");
  settings.shortDatePattern = FourDigitYear(pattern).toStdString();
  return settings;
}

}  // namespace vorlex
