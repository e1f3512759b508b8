#include "util/WholeFile.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

#include "util/Platform.h"

namespace vorlex {

const char* const kWriteErrorText = "Stream-Write-Fehler";

EWriteError::EWriteError() : std::runtime_error(kWriteErrorText) {}

EWriteError::EWriteError(SaveOutcome outcome, int reason, std::string shownName, bool existed)
    : std::runtime_error(outcome == SaveOutcome::CannotCreate
                             ? "Datei " + shownName + " kann nicht erstellt werden"
                             : std::string(kWriteErrorText)),
      namesFile_(true),
      outcome_(outcome),
      reason_(reason),
      shownName_(std::move(shownName)),
      existed_(existed) {}

namespace {

// The bytes as one piece.
BytePieces OnePiece(std::string_view bytes) {
  return [bytes, given = false]() mutable -> std::string_view {
    if (given) return {};
    given = true;
    return bytes;
  };
}

}  // namespace

bool WritePieces(const BytePieces& pieces, const std::function<bool(std::string_view)>& write) {
  try {
    for (std::string_view piece = pieces(); !piece.empty(); piece = pieces()) {
      if (!write(piece)) return false;
    }
  } catch (...) {
    return false;  // a piece that cannot be made, as a piece not written
  }
  return true;
}

SaveOutcome SaveWholeFile(const std::string& path, std::string_view bytes) {
  return SaveWholeFile(path, OnePiece(bytes));
}

void WriteWholeFile(const std::string& path, std::string_view bytes, const std::string& shownName) {
  WriteWholeFile(path, OnePiece(bytes), shownName);
}

void WriteWholeFile(const std::string& path, const BytePieces& pieces,
                    const std::string& shownName) {
  std::error_code ignored;
  const bool existed = std::filesystem::exists(PathFromText(path), ignored);
  errno = 0;
  const SaveOutcome outcome = SaveWholeFile(path, pieces);
  // The call that failed last left its reason; a folder in the file's place
  // fails without one.
  int reason = errno;
  if (outcome == SaveOutcome::Saved) return;
  if (reason == 0 && std::filesystem::is_directory(PathFromText(path), ignored)) reason = EISDIR;
  throw EWriteError(outcome, reason, shownName, existed);
}

}  // namespace vorlex
