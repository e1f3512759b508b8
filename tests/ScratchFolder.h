// A fresh, empty folder in the temporary folder for one test, removed with the
// object. Its name holds the process id and a counter, so that tests running
// at the same time (ctest in parallel, several wine processes) never share one.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <thread>

#include "tests/TestPlatform.h"
#include "util/Platform.h"

namespace vorlex::testing {

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix = "vorlex") {
    static int counter = 0;
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    do {
      path_ = temp / (prefix + "-" + std::to_string(ProcessId()) + "-" + std::to_string(++counter));
    } while (!std::filesystem::create_directory(path_));
  }
  ~ScratchFolder() { Remove(); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The folder and a name in it as the program holds paths (UTF-8, the
  // system's separators).
  std::string Text() const { return PathText(path_); }
  std::string File(const std::string& name) const { return Text() + kPathSeparator + name; }

  // The names of what the folder holds directly.
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.insert(PathText(entry.path().filename()));
    }
    return names;
  }

  // Removes the folder with everything in it, read-only files too; true once
  // it is gone. Under wine a program that has just ended may hold its files a
  // moment longer, so removal is tried again for up to two seconds.
  bool Remove() const {
    std::error_code error;
    for (int attempt = 0; attempt < 40; ++attempt) {
      if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
      MakeWritable();
      std::filesystem::remove_all(path_, error);
      if (!error && !std::filesystem::exists(path_, error)) return true;
    }
    return false;
  }

 private:
  void MakeWritable() const {
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
      if (it->is_symlink(ignored)) continue;
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    }
  }

  std::filesystem::path path_;
};

}  // namespace vorlex::testing
