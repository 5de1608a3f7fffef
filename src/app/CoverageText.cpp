#include "app/CoverageText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace typeloom::app {

std::optional<std::u32string> DecodeUtf8(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  const std::size_t size = utf8.size();
  std::size_t i = 0;
  while (i < size) {
    const auto lead = static_cast<std::uint8_t>(utf8[i]);
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    std::size_t length = 0;
    char32_t value = 0;
    char32_t least = 0;  // the smallest value this length may encode (no overlong forms)
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, value = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, value = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, value = lead & 0x07, least = 0x10000;
    } else {
      return std::nullopt;  // a continuation byte, C0/C1 (overlong) or F5-FF
    }
    if (size - i < length) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<std::uint8_t>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      value = (value << 6) | (next & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
    out.push_back(value);
    i += length;
  }
  return out;
}

bool IgnoredForCoverage(char32_t c) {
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
  switch (c) {
    case 0x20: case 0xA0: case 0x1680: case 0x2028: case 0x2029: case 0x202F: case 0x205F: case 0x3000:
    case 0xFEFF:  // the byte-order mark a pasted text may start with
      return true;
    default:
      return c >= 0x2000 && c <= 0x200B;  // the typographic spaces and the zero-width space
  }
}

std::vector<char32_t> CoverageCharacters(std::u32string_view text) {
  std::vector<char32_t> out;
  for (const char32_t c : text) {
    if (!IgnoredForCoverage(c)) out.push_back(c);
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

std::string NormalizeLanguageTag(std::string_view tag) {
  if (tag.empty() || tag.size() > 32) return {};
  std::string out;
  for (const char c : tag) {
    if (c >= 'A' && c <= 'Z') {
      out.push_back(static_cast<char>(c - 'A' + 'a'));
    } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') {
      out.push_back(c);
    } else if (c == '_') {
      out.push_back('-');
    } else {
      return {};
    }
  }
  return out;
}

ListQuery ParseListQuery(const std::vector<std::string_view>& arguments) {
  ListQuery query;
  bool covers = false;
  bool lang = false;
  for (std::size_t i = 0; i < arguments.size(); i += 2) {
    const std::string_view option = arguments[i];
    const bool isCovers = option == "--covers";
    if (!isCovers && option != "--lang") {
      query.error = "--list takes only --covers TEXT and --lang TAG";
      return query;
    }
    if ((isCovers && covers) || (!isCovers && lang)) {
      query.error = std::string(option) + " is given twice";
      return query;
    }
    if (i + 1 >= arguments.size()) {
      query.error = isCovers ? "--covers needs a text" : "--lang needs a language tag";
      return query;
    }
    const std::string_view value = arguments[i + 1];
    if (isCovers) {
      covers = true;
      const std::optional<std::u32string> text = DecodeUtf8(value);
      if (!text) {
        query.error = "--covers: the text is not valid UTF-8";
        return query;
      }
      query.characters = CoverageCharacters(*text);
      if (query.characters.empty()) {
        query.error = "--covers: the text has no character to look for (only blanks and control characters)";
        return query;
      }
    } else {
      lang = true;
      query.hasLanguage = true;
      query.rawLanguage = std::string(value);
      query.language = NormalizeLanguageTag(value);
    }
  }
  return query;
}

std::string CoverageSummary(std::size_t characterCount, const std::vector<std::string>& languages) {
  std::string text = "Characters: " + std::to_string(characterCount) + "\nLanguages:";
  for (const std::string& tag : languages) {
    // Tags come from the font cache: only what a tag can hold reaches the terminal.
    if (const std::string clean = NormalizeLanguageTag(tag); !clean.empty()) text += ' ' + clean;
  }
  return text + '\n';
}

}  // namespace typeloom::app
