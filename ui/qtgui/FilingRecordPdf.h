// The record of a filing as a PDF document: A4, its text selectable and
// extractable, written by Qt's own PDF writer.
#pragma once

#include <QByteArray>
#include <string>

#include "ledger/Filing.h"

namespace vorlex {

// The entries' fingerprint: the first 16 hexadecimal digits of the SHA-256
// of their canonical text, in groups of four ("3f2a 9c1b 77de 0a41"). The same
// entries give the same fingerprint in every record.
std::string EntriesFingerprint(const Filing& filing);

// The document's bytes. Needs a QGuiApplication (the offscreen platform is
// enough) for its fonts. format: how its dates and amounts are written.
QByteArray FilingRecordPdf(const Filing& filing, const FormatSettings& format);

// The name a record of the filing is proposed under: "Abgabe-2026-Q1.pdf".
std::string RecordFileName(const Filing& filing);

}  // namespace vorlex
