// Fuzz target: a coverage query's text and language tag as the command line gives
// them (any bytes), through the --list argument parser. Traps when a decoded text
// does not encode back to the same bytes or the characters asked for are not
// ascending, once each, without blanks or controls.
#include "app/CoverageText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string Encode(const std::u32string& text) {
  std::string out;
  for (const char32_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace typeloom::app;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (const auto text = DecodeUtf8(bytes)) {
    if (Encode(*text) != bytes) std::abort();
    const std::vector<char32_t> characters = CoverageCharacters(*text);
    for (std::size_t i = 0; i < characters.size(); ++i) {
      if (IgnoredForCoverage(characters[i]) || (i > 0 && characters[i - 1] >= characters[i])) std::abort();
    }
  }
  // The first half as the text, the second as the tag.
  const std::size_t half = size / 2;
  const ListQuery query = ParseListQuery({"--covers", bytes.substr(0, half), "--lang", bytes.substr(half)});
  if (query.error.empty() && query.characters.empty()) std::abort();
  for (const char c : query.language) {
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) std::abort();
  }
  return 0;
}
