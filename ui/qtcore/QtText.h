// Where the core's byte strings meet Qt (QtCore only): decoding for display and
// format settings from the user's locale.
#pragma once

#include <QLocale>
#include <QString>
#include <string_view>

#include "util/FormatSettings.h"

namespace vorlex {

// Valid UTF-8 as it is, anything else as Windows-1252.
QString DecodeText(std::string_view bytes);

// The decimal separator and short date pattern of a locale; the year always
// with four digits.
FormatSettings FormatSettingsFromLocale(const QLocale& locale);

}  // namespace vorlex
