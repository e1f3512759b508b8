// SplitMix64: the same sequence on every platform and compiler, unlike the
// standard library's distributions, so generated data can be made again.
#pragma once

#include <cstdint>

namespace vorlex::testdb {

class SplitMix64 {
 public:
  explicit SplitMix64(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

 private:
  uint64_t state_;
};

}  // namespace vorlex::testdb
