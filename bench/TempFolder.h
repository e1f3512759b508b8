// A fresh folder under the system's temporary folder, removed with everything
// in it when the owner goes: for the window's settings while it is measured,
// and for the tests of the benchmark.
#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace vorlex::bench {

class TTempFolder {
 public:
  explicit TTempFolder(const std::string& prefix) {
    std::random_device random;
    for (;;) {
      path_ = std::filesystem::temp_directory_path() /
              (prefix + "-" + std::to_string(random()) + std::to_string(random() % 1000));
      if (std::filesystem::create_directory(path_)) return;
    }
  }
  ~TTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace vorlex::bench
