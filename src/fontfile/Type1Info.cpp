#include "fontfile/Type1Info.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace typeloom::fontfile {

namespace {

constexpr std::uint16_t kWindowsPlatform = 3;
constexpr std::uint16_t kUnicodeBmp = 1;
constexpr std::uint16_t kUsEnglish = 0x0409;
constexpr std::size_t kMaxStringBytes = 65535;  // a name record's length field
constexpr std::size_t kChunk = 4096;

bool IsSpace(std::uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == 0; }

bool IsDelimiter(std::uint8_t c) {
  return IsSpace(c) || c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' ||
         c == '}' || c == '/' || c == '%';
}

struct Token {
  enum class Kind { End, Name, String, Other };
  Kind kind = Kind::End;
  std::string bytes;  // a name without its slash, a string decoded, other tokens as written
};

// A PostScript tokenizer over clear text: comments skipped, strings decoded.
class Tokenizer {
 public:
  explicit Tokenizer(std::span<const std::uint8_t> text) : text_(text) {}

  Token Next() {
    SkipSpaceAndComments();
    Token token;
    if (at_ >= text_.size()) return token;
    const std::uint8_t c = text_[at_];
    if (c == '(') {
      ++at_;
      token.kind = Token::Kind::String;
      ReadString(token.bytes);
    } else if (c == '/') {
      ++at_;
      token.kind = Token::Kind::Name;
      ReadRegular(token.bytes);
    } else if (c == '<' && at_ + 1 < text_.size() && text_[at_ + 1] != '<') {
      // A hex string: skipped whole, its value is not needed.
      token.kind = Token::Kind::Other;
      while (at_ < text_.size() && text_[at_] != '>') ++at_;
      if (at_ < text_.size()) ++at_;
    } else if (IsDelimiter(c)) {
      token.kind = Token::Kind::Other;
      token.bytes.assign(1, static_cast<char>(c));
      ++at_;
      if ((c == '<' || c == '>') && at_ < text_.size() && text_[at_] == c) ++at_;  // << and >>
    } else {
      token.kind = Token::Kind::Other;
      ReadRegular(token.bytes);
    }
    return token;
  }

 private:
  void SkipSpaceAndComments() {
    while (at_ < text_.size()) {
      if (IsSpace(text_[at_])) {
        ++at_;
      } else if (text_[at_] == '%') {
        while (at_ < text_.size() && text_[at_] != '\r' && text_[at_] != '\n') ++at_;
      } else {
        break;
      }
    }
  }

  void ReadRegular(std::string& out) {
    const std::size_t from = at_;
    while (at_ < text_.size() && !IsDelimiter(text_[at_])) ++at_;
    out.assign(reinterpret_cast<const char*>(text_.data()) + from, at_ - from);
  }

  // After the opening parenthesis, up to and past the balancing one (or the end).
  void ReadString(std::string& out) {
    int depth = 1;
    auto put = [&out](std::uint8_t b) {
      if (out.size() < kMaxStringBytes) out.push_back(static_cast<char>(b));
    };
    while (at_ < text_.size()) {
      const std::uint8_t c = text_[at_++];
      if (c == '(') {
        ++depth;
      } else if (c == ')') {
        if (--depth == 0) return;
      } else if (c == '\\') {
        if (at_ >= text_.size()) return;
        const std::uint8_t e = text_[at_++];
        switch (e) {
          case 'n': put('\n'); continue;
          case 'r': put('\r'); continue;
          case 't': put('\t'); continue;
          case 'b': put('\b'); continue;
          case 'f': put('\f'); continue;
          case '\r':  // a line continued: the break is no part of the string
            if (at_ < text_.size() && text_[at_] == '\n') ++at_;
            continue;
          case '\n': continue;
          default: break;
        }
        if (e >= '0' && e <= '7') {
          unsigned value = e - '0';
          for (int i = 0; i < 2 && at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '7'; ++i) {
            value = value * 8 + (text_[at_++] - '0');
          }
          put(static_cast<std::uint8_t>(value & 0xFF));
          continue;
        }
        put(e);  // \\, \(, \) and any other character stand for themselves
        continue;
      }
      put(c);
    }
  }

  std::span<const std::uint8_t> text_;
  std::size_t at_ = 0;
};

// Reads up to `max` bytes at `offset`, as many as the source holds.
std::vector<std::uint8_t> ReadPrefix(ByteSource& source, std::uint64_t offset, std::size_t max) {
  std::vector<std::uint8_t> out;
  std::size_t want = std::min(kChunk, max);
  bool endSeen = false;  // a read failed: the data ends within `want` bytes
  while (want > 0 && out.size() < max) {
    const std::size_t at = out.size();
    out.resize(at + want);
    if (source.ReadAt(offset + at, want, out.data() + at)) {
      // Stop once the clear text has ended: nothing after `eexec` is read.
      const std::string_view seen(reinterpret_cast<const char*>(out.data()), out.size());
      if (seen.find("eexec", at >= 5 ? at - 5 : 0) != std::string_view::npos) break;
      want = std::min(endSeen ? want : kChunk, max - out.size());
    } else {
      out.resize(at);
      endSeen = true;
      want /= 2;
    }
  }
  return out;
}

}  // namespace

bool IsType1Start(std::span<const std::uint8_t, kType1SignatureBytes> start) {
  if (start[0] == 0x80 && start[1] == 0x01) return true;
  const std::string_view text(reinterpret_cast<const char*>(start.data()), start.size());
  return text.starts_with("%!PS-AdobeFont") || text.starts_with("%!FontType1");
}

FontTables ParseType1ClearText(std::span<const std::uint8_t> text) {
  enum Key { kVersion, kNotice, kCopyright, kFullName, kFamilyName, kWeight, kFontName, kKeys };
  static constexpr std::array<std::string_view, kKeys> kNames = {"version",    "Notice", "Copyright", "FullName",
                                                                 "FamilyName", "Weight", "FontName"};
  std::array<std::optional<std::string>, kKeys> values;
  Tokenizer tokens(text);
  Key pending = kKeys;  // the key whose value comes next; kKeys: none
  for (Token t = tokens.Next(); t.kind != Token::Kind::End; t = tokens.Next()) {
    if (t.kind == Token::Kind::Other && t.bytes == "eexec") break;
    if (pending != kKeys) {
      const Key key = pending;
      pending = kKeys;
      const bool wanted = key == kFontName ? t.kind == Token::Kind::Name : t.kind == Token::Kind::String;
      if (wanted && !values[key]) {
        values[key] = std::move(t.bytes);
        continue;
      }
    }
    if (t.kind == Token::Kind::Name) {
      const auto it = std::find(kNames.begin(), kNames.end(), t.bytes);
      if (it != kNames.end()) pending = static_cast<Key>(it - kNames.begin());
    }
  }

  FontTables tables;
  if (!values[kNotice] || values[kNotice]->empty()) values[kNotice] = values[kCopyright];
  const std::pair<std::uint16_t, Key> kRecords[] = {{0, kNotice},   {1, kFamilyName}, {2, kWeight},
                                                     {4, kFullName}, {5, kVersion},    {6, kFontName}};
  for (const auto& [nameId, key] : kRecords) {
    if (!values[key] || values[key]->empty()) continue;
    const std::string& all = *values[key];
    const std::string_view bytes(all.data(), std::min(all.size(), kMaxStringBytes));
    NameRecord r;
    r.platformId = kWindowsPlatform;
    r.encodingId = kUnicodeBmp;
    r.languageId = kUsEnglish;
    r.nameId = nameId;
    r.length = static_cast<std::uint16_t>(bytes.size());
    r.text = DecodeWindows1252({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    tables.names.push_back(std::move(r));
  }
  return tables;
}

FontTables ReadType1Info(ByteSource& source) {
  std::uint8_t start[kType1SignatureBytes];
  if (!source.ReadAt(0, sizeof start, start) || !IsType1Start(start)) return {};
  if (start[0] == 0x80) {
    // PFB: segments of a 6-byte header (0x80, type, little-endian length); the first
    // holds the clear text.
    const std::uint32_t length = std::uint32_t{start[2]} | std::uint32_t{start[3]} << 8 |
                                 std::uint32_t{start[4]} << 16 | std::uint32_t{start[5]} << 24;
    const std::vector<std::uint8_t> text = ReadPrefix(source, 6, std::min<std::size_t>(length, kMaxType1ClearText));
    return ParseType1ClearText(text);
  }
  const std::vector<std::uint8_t> text = ReadPrefix(source, 0, kMaxType1ClearText);
  return ParseType1ClearText(text);
}

FontTables ReadType1Info(std::span<const std::uint8_t> data) {
  MemoryByteSource source(data);
  return ReadType1Info(source);
}

}  // namespace typeloom::fontfile
