// Text helpers. Texts are 8-bit byte strings: the program's own texts are
// Windows-1252, texts from the database are the bytes it holds (Windows-1252 in
// older databases, UTF-8 in newer ones).
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vorlex {

// Every occurrence of find replaced, left to right, without overlap; replaced
// text is not searched again. find must not be empty.
std::string StrReplaceAll(std::string_view source, std::string_view find,
                          std::string_view replacement);

// When text has more than maximum characters: its first maximum characters
// followed by "...". A character is a code point when text is valid UTF-8,
// otherwise a byte; a UTF-8 character is never cut in half.
std::string TruncateText(std::string_view text, unsigned maximum);

bool IsValidUtf8(std::string_view text);

// Windows-1252 text as UTF-8; the five bytes that code page leaves undefined
// stand for the control characters of the same number.
std::string Windows1252ToUtf8(std::string_view text);

// A text as the database or the program stores it, as UTF-8: valid UTF-8 as it
// is, anything else read as Windows-1252.
std::string StoredTextAsUtf8(std::string_view text);

// A text pieced together from the program's words (Windows-1252) and database
// texts of either encoding, as an error message is: every well-formed UTF-8
// sequence as it is, every other byte read as Windows-1252.
std::string MixedTextAsUtf8(std::string_view text);

// ASCII letters folded to upper or lower case; every other byte, an umlaut
// in either encoding too, stays as it is. Names of SQL, of options and of
// countries are compared this way, whatever the user's locale.
char AsciiUpper(char c);
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// The parts one after another, in a string of exactly their size: a year's
// list holds a hundred thousand lines.
std::string Concat(std::initializer_list<std::string_view> parts);

}  // namespace vorlex
