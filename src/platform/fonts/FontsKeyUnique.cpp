// Telling repeated value names apart compares them as the registry does (folded
// with Qt for text beyond ASCII), so it lives apart from the Qt-free naming.
#include "platform/fonts/FontsKeyNames.h"

#include "platform/registry/Registry.h"

#include <deque>
#include <string_view>
#include <unordered_map>

namespace typeloom::platform::fontskey {
namespace {

bool IsAsciiText(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

void MakeUnique(std::vector<InstalledFontFile>& files) {
  // Every name folded once, all into one buffer: no allocation a name.
  std::string folded;
  std::vector<std::size_t> ends;
  ends.reserve(files.size());
  {
    std::size_t bytes = 0;
    for (const InstalledFontFile& f : files) bytes += f.valueName.size();
    folded.reserve(bytes);
  }
  for (const InstalledFontFile& f : files) {
    const std::size_t begin = folded.size();
    folded += f.valueName;
    for (std::size_t c = begin; c < folded.size(); ++c) {
      if (static_cast<unsigned char>(folded[c]) >= 0x80) {
        folded.resize(begin);
        folded += reg::FoldName(f.valueName);
        break;
      }
      if (folded[c] >= 'A' && folded[c] <= 'Z') folded[c] = static_cast<char>(folded[c] - 'A' + 'a');
    }
    ends.push_back(folded.size());
  }
  const auto foldedName = [&](std::size_t i) {
    const std::size_t begin = i == 0 ? 0 : ends[i - 1];
    return std::string_view(folded).substr(begin, ends[i] - begin);
  };
  // Every name taken, the files' own and those made here (kept in `made`), and
  // whether a file has already been met with it. Room for every name and a new one
  // for each: no rehashing on the way.
  std::unordered_map<std::string_view, bool> taken;
  taken.reserve(2 * files.size());
  for (std::size_t i = 0; i < files.size(); ++i) taken.try_emplace(foldedName(i), false);
  std::deque<std::string> made;
  std::string key;  // a candidate's folded name
  // The number to try next for each repeated name: every smaller one is taken, and
  // stays taken, so a name met many times is not tried against all of them again.
  std::unordered_map<std::string_view, int> nextNumber;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string_view name = foldedName(i);
    bool& met = taken.find(name)->second;
    if (!met) {
      met = true;
      continue;
    }
    // The number goes inside the last parentheses, or into new ones at the end.
    std::string& value = files[i].valueName;
    const std::size_t close = value.rfind(')');
    const bool inside = close != std::string::npos && value.rfind('(', close) != std::string::npos;
    const std::size_t at = inside ? close : value.size();
    const bool ascii = IsAsciiText(value);
    int& next = nextNumber.try_emplace(name, 2).first->second;
    for (int n = next;; ++n) {
      const std::string number = std::to_string(n);
      const std::string piece = inside ? " " + number : " (" + number + ")";
      value.insert(at, piece);
      // Folding leaves the number's characters as they are: the folded name takes
      // them at the same place.
      if (ascii) {
        key.assign(name);
        key.insert(at, piece);
      } else {
        key = reg::FoldName(value);
      }
      if (taken.find(std::string_view(key)) == taken.end()) {
        taken.try_emplace(made.emplace_back(key), true);
        next = n + 1;
        break;
      }
      value.erase(at, piece.size());
    }
  }
}

}  // namespace typeloom::platform::fontskey
