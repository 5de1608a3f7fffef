#include "fontfile/CFontPreview.h"

#include "fontfile/SfntBuilder.h"
#include "support/CFontPreviewAccess.h"
#include "support/FakeFontServices.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <fstream>

namespace typeloom::testing {
namespace {

namespace fs = std::filesystem;

// Writes font files into a fresh temporary folder.
class TempFonts {
 public:
  TempFonts() {
    dir_ = fs::temp_directory_path() / ("typeloom-preview-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    fs::create_directories(dir_);
  }
  ~TempFonts() { fs::remove_all(dir_); }
  std::string Write(const std::string& name, const Bytes& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  std::string Dir() const { return dir_.string(); }

 private:
  fs::path dir_;
  static inline int counter_ = 0;
};

Bytes Font(std::vector<NameEntry> names, std::uint16_t fsSelection = 0) {
  return Sfnt({{"head", HeadTable()}, {"name", NameTable(names)}, {"OS/2", Os2Table(fsSelection)}});
}

Bytes ArialBold() {
  return Font({Win(0, u"Copyright Maker. All rights."), Win(1, u"Arial"), Win(2, u"Bold"), Win(3, u"Arial Bold uid"),
               Win(4, u"Arial Bold Full"), Win(5, u"Version 2.5"), Win(6, u"Arial-BoldMT"), Win(7, u"Arial is a mark")},
              0x0020);
}

class CFontPreviewTest : public ::testing::Test {
 protected:
  FakeFontServices fakes;
  TempFonts temp;
};

// ---- name table lookups ----

struct LocaleCase {
  const char* what;
  std::uint32_t lcid;
  std::vector<NameEntry> names;
  std::string family;
};

void PrintTo(const LocaleCase& c, std::ostream* os) { *os << c.what; }

class LookupNameTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LookupNameTest, PicksTheRecordTheRulesPick) {
  FakeFontServices fakes;
  fakes.locale.lcid = GetParam().lcid;
  CFontPreview preview(fakes.Services());
  CFontPreviewAccess::Load(preview, fontfile::ReadTrueTypeTables(Font(GetParam().names)));
  EXPECT_EQ(preview.FamilyName(), GetParam().family);
}

const std::vector<NameEntry> kMacUsGerman = {Mac(1, "MacFamily"), Win(1, u"English"), Win(1, u"Deutsch", 0x0407)};
const std::vector<NameEntry> kWithJapanese = {Mac(1, "MacFamily"), Win(1, u"English"), Win(1, u"\u6E38\u30B4", 0x0411),
                                              Win(1, u"Deutsch", 0x0407)};

INSTANTIATE_TEST_SUITE_P(
    NameTable, LookupNameTest,
    ::testing::Values(
        LocaleCase{"german_locale_gets_german", 0x0407, kMacUsGerman, "Deutsch"},
        LocaleCase{"us_locale_gets_english_and_stops", 0x0409, kMacUsGerman, "English"},
        LocaleCase{"japanese_locale_without_japanese_gets_last_windows", 0x0411, kMacUsGerman, "Deutsch"},
        // The Japanese text begins with a byte other than 0, so it reads as single-byte text.
        LocaleCase{"japanese_locale_gets_japanese_record", 0x0411, kWithJapanese, "n80\xC2\xB4"},
        LocaleCase{"german_locale_skips_japanese", 0x0407, kWithJapanese, "Deutsch"},
        LocaleCase{"locale_above_16_bits_never_matches", 0x10409, kMacUsGerman, "Deutsch"},
        LocaleCase{"only_mac_names_first_mac_text", 0x0409, {Mac(1, "First"), Mac(1, "Second")}, "First"},
        LocaleCase{"empty_mac_text_then_mac", 0x0409, {Mac(1, ""), Mac(1, "Second")}, "Second"},
        LocaleCase{"empty_windows_text_empties_result", 0x0409, {Mac(1, "Mac"), Win(1, u"", 0x0407)}, ""},
        LocaleCase{"later_mac_fills_empty_windows", 0x0409, {Win(1, u"", 0x0407), Mac(1, "Mac")}, "Mac"},
        LocaleCase{"windows_after_mac_replaces", 0x0409, {Mac(1, "Mac"), Win(1, u"Win", 0x0407)}, "Win"},
        LocaleCase{"other_name_ids_ignored", 0x0409, {Win(2, u"Sub"), Win(4, u"Full")}, ""},
        LocaleCase{"no_records", 0x0409, {}, ""}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(CFontPreviewTest, EveryNamePropertyReadsItsNameId) {
  CFontPreview preview(fakes.Services());
  CFontPreviewAccess::Load(preview, fontfile::ReadTrueTypeTables(ArialBold()));
  EXPECT_EQ(preview.Copyright(), "Copyright Maker. All rights.");
  EXPECT_EQ(preview.FamilyName(), "Arial");
  EXPECT_EQ(preview.SubFamilyName(), "Bold");
  EXPECT_EQ(preview.UniqueIdentifier(), "Arial Bold uid");
  EXPECT_EQ(preview.FullName(), "Arial Bold Full");
  EXPECT_EQ(preview.VersionString(), "Version 2.5");
  EXPECT_EQ(preview.PostscriptName(), "Arial-BoldMT");
  EXPECT_EQ(preview.Trademark(), "Arial is a mark");
}

TEST_F(CFontPreviewTest, FileWithoutNameTableHasEmptyNames) {
  const std::string path = temp.Write("noname.ttf", Sfnt({{"head", HeadTable()}, {"OS/2", Os2Table(0x21)}}));
  CFontPreview preview(fakes.Services());
  preview.SetFontFile(path);
  EXPECT_TRUE(preview.ValidTrueTypeFile());
  for (int id = 0; id < 8; ++id) EXPECT_EQ(CFontPreviewAccess::LookupName(preview, id), "") << id;
  EXPECT_TRUE(preview.Bold());
}

TEST_F(CFontPreviewTest, TakesTheLocaleOnceAtCreation) {
  fakes.locale.lcid = 0x0407;
  CFontPreview preview(fakes.Services());
  fakes.locale.lcid = 0x0409;
  EXPECT_EQ(CFontPreviewAccess::SystemLocale(preview), 0x0407u);
}

// ---- OS/2 style bits ----

struct StyleCase {
  std::uint16_t flags;
  bool bold, italic, underlined, strikeOut;
};

void PrintTo(const StyleCase& c, std::ostream* os) { *os << "fsSelection " << c.flags; }

class StyleBitTest : public ::testing::TestWithParam<StyleCase> {};

TEST_P(StyleBitTest, ReadsTheFsSelectionBits) {
  FakeFontServices fakes;
  CFontPreview preview(fakes.Services());
  CFontPreviewAccess::Load(preview, fontfile::ReadTrueTypeTables(Font({Win(1, u"X")}, GetParam().flags)));
  EXPECT_EQ(preview.Bold(), GetParam().bold);
  EXPECT_EQ(preview.Italic(), GetParam().italic);
  EXPECT_EQ(preview.Underlined(), GetParam().underlined);
  EXPECT_EQ(preview.StrikeOut(), GetParam().strikeOut);
}

INSTANTIATE_TEST_SUITE_P(Os2Table, StyleBitTest,
                         ::testing::Values(StyleCase{0x0020, true, false, false, false},
                                           StyleCase{0x0021, true, true, false, false},
                                           StyleCase{0x0012, false, false, true, true},
                                           StyleCase{0x0040, false, false, false, false},
                                           StyleCase{0xFFCC, false, false, false, false},
                                           StyleCase{0xFFFF, true, true, true, true}));

TEST_F(CFontPreviewTest, StyleBitOutsideTheWordIsFalse) {
  CFontPreview preview(fakes.Services());
  CFontPreviewAccess::Load(preview, fontfile::ReadTrueTypeTables(Font({Win(1, u"X")}, 0xFFFF)));
  EXPECT_TRUE(CFontPreviewAccess::TestStyleBit(preview, 15));
  EXPECT_FALSE(CFontPreviewAccess::TestStyleBit(preview, 16));
  EXPECT_FALSE(CFontPreviewAccess::TestStyleBit(preview, -1));
  EXPECT_FALSE(CFontPreviewAccess::TestStyleBit(preview, 1000));
}

// ---- face name, session and inspection ----

struct FaceCase {
  const char* what;
  bool installed;                      // the file is one of the installed fonts
  std::vector<std::string> known;      // faces the system knows before
  std::vector<std::string> adds = {};  // faces adding the file makes known; none: the add fails
  std::string face = {};               // empty: no match
};

void PrintTo(const FaceCase& c, std::ostream* os) { *os << c.what; }

class MatchFaceNameTest : public ::testing::TestWithParam<FaceCase> {};

// An installed file is known by its family first; a file added for the session by
// its own face first, whatever faces other files give its family.
TEST_P(MatchFaceNameTest, FirstExactCandidateWins) {
  const FaceCase& c = GetParam();
  FakeFontServices fakes;
  for (const auto& k : c.known) fakes.faces.known.insert(k);
  TempFonts temp;
  const std::string path = temp.Write("arialbd.ttf", ArialBold());
  if (c.installed) fakes.faces.installedFiles.insert(path);
  if (!c.adds.empty()) fakes.session.loadable[path] = c.adds;
  CFontPreview preview(fakes.Services());
  preview.SetFontFile(path);
  EXPECT_EQ(preview.Installed(), c.installed);
  EXPECT_EQ(preview.FaceName(), c.face);
  EXPECT_EQ(fakes.session.Outstanding(path), c.installed || c.adds.empty() ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Candidates, MatchFaceNameTest,
    ::testing::Values(
        FaceCase{"family", true, {"Arial", "Arial Bold", "Arial Bold Full"}, {}, "Arial"},
        FaceCase{"family_and_subfamily", true, {"Arial Bold", "Arial Bold Full"}, {}, "Arial Bold"},
        FaceCase{"full_name", true, {"Arial Bold Full"}, {}, "Arial Bold Full"},
        FaceCase{"postscript_name", true, {"Arial-BoldMT"}, {}, "Arial-BoldMT"},
        FaceCase{"case_differs", true, {"arial", "ARIAL BOLD"}, {}, ""},
        FaceCase{"installed_under_no_name_of_its_own", true, {"Helvetica"}, {}, ""},
        // The Regular of the family came earlier (installed, or another file added).
        FaceCase{"added_bold_beside_a_known_regular", false, {"Arial"}, {"Arial", "Arial Bold Full", "Arial-BoldMT"},
                 "Arial Bold Full"},
        FaceCase{"added_known_by_postscript_name_only", false, {"Arial"}, {"Arial", "Arial-BoldMT"}, "Arial-BoldMT"},
        FaceCase{"added_known_by_family_only", false, {}, {"Arial"}, "Arial"},
        // A copy of an installed font from another folder is not installed.
        FaceCase{"copy_of_an_installed_font", false, {"Arial", "Arial Bold Full"}, {"Arial", "Arial Bold Full"},
                 "Arial Bold Full"},
        // A file that cannot be added is not named after the installed font it copies.
        FaceCase{"unloadable_copy_of_an_installed_font", false, {"Arial", "Arial Bold Full"}, {}, ""}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(CFontPreviewTest, RefusedCandidateCountsAsNoMatch) {
  // No family: the first candidate is empty (refused), the second " Bold".
  fakes.faces.known.insert("Only Full");
  const std::string path = temp.Write("f.ttf", Font({Win(2, u"Bold"), Win(4, u"Only Full")}));
  fakes.faces.installedFiles.insert(path);
  CFontPreview preview(fakes.Services());
  preview.SetFontFile(path);
  EXPECT_TRUE(preview.Installed());
  EXPECT_EQ(preview.FaceName(), "Only Full");
  EXPECT_THAT(fakes.faces.asked, ::testing::ElementsAre("", " Bold", "Only Full"));
}

// ---- sequences of files ----

// Files every row can name: "missing.ttf" is never written and "dir" is the folder.
Bytes FileBytes(const std::string& name) {
  if (name == "arialbd.ttf") return ArialBold();
  if (name == "a.ttf") return Font({Win(1, u"Alpha")});
  if (name == "b.ttf") return Font({Win(1, u"Beta")});
  Bytes fon = {'M', 'Z'};  // a bitmap font: no name table
  fon.resize(256, 0);
  return fon;
}

// One object (or `looks` objects in turn) given `files` one after the other: what it
// then says, which files the session holds while it lives, and what it asked of the
// session by the time it is gone. Every addition is undone by then.
struct SequenceRow {
  const char* name;
  std::vector<std::string> files;
  std::vector<std::string> known = {};                                // faces the system has
  std::map<std::string, std::vector<std::string>> loadable = {};     // file -> faces adding it gives
  std::vector<std::string> installedFiles = {};                       // files the system lists
  bool broadcast = true;
  int looks = 1;
  // while the (last) object lives
  std::string fontFile;  // "" or a file name
  bool valid = false, installed = false;
  std::string face = {}, family = {};
  bool bold = false;
  std::map<std::string, int> outstanding = {};  // files not listed: 0
  int broadcastsWhileOpen = 0;
  // once every object is gone
  std::vector<std::string> calls = {};  // "add <file>", "remove <file>"
  int broadcastsAfter = 0;
};

void PrintTo(const SequenceRow& row, std::ostream* os) { *os << row.name; }

class SequenceTest : public ::testing::TestWithParam<SequenceRow> {};

TEST_P(SequenceTest, SaysWhatTheLastFileGivesAndUndoesItsAdditions) {
  const SequenceRow& row = GetParam();
  FakeFontServices fakes;
  TempFonts temp;
  const auto path = [&](const std::string& name) {
    if (name.empty()) return std::string();
    if (name == "dir") return temp.Dir();
    return temp.Dir() + "/" + name;
  };
  for (const char* name : {"arialbd.ttf", "a.ttf", "b.ttf", "sserife.fon"}) temp.Write(name, FileBytes(name));
  fakes.files.directories.insert(temp.Dir());
  for (const auto& face : row.known) fakes.faces.known.insert(face);
  for (const auto& [file, faces] : row.loadable) fakes.session.loadable[path(file)] = faces;
  for (const auto& file : row.installedFiles) fakes.faces.installedFiles.insert(path(file));

  for (int look = 0; look < row.looks; ++look) {
    SCOPED_TRACE(::testing::Message() << "look " << look + 1);
    CFontPreview preview(fakes.Services());
    preview.SetBroadcast(row.broadcast);
    for (const std::string& file : row.files) preview.SetFontFile(path(file));
    EXPECT_EQ(preview.FontFile(), path(row.fontFile));
    EXPECT_EQ(preview.ValidTrueTypeFile(), row.valid);
    EXPECT_EQ(preview.Installed(), row.installed);
    EXPECT_EQ(preview.FaceName(), row.face);
    EXPECT_EQ(preview.FamilyName(), row.family);
    EXPECT_EQ(preview.Bold(), row.bold);
    for (const char* file : {"arialbd.ttf", "a.ttf", "b.ttf", "sserife.fon"}) {
      const auto it = row.outstanding.find(file);
      EXPECT_EQ(fakes.session.Outstanding(path(file)), it == row.outstanding.end() ? 0 : it->second) << file;
    }
    if (look + 1 == row.looks) {
      EXPECT_EQ(fakes.session.broadcasts, row.broadcastsWhileOpen);
    }
  }
  std::vector<std::string> calls;
  for (const std::string& call : row.calls) calls.push_back(call.substr(0, call.find(' ') + 1) + path(call.substr(call.find(' ') + 1)));
  EXPECT_EQ(fakes.session.calls, calls);
  for (const auto& [file, count] : fakes.session.added) EXPECT_EQ(count, 0) << file;
  EXPECT_EQ(fakes.session.broadcasts, row.broadcastsAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SequenceTest,
    ::testing::Values(
        // Only a font the system does not know is added, for the object's life, and
        // announced only with Broadcast.
        SequenceRow{.name = "KnownFontIsNeitherAddedNorRemoved", .files = {"arialbd.ttf"}, .known = {"Arial"},
                    .installedFiles = {"arialbd.ttf"},
                    .fontFile = "arialbd.ttf", .valid = true, .installed = true, .face = "Arial", .family = "Arial",
                    .bold = true},
        SequenceRow{.name = "UnknownFontIsAddedAndRemovedOnDestruction", .files = {"arialbd.ttf"},
                    .loadable = {{"arialbd.ttf", {"Arial Bold Full"}}}, .fontFile = "arialbd.ttf", .valid = true,
                    .face = "Arial Bold Full", .family = "Arial", .bold = true, .outstanding = {{"arialbd.ttf", 1}},
                    .broadcastsWhileOpen = 1, .calls = {"add arialbd.ttf", "remove arialbd.ttf"}, .broadcastsAfter = 2},
        SequenceRow{.name = "WithoutBroadcastNothingIsAnnounced", .files = {"arialbd.ttf"},
                    .loadable = {{"arialbd.ttf", {"Arial"}}}, .broadcast = false, .fontFile = "arialbd.ttf",
                    .valid = true, .face = "Arial", .family = "Arial", .bold = true, .outstanding = {{"arialbd.ttf", 1}},
                    .calls = {"add arialbd.ttf", "remove arialbd.ttf"}},
        SequenceRow{.name = "FailedAddIsNeitherAnnouncedNorRemoved", .files = {"arialbd.ttf"}, .fontFile = "arialbd.ttf",
                    .valid = true, .family = "Arial", .bold = true, .calls = {"add arialbd.ttf"}},
        // A file added without a face name (a bitmap font has no names) is removed
        // too, so looking at it again does not pile up additions.
        SequenceRow{.name = "AddedFileWithoutFaceNameIsRemoved", .files = {"sserife.fon"},
                    .loadable = {{"sserife.fon", {"MS Sans Serif"}}}, .looks = 3, .fontFile = "sserife.fon",
                    .outstanding = {{"sserife.fon", 1}}, .broadcastsWhileOpen = 5,
                    .calls = {"add sserife.fon", "remove sserife.fon", "add sserife.fon", "remove sserife.fon",
                              "add sserife.fon", "remove sserife.fon"},
                    .broadcastsAfter = 6},
        // A path that is no font file leaves a fresh object empty and asks nothing.
        SequenceRow{.name = "FolderOnAFreshObject", .files = {"dir"}, .fontFile = ""},
        SequenceRow{.name = "MissingFileOnAFreshObject", .files = {"missing.ttf"}, .fontFile = ""},
        SequenceRow{.name = "EmptyPathOnAFreshObject", .files = {""}, .fontFile = ""},
        // After a file, a missing path releases it and keeps the rest of what was read.
        SequenceRow{.name = "MissingPathReleasesTheEarlierFileAndKeepsTheRest", .files = {"arialbd.ttf", "missing.ttf"},
                    .loadable = {{"arialbd.ttf", {"Arial"}}}, .fontFile = "arialbd.ttf", .family = "Arial",
                    .bold = true, .broadcastsWhileOpen = 2, .calls = {"add arialbd.ttf", "remove arialbd.ttf"},
                    .broadcastsAfter = 2},
        SequenceRow{.name = "AnotherFileReleasesTheFirst", .files = {"a.ttf", "b.ttf"},
                    .loadable = {{"a.ttf", {"Alpha"}}, {"b.ttf", {"Beta"}}}, .fontFile = "b.ttf", .valid = true,
                    .face = "Beta", .family = "Beta", .outstanding = {{"b.ttf", 1}}, .broadcastsWhileOpen = 3,
                    .calls = {"add a.ttf", "remove a.ttf", "add b.ttf", "remove b.ttf"}, .broadcastsAfter = 4}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace typeloom::testing
