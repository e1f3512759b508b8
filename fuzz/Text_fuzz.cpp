// The truncation and replace helpers on any bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "util/uString.h"

using namespace vorlex;

namespace {

// Code points of valid UTF-8 text.
size_t CodePoints(std::string_view text) {
  size_t count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return count;
}

// Every occurrence replaced, left to right, without overlap, the slow way.
std::string ReplaceAllByHand(std::string_view source, std::string_view find,
                             std::string_view replacement) {
  std::string result;
  size_t pos = 0;
  while (pos < source.size()) {
    if (source.substr(pos, find.size()) == find) {
      result += replacement;
      pos += find.size();
    } else {
      result += source[pos++];
    }
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const unsigned maximum = data[0];
  const size_t findSize = data[1] % 4;
  const size_t replacementSize = data[2] % 4;
  std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);

  // TruncateText: the text itself when it has at most maximum characters
  // (code points of valid UTF-8, else bytes), otherwise a prefix of whole
  // characters and "...".
  const std::string cut = TruncateText(rest, maximum);
  const bool valid = IsValidUtf8(rest);
  const bool longer = valid ? CodePoints(rest) > maximum : rest.size() > maximum;
  if (!longer) {
    FUZZ_CHECK(cut == rest);
  } else {
    FUZZ_CHECK(cut.size() >= 3 && cut.compare(cut.size() - 3, 3, "...") == 0);
    const std::string_view prefix(cut.data(), cut.size() - 3);
    FUZZ_CHECK(rest.substr(0, prefix.size()) == prefix);
    if (valid) {
      FUZZ_CHECK(IsValidUtf8(prefix));
      FUZZ_CHECK(CodePoints(prefix) == maximum);
    } else {
      // A well-formed sequence inside is kept whole, so the cut may come up
      // to three bytes early.
      FUZZ_CHECK(prefix.size() <= maximum && prefix.size() + 4 > maximum);
    }
  }

  // StrReplaceAll against the slow way.
  if (rest.size() < findSize + replacementSize) return 0;
  const std::string_view find = rest.substr(0, findSize);
  const std::string_view replacement = rest.substr(findSize, replacementSize);
  const std::string_view source = rest.substr(findSize + replacementSize);
  const std::string replaced = StrReplaceAll(source, find, replacement);
  if (find.empty()) {
    FUZZ_CHECK(replaced == source);
  } else {
    FUZZ_CHECK(replaced == ReplaceAllByHand(source, find, replacement));
  }
  return 0;
}
