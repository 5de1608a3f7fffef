#include "fontfile/TrueTypeReader.h"

#include "fontfile/SfntBuilder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace typeloom::testing {
namespace {

using fontfile::FontTables;
using fontfile::ReadTrueTypeTables;

FontTables Read(const Bytes& b) { return ReadTrueTypeTables(std::span<const std::uint8_t>(b.data(), b.size())); }

std::vector<std::string> Texts(const FontTables& t) {
  std::vector<std::string> out;
  for (const auto& r : t.names) out.push_back(r.text);
  return out;
}

Bytes StandardFont() {
  return Sfnt({{"OS/2", Os2Table(0x0021)},
               {"head", HeadTable()},
               {"name", NameTable({Mac(1, "Arial"), Win(0, u"\u00A9 Maker"), Win(1, u"Arial"), Win(2, u"Bold")})}});
}

// ---- decoding ----

struct DecodeCase {
  const char* what;
  Bytes bytes;
  std::string expected;
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.what; }

class DecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, DecodesNameStringToUtf8) {
  EXPECT_EQ(fontfile::DecodeNameString(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    NameStrings, DecodeTest,
    ::testing::Values(
        DecodeCase{"utf16_arial", {0x00, 0x41, 0x00, 0x72, 0x00, 0x69, 0x00, 0x61, 0x00, 0x6C}, "Arial"},
        DecodeCase{"single_byte_arial", {0x41, 0x72, 0x69, 0x61, 0x6C}, "Arial"},
        DecodeCase{"empty", {}, ""},
        DecodeCase{"utf16_odd_final_byte_dropped", {0x00, 0x41, 0x00, 0x42, 0x00}, "AB"},
        DecodeCase{"utf16_bmp", {0x00, 0xE9, 0x20, 0xAC}, "\xC3\xA9\xE2\x82\xAC"},
        DecodeCase{"utf16_surrogate_pair", {0x00, 0x41, 0xD8, 0x3D, 0xDE, 0x00}, "A\xF0\x9F\x98\x80"},
        DecodeCase{"utf16_lone_high_at_end", {0x00, 0x41, 0xD8, 0x3D}, "A\xEF\xBF\xBD"},
        DecodeCase{"utf16_high_then_letter", {0x00, 0x41, 0xD8, 0x3D, 0x00, 0x42}, "A\xEF\xBF\xBD" "B"},
        DecodeCase{"utf16_lone_low", {0x00, 0x41, 0xDE, 0x00, 0x00, 0x42}, "A\xEF\xBF\xBD" "B"},
        DecodeCase{"utf16_two_highs", {0x00, 0x41, 0xD8, 0x00, 0xD8, 0x3D, 0xDE, 0x00},
                   "A\xEF\xBF\xBD\xF0\x9F\x98\x80"},
        // Plain ASCII takes a shortcut; one unit outside it anywhere sends the whole
        // string the long way.
        DecodeCase{"utf16_ascii_then_u0080", {0x00, 0x41, 0x00, 0x42, 0x00, 0x80}, "AB\xC2\x80"},
        DecodeCase{"utf16_ascii_then_high_byte", {0x00, 0x41, 0x01, 0x41, 0x00, 0x42}, "A\xC5\x81" "B"},
        DecodeCase{"utf16_embedded_zero_kept", {0x00, 0x41, 0x00, 0x00, 0x00, 0x42}, std::string("A\0B", 3)},
        // The first byte alone picks the decoding.
        DecodeCase{"utf16_first_char_above_ff_reads_as_single_byte", {0x4E, 0x00}, std::string("N\0", 2)},
        DecodeCase{"single_byte_starting_with_zero_reads_as_utf16", {0x00, 0x41, 0x42}, "A"},
        DecodeCase{"cp1252_euro", {0x80}, "\xE2\x82\xAC"},
        DecodeCase{"cp1252_quotes", {0x93, 0x94}, "\xE2\x80\x9C\xE2\x80\x9D"},
        DecodeCase{"cp1252_undefined_keep_c1", {0x81, 0x8D, 0x8F, 0x90, 0x9D}, "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        DecodeCase{"cp1252_y_diaeresis", {0x9F, 0xFF}, "\xC5\xB8\xC3\xBF"},
        DecodeCase{"cp1252_latin1_range", {0xA9, 0xE9}, "\xC2\xA9\xC3\xA9"}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- whole files ----

TEST(ReaderTest, StandardFontGivesEveryRecordAndTheStyleWord) {
  const FontTables t = Read(StandardFont());
  EXPECT_TRUE(t.validTrueType);
  EXPECT_EQ(t.selectionFlags, 0x0021);
  ASSERT_EQ(t.names.size(), 4u);
  EXPECT_THAT(Texts(t), ::testing::ElementsAre("Arial", "\xC2\xA9 Maker", "Arial", "Bold"));
  EXPECT_EQ(t.names[0].platformId, 1);
  EXPECT_EQ(t.names[3].platformId, 3);
  EXPECT_EQ(t.names[3].encodingId, 1);
  EXPECT_EQ(t.names[3].languageId, 0x0409);
  EXPECT_EQ(t.names[3].nameId, 2);
  EXPECT_EQ(t.names[3].length, 8);
}

TEST(ReaderTest, FileAndMemoryReadTheSame) {
  const Bytes font = StandardFont();
  const auto path = std::filesystem::temp_directory_path() / "typeloom-reader-test.ttf";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(font.data()), static_cast<std::streamsize>(font.size()));
  const FontTables fromFile = ReadTrueTypeTables(path.string());
  std::filesystem::remove(path);
  EXPECT_TRUE(fromFile.validTrueType);
  EXPECT_EQ(fromFile.selectionFlags, 0x0021);
  EXPECT_EQ(Texts(fromFile), Texts(Read(font)));
}

TEST(FileSourceTest, ReadsLikeMemoryAcrossTheStartBlock) {
  Bytes data(3000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  const auto path = std::filesystem::temp_directory_path() / "typeloom-source-test.bin";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  fontfile::MemoryByteSource memory(std::span<const std::uint8_t>(data.data(), data.size()));
  const std::pair<std::uint64_t, std::size_t> reads[] = {
      {0, 12}, {12, 320}, {1000, 100}, {1100, 50}, {2990, 20}, {2990, 10}, {5, 3}, {0, 2000}, {3000, 0},
      {1ull << 40, 4}, {2000, 1000}, {1023, 2}, {899, 2}, {1199, 2}};
  // No hint, a hint inside the file, and one that runs past its end.
  for (const auto& [hintAt, hintSize] : {std::pair<std::uint64_t, std::size_t>{0, 0}, {900, 300}, {2900, 500}}) {
    fontfile::FileByteSource file(path.string());
    file.WillRead(hintAt, hintSize);
    for (const auto& [offset, size] : reads) {
      Bytes a(size, 0xEE), b(size, 0xEE);
      const bool read = file.ReadAt(offset, size, a.data());
      EXPECT_EQ(read, memory.ReadAt(offset, size, b.data())) << hintAt << ": " << offset << "+" << size;
      if (read) {
        EXPECT_EQ(a, b) << hintAt << ": " << offset << "+" << size;
      }
    }
  }
  std::filesystem::remove(path);
}

TEST(ReaderTest, MissingPathAndDirectoryGiveNothing) {
  for (const std::string& path : {std::string("/nonexistent/typeloom/font.ttf"), std::filesystem::temp_directory_path().string(),
                                 std::string()}) {
    const FontTables t = ReadTrueTypeTables(path);
    EXPECT_FALSE(t.validTrueType) << path;
    EXPECT_TRUE(t.names.empty()) << path;
  }
}

// Counts what is read, to show the reader seeks to what it needs.
class CountingSource final : public fontfile::ByteSource {
 public:
  explicit CountingSource(const Bytes& b) : inner_(std::span<const std::uint8_t>(b.data(), b.size())) {}
  bool ReadAt(std::uint64_t offset, std::size_t size, std::uint8_t* out) override {
    bytes += size;
    ++reads;
    return inner_.ReadAt(offset, size, out);
  }
  std::size_t bytes = 0, reads = 0;

 private:
  fontfile::MemoryByteSource inner_;
};

TEST(ReaderTest, ReadsOnlyTheTablesItNeeds) {
  const Bytes font = Sfnt({{"glyf", Bytes(4 << 20, 0xAB)},
                           {"head", HeadTable()},
                           {"name", NameTable({Win(1, u"Big"), Win(5, u"Version 1.0")})},
                           {"OS/2", Os2Table(0x40)}});
  CountingSource source(font);
  const FontTables t = fontfile::ReadTrueTypeTables(source);
  EXPECT_TRUE(t.validTrueType);
  EXPECT_EQ(t.names.size(), 2u);
  EXPECT_LT(source.bytes, 256u);
  EXPECT_LE(source.reads, 8u);
}

// ---- failure rules, table by table ----

struct FileCase {
  const char* what;
  Bytes file;
  bool valid;
  std::vector<std::string> texts;
  std::uint16_t flags;
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.what; }

class MalformedTest : public ::testing::TestWithParam<FileCase> {};

TEST_P(MalformedTest, ReadsWhatTheRulesAllow) {
  const FontTables t = Read(GetParam().file);
  EXPECT_EQ(t.validTrueType, GetParam().valid);
  EXPECT_EQ(Texts(t), GetParam().texts);
  EXPECT_EQ(t.selectionFlags, GetParam().flags);
}

Bytes WithU16(Bytes b, std::size_t at, std::uint16_t v) {
  SetU16(b, at, v);
  return b;
}
Bytes Truncated(Bytes b, std::size_t size) {
  b.resize(size);
  return b;
}
Bytes Collection() {
  Bytes b = Latin("ttcf");
  PutU32(b, 0x00010000);
  PutU32(b, 1);
  PutU32(b, 16);
  const Bytes inner = StandardFont();
  b.insert(b.end(), inner.begin(), inner.end());
  return b;
}
Bytes Bitmap() {
  Bytes b = Latin("MZ");
  b.resize(512, 0);
  SetU32(b, 60, 128);
  b[128] = 'N';
  b[129] = 'E';
  return b;
}

const std::vector<std::string> kNone;
const std::vector<std::string> kStandard = {"Arial", "\xC2\xA9 Maker", "Arial", "Bold"};

INSTANTIATE_TEST_SUITE_P(
    OffsetTableAndDirectory, MalformedTest,
    ::testing::Values(
        FileCase{"empty_file", {}, false, kNone, 0},
        FileCase{"shorter_than_offset_table", {0, 1, 0, 0, 0, 3}, false, kNone, 0},
        FileCase{"zero_tables", WithU16(StandardFont(), 4, 0), false, kNone, 0},
        FileCase{"table_count_65535", WithU16(StandardFont(), 4, 65535), false, kNone, 0},
        FileCase{"directory_truncated", Truncated(StandardFont(), 12 + 16 * 2 + 8), false, kNone, 0},
        FileCase{"collection_file", Collection(), false, kNone, 0},
        FileCase{"bitmap_file", Bitmap(), false, kNone, 0},
        FileCase{"text_file", Latin("This is not a font file at all.\n"), false, kNone, 0}),
    [](const auto& info) { return std::string(info.param.what); });

INSTANTIATE_TEST_SUITE_P(
    HeadTable, MalformedTest,
    ::testing::Values(
        FileCase{"wrong_magic_reads_nothing_more",
                 Sfnt({{"head", HeadTable(0x5F0F3CF4)}, {"name", NameTable({Win(1, u"X")})}, {"OS/2", Os2Table(0x21)}}),
                 false, kNone, 0},
        FileCase{"no_head", Sfnt({{"name", NameTable({Win(1, u"X")})}, {"OS/2", Os2Table(0x21)}}), false, kNone, 0},
        FileCase{"head_in_other_case", Sfnt({{"Head", HeadTable()}, {"name", NameTable({Win(1, u"X")})}}), false, kNone, 0},
        FileCase{"only_first_head_counts",
                 Sfnt({{"head", HeadTable(0)}, {"head", HeadTable()}, {"name", NameTable({Win(1, u"X")})}}), false, kNone,
                 0},
        FileCase{"first_head_good_second_bad",
                 Sfnt({{"head", HeadTable()}, {"head", HeadTable(0)}, {"name", NameTable({Win(1, u"X")})}}), true, {"X"}, 0},
        FileCase{"head_offset_past_end", Sfnt({{"head", HeadTable(), 0xFFFFFFF0}, {"name", NameTable({Win(1, u"X")})}}),
                 false, kNone, 0},
        FileCase{"head_cut_short", Sfnt({{"name", NameTable({Win(1, u"X")})}, {"head", Truncated(HeadTable(), 20)}}),
                 false, kNone, 0}),
    [](const auto& info) { return std::string(info.param.what); });

Bytes NameWithStorageOffset(std::uint32_t pad) {
  return Sfnt({{"head", HeadTable()}, {"name", NameTable({Win(1, u"Far"), Win(5, u"Away")}, pad)}});
}
Bytes NameWithRecordOffset(int offset) {
  NameEntry far = Win(1, u"Far");
  far.offset = offset;
  NameEntry near = Win(5, u"Near");
  near.offset = 0;
  return Sfnt({{"head", HeadTable()}, {"name", NameTable({far, near})}});
}

INSTANTIATE_TEST_SUITE_P(
    NameTable, MalformedTest,
    ::testing::Values(
        FileCase{"zero_records", Sfnt({{"head", HeadTable()}, {"name", NameTable({})}, {"OS/2", Os2Table(1)}}), true, kNone,
                 0},
        FileCase{"zero_records_keeps_earlier_table",
                 Sfnt({{"head", HeadTable()}, {"name", NameTable({Win(1, u"A")})}, {"name", NameTable({})}}), true, {"A"}, 0},
        FileCase{"second_name_table_replaces_first",
                 Sfnt({{"head", HeadTable()}, {"name", NameTable({Win(1, u"A"), Win(2, u"B")})},
                       {"name", NameTable({Win(1, u"C")})}}),
                 true, {"C"}, 0},
        FileCase{"name_in_other_case", Sfnt({{"head", HeadTable()}, {"NAME", NameTable({Win(1, u"A")})}}), true, kNone, 0},
        FileCase{"name_offset_past_end", Sfnt({{"head", HeadTable()}, {"name", NameTable({Win(1, u"A")}), 0x7FFFFFFF},
                                               {"OS/2", Os2Table(1)}}),
                 true, kNone, 0},
        FileCase{"count_65535_in_small_table",
                 Sfnt({{"head", HeadTable()}, {"name", NameTable({Win(1, u"A"), Win(2, u"B")}, 0, 65535)}}), true,
                 {"", ""}, 0},
        FileCase{"storage_offset_32768", NameWithStorageOffset(32768), true, {"Far", "Away"}, 0},
        FileCase{"storage_offset_65000", NameWithStorageOffset(65000 - 30), true, {"Far", "Away"}, 0},
        FileCase{"record_offset_32768", NameWithRecordOffset(32768), true, {"Far", "Near"}, 0},
        FileCase{"record_offset_65535", NameWithRecordOffset(65535), true, {"Far", "Near"}, 0}),
    [](const auto& info) { return std::string(info.param.what); });

NameEntry Odd(std::uint16_t nameId) {
  NameEntry e = Win(nameId, u"Odd");
  e.lengthOverride = 5;
  return e;
}
NameEntry PastEnd(std::uint16_t nameId) {
  NameEntry e = Win(nameId, u"Gone");
  e.offset = 60000;
  e.text.clear();
  e.lengthOverride = 8;
  return e;
}
NameEntry EmptyFarAway(std::uint16_t nameId) {
  NameEntry e = Win(nameId, u"");
  e.offset = 60000;
  return e;
}

INSTANTIATE_TEST_SUITE_P(
    NameStrings, MalformedTest,
    ::testing::Values(
        FileCase{"odd_utf16_length", Sfnt({{"head", HeadTable()}, {"name", NameTable({Odd(1), Win(2, u"Z")})}}), true,
                 {"Od", "Z"}, 0},
        FileCase{"zero_length_reads_nothing", Sfnt({{"head", HeadTable()}, {"name", NameTable({EmptyFarAway(1), Win(2, u"Z")})},
                                                    {"OS/2", Os2Table(0x20)}}),
                 true, {"", "Z"}, 0x20},
        // A string past the end stops the walk: later records stay empty, a later OS/2 is not read.
        FileCase{"string_past_end_keeps_earlier_texts",
                 Sfnt({{"head", HeadTable()}, {"name", NameTable({Win(1, u"A"), PastEnd(2), Win(3, u"C")})},
                       {"OS/2", Os2Table(0x20)}}),
                 true, {"A", "", ""}, 0},
        FileCase{"os2_before_name_still_read",
                 Sfnt({{"OS/2", Os2Table(0x20)}, {"head", HeadTable()}, {"name", NameTable({Win(1, u"A"), PastEnd(2)})}}),
                 true, {"A", ""}, 0x20}),
    [](const auto& info) { return std::string(info.param.what); });

INSTANTIATE_TEST_SUITE_P(
    Os2Table, MalformedTest,
    ::testing::Values(
        FileCase{"os2_in_other_case", Sfnt({{"head", HeadTable()}, {"os/2", Os2Table(0x21)}}), true, kNone, 0},
        FileCase{"later_os2_replaces", Sfnt({{"head", HeadTable()}, {"OS/2", Os2Table(0x21)}, {"OS/2", Os2Table(0x40)}}),
                 true, kNone, 0x40},
        FileCase{"os2_cut_before_fs_selection",
                 Sfnt({{"head", HeadTable()}, {"name", NameTable({Win(1, u"A")})}, {"OS/2", Truncated(Os2Table(0x21), 63)}}),
                 true, {"A"}, 0},
        FileCase{"os2_offset_past_end", Sfnt({{"head", HeadTable()}, {"OS/2", Os2Table(0x21), 0xFFFFFFFF}}), true, kNone,
                 0}),
    [](const auto& info) { return std::string(info.param.what); });

// Cut the standard font at every table boundary: each prefix yields what its
// whole tables allow and nothing from beyond the cut.
TEST(TruncationTest, EveryTableBoundary) {
  const Bytes font = StandardFont();
  const std::size_t os2 = TableOffset(font, 0), head = TableOffset(font, 1), name = TableOffset(font, 2);
  struct Cut {
    std::size_t size;
    bool valid;
    std::vector<std::string> texts;
  };
  const std::vector<Cut> cuts = {
      {0, false, kNone},
      {12, false, kNone},                                // offset table only
      {os2, false, kNone},                               // directory only
      {head, false, kNone},                              // OS/2 whole, head missing
      {head + 54, true, kNone},                          // head whole, name missing
      {name + 6, true, kNone},                           // name header only
      {name + 6 + 12 * 4, true, {"", "", "", ""}},       // records, no strings
      {font.size() - 1, true, {"Arial", "\xC2\xA9 Maker", "Arial", ""}},
      {font.size(), true, kStandard},
  };
  for (const Cut& c : cuts) {
    const FontTables t = Read(Truncated(font, c.size));
    EXPECT_EQ(t.validTrueType, c.valid) << c.size;
    EXPECT_EQ(Texts(t), c.texts) << c.size;
  }
}

// Well-formed UTF-8: no stray or missing continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool ValidUtf8(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    char32_t code = n == 1 ? c : c & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
      const auto next = static_cast<unsigned char>(s[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += n;
  }
  return true;
}

// What holds for any input: nothing is read from a file without a valid head, every
// text is valid UTF-8 of at most three bytes per byte of its record, an empty record
// has no text, and there are no more records than 12-byte records fit in the input.
void ExpectSoundReading(const std::span<const std::uint8_t> input, const FontTables& t) {
  if (!t.validTrueType) {
    EXPECT_TRUE(t.names.empty());
    EXPECT_EQ(t.selectionFlags, 0);
  }
  EXPECT_LE(t.names.size() * 12, input.size());
  std::uint64_t total = 0;
  for (const auto& r : t.names) {
    EXPECT_TRUE(ValidUtf8(r.text)) << ::testing::PrintToString(r.text);
    EXPECT_LE(r.text.size(), 3u * r.length);
    total += r.text.size();
  }
  EXPECT_LE(total, 3 * fontfile::kMaxNameStringBytes);
}

// Every prefix and every single-bit flip of a small font reads soundly (the
// sanitizer builds also check that no byte outside the input is touched).
TEST(TruncationTest, EveryPrefixAndBitFlip) {
  const Bytes font = StandardFont();
  for (std::size_t size = 0; size <= font.size(); ++size) {
    SCOPED_TRACE(::testing::Message() << "first " << size << " bytes");
    const Bytes cut(font.begin(), font.begin() + static_cast<std::ptrdiff_t>(size));
    const FontTables t = Read(cut);
    EXPECT_LE(t.names.size(), 4u);
    ExpectSoundReading(cut, t);
    if (::testing::Test::HasFailure()) return;
  }
  for (std::size_t bit = 0; bit < font.size() * 8; ++bit) {
    SCOPED_TRACE(::testing::Message() << "bit " << bit << " flipped");
    Bytes flipped = font;
    flipped[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
    const auto heap = std::make_unique<std::uint8_t[]>(flipped.size());
    std::copy(flipped.begin(), flipped.end(), heap.get());
    const std::span<const std::uint8_t> input(heap.get(), flipped.size());
    ExpectSoundReading(input, ReadTrueTypeTables(input));
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(NameBudgetTest, OverlappingHugeStringsStopAtTheBudget) {
  // 400 records all pointing at the same 65535-byte string: 26 MB of text asked for.
  std::vector<NameEntry> entries;
  NameEntry big{3, 1, 0x409, 1, Bytes(65535, 0x41), 0};
  for (int i = 0; i < 400; ++i) entries.push_back(big);
  const FontTables t = Read(Sfnt({{"head", HeadTable()}, {"name", NameTable(entries)}, {"OS/2", Os2Table(0x20)}}));
  ASSERT_EQ(t.names.size(), 400u);
  const std::size_t withText = static_cast<std::size_t>(
      std::count_if(t.names.begin(), t.names.end(), [](const auto& r) { return !r.text.empty(); }));
  EXPECT_EQ(withText, fontfile::kMaxNameStringBytes / 65535);
  EXPECT_EQ(t.selectionFlags, 0);  // the walk ended at the name table
}

TEST(MemorySourceTest, RejectsReadsOutsideTheData) {
  const std::uint8_t data[4] = {1, 2, 3, 4};
  fontfile::MemoryByteSource source(data);
  std::uint8_t out[4] = {};
  EXPECT_TRUE(source.ReadAt(0, 4, out));
  EXPECT_TRUE(source.ReadAt(4, 0, out));
  EXPECT_FALSE(source.ReadAt(1, 4, out));
  EXPECT_FALSE(source.ReadAt(5, 0, out));
  EXPECT_FALSE(source.ReadAt(UINT64_MAX, 2, out));
  EXPECT_FALSE(source.ReadAt(2, SIZE_MAX, out));
}

}  // namespace
}  // namespace typeloom::testing
