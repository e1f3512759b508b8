// The record of a filing, as the trader files it away: who filed which period
// on which day with which ticket, the figures as typed into the portal, and
// every entry behind them.
#pragma once

#include <string>
#include <vector>

#include "ledger/Filing.h"

namespace vorlex {

enum class RecordStyle { Title, Heading, Field, Columns, Entry };

// One line of the record. Field lines hold a caption and its value, entry
// and column-head lines the day, the entry, the name, the field and the
// amount; the others one text. Program words are Windows-1252, database texts as stored.
struct RecordLine {
  RecordStyle style = RecordStyle::Field;
  std::vector<std::string> cells;
};

// What the entries' fingerprint is taken of: each entry's kind, id, day,
// texts, rate and amounts in cents, one entry a line, independent of the
// format settings.
std::string FingerprintInput(const Filing& filing);

// The record's lines; fingerprint is the short form of a digest of
// FingerprintInput.
// format: how the dates and the entries' amounts are written.
std::vector<RecordLine> FilingRecordLines(const Filing& filing, const std::string& fingerprint,
                                          const FormatSettings& format);

}  // namespace vorlex
