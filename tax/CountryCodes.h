// What a customer's country code stands for: a member state of the EU (by its
// ISO code, its German vehicle code or its VAT prefix), another country of
// ISO 3166, or nothing known.
#pragma once

#include <string>
#include <string_view>

namespace vorlex {

struct MemberState {
  const char* iso;        // ISO 3166 alpha-2
  const char* vatPrefix;  // of its VAT identification numbers: EL for Greece
  const char* vehicle;    // German vehicle code
  const char* name;       // German name (Windows-1252)
};

struct Country {
  enum Kind { Unknown, Germany, EuMember, NonEu } kind = Unknown;
  const MemberState* state = nullptr;  // for a member state other than Germany
};

// Blanks around the code are ignored, letters count in either case; "LUX" is
// taken for Luxembourg as well.
Country CountryOf(std::string_view code);

// Whether code is an ISO 3166 alpha-2 code (upper case).
bool IsIso3166(std::string_view code);

// The code in upper case without blanks around it.
std::string NormalCode(std::string_view code);

}  // namespace vorlex
