// Program texts stand in the source as a person reads them, in UTF-8, and the
// program holds them as it holds every text: in Windows-1252 bytes, beside the
// texts of Pelmora's database. "Prüfen"_cp1252 is those bytes, converted when
// compiling; a character that Windows-1252 lacks, or a text that is no UTF-8,
// does not compile.
#pragma once

#include <array>
#include <cstddef>

namespace vorlex {

// The characters of the bytes 0x80 to 0x9F; the rest of the upper half is
// Latin-1. The five bytes the code page leaves undefined stand for the
// control characters of their own number.
inline constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

namespace program_text {

template <size_t N>
struct Utf8Literal {
  char text[N]{};
  constexpr Utf8Literal(const char (&literal)[N]) {
    for (size_t i = 0; i < N; ++i) text[i] = literal[i];
  }
};

consteval char Windows1252Byte(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  for (int i = 0; i < 32; ++i) {
    if (kWindows1252High[i] == code) return static_cast<char>(0x80 + i);
  }
  throw "a character that Windows-1252 does not have";
}

template <size_t N>
consteval std::array<char, N> Windows1252Bytes(const Utf8Literal<N>& literal) {
  std::array<char, N> out{};
  size_t at = 0;
  for (size_t i = 0; i + 1 < N;) {
    const auto lead = static_cast<unsigned char>(literal.text[i]);
    const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : 0;
    if (length == 0 || i + length >= N) throw "no UTF-8";
    char32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : lead & 0x0F;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(literal.text[i + k]);
      if ((next >> 6) != 2) throw "no UTF-8";
      code = (code << 6) | (next & 0x3F);
    }
    out[at++] = Windows1252Byte(code);
    i += length;
  }
  return out;  // the rest stays 0: the text ends at its first
}

template <Utf8Literal S>
struct Converted {
  static constexpr std::array<char, sizeof S.text> bytes = Windows1252Bytes(S);
};

}  // namespace program_text

template <program_text::Utf8Literal S>
constexpr const char* operator""_cp1252() {
  return program_text::Converted<S>::bytes.data();
}

}  // namespace vorlex
