// Pelmora's settings file with any content: the location rules always give a
// folder with a trailing separator and a name of at most 1023 bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "fuzz/FuzzCheck.h"
#include "location/PelmoraLocation.h"

using namespace vorlex;

namespace {

// The settings file in a folder of this process's own, removed when the
// fuzzer ends.
class SettingsFolder {
 public:
  SettingsFolder()
      : top_(std::filesystem::temp_directory_path() /
             ("vorlex-fuzz-" + std::to_string(::getpid()))),
        file_((top_ / "Pelmora" / "pelmora.ini").string()) {
    std::error_code error;
    std::filesystem::create_directories(top_ / "Pelmora", error);
    made_ = !error;
  }
  ~SettingsFolder() {
    std::error_code error;
    std::filesystem::remove_all(top_, error);
  }
  SettingsFolder(const SettingsFolder&) = delete;
  SettingsFolder& operator=(const SettingsFolder&) = delete;

  bool Made() const { return made_; }
  const std::string& File() const { return file_; }

 private:
  std::filesystem::path top_;
  std::string file_;
  bool made_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const SettingsFolder folder;
  FUZZ_CHECK(folder.Made());
  const std::string& file = folder.File();
  std::FILE* out = std::fopen(file.c_str(), "wb");
  FUZZ_CHECK(out != nullptr);
  FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, out) == size);
  std::fclose(out);

  const std::string appData = "/appdata/Pelmora/";
  const DatabaseLocation location = ReadDatabaseLocation(file, appData);
  FUZZ_CHECK(!location.DbFolder.empty());
  FUZZ_CHECK(location.DbFolder.back() == '/');
  FUZZ_CHECK(location.DbName.size() <= 1023);
  FUZZ_CHECK(location.DbName.find('\n') == std::string::npos);
  // A relative folder is made absolute against the settings file's folder.
  FUZZ_CHECK(location.DbFolder.front() == '/');
  FUZZ_CHECK(location.Path() == location.DbFolder + location.DbName);
  return 0;
}
