#include "fontfile/TrueTypeReader.h"

#include "fontfile/Type1Info.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <memory>

namespace typeloom::fontfile {

namespace {

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

std::uint32_t U32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

// Writes the UTF-8 form of `c` at `out`; returns the end.
char* PutUtf8(char* out, char32_t c) {
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | (c >> 6));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (c >> 12));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (c >> 18));
    *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

// Code points of bytes 0x80..0x9F in Windows-1252; the undefined ones keep their value.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::size_t kHeadBytes = 54;
constexpr std::size_t kHeadMagicOffset = 12;
constexpr std::uint64_t kFsSelectionOffset = 62;
constexpr std::size_t kNameRecordBytes = 12;
// Strings of one name table are fetched in a single read when they lie this close together.
constexpr std::uint64_t kMaxStorageChunk = 1u << 20;

// Reads `count` records starting at `at`, in batches so that a count the data
// cannot hold costs no more than the data. Keeps the whole records before a
// failed read; false when not all were read.
bool ReadNameRecords(ByteSource& source, std::uint64_t at, std::size_t count, std::vector<NameRecord>& names) {
  constexpr std::size_t kBatch = 256;
  auto fill = [&names](const std::uint8_t* p) {
    NameRecord& r = names.emplace_back();
    r.platformId = U16(p);
    r.encodingId = U16(p + 2);
    r.languageId = U16(p + 4);
    r.nameId = U16(p + 6);
    r.length = U16(p + 8);
    r.offset = U16(p + 10);
  };
  std::uint8_t block[kBatch * kNameRecordBytes];
  names.reserve(std::min(count, kBatch));
  for (std::size_t done = 0; done < count;) {
    const std::size_t n = std::min(kBatch, count - done);
    const std::uint64_t from = at + done * kNameRecordBytes;
    if (!source.ReadAt(from, n * kNameRecordBytes, block)) {
      // The batch runs past the end: keep the records that are whole.
      for (std::size_t i = 0; i < n; ++i) {
        if (!source.ReadAt(from + i * kNameRecordBytes, kNameRecordBytes, block)) return false;
        fill(block);
      }
      return false;
    }
    for (std::size_t i = 0; i < n; ++i) fill(block + i * kNameRecordBytes);
    done += n;
  }
  return true;
}

// Reads the name table at `tableOffset` into `tables.names`. False ends the reading.
bool ReadNameTable(ByteSource& source, std::uint64_t tableOffset, std::uint32_t tableLength, FontTables& tables) {
  source.WillRead(tableOffset, tableLength);
  std::uint8_t header[6];
  if (!source.ReadAt(tableOffset, sizeof header, header)) return false;
  const std::uint16_t count = U16(header + 2);
  const std::uint64_t storage = tableOffset + U16(header + 4);
  if (count == 0) return false;

  std::vector<NameRecord> names;
  const bool recordsRead = ReadNameRecords(source, tableOffset + sizeof header, count, names);
  if (!recordsRead) {
    tables.names = std::move(names);
    return false;
  }

  // How many records fit the string budget, and the extent of their strings.
  std::size_t budgeted = 0;
  std::uint64_t total = 0, lo = UINT64_MAX, hi = 0;
  for (; budgeted < names.size(); ++budgeted) {
    const NameRecord& r = names[budgeted];
    if (r.length == 0) continue;
    if (total + r.length > kMaxNameStringBytes) break;
    total += r.length;
    lo = std::min<std::uint64_t>(lo, storage + r.offset);
    hi = std::max<std::uint64_t>(hi, storage + r.offset + r.length);
  }

  bool ok = true;
  std::unique_ptr<std::uint8_t[]> chunk;
  if (total > 0 && hi - lo <= kMaxStorageChunk) {
    chunk = std::make_unique_for_overwrite<std::uint8_t[]>(hi - lo);
    if (!source.ReadAt(lo, hi - lo, chunk.get())) chunk.reset();
  }
  std::vector<std::uint8_t> buffer;
  for (std::size_t i = 0; i < budgeted; ++i) {
    NameRecord& r = names[i];
    if (r.length == 0) continue;
    const std::uint64_t at = storage + r.offset;
    if (chunk) {
      r.text = DecodeNameString({chunk.get() + (at - lo), r.length});
      continue;
    }
    buffer.resize(r.length);
    if (!source.ReadAt(at, buffer.size(), buffer.data())) {
      ok = false;
      break;
    }
    r.text = DecodeNameString(buffer);
  }
  if (budgeted < names.size()) ok = false;
  tables.names = std::move(names);
  return ok;
}

}  // namespace

bool MemoryByteSource::ReadAt(std::uint64_t offset, std::size_t size, std::uint8_t* out) {
  if (offset > data_.size() || size > data_.size() - offset) return false;
  if (size > 0) std::memcpy(out, data_.data() + offset, size);
  return true;
}

FileByteSource::FileByteSource(const std::string& path) {
  file_ = std::fopen(path.c_str(), "rb");
  // Reads are few and exact; a stdio buffer would only copy bytes nobody asked for.
  if (file_ != nullptr) std::setvbuf(file_, nullptr, _IONBF, 0);
}

FileByteSource::~FileByteSource() {
  if (file_ != nullptr) std::fclose(file_);
}

bool FileByteSource::ReadAt(std::uint64_t offset, std::size_t size, std::uint8_t* out) {
  if (file_ == nullptr) return false;
  if (!startRead_ && offset == 0 && size <= kStartBytes) {
    startRead_ = true;
    if (position_ != 0 && std::fseek(file_, 0, SEEK_SET) != 0) return false;
    startSize_ = std::fread(start_, 1, kStartBytes, file_);
    position_ = startSize_;
    std::clearerr(file_);
  }
  if (startRead_ && offset <= startSize_ && size <= startSize_ - offset) {
    if (size > 0) std::memcpy(out, start_ + offset, size);
    return true;
  }
  if (offset >= windowOffset_ && offset - windowOffset_ <= window_.size() &&
      size <= window_.size() - (offset - windowOffset_)) {
    if (size > 0) std::memcpy(out, window_.data() + (offset - windowOffset_), size);
    return true;
  }
  return ReadFile(offset, size, out);
}

void FileByteSource::WillRead(std::uint64_t offset, std::size_t size) {
  if (file_ == nullptr || size == 0 || size > kMaxWindow) return;
  window_.resize(size);
  if (!ReadFile(offset, size, window_.data())) window_.clear();
  windowOffset_ = offset;
}

bool FileByteSource::ReadFile(std::uint64_t offset, std::size_t size, std::uint8_t* out) {
  if (offset > static_cast<std::uint64_t>(LONG_MAX)) return false;
  if (offset != position_) {
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return false;
    position_ = offset;
  }
  const std::size_t got = std::fread(out, 1, size, file_);
  position_ += got;
  if (got != size) {
    std::clearerr(file_);
    return false;
  }
  return true;
}

FontTables ReadTrueTypeTables(ByteSource& source, unsigned faceIndex) {
  FontTables tables;
  std::uint8_t offsetTable[12];
  if (!source.ReadAt(0, sizeof offsetTable, offsetTable)) return tables;
  // A collection starts with its own header; the face's offset table lies where the
  // header's list of faces points. Table offsets count from the start of the file
  // in both cases.
  std::uint64_t faceStart = 0;
  if (std::memcmp(offsetTable, "ttcf", 4) == 0) {
    if (faceIndex >= U32(offsetTable + 8)) return tables;
    std::uint8_t at[4];
    if (!source.ReadAt(12 + std::uint64_t{faceIndex} * 4, sizeof at, at)) return tables;
    faceStart = U32(at);
    if (!source.ReadAt(faceStart, sizeof offsetTable, offsetTable)) return tables;
  } else if (faceIndex != 0) {
    return tables;  // a single face has no other
  }
  const std::uint16_t tableCount = U16(offsetTable + 4);
  if (tableCount == 0) return tables;

  std::vector<std::uint8_t> directory(std::size_t{tableCount} * 16);
  if (!source.ReadAt(faceStart + 12, directory.size(), directory.data())) return tables;
  std::vector<TableRecord> records(tableCount);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::uint8_t* p = directory.data() + i * 16;
    std::memcpy(records[i].tag, p, 4);
    records[i].checksum = U32(p + 4);
    records[i].offset = U32(p + 8);
    records[i].length = U32(p + 12);
  }

  const auto head = std::find_if(records.begin(), records.end(), [](const TableRecord& r) { return r.HasTag("head"); });
  if (head == records.end()) return tables;
  std::uint8_t headTable[kHeadBytes];
  if (!source.ReadAt(head->offset, sizeof headTable, headTable)) return tables;
  tables.validTrueType = U32(headTable + kHeadMagicOffset) == kHeadMagic;
  if (!tables.validTrueType) return tables;

  for (const TableRecord& r : records) {
    if (r.HasTag("name")) {
      if (!ReadNameTable(source, r.offset, r.length, tables)) return tables;
    } else if (r.HasTag("OS/2")) {
      std::uint8_t word[2];
      if (!source.ReadAt(std::uint64_t{r.offset} + kFsSelectionOffset, sizeof word, word)) return tables;
      tables.selectionFlags = U16(word);
    }
  }
  return tables;
}

FontTables ReadTrueTypeTables(std::span<const std::uint8_t> data, unsigned faceIndex) {
  MemoryByteSource source(data);
  return ReadTrueTypeTables(source, faceIndex);
}

FontTables ReadTrueTypeTables(const std::string& path, unsigned faceIndex) {
  FileByteSource source(path);
  if (!source.IsOpen()) return {};
  return ReadTrueTypeTables(source, faceIndex);
}

FontTables ReadFontFile(ByteSource& source, unsigned faceIndex) {
  std::uint8_t start[kType1SignatureBytes];
  if (source.ReadAt(0, sizeof start, start) && IsType1Start(start)) return ReadType1Info(source);
  return ReadTrueTypeTables(source, faceIndex);
}

FontTables ReadFontFile(std::span<const std::uint8_t> data, unsigned faceIndex) {
  MemoryByteSource source(data);
  return ReadFontFile(source, faceIndex);
}

FontTables ReadFontFile(const std::string& path, unsigned faceIndex) {
  FileByteSource source(path);
  if (!source.IsOpen()) return {};
  return ReadFontFile(source, faceIndex);
}

std::string DecodeUtf16Be(std::span<const std::uint8_t> bytes) {
  const std::size_t units = bytes.size() / 2;
  const std::uint8_t* p = bytes.data();
  // Most names (licences, descriptions) are plain ASCII: checked and narrowed in two
  // branch-free passes the compiler vectorises.
  unsigned high = 0;
  for (std::size_t i = 0; i < units; ++i) high |= p[2 * i] | (p[2 * i + 1] & 0x80u);
  if (high == 0) {
    std::string ascii(units, '\0');
    for (std::size_t i = 0; i < units; ++i) ascii[i] = static_cast<char>(p[2 * i + 1]);
    return ascii;
  }
  std::string out(units * 3, '\0');  // a unit gives at most 3 bytes; a pair of them 4
  char* end = out.data();
  for (std::size_t i = 0; i < units; ++i) {
    const char16_t u = U16(p + 2 * i);
    if (u < 0x80) {
      *end++ = static_cast<char>(u);
      continue;
    }
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      const char16_t next = U16(p + 2 * (i + 1));
      if (next >= 0xDC00 && next <= 0xDFFF) {
        end = PutUtf8(end, 0x10000 + ((char32_t{u} - 0xD800) << 10) + (char32_t{next} - 0xDC00));
        ++i;
        continue;
      }
    }
    end = PutUtf8(end, (u >= 0xD800 && u <= 0xDFFF) ? char32_t{0xFFFD} : char32_t{u});
  }
  out.resize(static_cast<std::size_t>(end - out.data()));
  return out;
}

std::string DecodeWindows1252(std::span<const std::uint8_t> bytes) {
  std::string out(bytes.size() * 3, '\0');
  char* end = out.data();
  for (const std::uint8_t b : bytes) {
    if (b < 0x80) {
      *end++ = static_cast<char>(b);
    } else {
      end = PutUtf8(end, b <= 0x9F ? char32_t{kCp1252High[b - 0x80]} : char32_t{b});
    }
  }
  out.resize(static_cast<std::size_t>(end - out.data()));
  return out;
}

std::string DecodeNameString(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return {};
  return bytes[0] == 0 ? DecodeUtf16Be(bytes) : DecodeWindows1252(bytes);
}

}  // namespace typeloom::fontfile
