#include "util/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace vorlex {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

bool WriteAll(int fd, const BytePieces& pieces) {
  return WritePieces(pieces, [fd](std::string_view piece) { return WriteAll(fd, piece); });
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

SaveOutcome SaveWholeFile(const std::string& path, const BytePieces& pieces) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path target = path;
  if (fs::is_symlink(target, error)) {
    const fs::path named = fs::canonical(target, error);
    if (!error) target = named;
  }
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && (S_ISDIR(old.st_mode) || ::access(target.c_str(), W_OK) != 0)) {
    return SaveOutcome::CannotCreate;
  }
  if (exists && !S_ISREG(old.st_mode)) {
    // A pipe or a device (a FIFO, /dev/stdout) cannot be replaced: it is
    // written to, never replaced by a regular file.
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return SaveOutcome::CannotCreate;
    const bool whole = WriteAll(fd, pieces);
    return ::close(fd) == 0 && whole ? SaveOutcome::Saved : SaveOutcome::WriteFailed;
  }
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string fresh = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkostemp(fresh.data(), O_CLOEXEC);
  if (fd < 0) return SaveOutcome::CannotCreate;
  const mode_t mode = exists ? (old.st_mode & 07777) : NewFileMode();
  // fsync: a disk that fills up as the data is placed says so here.
  const bool whole = WriteAll(fd, pieces) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !whole) {
    ::unlink(fresh.c_str());
    return SaveOutcome::WriteFailed;
  }
  if (::rename(fresh.c_str(), target.c_str()) != 0) {
    ::unlink(fresh.c_str());
    return SaveOutcome::CannotCreate;
  }
  return SaveOutcome::Saved;
}

}  // namespace vorlex
