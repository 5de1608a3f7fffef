#include "platform/fonts/FontsKeyNames.h"

#include "platform/registry/Registry.h"

#include <deque>
#include <unordered_map>
#include <unordered_set>

namespace typeloom::platform::fontskey {
namespace {

// Room kept free for a distinguishing number added later, e.g. " 12345".
constexpr std::size_t kSuffixRoom = 12;

bool IsFlagStyle(std::string_view style) { return style == "Bold" || style == "Italic" || style == "Bold Italic"; }

bool IsRegularStyle(std::string_view style) {
  std::string s(style);
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s.empty() || s == "regular" || s == "medium" || s == "normal" || s == "book" || s == "roman";
}

}  // namespace

std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t end = maxBytes;
  // Step back over continuation bytes to the start of the sequence that does not fit.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

std::string ScalableName(const std::vector<std::string>& faceNames, std::string_view kind) {
  const std::size_t tail = 1 + kind.size();
  const std::size_t room = kMaxValueNameBytes - kSuffixRoom - tail;
  std::string name;
  for (const std::string& face : faceNames) {
    if (name.empty()) {
      name = Utf8Prefix(face, room);
      continue;
    }
    if (name.size() + 3 + face.size() > room) break;
    name += " & ";
    name += face;
  }
  name += ' ';
  name += kind;
  return name;
}

std::string BitmapName(std::string_view family, std::string_view style, const std::set<int>& pointSizes) {
  std::string sizes;
  for (int pt : pointSizes) {
    if (!sizes.empty()) sizes += ',';
    sizes += std::to_string(pt);
  }
  if (pointSizes.size() == 1) sizes += ',';
  std::string head(family);
  std::string tail;
  if (IsFlagStyle(style)) {
    tail = style;
  } else if (!IsRegularStyle(style)) {
    head += ' ';
    head += style;
  }
  auto rest = [&] {
    return (sizes.empty() ? std::string() : " " + sizes) + (tail.empty() ? std::string() : " " + tail) + " (Bitmap)";
  };
  if (rest().size() + kSuffixRoom + 1 > kMaxValueNameBytes) sizes.clear();  // a list too long to name
  const std::string after = rest();
  std::string name(Utf8Prefix(head, kMaxValueNameBytes - kSuffixRoom - after.size()));
  name += after;
  return name;
}

void MakeUnique(std::vector<InstalledFontFile>& files) {
  // Each name is folded once; the sets hold views of these strings (and of the
  // folded names made here, kept in `made`).
  std::vector<std::string> folded;
  folded.reserve(files.size());
  for (const InstalledFontFile& f : files) folded.push_back(reg::FoldName(f.valueName));
  // Room for every name and a new one for each: no rehashing on the way.
  std::unordered_set<std::string_view> taken;
  taken.reserve(2 * files.size());
  taken.insert(folded.begin(), folded.end());
  std::unordered_set<std::string_view> seen;
  seen.reserve(2 * files.size());
  std::deque<std::string> made;
  // The number to try next for each repeated name: every smaller one is taken, and
  // stays taken, so a name met many times is not tried against all of them again.
  std::unordered_map<std::string_view, int> nextNumber;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (seen.insert(folded[i]).second) continue;
    InstalledFontFile& f = files[i];
    const std::size_t close = f.valueName.rfind(')');
    const std::size_t open = close == std::string::npos ? std::string::npos : f.valueName.rfind('(', close);
    int& next = nextNumber.try_emplace(folded[i], 2).first->second;
    for (int n = next;; ++n) {
      std::string number = " ";
      number += std::to_string(n);
      std::string candidate = f.valueName;
      if (open == std::string::npos) {
        candidate += " (";
        candidate.append(number, 1, std::string::npos);
        candidate += ')';
      } else {
        candidate.insert(close, number);
      }
      std::string key = reg::FoldName(candidate);
      if (taken.count(key) == 0) {
        const std::string_view stored = made.emplace_back(std::move(key));
        taken.insert(stored);
        seen.insert(stored);
        f.valueName = std::move(candidate);
        next = n + 1;
        break;
      }
    }
  }
}

}  // namespace typeloom::platform::fontskey
