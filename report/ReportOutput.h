// What the reporter writes: program and database texts to the terminal, a
// file's bytes to its file or to standard output, the figures and hints.
#pragma once

#include <QByteArray>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/ReportOptions.h"
#include "tax/PlausibilityHints.h"
#include "util/WholeFile.h"

namespace vorlex {

void Write(std::FILE* stream, const QByteArray& bytes);
// Program texts and database texts, decoded for the terminal, and a line's end.
void WriteText(std::FILE* stream, std::string_view bytes);
// Standard output could not take the text.
[[noreturn]] void RaiseWriteError();
// A file's bytes to the file or, for "-", to standard output; true then.
bool WriteOutput(const std::optional<std::string>& target, const std::string& bytes);
// The same, the bytes made piece by piece as they are written.
bool WriteOutput(const std::optional<std::string>& target, const BytePieces& pieces);
bool WriteCsv(const ReportOptions& options, const std::string& bytes);
// "Kz 81: 559,36".
void WriteFigure(int field, const std::string& value);
void WriteHints(const std::vector<Hint>& hints);

}  // namespace vorlex
