#include "util/uString.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "util/ProgramText.h"

namespace vorlex {

namespace {

// Where the run of ASCII bytes from pos ends: eight bytes at a time, as most
// of any text is ASCII.
size_t AsciiRunEnd(std::string_view text, size_t pos) {
  constexpr uint64_t kHighBits = 0x8080808080808080ULL;
  while (pos + 8 <= text.size()) {
    uint64_t word;
    std::memcpy(&word, text.data() + pos, 8);
    if ((word & kHighBits) != 0) break;
    pos += 8;
  }
  while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80) ++pos;
  return pos;
}

// Length of the well-formed UTF-8 sequence that starts at text[pos], or 0 when
// none does (a stray continuation byte, an overlong form, a surrogate, a code
// point above U+10FFFF, or a sequence cut off by the end of the text).
size_t Utf8SequenceLength(std::string_view text, size_t pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (text.size() - pos < length) return 0;
  if (byte(pos + 1) < low || byte(pos + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (byte(pos + i) < 0x80 || byte(pos + i) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

std::string StrReplaceAll(std::string_view source, std::string_view find,
                          std::string_view replacement) {
  // An empty find would match everywhere without advancing; the text stays as it is.
  if (find.empty()) return std::string(source);
  std::string result;
  result.reserve(source.size());
  size_t pos = 0;
  while (pos < source.size()) {
    const size_t hit = source.find(find, pos);
    if (hit == std::string_view::npos) {
      result.append(source.substr(pos));
      break;
    }
    result.append(source.substr(pos, hit - pos));
    result.append(replacement);
    pos = hit + find.size();
  }
  return result;
}

bool IsValidUtf8(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    pos = AsciiRunEnd(text, pos);
    if (pos == text.size()) break;
    const size_t length = Utf8SequenceLength(text, pos);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::string Windows1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 16);
  size_t pos = 0;
  while (pos < text.size()) {
    // A run of ASCII as it is.
    const size_t from = pos;
    pos = AsciiRunEnd(text, pos);
    out.append(text.data() + from, pos - from);
    if (pos == text.size()) break;
    const auto byte = static_cast<unsigned char>(text[pos++]);
    const char16_t code = byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
    char bytes[3];
    if (code < 0x800) {
      bytes[0] = static_cast<char>(0xC0 | (code >> 6));
      bytes[1] = static_cast<char>(0x80 | (code & 0x3F));
      out.append(bytes, 2);
    } else {
      bytes[0] = static_cast<char>(0xE0 | (code >> 12));
      bytes[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      bytes[2] = static_cast<char>(0x80 | (code & 0x3F));
      out.append(bytes, 3);
    }
  }
  return out;
}

std::string StoredTextAsUtf8(std::string_view text) {
  return IsValidUtf8(text) ? std::string(text) : Windows1252ToUtf8(text);
}

std::string MixedTextAsUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() + 16);
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t length = Utf8SequenceLength(text, pos);
    if (length == 0) {
      out += Windows1252ToUtf8(text.substr(pos, 1));
      ++pos;
    } else {
      out.append(text.data() + pos, length);
      pos += length;
    }
  }
  return out;
}

std::string TruncateText(std::string_view text, unsigned maximum) {
  // No more bytes than the maximum are no more characters either.
  if (text.size() <= maximum) return std::string(text);
  const bool utf8 = IsValidUtf8(text);
  // Walk whole characters; in text that is not valid UTF-8 every byte counts as
  // a character, but a well-formed UTF-8 sequence inside it is still kept whole
  // so that a mixed text is never left with half a character.
  size_t pos = 0;
  size_t count = 0;
  size_t cut = std::string_view::npos;
  while (pos < text.size()) {
    size_t length = Utf8SequenceLength(text, pos);
    if (length == 0) length = 1;
    const size_t weight = utf8 ? 1 : length;
    if (cut == std::string_view::npos && count + weight > maximum) cut = pos;
    count += weight;
    pos += length;
    if (cut != std::string_view::npos && count > maximum) break;
  }
  if (count <= maximum) return std::string(text);
  std::string result(text.substr(0, cut));
  result += "...";
  return result;
}

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

namespace {

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = AsciiUpper(c);
  return upper;
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::string Concat(std::initializer_list<std::string_view> parts) {
  size_t size = 0;
  for (const std::string_view part : parts) size += part.size();
  std::string text(size, '\0');
  char* end = text.data();
  for (const std::string_view part : parts) {
    if (!part.empty()) std::memcpy(end, part.data(), part.size());
    end += part.size();
  }
  return text;
}

}  // namespace vorlex
