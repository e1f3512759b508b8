#include "report/ReportOutput.h"

#include "tax/FormFields.h"
#include "ui/qtcore/QtText.h"
#include "util/Platform.h"
#include "util/WholeFile.h"
#include "util/uString.h"

namespace vorlex {

void Write(std::FILE* stream, const QByteArray& bytes) {
  WriteStandardStream(stream,
                      std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

// Program texts and database texts, decoded for the terminal: valid UTF-8 as
// it is, anything else read as Windows-1252. A year's list is a hundred
// thousand lines, so they take no detour through QString; only a text that
// begins with a byte order mark does, which decoding drops.
void WriteText(std::FILE* stream, std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    Write(stream, DecodeText(bytes).toUtf8() + '\n');
    return;
  }
  if (IsValidUtf8(bytes)) {
    WriteStandardStream(stream, bytes);
  } else {
    WriteStandardStream(stream, Windows1252ToUtf8(bytes));
  }
  WriteStandardStream(stream, "\n");
}

[[noreturn]] void RaiseWriteError() {
  throw EWriteError();
}

bool WriteOutput(const std::optional<std::string>& target, const std::string& bytes) {
  if (!target) return false;
  if (*target == "-") {
    WriteStandardStream(stdout, bytes);
    return true;
  }
  WriteWholeFile(*target, bytes, *target);
  return false;
}

bool WriteOutput(const std::optional<std::string>& target, const BytePieces& pieces) {
  if (!target) return false;
  if (*target == "-") {
    for (std::string_view piece = pieces(); !piece.empty(); piece = pieces()) {
      WriteStandardStream(stdout, piece);
    }
    return true;
  }
  WriteWholeFile(*target, pieces, *target);
  return false;
}

bool WriteCsv(const ReportOptions& options, const std::string& bytes) {
  return WriteOutput(options.csv, bytes);
}

void WriteFigure(int field, const std::string& value) {
  WriteText(stdout, FieldTag(field) + ": " + value);
}

void WriteHints(const std::vector<Hint>& hints) {
  if (!hints.empty()) WriteText(stdout, "\nHinweise:");
  for (const Hint& hint : hints) WriteText(stdout, hint.text);
}

}  // namespace vorlex
