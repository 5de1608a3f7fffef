#include "platform/fonts/FontsKeyNames.h"

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
  return ScalableName(std::vector<std::string_view>(faceNames.begin(), faceNames.end()), kind);
}

std::string ScalableName(const std::vector<std::string_view>& faceNames, std::string_view kind) {
  const std::size_t tail = 1 + kind.size();
  const std::size_t room = kMaxValueNameBytes - kSuffixRoom - tail;
  std::string name;
  for (const std::string_view face : faceNames) {
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

}  // namespace typeloom::platform::fontskey
