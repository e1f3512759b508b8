// Pelmora's settings file with any content: the location rules always give a
// folder with a trailing separator and a name of at most 1023 bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "location/PelmoraLocation.h"

using namespace vorlex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string file =
      "/tmp/vorlex-fuzz-" + std::to_string(::getpid()) + "/Pelmora/pelmora.ini";
  static const bool made = [] {
    const std::string folder = file.substr(0, file.rfind('/'));
    return std::system(("mkdir -p '" + folder + "'").c_str()) == 0;
  }();
  FUZZ_CHECK(made);
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
