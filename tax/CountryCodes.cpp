#include "tax/CountryCodes.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

#include "util/ProgramText.h"
#include "util/uString.h"

namespace vorlex {

namespace {

constexpr std::string_view kIso3166[] = {
#include "Iso3166Alpha2.inc"
};

constexpr MemberState kMemberStates[] = {
    {"AT", "AT", "A", "Österreich"_cp1252},
    {"BE", "BE", "B", "Belgien"},
    {"BG", "BG", "BG", "Bulgarien"},
    {"CY", "CY", "CY", "Zypern"},
    {"CZ", "CZ", "CZ", "Tschechien"},
    {"DE", "DE", "D", "Deutschland"},
    {"DK", "DK", "DK", "Dänemark"_cp1252},
    {"EE", "EE", "EST", "Estland"},
    {"ES", "ES", "E", "Spanien"},
    {"FI", "FI", "FIN", "Finnland"},
    {"FR", "FR", "F", "Frankreich"},
    {"GR", "EL", "GR", "Griechenland"},
    {"HR", "HR", "HR", "Kroatien"},
    {"HU", "HU", "H", "Ungarn"},
    {"IE", "IE", "IRL", "Irland"},
    {"IT", "IT", "I", "Italien"},
    {"LT", "LT", "LT", "Litauen"},
    {"LU", "LU", "L", "Luxemburg"},
    {"LV", "LV", "LV", "Lettland"},
    {"MT", "MT", "M", "Malta"},
    {"NL", "NL", "NL", "Niederlande"},
    {"PL", "PL", "PL", "Polen"},
    {"PT", "PT", "P", "Portugal"},
    {"RO", "RO", "RO", "Rumänien"_cp1252},
    {"SE", "SE", "S", "Schweden"},
    {"SI", "SI", "SLO", "Slowenien"},
    {"SK", "SK", "SK", "Slowakei"},
};

// A code of up to three letters as one number: its length and its bytes.
constexpr uint32_t CodeKey(std::string_view code) {
  uint32_t key = static_cast<uint32_t>(code.size());
  for (size_t i = 0; i < code.size(); ++i) {
    key |= static_cast<uint32_t>(static_cast<unsigned char>(code[i])) << (8 * (i + 1));
  }
  return key;
}

// The member states' codes as numbers, made once: a code is asked for once
// per order, and sometimes more than once.
struct StateCodes {
  uint32_t iso, vatPrefix, vehicle;
};
constexpr auto kStateCodes = [] {
  std::array<StateCodes, std::size(kMemberStates)> codes{};
  for (size_t i = 0; i < codes.size(); ++i) {
    codes[i] = {CodeKey(kMemberStates[i].iso), CodeKey(kMemberStates[i].vatPrefix),
                CodeKey(kMemberStates[i].vehicle)};
  }
  return codes;
}();

}  // namespace

std::string NormalCode(std::string_view code) {
  const size_t first = code.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  code = code.substr(first, code.find_last_not_of(' ') - first + 1);
  return AsciiUpper(code);
}

bool IsIso3166(std::string_view code) {
  return std::binary_search(std::begin(kIso3166), std::end(kIso3166), code);
}

Country CountryOf(std::string_view code) {
  // No code is longer than three letters; asked once per order, so without
  // making a string.
  const size_t first = code.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  code = code.substr(first, code.find_last_not_of(' ') - first + 1);
  if (code.size() > 3) return {};
  char upper[3];
  for (size_t i = 0; i < code.size(); ++i) {
    upper[i] = AsciiUpper(code[i]);
  }
  const std::string_view normal(upper, code.size());
  const uint32_t key = CodeKey(normal);
  for (size_t i = 0; i < kStateCodes.size(); ++i) {
    const StateCodes& state = kStateCodes[i];
    if (key == state.iso || key == state.vehicle || key == state.vatPrefix ||
        (key == CodeKey("LUX") && state.iso == CodeKey("LU"))) {
      if (state.iso == CodeKey("DE")) return {Country::Germany};
      return {Country::EuMember, &kMemberStates[i]};
    }
  }
  if (IsIso3166(normal)) return {Country::NonEu};
  return {};
}

}  // namespace vorlex
