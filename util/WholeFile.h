// Saving a file whole or not at all: the bytes go into a fresh file beside the
// target, which takes the target's place only once every byte has reached the
// disk. Any failure on the way leaves an existing target byte for byte as it
// was and no fresh file behind.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vorlex {

enum class SaveOutcome {
  Saved,
  CannotCreate,  // no file can be made there (no folder, a folder, no permission)
  WriteFailed,   // writing failed on the way (disk full, file-size limit)
};

// A symbolic link is followed: the file it names is replaced. A new file gets
// the permissions the process's umask gives; a replaced one keeps its own (on
// Windows its attributes; a read-only file is not replaced). A pipe or a
// device is written to directly. path is as the program holds file names
// (UTF-8 on Windows).
SaveOutcome SaveWholeFile(const std::string& path, std::string_view bytes);

// A file's bytes made as they are written, so that a large file never stands
// whole in memory: each call gives the next piece, an empty one after the last.
using BytePieces = std::function<std::string_view()>;
SaveOutcome SaveWholeFile(const std::string& path, const BytePieces& pieces);
// Hands each piece to write in turn; false as soon as one is not written, or
// when a piece cannot be made. How each platform's SaveWholeFile writes.
bool WritePieces(const BytePieces& pieces, const std::function<bool(std::string_view)>& write);

extern const char* const kWriteErrorText;  // "Stream-Write-Fehler"

// Output that could not be written whole. For a file: what failed, the
// system's reason (an errno value, 0 when none is known), the file's name as
// the user knows it and whether a file of that name was there before (it is
// then unchanged). For a stream (standard output) none of that is known.
class EWriteError : public std::runtime_error {
 public:
  // A stream that failed on the way: "Stream-Write-Fehler".
  EWriteError();
  // A file: "Datei <shownName> kann nicht erstellt werden" when it could not
  // be made, else "Stream-Write-Fehler".
  EWriteError(SaveOutcome outcome, int reason, std::string shownName, bool existed);

  bool NamesFile() const { return namesFile_; }
  SaveOutcome Outcome() const { return outcome_; }
  int Reason() const { return reason_; }
  const std::string& ShownName() const { return shownName_; }
  bool Existed() const { return existed_; }

 private:
  bool namesFile_ = false;
  SaveOutcome outcome_ = SaveOutcome::WriteFailed;
  int reason_ = 0;
  std::string shownName_;
  bool existed_ = false;
};

// Saves bytes to path whole or not at all, as SaveWholeFile does; raises
// EWriteError naming the file as shownName when that fails.
void WriteWholeFile(const std::string& path, std::string_view bytes, const std::string& shownName);
void WriteWholeFile(const std::string& path, const BytePieces& pieces,
                    const std::string& shownName);

}  // namespace vorlex
