// Saving a file whole or not at all: the bytes go into a fresh file beside the
// target, which takes the target's place only once every byte has reached the
// disk. Any failure on the way leaves an existing target byte for byte as it
// was and no fresh file behind.
#pragma once

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

}  // namespace vorlex
