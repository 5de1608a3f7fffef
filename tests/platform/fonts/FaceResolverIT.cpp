// Face resolution over a fontconfig that sees only the test fonts; Qt's font
// database is built over the same sandbox (SandboxFontsTestMain.cpp).
#include "platform/fonts/FaceResolver.h"
#include "platform/fonts/CoverageIndex.h"
#include "platform/fonts/FontCoverage.h"
#include "platform/fonts/FontFaces.h"
#include "support/FontFixtures.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <fontconfig/fontconfig.h>
#include <QRawFont>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <vector>

namespace typeloom::platform {
namespace {

using testsupport::FontFixtures;
using Kind = FaceLocation::Kind;

struct Case {
  const char* label;
  const char* name;
  FontEffects effects;
  Kind kind;
  const char* family;  // the face drawn
  const char* style;
  const char* file;    // below the fixture folder
  int index;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.label; }

class FaceResolverIT : public ::testing::TestWithParam<Case> {};

TEST_P(FaceResolverIT, NameResolvesToTheFaceItDenotesAndQtDrawsThatFace) {
  const Case& c = GetParam();
  const FaceLocation face = LocateFace(c.name, c.effects.bold, c.effects.italic);
  EXPECT_EQ(face.kind, c.kind);
  EXPECT_EQ(face.file, FontFixtures::FontFolder() + "/" + c.file);
  EXPECT_EQ(face.index, c.index);

  const QFont font = ResolveFont(c.name, 12, c.effects);
  const QFontInfo info(font);
  EXPECT_EQ(info.family(), c.family);
  EXPECT_EQ(info.styleName(), c.style);
  const QRawFont raw = QRawFont::fromFont(font);
  EXPECT_EQ(raw.familyName(), c.family);
  EXPECT_EQ(raw.styleName(), c.style);
  // An installed face draws alone, wherever it is drawn (sample, summary, specimen).
  EXPECT_EQ((font.styleStrategy() & QFont::NoFontMerging) != 0, c.kind != Kind::Substitute);
  EXPECT_EQ(font.strikeOut(), c.effects.strikeOut);
  EXPECT_EQ(font.underline(), c.effects.underline);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FaceResolverIT,
    ::testing::Values(
        Case{"Family", "Test Pair", {}, Kind::Family, "Test Pair", "Regular", "TestPair.ttc", 0},
        Case{"FamilyItalicPicksTheItalicFace", "Test Pair", {.italic = true}, Kind::Family, "Test Pair", "Italic",
             "TestPair.ttc", 1},
        Case{"FamilyInAnyCase", "test pair", {}, Kind::Family, "Test Pair", "Regular", "TestPair.ttc", 0},
        Case{"FullNameOfTheSecondFaceOfACollection", "Test Pair Italic", {}, Kind::FullName, "Test Pair", "Italic",
             "TestPair.ttc", 1},
        Case{"FullNameWithEffectsOnTop", "Test Pair Italic", {.strikeOut = true, .underline = true}, Kind::FullName,
             "Test Pair", "Italic", "TestPair.ttc", 1},
        Case{"FullNameBold", "Test Sans Bold", {}, Kind::FullName, "Test Sans", "Bold", "TestSans-Bold.ttf", 0},
        Case{"PostScriptName", "TestSans-Bold", {}, Kind::FullName, "Test Sans", "Bold", "TestSans-Bold.ttf", 0},
        Case{"FullNameOfACffFace", "Test Serif Regular", {}, Kind::FullName, "Test Serif", "Regular",
             "Nested/Deeper/TestSerif-Regular.otf", 0}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(FaceResolverSubstituteIT, NameInstalledNowhereDrawsInFontconfigsSubstitute) {
  const FaceLocation face = LocateFace("No Such Font Anywhere");
  EXPECT_EQ(face.kind, Kind::Substitute);
  ASSERT_FALSE(face.file.empty());
  EXPECT_TRUE(face.file.rfind(FontFixtures::FontFolder(), 0) == 0 ||
              face.file.rfind(FontFixtures::DetailsFontFolder(), 0) == 0)
      << face.file;
  const std::string substitute = FontFixtures::FcMatchFamily("No Such Font Anywhere");
  ASSERT_FALSE(substitute.empty()) << "fc-match failed";
  EXPECT_EQ(QFontInfo(ResolveFont("No Such Font Anywhere", 10)).family().toStdString(), substitute);
  EXPECT_EQ(face.family.toStdString(), substitute);
  EXPECT_EQ(LocateFace("").kind, Kind::Substitute);
}

TEST(FaceResolverSubstituteIT, SizeZeroKeepsTheDefaultSize) {
  const QFont font = ResolveFont("Test Pair", 0);
  EXPECT_GT(font.pointSizeF(), 0);
  EXPECT_EQ(ResolveFont("Test Pair", 36).pointSizeF(), 36);
}

}  // namespace
}  // namespace typeloom::platform

namespace typeloom::platform {
namespace {

// Answers are kept while fontconfig's fonts stay the same, and only so long: a font
// added to or removed from the session changes what a name denotes at once.
TEST(FaceResolverCacheIT, AnswersFollowTheSessionsFonts) {
  const char* file = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  ASSERT_NE(FcConfigGetCurrent(), nullptr);
  ASSERT_TRUE(std::ifstream(file)) << file << " is missing (fonts-dejavu-core): run scripts/install-deps";
  const FaceLocation before = LocateFace("DejaVu Sans");
  EXPECT_EQ(before.kind, FaceLocation::Kind::Substitute);  // the sandbox does not hold it
  EXPECT_EQ(LocateFace("DejaVu Sans").file, before.file);
  ASSERT_TRUE(FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(file)));
  const FaceLocation added = LocateFace("DejaVu Sans");
  EXPECT_EQ(added.kind, FaceLocation::Kind::Family);
  EXPECT_EQ(added.file, file);
  FcConfigAppFontClear(nullptr);
  EXPECT_EQ(LocateFace("DejaVu Sans").kind, FaceLocation::Kind::Substitute);
}

}  // namespace
}  // namespace typeloom::platform

namespace typeloom::platform {
namespace {

// Every family fontconfig lists here (the test fonts: TrueType, CFF, collections,
// bitmap strikes), in the order fontconfig gives them.
std::vector<QString> ListedFamilies() {
  std::vector<QString> families;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  if (FcFontSet* set = FcFontList(nullptr, pattern, objects)) {
    for (int i = 0; i < set->nfont; ++i) {
      FcChar8* family = nullptr;
      if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch) {
        families.push_back(QString::fromUtf8(reinterpret_cast<const char*>(family)));
      }
    }
    FcFontSetDestroy(set);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return families;
}

// The scaled engine must give exactly what Qt's font of the family at each size gives, at every
// resolution, or the size list would change with the way it is measured.
TEST(LineHeightsIT, EqualQFontMetricsForEveryFaceSizeAndResolution) {
  const std::vector<QString> families = ListedFamilies();
  ASSERT_GE(families.size(), 5u);
  for (const int dpi : {72, 96, 120, 144, 192}) {
    QImage device(1, 1, QImage::Format_ARGB32);
    device.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
    device.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
    ASSERT_EQ(device.logicalDpiY(), dpi);
    for (const QString& family : families) {
      const FaceLocation face = LocateFace(family);
      const QFont font = FontForFace(face, family, 0);
      LineHeights heights(font, face.scalable, &device);
      for (const int size : {1, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72, 200}) {
        // The reference is Qt's own font for the family, made without this program's code.
        QFont sized(family);
        sized.setPointSize(size);
        EXPECT_EQ(heights.AtPointSize(size), QFontMetrics(sized, &device).height())
            << family.toStdString() << " at " << size << " points, " << dpi << " dpi";
      }
    }
  }
}

// The installed-face check asks fontconfig: every family name (in every language),
// full name and PostScript name of a listed face is known, spelled exactly.
TEST(FontconfigFaceNameResolverIT, KnowsEveryNameOfAListedFaceExactly) {
  FontconfigFaceNameResolver faces;
  const std::pair<const char*, bool> cases[] = {
      {"Test Sans", true},             // family
      {"Test Sans Bold", true},        // English full name
      {"Test Sans Fett", true},        // German full name
      {"TestSans-Bold", true},         // PostScript name
      {"Test Pair Italic", true},      // the second face of a collection
      {"Detail Odd", true},            // family of two files
      {"DetailOdd-Heavy", true},       // full name that is not family + style
      {"test sans", false},            // fontconfig ignores case, the check does not
      {"TestSans", false},             // nor blanks
      {"Test Sans Bold Italic", false},
      {"No Such Face", false},
  };
  for (const auto& [name, known] : cases) {
    const std::optional<std::string> face = faces.ResolveFace(name);
    ASSERT_TRUE(face.has_value()) << name;
    EXPECT_EQ(*face == name, known) << name << " -> " << *face;
  }
  EXPECT_EQ(faces.ResolveFace(""), std::nullopt);
  EXPECT_NE(faces.ResolveFace(std::string_view("Test Sans\0x", 11)), "Test Sans");
}

// Whether a file is installed ends its walk at the first face; it must answer as the
// full count would, and must not leave a first face behind as the count.
TEST(FontconfigFaceNameResolverIT, InstalledFileAnswersAsItsFaceCount) {
  FontconfigFaceNameResolver faces;
  const std::string folder = FontFixtures::FontFolder();
  const struct {
    std::string path;
    bool asListed;  // the path as fontconfig lists it has faces
    bool installed;
  } cases[] = {
      {folder + "/TestPair.ttc", true, true},       // two faces
      {folder + "/TestFixed-13.bdf", true, true},   // a bitmap face
      {folder + "//TestPair.ttc", false, true},     // another spelling of a listed file
      {folder + "/TestPair.tt", false, false},      // a prefix of a listed file
      {folder + "/TestPair.ttc/", false, false},
      {folder + "/NotThere.ttf", false, false},
      {folder, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsInstalledPath(c.path), c.asListed) << c.path;
    EXPECT_EQ(faces.IsInstalledFile(c.path), c.installed) << c.path;
    EXPECT_EQ(InstalledFaceCount(c.path) > 0, c.asListed) << c.path;
    EXPECT_EQ(IsInstalledPath(c.path), c.asListed) << c.path;  // now from the kept count
  }
  EXPECT_EQ(InstalledFaceCount(folder + "/TestPair.ttc"), 2);
  EXPECT_FALSE(faces.IsInstalledFile(""));
  EXPECT_FALSE(faces.IsInstalledFile(folder + std::string("/TestPair.ttc\0", 14)));
}

// The family check of a name just located reuses LocateFace's family listing; its
// answer must be the listing's own: a family spelled exactly, in any language.
TEST(FontconfigFaceNameResolverIT, LastFamilyListingAnswersAsAListingWould) {
  const auto listedAs = [](const char* object, const std::string& name) {
    FcPattern* pattern = FcPatternBuild(nullptr, object, FcTypeString, name.c_str(), nullptr);
    FcObjectSet* objects = FcObjectSetBuild(object, nullptr);
    FcFontSet* faces = FcFontList(nullptr, pattern, objects);
    bool exact = false;
    for (int i = 0; faces != nullptr && i < faces->nfont; ++i) {
      FcChar8* family = nullptr;
      for (int n = 0; FcPatternGetString(faces->fonts[i], object, n, &family) == FcResultMatch; ++n) {
        exact = exact || name == reinterpret_cast<const char*>(family);
      }
    }
    if (faces != nullptr) FcFontSetDestroy(faces);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return exact;
  };
  const auto listed = [&](const std::string& name) { return listedAs(FC_FAMILY, name); };
  for (const char* name : {"Test Sans", "test sans", "TEST SANS", "TestSans", "Test  Sans", "Test Pair", "Detail Odd",
                           "Test Fixed", "Detail Steps 8,10,12,14,18,24", "Test Sans Bold", "TestSans-Bold",
                           "No Such Face", "Ωμέγα"}) {
    SCOPED_TRACE(name);
    LocateFace(QString::fromUtf8(name), true, false);
    // A bitmap family's list name is listed as its family after a first listing by
    // the whole name; the last listing is then the family's.
    const QString family = WithoutSizeList(QString::fromUtf8(name));
    const std::string last = family.isEmpty() || listed(name) ? std::string(name) : family.toStdString();
    EXPECT_EQ(LastFamilyListing(last), std::optional<bool>(listed(last)));
    EXPECT_EQ(LastFamilyListing(last + " "), std::nullopt);
    FontconfigFaceNameResolver faces;
    const std::optional<std::string> face = faces.ResolveFace(last);
    ASSERT_TRUE(face.has_value());
    EXPECT_EQ(*face == last,
              listed(last) || listedAs(FC_FULLNAME, last) || listedAs(FC_POSTSCRIPT_NAME, last));
  }
  // A name that fontconfig ends at its NUL is listed as the part before it, but that
  // part is not the name spelled exactly.
  const std::string_view cut("Test Sans\0x", 11);
  LocateFace(QString::fromUtf8(cut.data(), static_cast<qsizetype>(cut.size())), false, false);
  EXPECT_EQ(LastFamilyListing(cut), std::optional<bool>(false));
  // Other fonts: the listing no longer answers.
  LocateFace(QStringLiteral("Test Pair"));
  ASSERT_EQ(LastFamilyListing("Test Pair"), std::optional<bool>(true));
  const std::string copy = FontFixtures::FontFolder() + "/TestSans-Bold.ttf";
  ASSERT_TRUE(FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(copy.c_str())));
  EXPECT_EQ(LastFamilyListing("Test Pair"), std::nullopt);
  FcConfigAppFontClear(nullptr);
}

TEST(WithoutSizeListTest, DropsOnlyATrailingPointSizeList) {
  const std::pair<const char*, const char*> cases[] = {
      {"Detail Large 18,24", "Detail Large"}, {"Fixed 10,", "Fixed"},     {"Fixed Oblique 8,10,12", "Fixed Oblique"},
      {"Font 2000", ""},                      {"Font 1,2 x", ""},         {"Font ,18", ""},
      {"18,24", ""},                          {"Font,18,24", ""},         {"", ""},
      {"Font  18,24", "Font "},         {"Ωμέγα 10,12", "Ωμέγα"},   {"Ω 8,", "Ω"},
      {" 8,", ""},
  };
  for (const auto& [name, family] : cases) {
    EXPECT_EQ(WithoutSizeList(QString::fromUtf8(name)), QString::fromUtf8(family)) << name;
    EXPECT_EQ(WithoutSizeListUtf8(name), family) << name;  // the coverage index's copy on UTF-8
  }
}

TEST(FontconfigFaceNameResolverIT, FamilyOfAListedFileAndFace) {
  FontconfigFaceNameResolver faces;
  const std::string folder = FontFixtures::FontFolder();
  EXPECT_EQ(faces.FamilyOfFile(folder + "/TestPair.ttc", 1), "Test Pair");
  EXPECT_EQ(faces.FamilyOfFile(folder + "/TestFixed-13.bdf", 0), "Test Fixed");
  EXPECT_EQ(faces.FamilyOfFile(folder + "/TestPair.ttc", 2), "");
  EXPECT_EQ(faces.FamilyOfFile(folder + "/NotThere.ttf", 0), "");
  EXPECT_EQ(faces.FamilyOfFile("", 0), "");
}

// The coverage of a name is that of the face the name draws in: for every kind of
// name the face FontCoverage reads is the one LocateFace gives (family, full name in
// any case, a family's regular face, a bitmap family, a substitute).
TEST(FontCoverageIT, ReadsTheFaceTheNameDrawsIn) {
  FontCoverage coverage;
  ASSERT_TRUE(coverage.Available());
  for (const char* name : {"Test Pair", "test pair", "Test Pair Italic", "Test Sans", "Test Sans Bold",
                           "Test Sans Fett", "Test Serif Regular", "Test Var", "Test Fixed", "Test Big",
                           "Detail Odd", "DetailOdd-Heavy", "Detail Steps", "Detail Steps 8,10,12,14,18,24", "Test Fixed 10,12,", "Test Many First", "TestSans-Bold", "testsans-bold", "DetailOdd-Heavy", "No Such Face",
                           // Names installed nowhere share one match, but not one that
                           // fontconfig finds as a family without regard to blanks.
                           "Another Missing Face", "Test  Sans", "TESTSANS", "Missing 10,12", "Missing Bold", ""}) {
    const FaceLocation face = LocateFace(name);
    const std::optional<CoverageFacts> facts = coverage.FactsOf(name);
    ASSERT_TRUE(facts.has_value()) << name;
    EXPECT_EQ(facts->file, face.file) << name;
    EXPECT_EQ(facts->index, face.index) << name;
    // The test fonts map space, A, a and 0 (bitmap fonts: space and one letter).
    EXPECT_GE(facts->characterCount, 2u) << name;
  }
  coverage.SetQuery({U'A', U'a', U'0'}, "");
  EXPECT_TRUE(coverage.Matches("Test Pair"));
  EXPECT_TRUE(coverage.Matches("Test Serif Regular"));
  coverage.SetQuery({U'A', U'a', U'0', U'Z'}, "");
  EXPECT_FALSE(coverage.Matches("Test Pair"));
}

std::string FoldAscii(std::string_view utf8) {
  std::string out(utf8);
  for (char& c : out) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return out;
}

std::string FamilyOf(FcPattern* face) {
  FcChar8* family = nullptr;
  return face != nullptr && FcPatternGetString(face, FC_FAMILY, 0, &family) == FcResultMatch
             ? std::string(reinterpret_cast<const char*>(family))
             : std::string();
}

// Names answered together (MatchEach) are answered as each name alone: names
// installed nowhere share a match only when fontconfig's requests for them are the
// same, so configuration rules that send one to its own face tell it apart, whether
// it comes first or after another such name.
TEST(CoverageIndexIT, NamesAnsweredTogetherAreAnsweredAsEachAlone) {
  const char* rules = R"(<?xml version="1.0"?>
<fontconfig>
  <match target="pattern">
    <test name="family"><string>Missing Arabic Face</string></test>
    <edit name="family" mode="append" binding="weak"><string>Detail Arabic</string></edit>
  </match>
  <match target="pattern">
    <test name="family"><string>Missing Hebrew Face</string></test>
    <edit name="family" mode="assign_replace" binding="strong"><string>Detail Nolatin</string></edit>
  </match>
</fontconfig>)";
  ASSERT_TRUE(FcConfigParseAndLoadFromMemory(FcConfigGetCurrent(), reinterpret_cast<const FcChar8*>(rules), FcTrue));

  const std::vector<std::string_view> names = {"Missing Arabic Face",
                                               "Test Pair",
                                               "No Such Face",
                                               "Missing Hebrew Face",
                                               "TestSans-Bold",
                                               "DetailOdd-Heavy",
                                               "Detail Steps 8,10,12,14,18,24",
                                               "Another Missing Face",
                                               "Test  Sans",
                                               "Missing 10,12",
                                               "Detail Arabic",
                                               "Test Sans Bold",
                                               ""};
  const std::vector<std::string_view> reversed(names.rbegin(), names.rend());
  {
    CoverageIndex index(FoldAscii);
    ASSERT_TRUE(index.Available());
    EXPECT_EQ(FamilyOf(index.FaceOf("Missing Arabic Face")), "Detail Arabic");
    EXPECT_EQ(FamilyOf(index.FaceOf("Missing Hebrew Face")), "Detail Nolatin");
    EXPECT_NE(FamilyOf(index.FaceOf("No Such Face")), "Detail Arabic");
  }

  const std::vector<std::vector<char32_t>> queries = {{U'A'}, {U'\u0628'}, {U'\u05d0'}, {U'A', U'a', U'0'},
                                                      {U'\u0628', U'\u0630'}, {U'Z'}};
  for (const std::vector<std::string_view>* order : {&names, &reversed}) {
    for (const std::vector<char32_t>& query : queries) {
      CoverageIndex together(FoldAscii);
      together.SetQuery(query, "");
      const std::vector<bool> answers = together.MatchEach(*order);
      ASSERT_EQ(answers.size(), order->size());
      // Built and asked beside other work, the index answers the same.
      bool besides = false;
      CoverageIndex aside(FoldAscii, query, "", [&] { besides = true; });
      EXPECT_TRUE(besides);
      EXPECT_EQ(aside.MatchEach(*order), answers);
      EXPECT_EQ(aside.MatchEach(*order), answers);  // again, without the second thread
      for (std::size_t i = 0; i < order->size(); ++i) {
        CoverageIndex alone(FoldAscii);
        alone.SetQuery(query, "");
        EXPECT_EQ(answers[i], alone.Matches((*order)[i]))
            << "\"" << (*order)[i] << "\" for U+" << std::hex << static_cast<unsigned>(query.front());
      }
    }
  }
  // The faces saved for the names answer every query as the names do, once the
  // index has answered one query or none.
  for (const std::vector<std::string_view>* order : {&names, &reversed}) {
    for (const bool asked : {false, true}) {
      CoverageIndex index(FoldAscii);
      if (asked) {
        index.SetQuery({U'\u0628'}, "");
        index.MatchEach(*order);
      }
      const std::optional<SavedCoverage> saved = index.Save(*order);
      ASSERT_TRUE(saved.has_value());
      ASSERT_EQ(saved->names.size(), order->size());
      std::vector<std::pair<std::vector<char32_t>, std::string>> all;
      for (const std::vector<char32_t>& query : queries) all.emplace_back(query, "");
      for (const char* language : {"ar", "he", "en"}) all.emplace_back(std::vector<char32_t>{}, language);
      all.emplace_back(std::vector<char32_t>{U'A'}, "en");
      for (const auto& [characters, language] : all) {
        CoverageIndex fresh(FoldAscii);
        fresh.SetQuery(characters, language);
        EXPECT_EQ(CoverageIndex::MatchSaved(*saved, characters, language), fresh.MatchEach(*order))
            << language << " " << asked;
      }
    }
  }
  // A name in other letter cases finds the same face, whatever its length (the
  // index hashes eight bytes at a time).
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"Test Pair", "TEST PAIR"},         {"Test Pair Italic", "test pair italic"}, {"DetailOdd-Heavy", "DETAILODD-HEAVY"},
      {"TestSans-Bold", "testsans-BOLD"}, {"Test Fixed", "tEST fIXED"},             {"Detail Steps", "DETAIL STEPS"},
      {"Test Sans Bold", "Test sans bold"}, {"Detail Arabic", "detail arabic"}};
  const auto where = [](FcPattern* face) {
    FcChar8* file = nullptr;
    int at = 0;
    if (face == nullptr || FcPatternGetString(face, FC_FILE, 0, &file) != FcResultMatch) return std::string();
    FcPatternGetInteger(face, FC_INDEX, 0, &at);
    return std::string(reinterpret_cast<const char*>(file)) + ":" + std::to_string(at);
  };
  for (const auto& [name, other] : cases) {
    CoverageIndex index(FoldAscii);
    const std::string face = where(index.FaceOf(name));
    ASSERT_FALSE(face.empty()) << name;
    EXPECT_EQ(face, where(index.FaceOf(other))) << other;
    EXPECT_NE(face, where(index.FaceOf("No Such Face"))) << name;
  }

  for (const char* language : {"ar", "he", "en"}) {
    CoverageIndex plain(FoldAscii);
    plain.SetQuery({}, language);
    CoverageIndex aside(FoldAscii, {}, language, [] {});
    EXPECT_EQ(aside.MatchEach(names), plain.MatchEach(names)) << language;
  }

  // The rows tell the names apart: only the rules' names draw in those faces.
  CoverageIndex index(FoldAscii);
  index.SetQuery({U'\u0628'}, "");
  const std::vector<bool> arabic = index.MatchEach(names);
  EXPECT_TRUE(arabic[0]);
  EXPECT_FALSE(arabic[2]);
  EXPECT_FALSE(arabic[3]);
  EXPECT_FALSE(arabic[7]);
  index.SetQuery({U'\u05d0'}, "");
  const std::vector<bool> hebrew = index.MatchEach(names);
  EXPECT_FALSE(hebrew[0]);
  EXPECT_FALSE(hebrew[2]);
  EXPECT_TRUE(hebrew[3]);
}

}  // namespace
}  // namespace typeloom::platform
