// Every input a fuzz target keeps (its seeds and the inputs that once made it
// fail) runs through the target again in the normal tests. A failing property
// stops the process with its message, which fails the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

TEST(FuzzReplay, KeptInputsPass) {
  std::vector<fs::path> inputs;
  for (const char* folder : {VORLEX_FUZZ_CORPUS, VORLEX_FUZZ_REGRESSIONS}) {
    std::error_code missing;
    for (const auto& entry : fs::directory_iterator(folder, missing)) {
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
  }
  std::sort(inputs.begin(), inputs.end());
  ASSERT_FALSE(inputs.empty()) << "no seeds in " << VORLEX_FUZZ_CORPUS;
  for (const fs::path& input : inputs) {
    SCOPED_TRACE(input.string());
    std::ifstream in(input, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
              0);
  }
  // The empty input too.
  static const uint8_t nothing = 0;
  EXPECT_EQ(LLVMFuzzerTestOneInput(&nothing, 0), 0);
}

}  // namespace
