// Telling repeated value names apart compares them as the registry does (folded
// with Qt for text beyond ASCII), so it lives apart from the Qt-free naming.
#include "platform/fonts/FontsKeyNames.h"

#include "platform/registry/Registry.h"

#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace typeloom::platform::fontskey {
namespace {

// Eight bytes at a time: every name is looked at, most are ASCII.
bool IsAsciiText(std::string_view text) {
  std::size_t k = 0;
  for (; k + 8 <= text.size(); k += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + k, 8);
    if ((word & 0x8080808080808080u) != 0) return false;
  }
  for (; k < text.size(); ++k) {
    if (static_cast<unsigned char>(text[k]) >= 0x80) return false;
  }
  return true;
}

}  // namespace

void MakeUnique(std::vector<InstalledFontFile>& files) {
  // Every name taken (the files' own folded names, then those made here) lies in one
  // buffer, reserved beforehand so that views into it stay valid: the files' names,
  // then room for each of them again with a number of at most kNumberBytes bytes.
  // A made name beyond that room (folding may lengthen a name beyond ASCII) is kept
  // apart.
  constexpr std::size_t kNumberBytes = 16;
  std::size_t bytes = 0;
  std::vector<bool> ascii(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string& name = files[i].valueName;
    ascii[i] = IsAsciiText(name);
    bytes += ascii[i] ? name.size() : reg::FoldName(name).size();
  }
  std::string buffer;
  buffer.reserve(2 * bytes + kNumberBytes * files.size());
  std::deque<std::string> apart;
  const auto keep = [&](std::string_view key) -> std::string_view {
    if (buffer.size() + key.size() > buffer.capacity()) return apart.emplace_back(key);
    const std::size_t begin = buffer.size();
    buffer += key;
    return {buffer.data() + begin, key.size()};
  };
  std::vector<std::string_view> keys;  // the names taken, folded, in the order taken
  keys.reserve(2 * files.size());

  // An open-addressing table of key numbers (+1, 0 for a free slot), at most half full.
  std::size_t slots = 16;
  while (slots < 4 * files.size()) slots *= 2;
  std::vector<std::uint32_t> table(slots, 0);
  const std::hash<std::string_view> hash;
  // The slot that holds `key`, or the free slot where it would go.
  const auto slotOf = [&](std::string_view key) {
    std::size_t slot = hash(key) & (slots - 1);
    while (table[slot] != 0 && keys[table[slot] - 1] != key) slot = (slot + 1) & (slots - 1);
    return slot;
  };
  const auto take = [&](std::size_t slot, std::string_view key) {
    keys.push_back(key);
    table[slot] = static_cast<std::uint32_t>(keys.size());
  };

  // Each file's folded name, taken; `keyOf` is its key, `first` whether the file is
  // the first with it.
  std::vector<std::uint32_t> keyOf(files.size());
  std::vector<bool> first(files.size(), false);
  std::string folded;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string& name = files[i].valueName;
    if (ascii[i]) {
      folded.assign(name);
      for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      }
    } else {
      folded = reg::FoldName(name);
    }
    const std::size_t slot = slotOf(folded);
    if (table[slot] == 0) {
      take(slot, keep(folded));
      first[i] = true;
    }
    keyOf[i] = table[slot] - 1;
  }

  // The number to try next for each repeated name: every smaller one is taken, and
  // stays taken, so a name met many times is not tried against all of them again.
  std::vector<int> nextNumber(files.size(), 2);
  std::string candidate;  // a numbered name's folded form
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (first[i]) continue;
    // The number goes inside the last parentheses, or into new ones at the end.
    std::string& value = files[i].valueName;
    const std::size_t close = value.rfind(')');
    const bool inside = close != std::string::npos && value.rfind('(', close) != std::string::npos;
    const std::size_t at = inside ? close : value.size();
    const std::string_view name = keys[keyOf[i]];
    int& next = nextNumber[keyOf[i]];
    for (int n = next;; ++n) {
      const std::string number = std::to_string(n);
      const std::string piece = inside ? " " + number : " (" + number + ")";
      value.insert(at, piece);
      // Folding leaves the number's characters as they are: the folded name takes
      // them at the same place.
      if (ascii[i]) {
        candidate.assign(name);
        candidate.insert(at, piece);
      } else {
        candidate = reg::FoldName(value);
      }
      const std::size_t slot = slotOf(candidate);
      if (table[slot] == 0) {
        take(slot, keep(candidate));
        next = n + 1;
        break;
      }
      value.erase(at, piece.size());
    }
  }
}

namespace {

// Whether `name` folds to `folded`. A name of ASCII bytes folds byte by byte and is
// compared in place; any other is folded in full (its folded form may be ASCII).
bool FoldsTo(std::string_view name, std::string_view folded) {
  bool same = name.size() == folded.size();
  for (std::size_t k = 0; k < name.size(); ++k) {
    const auto c = static_cast<unsigned char>(name[k]);
    if (c >= 0x80) return reg::FoldName(name) == folded;
    if (same && static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c) != folded[k]) same = false;
  }
  return same;
}

}  // namespace

std::size_t FindFileName(const std::vector<InstalledFontFile>& files, std::string_view fileName) {
  const std::string folded = reg::FoldName(fileName);
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (FoldsTo(files[i].fileName, folded)) return i;
  }
  return files.size();
}

}  // namespace typeloom::platform::fontskey
