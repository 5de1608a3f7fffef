#include "app/QuickCoverageList.h"

#include "app/CoverageText.h"
#include "app/TerminalEscape.h"
#include "app/Version.h"
#include "platform/fonts/CoverageIndex.h"
#include "platform/fonts/FontFileNames.h"
#include "platform/ui/AsciiListOrder.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace typeloom::app {
namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsPrintableAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

// Keeps what stands before position `p`, dropping the blank right before it.
std::string_view CutAt(std::string_view v, std::size_t p) {
  if (p > 0 && v[p - 1] == ' ') return v.substr(0, p - 1);
  return v.substr(0, p);
}

// The first occurrence of `word`; it counts only as a whole word (a blank before it)
// starting past the second character.
std::size_t FindWord(std::string_view v, std::string_view word) {
  const std::size_t p = v.find(word);
  if (p == std::string_view::npos || p < 2 || v[p - 1] != ' ') return std::string_view::npos;
  return p;
}

bool EnvironmentSet(const std::function<const char*(const char*)>& environment, const char* name) {
  const char* value = environment(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

QuickOrder ListOrderFromEnvironment(const std::function<const char*(const char*)>& environment) {
  std::string_view locale;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (EnvironmentSet(environment, name)) {
      locale = environment(name);
      break;
    }
  }
  if (locale.empty() || locale == "C" || locale == "POSIX") return QuickOrder::C;
  if (EnvironmentSet(environment, "LANGUAGE")) return QuickOrder::None;
  if (locale == "C.UTF-8" || locale == "C.utf8") return QuickOrder::C;
  // language[_COUNTRY][.charset]
  const std::size_t dot = locale.find('.');
  const std::string_view name = locale.substr(0, dot);
  if (dot != std::string_view::npos) {
    const std::string_view charset = locale.substr(dot + 1);
    const bool plain = !charset.empty() && std::all_of(charset.begin(), charset.end(), [](char c) {
      return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
    });
    if (!plain) return QuickOrder::None;
  }
  const auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
  const auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
  if (name.size() != 2 && name.size() != 5) return QuickOrder::None;
  if (!lower(name[0]) || !lower(name[1])) return QuickOrder::None;
  if (name.size() == 5 && (name[2] != '_' || !upper(name[3]) || !upper(name[4]))) return QuickOrder::None;
  const std::string_view language = name.substr(0, 2);
  const auto& plain = platform::asciiorder::kPlainLanguages;
  return std::find(std::begin(plain), std::end(plain), language) != std::end(plain) ? QuickOrder::PrintableAscii
                                                                                      : QuickOrder::None;
}

namespace {

// AsciiListName as a part of `valueName`.
std::optional<std::string_view> AsciiListNameIn(std::string_view valueName) {
  // Positions are counted in UTF-16 units by the catalogue; with an ASCII first
  // character every test below ("past the second character", "at the end") gives the
  // same answer on bytes.
  if (!valueName.empty() && static_cast<unsigned char>(valueName.front()) >= 0x80) return std::nullopt;
  std::string_view v = valueName;
  if (const std::size_t p = v.find('('); p != std::string_view::npos && p >= 2) v = CutAt(v, p);
  if (const std::size_t p = FindWord(v, "Italic"); p != std::string_view::npos && p + 6 == v.size()) v = CutAt(v, p);
  if (const std::size_t p = FindWord(v, "Bold"); p != std::string_view::npos && p + 4 == v.size()) v = CutAt(v, p);
  if (const std::size_t p = FindWord(v, "Normal"); p != std::string_view::npos) v = CutAt(v, p);
  if (const std::size_t p = v.find("& "); p != std::string_view::npos && p >= 2) v = CutAt(v, p);
  for (const char* marker : {"8,", "9,", "10,", "11,", "12,"}) {
    if (const std::size_t p = FindWord(v, marker); p != std::string_view::npos) v = CutAt(v, p);
  }
  // A name that keeps a parenthesis may carry the number that tells repeated value
  // names apart, which only the registry's folding decides.
  if (!IsAscii(v) || v.find('(') != std::string_view::npos || v.find(')') != std::string_view::npos) {
    return std::nullopt;
  }
  return v;
}

// The list names of the fonts key's values, sorted, without repeats, as parts of
// `valueNames`; false when this path does not answer for them.
bool ListNames(QuickOrder order, std::vector<std::string>& valueNames, std::vector<std::string_view>& names) {
  if (!platform::ReadFontFileNames(valueNames)) return false;
  names.reserve(valueNames.size());
  for (const std::string& valueName : valueNames) {
    if (valueName.empty()) return false;  // the fonts key's enumeration ends there
    const std::optional<std::string_view> name = AsciiListNameIn(valueName);
    if (!name) return false;
    // Under the common order, one name that is not printable sends the whole list
    // to the collator.
    if (order == QuickOrder::PrintableAscii && !IsPrintableAscii(*name)) return false;
    if (!name->empty()) names.push_back(*name);
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return true;
}

}  // namespace

std::optional<std::string> AsciiListName(std::string_view valueName) {
  const std::optional<std::string_view> name = AsciiListNameIn(valueName);
  if (!name) return std::nullopt;
  return std::string(*name);
}

std::string FoldTowardsAscii(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const std::string_view rest = utf8.substr(i);
    if (rest.substr(0, 2) == "\xc5\xbf") {  // U+017F LATIN SMALL LETTER LONG S
      out += 's';
      ++i;
    } else if (rest.substr(0, 3) == "\xe2\x84\xaa") {  // U+212A KELVIN SIGN
      out += 'k';
      i += 2;
    } else {
      out += LowerAscii(utf8[i]);
    }
  }
  return out;
}

std::string CoveringListText(std::vector<std::string> names, const std::function<bool(const std::string&)>& covers,
                             QuickOrder order) {
  struct Keyed {
    std::string key;
    std::string name;
  };
  // The C locale compares case-folded text; the common order compares ranks.
  const auto key = [order](const std::string& name) {
    std::string out = LowerAscii(name);
    if (order == QuickOrder::PrintableAscii) {
      for (char& c : out) c = static_cast<char>(platform::asciiorder::kRank[static_cast<unsigned char>(c) & 0x7F]);
    }
    return out;
  };
  std::vector<Keyed> shown;
  for (std::string& name : names) {
    if (covers(name)) shown.push_back({key(name), std::move(name)});
  }
  std::sort(shown.begin(), shown.end(), [](const Keyed& a, const Keyed& b) {
    if (a.key != b.key) return a.key < b.key;
    return a.name < b.name;
  });
  std::string text;
  for (const Keyed& item : shown) {
    for (const char c : item.name) {
      const auto byte = static_cast<unsigned char>(c);
      if (const char* escape = NamedEscape(byte)) {
        text += escape;
      } else if (IsAsciiControl(byte)) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(byte));
        text += escaped;
      } else {
        text += c;
      }
    }
    text += '\n';
  }
  return text;
}

namespace {

constexpr std::size_t kSavedLimit = std::size_t{64} << 20;

// What the list's names depend on beyond fontconfig's state: this program's version
// and the order.
std::string ListInputs(QuickOrder order) {
  return std::string(kAppTitle) + " " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) +
         (order == QuickOrder::C ? " C" : " ascii");
}

// The answer from the saved faces, when they were saved under `state` and every saved
// name is one this path answers.
std::optional<std::string> AnswerSaved(const std::string& bytes, const std::string& state, const ListQuery& query,
                                       QuickOrder order) {
  const std::optional<platform::SavedCoverage> saved = platform::ReadSavedCoverage(bytes);
  if (!saved || saved->state != state) return std::nullopt;
  for (const platform::SavedCoverage::Name& name : saved->names) {
    if (!IsAscii(name.name) || (order == QuickOrder::PrintableAscii && !IsPrintableAscii(name.name))) {
      return std::nullopt;
    }
  }
  const std::optional<std::vector<bool>> covered =
      platform::CoverageIndex::MatchSaved(*saved, query.characters, query.language);
  if (!covered) return std::nullopt;
  std::vector<std::string> shown;
  for (std::size_t i = 0; i < saved->names.size(); ++i) {
    if ((*covered)[i]) shown.push_back(saved->names[i].name);
  }
  return CoveringListText(std::move(shown), [](const std::string&) { return true; }, order);
}

}  // namespace

std::optional<QuickAnswer> AnswerCoverageList(const std::vector<std::string_view>& arguments,
                                              const std::function<const char*(const char*)>& environment,
                                              char** savedFaces) {
  const QuickOrder order = ListOrderFromEnvironment(environment);
  if (order == QuickOrder::None) return std::nullopt;
  const ListQuery query = ParseListQuery(arguments);
  if (!query.error.empty()) return std::nullopt;
  if (query.hasLanguage && !platform::CoverageIndex::KnownLanguage(query.language)) return std::nullopt;
  std::string folder, fileName;
  std::optional<std::string> state;
  if (savedFaces != nullptr) folder = platform::PrivateCacheFolder(environment);
  if (!folder.empty()) {
    const std::string inputs = ListInputs(order);
    state = platform::FontconfigState(savedFaces);
    if (state) *state += inputs;
    fileName = platform::SavedFileName("list-faces-", savedFaces, inputs);
    if (state) {
      if (const std::optional<std::string> bytes = platform::ReadPrivateFile(folder, fileName, kSavedLimit)) {
        if (std::optional<std::string> text = AnswerSaved(*bytes, *state, query, order)) {
          return QuickAnswer{std::move(*text), nullptr, {}};
        }
      }
    }
  }
  struct Sources {
    std::vector<std::string> valueNames;
    std::vector<std::string_view> names;  // parts of valueNames
    std::optional<platform::CoverageIndex> index;
  };
  auto sources = std::make_shared<Sources>();
  bool listed = false;
  // The faces are indexed and asked while the names are read.
  sources->index.emplace(FoldTowardsAscii, query.characters, query.language,
                         [&] { listed = ListNames(order, sources->valueNames, sources->names); });
  platform::CoverageIndex& index = *sources->index;
  if (!listed || !index.Available()) return std::nullopt;
  const std::vector<std::string_view>& names = sources->names;
  const std::vector<bool> covered = index.MatchEach(names);
  std::vector<std::string> shown;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (covered[i]) shown.emplace_back(names[i]);
  }
  QuickAnswer answer{CoveringListText(std::move(shown), [](const std::string&) { return true; }, order), sources, {}};
  if (state) {
    answer.afterwards = [sources, state = std::move(*state), folder, fileName] {
      if (!platform::MakePrivateFolder(folder)) return;
      std::optional<platform::SavedCoverage> saved = sources->index->Save(sources->names);
      if (!saved) return;
      saved->state = state;
      platform::WritePrivateFile(folder, fileName, platform::WriteSavedCoverage(*saved));
    };
  }
  return answer;
}

}  // namespace typeloom::app
