// The reader over the other files the font system installs: CFF-outline sfnts,
// faces of collections and Type 1 fonts; and CFontPreview reading them.
#include "fontfile/CFontPreview.h"
#include "fontfile/SfntBuilder.h"
#include "fontfile/TrueTypeReader.h"
#include "fontfile/Type1Info.h"
#include "support/FakeFontServices.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace typeloom::testing {
namespace {

namespace fs = std::filesystem;
using fontfile::FontTables;

Bytes Face(std::u16string_view family, std::u16string_view notice, std::uint16_t fsSelection = 0) {
  return Sfnt({{"head", HeadTable()},
               {"name", NameTable({Win(0, notice), Win(1, family), Win(5, u"Version 1.0")})},
               {"OS/2", Os2Table(fsSelection)}});
}

Bytes WithVersion(Bytes font, std::uint32_t version) {
  SetU32(font, 0, version);
  return font;
}

std::vector<std::string> Texts(const FontTables& t) {
  std::vector<std::string> out;
  for (const auto& r : t.names) out.push_back(std::to_string(r.nameId) + "=" + r.text);
  return out;
}

// ---- sfnt versions and collections ----

struct SfntCase {
  const char* what;
  Bytes file;
  unsigned face;
  bool valid;
  std::vector<std::string> names;
  std::uint16_t selection;
};

void PrintTo(const SfntCase& c, std::ostream* os) { *os << c.what; }

class SfntFaceTest : public ::testing::TestWithParam<SfntCase> {};

TEST_P(SfntFaceTest, ReadsTheFaceAsked) {
  const SfntCase& c = GetParam();
  const FontTables t = fontfile::ReadFontFile(std::span<const std::uint8_t>(c.file), c.face);
  EXPECT_EQ(t.validTrueType, c.valid);
  EXPECT_EQ(Texts(t), c.names);
  EXPECT_EQ(t.selectionFlags, c.selection);
}

const Bytes kFirst = Face(u"First", u"First notice", 0x20);
const Bytes kSecond = Face(u"Second", u"Second notice", 0x01);
const std::vector<std::string> kFirstNames = {"0=First notice", "1=First", "5=Version 1.0"};
const std::vector<std::string> kSecondNames = {"0=Second notice", "1=Second", "5=Version 1.0"};

Bytes Cut(Bytes b, std::size_t size) {
  b.resize(size);
  return b;
}
Bytes TtcWithFaceCount(std::uint32_t count) {
  Bytes b = Ttc({kFirst, kSecond});
  SetU32(b, 8, count);
  return b;
}
Bytes TtcWithFaceOffset(std::uint32_t offset) {
  Bytes b = Ttc({kFirst, kSecond});
  SetU32(b, 12, offset);  // face 0
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Files, SfntFaceTest,
    ::testing::Values(
        SfntCase{"truetype_outlines", kFirst, 0, true, kFirstNames, 0x20},
        SfntCase{"cff_outlines_OTTO", WithVersion(kFirst, 0x4F54544F), 0, true, kFirstNames, 0x20},
        SfntCase{"apple_true", WithVersion(kFirst, 0x74727565), 0, true, kFirstNames, 0x20},
        SfntCase{"single_font_has_no_second_face", kFirst, 1, false, {}, 0},
        SfntCase{"collection_face_0", Ttc({kFirst, kSecond}), 0, true, kFirstNames, 0x20},
        SfntCase{"collection_face_1_has_its_own_names", Ttc({kFirst, kSecond}), 1, true, kSecondNames, 0x01},
        SfntCase{"collection_cff_face", Ttc({kFirst, WithVersion(kSecond, 0x4F54544F)}), 1, true, kSecondNames, 0x01},
        SfntCase{"collection_face_past_the_end", Ttc({kFirst, kSecond}), 2, false, {}, 0},
        SfntCase{"collection_claims_more_faces_than_it_lists", TtcWithFaceCount(0xFFFFFFFF), 3, false, {}, 0},
        SfntCase{"collection_of_no_faces", TtcWithFaceCount(0), 0, false, {}, 0},
        SfntCase{"collection_face_offset_past_the_end", TtcWithFaceOffset(0xFFFFFFF0), 0, false, {}, 0},
        SfntCase{"collection_face_offset_at_the_header", TtcWithFaceOffset(0), 0, false, {}, 0},
        SfntCase{"collection_header_cut", Cut(Ttc({kFirst}), 14), 0, false, {}, 0},
        SfntCase{"collection_face_directory_cut", Cut(Ttc({kFirst}), 16 + 12 + 8), 0, false, {}, 0}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- Type 1 ----

// A clear-text Type 1 font program around `info` (the font-info entries) and `rest`.
std::string Type1Text(const std::string& info, const std::string& rest = "/FontName /Test-Regular def\n") {
  return "%!PS-AdobeFont-1.0: Test-Regular 001.000\n%%Title: not a key\n11 dict begin\n/FontInfo 9 dict dup begin\n" +
         info + "end readonly def\n" + rest + "/FontType 1 def\ncurrentdict end\ncurrentfile eexec\n";
}

Bytes Pfb(const std::string& clear, const Bytes& binary) {
  Bytes b = {0x80, 0x01};
  const auto n = static_cast<std::uint32_t>(clear.size());
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
  b.insert(b.end(), clear.begin(), clear.end());
  b.insert(b.end(), {0x80, 0x02, static_cast<std::uint8_t>(binary.size()), 0, 0, 0});
  b.insert(b.end(), binary.begin(), binary.end());
  b.insert(b.end(), {0x80, 0x03});
  return b;
}

struct Type1Case {
  const char* what;
  Bytes file;
  std::vector<std::string> names;  // "id=text" in the order ids 0, 1, 2, 4, 5, 6
};

void PrintTo(const Type1Case& c, std::ostream* os) { *os << c.what; }

class Type1Test : public ::testing::TestWithParam<Type1Case> {};

TEST_P(Type1Test, NamesFromTheFontDictionary) {
  const Type1Case& c = GetParam();
  const FontTables t = fontfile::ReadFontFile(std::span<const std::uint8_t>(c.file));
  EXPECT_FALSE(t.validTrueType);  // no head table
  EXPECT_EQ(Texts(t), c.names);
  for (const auto& r : t.names) {
    EXPECT_EQ(r.platformId, 3);
    EXPECT_EQ(r.languageId, 0x0409);
  }
}

const std::string kFullInfo =
    "/version (001.005) readonly def\n/Notice (Notice one. Two.) readonly def\n"
    "/Copyright (Copyright line) readonly def\n/FullName (Test Regular) readonly def\n"
    "/FamilyName (Test) readonly def\n/Weight (Book) readonly def\n/isFixedPitch false def\n";
const std::vector<std::string> kFullNames = {"0=Notice one. Two.", "1=Test", "2=Book", "4=Test Regular",
                                             "5=001.005", "6=Test-Regular"};

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

INSTANTIATE_TEST_SUITE_P(
    Files, Type1Test,
    ::testing::Values(
        Type1Case{"pfa", Text(Type1Text(kFullInfo)), kFullNames},
        Type1Case{"pfa_font_type_1_header", Text("%!FontType1-1.0: X\n" + Type1Text(kFullInfo).substr(41)), kFullNames},
        Type1Case{"pfb", Pfb(Type1Text(kFullInfo), {0xD9, 0xD6, 0x00, 0xFF}), kFullNames},
        Type1Case{"copyright_when_there_is_no_notice",
                  Text(Type1Text("/version (2) def\n/Copyright (Only the copyright.) def\n")),
                  {"0=Only the copyright.", "5=2", "6=Test-Regular"}},
        Type1Case{"nested_parentheses_and_escapes",
                  Text(Type1Text("/Notice ((URW)++ \\(c\\) 1999 \\251 a\\\nb \\101\\t\\\\ end) def\n")),
                  {"0=(URW)++ (c) 1999 \xC2\xA9 ab A\t\\ end", "6=Test-Regular"}},
        Type1Case{"comments_and_hex_strings_hide_nothing",
                  Text(Type1Text("% /Notice (in a comment)\n/Notice <4142> def\n/Notice (real) def\n")),
                  {"0=real", "6=Test-Regular"}},
        Type1Case{"percent_inside_a_string", Text(Type1Text("/FullName (100% Test) def\n")),
                  {"4=100% Test", "6=Test-Regular"}},
        Type1Case{"first_value_wins", Text(Type1Text("/FamilyName (One) def\n/FamilyName (Two) def\n")),
                  {"1=One", "6=Test-Regular"}},
        Type1Case{"key_without_a_string_value", Text(Type1Text("/version 3 def\n/Weight /Bold def\n")),
                  {"6=Test-Regular"}},
        Type1Case{"font_name_needs_a_name", Text(Type1Text("", "/FontName (Str) def\n")), {}},
        Type1Case{"nothing_after_eexec_is_read",
                  Text(Type1Text("", "") + "/Notice (hidden) def\n/FontName /Hidden def\n"), {}},
        Type1Case{"unterminated_string_at_the_end", Text("%!PS-AdobeFont-1.0\n/Notice (never closed"),
                  {"0=never closed"}},
        Type1Case{"backslash_at_the_end", Text("%!PS-AdobeFont-1.0\n/Notice (a\\"), {"0=a"}},
        Type1Case{"pfb_length_past_the_end", Bytes{0x80, 0x01, 0xFF, 0xFF, 0xFF, 0x7F, '%', '!', 'P', 'S', '-', 'A', 'd', 'o'}, {}},
        Type1Case{"pfb_header_only", Bytes{0x80, 0x01, 0x00, 0x00, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}, {}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(Type1Test, ClearTextLongerThanTheLimitIsCut) {
  std::string text = "%!PS-AdobeFont-1.0\n/Notice (kept) def\n";
  text += std::string(fontfile::kMaxType1ClearText, ' ');
  text += "/FamilyName (beyond the limit) def\n";
  const FontTables t = fontfile::ReadFontFile(std::span<const std::uint8_t>(Text(text)));
  EXPECT_EQ(Texts(t), std::vector<std::string>({"0=kept"}));
}

TEST(Type1Test, StringsAreCutToANameRecordsLength) {
  const std::string text = "%!PS-AdobeFont-1.0\n/Notice (" + std::string(70000, 'x') + ") def\n";
  const FontTables t = fontfile::ReadFontFile(std::span<const std::uint8_t>(Text(text)));
  ASSERT_EQ(t.names.size(), 1u);
  EXPECT_EQ(t.names[0].text.size(), 65535u);
  EXPECT_EQ(t.names[0].length, 65535u);
}

// ---- CFontPreview over those files ----

class FormatsPreviewTest : public ::testing::Test {
 protected:
  FormatsPreviewTest() {
    dir = fs::temp_directory_path() / ("typeloom-formats-" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  ~FormatsPreviewTest() override { fs::remove_all(dir); }
  std::string Write(const std::string& name, const Bytes& bytes) {
    const fs::path path = dir / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  fs::path dir;
  FakeFontServices fakes;
};

TEST_F(FormatsPreviewTest, CollectionFaceGivesItsOwnNamesAndInstalledState) {
  const std::string path = Write("pair.ttc", Ttc({kFirst, kSecond}));
  const std::string copy = Write("copy.ttc", Ttc({kFirst, kSecond}));
  fakes.faces.known = {"First", "Second"};
  fakes.faces.installedFiles.insert(path);
  fakes.session.loadable[copy] = {"First", "Second"};
  for (const std::string& file : {path, copy}) {
    SCOPED_TRACE(file);
    CFontPreview first(fakes.Services());
    first.SetFontFile(file);
    EXPECT_EQ(first.FamilyName(), "First");
    EXPECT_EQ(first.Copyright(), "First notice");
    EXPECT_EQ(first.Installed(), file == path);
    EXPECT_EQ(first.FaceName(), "First");
    EXPECT_TRUE(first.Bold());

    CFontPreview second(fakes.Services());
    second.SetFaceIndex(1);
    second.SetFontFile(file);
    EXPECT_EQ(second.FaceIndex(), 1u);
    EXPECT_TRUE(second.ValidTrueTypeFile());
    EXPECT_EQ(second.FamilyName(), "Second");
    EXPECT_EQ(second.Copyright(), "Second notice");
    EXPECT_EQ(second.Installed(), file == path);
    EXPECT_EQ(second.FaceName(), "Second");
    EXPECT_TRUE(second.Italic());
  }
}

TEST_F(FormatsPreviewTest, Type1FontIsKnownByItsDictionaryNames) {
  const std::string path = Write("test.pfb", Pfb(Type1Text(kFullInfo), {0}));
  fakes.faces.known.insert("Test Regular");
  fakes.faces.installedFiles.insert(path);
  CFontPreview preview(fakes.Services());
  preview.SetFontFile(path);
  EXPECT_FALSE(preview.ValidTrueTypeFile());
  EXPECT_EQ(preview.VersionString(), "001.005");
  EXPECT_EQ(preview.Copyright(), "Notice one. Two.");
  EXPECT_EQ(preview.PostscriptName(), "Test-Regular");
  EXPECT_TRUE(preview.Installed());
  EXPECT_EQ(preview.FaceName(), "Test Regular");  // the full name: "Test" and "Test Book" are unknown
  EXPECT_THAT(fakes.faces.asked, ::testing::ElementsAre("Test", "Test Book", "Test Regular"));
}

TEST_F(FormatsPreviewTest, PostScriptNameIsTheLastCandidate) {
  const std::string path = Write("test.pfa", Text(Type1Text(kFullInfo)));
  fakes.faces.known.insert("Test-Regular");
  fakes.faces.installedFiles.insert(path);
  CFontPreview preview(fakes.Services());
  preview.SetFontFile(path);
  EXPECT_TRUE(preview.Installed());
  EXPECT_EQ(preview.FaceName(), "Test-Regular");
}

// A file without names the reader understands (a bitmap font) is installed when the
// font system lists it, under the family it lists; an unlisted one is added for the
// object's life like any unknown font.
TEST_F(FormatsPreviewTest, NamelessFileIsKnownByTheFamilyTheSystemListsItUnder) {
  const std::string listed = Write("fixed-13.pcf", Text("\x01" "fcp not an sfnt"));
  const std::string unlisted = Write("other-13.pcf", Text("\x01" "fcp not an sfnt"));
  fakes.faces.fileFamilies[{listed, 0}] = "Fixed";
  fakes.faces.known.insert("Fixed");
  fakes.faces.installedFiles.insert(listed);
  CFontPreview preview(fakes.Services());
  preview.SetFontFile(listed);
  EXPECT_TRUE(preview.Installed());
  EXPECT_EQ(preview.FaceName(), "Fixed");
  EXPECT_EQ(preview.FamilyName(), "");  // the file's own names stay empty
  EXPECT_EQ(fakes.session.calls, std::vector<std::string>{});

  CFontPreview other(fakes.Services());
  other.SetFontFile(unlisted);
  EXPECT_FALSE(other.Installed());
  EXPECT_EQ(fakes.session.calls, std::vector<std::string>{"add " + unlisted});
}

}  // namespace
}  // namespace typeloom::testing
