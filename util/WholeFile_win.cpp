#include <windows.h>

#include <cerrno>
#include <string>

#include "util/Platform.h"
#include "util/WholeFile.h"

namespace vorlex {

namespace {

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return h_; }
  bool Close() {
    const bool closed = !Valid() || CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE h_;
};

// The reason of the last failed call, as the callers read it: an errno value.
int Failed() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      errno = ENOENT;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      errno = EACCES;
      break;
    case ERROR_WRITE_PROTECT:
      errno = EROFS;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      errno = ENOSPC;
      break;
    case ERROR_FILE_TOO_LARGE:
      errno = EFBIG;
      break;
    default:
      errno = EIO;
  }
  return errno;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool WriteAll(HANDLE file, const BytePieces& pieces) {
  return WritePieces(pieces, [file](std::string_view piece) { return WriteAll(file, piece); });
}

// A fresh file beside the target that no other program has: ".NAME.XXXXXX".
std::wstring CreateFresh(const std::filesystem::path& target, HANDLE& file) {
  const std::filesystem::path folder =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(L".");
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const unsigned long tag =
        (GetCurrentProcessId() * 7919UL + GetTickCount() + ++counter * 104729UL) % 1000000UL;
    const std::wstring suffix = std::to_wstring(tag);
    const std::wstring fresh =
        (folder / (L"." + target.filename().native() + L"." + suffix)).native();
    file = CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return fresh;
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  Failed();
  file = INVALID_HANDLE_VALUE;
  return {};
}

}  // namespace

// On Windows the fresh file takes the target's place with ReplaceFileW, which
// keeps the target's attributes and security, or, for a new name, with
// MoveFileExW, each only after FlushFileBuffers has brought every byte to the
// disk. A read-only target is not replaced. Devices ("NUL", a pipe) are
// written to directly.
SaveOutcome SaveWholeFile(const std::string& path, const BytePieces& pieces) {
  const std::filesystem::path target = PathFromText(path);
  const std::wstring name = target.native();
  const DWORD attributes = GetFileAttributesW(name.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    errno = EISDIR;
    return SaveOutcome::CannotCreate;
  }
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    errno = EACCES;
    return SaveOutcome::CannotCreate;
  }
  if (exists) {
    Handle probe(CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr));
    if (probe.Valid() && GetFileType(probe.Get()) != FILE_TYPE_DISK) {
      probe.Close();
      Handle device(CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
      if (!device.Valid()) {
        Failed();
        return SaveOutcome::CannotCreate;
      }
      if (!WriteAll(device.Get(), pieces) || !device.Close()) {
        Failed();
        return SaveOutcome::WriteFailed;
      }
      return SaveOutcome::Saved;
    }
  }
  HANDLE created = INVALID_HANDLE_VALUE;
  const std::wstring fresh = CreateFresh(target, created);
  Handle file(created);
  if (!file.Valid()) return SaveOutcome::CannotCreate;  // errno set by CreateFresh
  // FlushFileBuffers: a disk that fills up as the data is placed says so here.
  bool whole = WriteAll(file.Get(), pieces) && FlushFileBuffers(file.Get()) != 0;
  if (!whole) Failed();
  if (!file.Close() && whole) {
    Failed();
    whole = false;
  }
  if (!whole) {
    DeleteFileW(fresh.c_str());
    return SaveOutcome::WriteFailed;
  }
  bool placed = false;
  if (exists) {
    placed = ReplaceFileW(name.c_str(), fresh.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                          nullptr, nullptr) != 0;
  }
  if (!placed) {
    placed = MoveFileExW(fresh.c_str(), name.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!placed) {
    Failed();
    DeleteFileW(fresh.c_str());
    return SaveOutcome::CannotCreate;
  }
  return SaveOutcome::Saved;
}

}  // namespace vorlex
