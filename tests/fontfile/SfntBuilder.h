#pragma once
// Builds sfnt files byte by byte, including malformed ones, for the reader's tests.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace typeloom::testing {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v >> 8));
  b.push_back(static_cast<std::uint8_t>(v));
}
inline void PutU32(Bytes& b, std::uint32_t v) {
  PutU16(b, v >> 16);
  PutU16(b, v & 0xFFFF);
}
inline void SetU16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v >> 8);
  b[at + 1] = static_cast<std::uint8_t>(v);
}
inline void SetU32(Bytes& b, std::size_t at, std::uint32_t v) {
  SetU16(b, at, v >> 16);
  SetU16(b, at + 2, v & 0xFFFF);
}

inline Bytes Utf16(std::u16string_view s) {
  Bytes b;
  for (char16_t c : s) PutU16(b, c);
  return b;
}
inline Bytes Latin(std::string_view s) { return Bytes(s.begin(), s.end()); }

inline Bytes HeadTable(std::uint32_t magic = 0x5F0F3CF5u) {
  Bytes b(54, 0);
  SetU32(b, 0, 0x00010000);
  SetU32(b, 12, magic);
  return b;
}

inline Bytes Os2Table(std::uint16_t fsSelection) {
  Bytes b(96, 0);
  SetU16(b, 62, fsSelection);
  return b;
}

struct NameEntry {
  std::uint16_t platform = 3, encoding = 1, language = 0x0409, nameId = 1;
  Bytes text;
  // Where the string goes within the storage; -1 places it after the previous one.
  int offset = -1;
  int lengthOverride = -1;  // a length field that differs from the text size
};

inline NameEntry Win(std::uint16_t nameId, std::u16string_view text, std::uint16_t language = 0x0409) {
  return {3, 1, language, nameId, Utf16(text)};
}
inline NameEntry Mac(std::uint16_t nameId, std::string_view text) { return {1, 0, 0, nameId, Latin(text)}; }

// A name table; `storagePad` zero bytes go between the records and the strings.
inline Bytes NameTable(const std::vector<NameEntry>& entries, std::uint32_t storagePad = 0,
                       int countOverride = -1) {
  Bytes b;
  PutU16(b, 0);
  PutU16(b, countOverride >= 0 ? static_cast<std::uint32_t>(countOverride) : entries.size());
  const std::uint32_t storage = 6 + 12 * static_cast<std::uint32_t>(entries.size()) + storagePad;
  PutU16(b, storage);
  Bytes strings;
  std::vector<std::uint32_t> offsets;
  for (const NameEntry& e : entries) {
    std::uint32_t at = e.offset >= 0 ? static_cast<std::uint32_t>(e.offset) : static_cast<std::uint32_t>(strings.size());
    if (!e.text.empty() && strings.size() < at + e.text.size()) strings.resize(at + e.text.size(), 0);
    std::copy(e.text.begin(), e.text.end(), strings.begin() + at);
    offsets.push_back(at);
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const NameEntry& e = entries[i];
    PutU16(b, e.platform);
    PutU16(b, e.encoding);
    PutU16(b, e.language);
    PutU16(b, e.nameId);
    PutU16(b, e.lengthOverride >= 0 ? static_cast<std::uint32_t>(e.lengthOverride) : e.text.size());
    PutU16(b, offsets[i]);
  }
  b.resize(b.size() + storagePad, 0);
  b.insert(b.end(), strings.begin(), strings.end());
  return b;
}

struct Table {
  std::string tag;
  Bytes data;
  long long offsetOverride = -1;  // a directory offset that differs from where the data is
};

// Offset table, directory and the tables in order, each 4-byte aligned.
inline Bytes Sfnt(const std::vector<Table>& tables, int numTablesOverride = -1) {
  Bytes b;
  PutU32(b, 0x00010000);
  PutU16(b, numTablesOverride >= 0 ? static_cast<std::uint32_t>(numTablesOverride) : tables.size());
  PutU16(b, 0);
  PutU16(b, 0);
  PutU16(b, 0);
  const std::size_t directory = b.size();
  b.resize(b.size() + 16 * tables.size(), 0);
  for (std::size_t i = 0; i < tables.size(); ++i) {
    while (b.size() % 4 != 0) b.push_back(0);
    const std::size_t at = b.size();
    b.insert(b.end(), tables[i].data.begin(), tables[i].data.end());
    const std::size_t rec = directory + 16 * i;
    for (std::size_t k = 0; k < 4; ++k) b[rec + k] = k < tables[i].tag.size() ? static_cast<std::uint8_t>(tables[i].tag[k]) : ' ';
    SetU32(b, rec + 8, tables[i].offsetOverride >= 0 ? static_cast<std::uint32_t>(tables[i].offsetOverride)
                                                     : static_cast<std::uint32_t>(at));
    SetU32(b, rec + 12, static_cast<std::uint32_t>(tables[i].data.size()));
  }
  return b;
}

// A collection (`ttcf`) of fonts built by Sfnt: the header, then each font with its
// table offsets moved to count from the start of the collection.
inline Bytes Ttc(const std::vector<Bytes>& faces) {
  Bytes b;
  for (char c : std::string_view("ttcf")) b.push_back(static_cast<std::uint8_t>(c));
  PutU32(b, 0x00010000);
  PutU32(b, static_cast<std::uint32_t>(faces.size()));
  const std::size_t list = b.size();
  b.resize(b.size() + 4 * faces.size(), 0);
  for (std::size_t f = 0; f < faces.size(); ++f) {
    while (b.size() % 4 != 0) b.push_back(0);
    const std::size_t start = b.size();
    SetU32(b, list + 4 * f, static_cast<std::uint32_t>(start));
    b.insert(b.end(), faces[f].begin(), faces[f].end());
    const std::size_t tables = (std::size_t{faces[f][4]} << 8) | faces[f][5];
    for (std::size_t i = 0; i < tables; ++i) {
      const std::size_t rec = start + 12 + 16 * i + 8;
      const std::uint32_t at = (std::uint32_t{b[rec]} << 24) | (std::uint32_t{b[rec + 1]} << 16) |
                               (std::uint32_t{b[rec + 2]} << 8) | b[rec + 3];
      SetU32(b, rec, at + static_cast<std::uint32_t>(start));
    }
  }
  return b;
}

// Where table `index` of a file built by Sfnt starts, read back from its directory.
inline std::size_t TableOffset(const Bytes& font, std::size_t index) {
  const std::size_t rec = 12 + 16 * index + 8;
  return (std::size_t{font[rec]} << 24) | (std::size_t{font[rec + 1]} << 16) | (std::size_t{font[rec + 2]} << 8) |
         font[rec + 3];
}

}  // namespace typeloom::testing
