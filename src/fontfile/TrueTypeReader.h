#pragma once
// Reads the table directory, the head magic number, the name table and the OS/2
// fsSelection word of a TrueType/OpenType file or of one face of a collection, and
// the names a Type 1 font keeps in its font dictionary (Type1Info.h). Standard library only, so it can
// run over untrusted bytes in a fuzzer as well as over files.
//
// Every read is bounds-checked: a read that would run past the end of the data
// ends the reading, and whatever was stored before it stays. Only the bytes that
// are needed are read (directory, head, name table, two bytes of OS/2), by seeking,
// so a large font costs what a small one costs.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace typeloom::fontfile {

inline constexpr std::uint32_t kHeadMagic = 0x5F0F3CF5u;

// One record of the table directory.
struct TableRecord {
  char tag[4] = {0, 0, 0, 0};
  std::uint32_t checksum = 0;
  std::uint32_t offset = 0;
  std::uint32_t length = 0;

  bool HasTag(std::string_view t) const { return t.size() == 4 && std::string_view(tag, 4) == t; }
};

// One record of the name table, with its text decoded to UTF-8.
struct NameRecord {
  std::uint16_t platformId = 0;
  std::uint16_t encodingId = 0;
  std::uint16_t languageId = 0;
  std::uint16_t nameId = 0;
  std::uint16_t length = 0;
  std::uint16_t offset = 0;
  std::string text;
};

// The result of reading one file.
struct FontTables {
  bool validTrueType = false;           // head magic number matched
  std::vector<NameRecord> names;        // the records read, in file order; empty until a name table was read
  std::uint16_t selectionFlags = 0;     // OS/2 fsSelection; 0 until an OS/2 table was read
};

// Random-access source of bytes. ReadAt fills exactly `size` bytes or fails
// without reading outside the data.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual bool ReadAt(std::uint64_t offset, std::size_t size, std::uint8_t* out) = 0;
  // Says that reads within this range follow, so a source may fetch it at once.
  // Only a hint: what ReadAt returns does not depend on it.
  virtual void WillRead(std::uint64_t /*offset*/, std::size_t /*size*/) {}
};

// Bytes held in memory.
class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::span<const std::uint8_t> data) : data_(data) {}
  bool ReadAt(std::uint64_t offset, std::size_t size, std::uint8_t* out) override;

 private:
  std::span<const std::uint8_t> data_;
};

// A file opened read-only and unbuffered. The first read at offset 0 takes the
// start of the file at once (offset table and directory), a WillRead range is
// fetched in one read, and a read that continues where the last one ended needs no
// seek.
class FileByteSource final : public ByteSource {
 public:
  explicit FileByteSource(const std::string& path);
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  bool ReadAt(std::uint64_t offset, std::size_t size, std::uint8_t* out) override;
  void WillRead(std::uint64_t offset, std::size_t size) override;

 private:
  static constexpr std::size_t kStartBytes = 1024;
  static constexpr std::size_t kMaxWindow = 1u << 20;

  bool ReadFile(std::uint64_t offset, std::size_t size, std::uint8_t* out);

  std::FILE* file_ = nullptr;
  std::uint64_t position_ = 0;       // where the next read begins without a seek
  std::uint8_t start_[kStartBytes];  // the first bytes of the file, once read
  std::size_t startSize_ = 0;
  bool startRead_ = false;
  std::vector<std::uint8_t> window_;  // a WillRead range, once fetched
  std::uint64_t windowOffset_ = 0;
};

// Reads face `faceIndex` of an sfnt: a TrueType- or CFF-outline font (any sfnt
// version), or a collection (`ttcf`), whose faces are numbered from 0. A single
// font has only face 0; asking for another face, or for one past a collection's
// end, yields an empty (invalid) result.
FontTables ReadTrueTypeTables(ByteSource& source, unsigned faceIndex = 0);
FontTables ReadTrueTypeTables(std::span<const std::uint8_t> data, unsigned faceIndex = 0);
// A file that cannot be opened yields an empty (invalid) result.
FontTables ReadTrueTypeTables(const std::string& path, unsigned faceIndex = 0);

// Any font file: a Type 1 font (Type1Info.h) by its own reader, anything else as an sfnt.
FontTables ReadFontFile(ByteSource& source, unsigned faceIndex = 0);
FontTables ReadFontFile(std::span<const std::uint8_t> data, unsigned faceIndex = 0);
FontTables ReadFontFile(const std::string& path, unsigned faceIndex = 0);

// Text decoders used for name strings, exposed for tests.
// UTF-16BE: surrogate pairs combine, an unpaired surrogate becomes U+FFFD, an odd
// final byte is dropped.
std::string DecodeUtf16Be(std::span<const std::uint8_t> bytes);
// Windows-1252; its five undefined bytes map to the C1 code points of the same value.
std::string DecodeWindows1252(std::span<const std::uint8_t> bytes);
// The name-string rule: a first byte of 0 means UTF-16BE, anything else single-byte.
std::string DecodeNameString(std::span<const std::uint8_t> bytes);

// Upper bound on the string bytes read from one name table. Real tables hold a few
// kilobytes; overlapping records in a hostile file could otherwise ask for gigabytes.
inline constexpr std::uint64_t kMaxNameStringBytes = 8u * 1024u * 1024u;

}  // namespace typeloom::fontfile
