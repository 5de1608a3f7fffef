// MatchFace must answer exactly what fontconfig's own match over every face answers,
// for every installed family and for configurations whose rules change the request.
#include "platform/fonts/FamilyMatch.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <string>
#include <vector>

namespace typeloom::platform {
namespace {

using Config = std::unique_ptr<FcConfig, decltype(&FcConfigDestroy)>;
using Pattern = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>;

// A configuration over the installed fonts, with extra rules after the system's own.
Config LoadConfig(const std::string& rules) {
  Config config(FcConfigCreate(), FcConfigDestroy);
  // The configuration file fontconfig itself would read (FONTCONFIG_FILE, else the system's).
  FcChar8* main = FcConfigFilename(nullptr);
  const std::string file = main != nullptr ? reinterpret_cast<char*>(main) : "/etc/fonts/fonts.conf";
  FcStrFree(main);
  const std::string xml = "<?xml version=\"1.0\"?><!DOCTYPE fontconfig SYSTEM \"fonts.dtd\"><fontconfig>"
                          "<include ignore_missing=\"yes\">" + file + "</include>" + rules + "</fontconfig>";
  if (!config || !FcConfigParseAndLoadFromMemory(config.get(), reinterpret_cast<const FcChar8*>(xml.c_str()), FcTrue) ||
      !FcConfigBuildFonts(config.get())) {
    return Config(nullptr, FcConfigDestroy);
  }
  return config;
}

std::vector<std::string> Families(FcConfig* config) {
  Pattern all(FcPatternCreate(), FcPatternDestroy);
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* set = FcFontList(config, all.get(), objects);
  FcObjectSetDestroy(objects);
  std::vector<std::string> families;
  for (int i = 0; set != nullptr && i < set->nfont; ++i) {
    FcChar8* name = nullptr;
    if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &name) == FcResultMatch) families.emplace_back(reinterpret_cast<char*>(name));
  }
  if (set != nullptr) FcFontSetDestroy(set);
  return families;
}

// Both answers for one request, as the program prepares it.
void ExpectSameAnswer(FcConfig* config, const std::string& family, int weight, int slant) {
  Pattern request(FcPatternCreate(), FcPatternDestroy);
  if (!family.empty()) FcPatternAddString(request.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(request.get(), FC_WEIGHT, weight);
  FcPatternAddInteger(request.get(), FC_SLANT, slant);
  FcConfigSubstitute(config, request.get(), FcMatchPattern);
  FcDefaultSubstitute(request.get());
  FcResult fullResult = FcResultNoMatch;
  FcResult ownResult = FcResultNoMatch;
  Pattern full(FcFontMatch(config, request.get(), &fullResult), FcPatternDestroy);
  Pattern own(MatchFace(config, request.get(), &ownResult), FcPatternDestroy);
  ASSERT_EQ(full == nullptr, own == nullptr) << family;
  if (full == nullptr) return;
  EXPECT_EQ(ownResult, fullResult) << family;
  if (!FcPatternEqual(full.get(), own.get())) {
    FcChar8* fullFile = nullptr;
    FcChar8* ownFile = nullptr;
    FcPatternGetString(full.get(), FC_FILE, 0, &fullFile);
    FcPatternGetString(own.get(), FC_FILE, 0, &ownFile);
    ADD_FAILURE() << "'" << family << "' weight " << weight << " slant " << slant << ": "
                  << (fullFile ? reinterpret_cast<char*>(fullFile) : "?") << " against "
                  << (ownFile ? reinterpret_cast<char*>(ownFile) : "?");
  }
}

struct Style {
  int weight;
  int slant;
};
constexpr Style kStyles[] = {{FC_WEIGHT_REGULAR, FC_SLANT_ROMAN},
                             {FC_WEIGHT_BOLD, FC_SLANT_ROMAN},
                             {FC_WEIGHT_REGULAR, FC_SLANT_ITALIC},
                             {FC_WEIGHT_BOLD, FC_SLANT_ITALIC}};

// The family as asked for in other spellings fontconfig takes as the same name.
std::vector<std::string> Spellings(const std::string& family) {
  std::string upper;
  std::string spaced;
  std::string joined;
  for (const char c : family) {
    upper.push_back((c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c);
    if (c != ' ') joined.push_back(c);
    spaced.push_back(c);
    spaced.push_back(' ');
  }
  return {family, upper, joined, spaced};
}

TEST(MatchFace, AnswersAsTheFullMatchForEveryInstalledFamilyAndStyle) {
  const Config config = LoadConfig("");
  ASSERT_TRUE(config);
  const std::vector<std::string> families = Families(config.get());
  ASSERT_FALSE(families.empty());
  for (const std::string& family : families) {
    for (const std::string& spelling : Spellings(family)) {
      for (const Style& style : kStyles) ExpectSameAnswer(config.get(), spelling, style.weight, style.slant);
    }
  }
  // Names installed nowhere, beyond ASCII, empty, and generic ones the rules expand.
  for (const char* name : {"No Such Family", "Ärger Grotesk", "", "sans-serif", "serif", "monospace", "Arial",
                           "Helvetica", "Times New Roman", "Courier"}) {
    for (const Style& style : kStyles) ExpectSameAnswer(config.get(), name, style.weight, style.slant);
  }
}

TEST(MatchFace, AnswersAsTheFullMatchWhenRulesChangeTheRequest) {
  const Config installed = LoadConfig("");
  ASSERT_TRUE(installed);
  const std::vector<std::string> families = Families(installed.get());
  ASSERT_GE(families.size(), 2u);
  // Asking for one family, where rules put another before it or add what weighs more.
  const std::string a = families.front();
  const std::string b = families.back();
  const std::string test = "<test name=\"family\"><string>" + a + "</string></test>";
  const struct {
    const char* label;
    std::string rules;
  } cases[] = {
      {"another family preferred", "<alias binding=\"strong\"><family>" + a + "</family><prefer><family>" + b +
                                       "</family></prefer></alias>"},
      {"another family prepended weakly",
       "<match>" + test + "<edit name=\"family\" mode=\"prepend\" binding=\"weak\"><string>" + b + "</string></edit></match>"},
      {"the family appended weakly only",
       "<match>" + test + "<edit name=\"family\" mode=\"assign_replace\" binding=\"weak\"><string>" + a +
           "</string></edit></match>"},
      {"a foundry asked for", "<match>" + test + "<edit name=\"foundry\"><string>urw</string></edit></match>"},
      {"outlines asked for", "<match>" + test + "<edit name=\"scalable\"><bool>false</bool></edit></match>"},
      {"coverage asked for",
       "<match>" + test + "<edit name=\"charset\"><charset><range><int>0x0600</int><int>0x06ff</int></range></charset></edit></match>"},
      {"a variable face asked for", "<match>" + test + "<edit name=\"variable\"><bool>true</bool></edit></match>"},
      {"either kind of face asked for",
       "<match>" + test + "<edit name=\"variable\" mode=\"append\"><bool>true</bool></edit></match>"},
      {"a format asked for", "<match>" + test + "<edit name=\"fontformat\"><string>Type 1</string></edit></match>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const Config config = LoadConfig(c.rules);
    ASSERT_TRUE(config);
    for (const std::string& family : {a, b}) {
      for (const Style& style : kStyles) ExpectSameAnswer(config.get(), family, style.weight, style.slant);
    }
  }
}

TEST(MatchFace, ApplicationFacesTakePartAsInTheFullMatch) {
  // The same file added as an application face ties with its installed copy: the
  // installed one must still win, as in the full match.
  const Config config = LoadConfig("");
  ASSERT_TRUE(config);
  FcFontSet* system = FcConfigGetFonts(config.get(), FcSetSystem);
  ASSERT_NE(system, nullptr);
  ASSERT_GT(system->nfont, 0);
  FcChar8* file = nullptr;
  ASSERT_EQ(FcPatternGetString(system->fonts[0], FC_FILE, 0, &file), FcResultMatch);
  ASSERT_TRUE(FcConfigAppFontAddFile(config.get(), file));
  FcChar8* family = nullptr;
  ASSERT_EQ(FcPatternGetString(system->fonts[0], FC_FAMILY, 0, &family), FcResultMatch);
  for (const Style& style : kStyles) {
    ExpectSameAnswer(config.get(), reinterpret_cast<char*>(family), style.weight, style.slant);
  }
}

}  // namespace
}  // namespace typeloom::platform

namespace typeloom::platform {
namespace {

using FontSet = std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)>;

struct FakeFace {
  std::vector<const char*> families;  // none: a face without a family
  int weight;
  int slant;
};

// Faces made up in memory, each named by its file so that answers can be told apart.
FontSet MakeSet(const std::vector<FakeFace>& faces, const std::string& prefix) {
  FontSet set(FcFontSetCreate(), FcFontSetDestroy);
  int n = 0;
  for (const FakeFace& face : faces) {
    FcPattern* p = FcPatternCreate();
    for (const char* family : face.families) FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(p, FC_WEIGHT, face.weight);
    FcPatternAddInteger(p, FC_SLANT, face.slant);
    const std::string file = prefix + std::to_string(n++) + ".ttf";
    FcPatternAddString(p, FC_FILE, reinterpret_cast<const FcChar8*>(file.c_str()));
    FcFontSetAdd(set.get(), p);
  }
  return set;
}

// What fontconfig's own listing by `family` holds: whether it lists a face, and
// whether a listed face spells the family exactly (by file, so that faces whose names
// differ only in case are not merged).
std::pair<bool, bool> ListedByFontconfig(FcConfig* config, FcFontSet** sets, int count, const char* family) {
  Pattern pattern(FcPatternCreate(), FcPatternDestroy);
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FILE, nullptr);
  FcFontSet* listed = FcFontSetList(config, sets, count, pattern.get(), objects);
  FcObjectSetDestroy(objects);
  bool exact = false;
  for (int i = 0; listed != nullptr && i < listed->nfont; ++i) {
    FcChar8* name = nullptr;
    for (int v = 0; FcPatternGetString(listed->fonts[i], FC_FAMILY, v, &name) == FcResultMatch; ++v) {
      exact = exact || std::string(reinterpret_cast<char*>(name)) == family;
    }
  }
  const bool any = listed != nullptr && listed->nfont > 0;
  if (listed != nullptr) FcFontSetDestroy(listed);
  return {any, exact};
}

std::string FileOf(FcPattern* p) {
  FcChar8* file = nullptr;
  return p != nullptr && FcPatternGetString(p, FC_FILE, 0, &file) == FcResultMatch ? reinterpret_cast<char*>(file) : "-";
}

// The walk's listing answer and its match must be fontconfig's own for names that
// differ from the faces' only in blanks, letter case or letters beyond ASCII that
// fontconfig folds (the Kelvin sign, long s, sharp s, dotted capital I, Greek).
TEST(FamilyFaces, ListsAndMatchesAsFontconfigForNamesThatDifferInBlanksCaseAndFolding) {
  const int R = FC_WEIGHT_REGULAR, B = FC_WEIGHT_BOLD, I = FC_SLANT_ITALIC, O = FC_SLANT_ROMAN;
  const std::vector<FakeFace> system = {
      {{"Test Sans"}, R, O},         {{"TestSans"}, B, O},           {{"test  sans"}, R, I},
      {{"Test Sans Mono"}, R, O},    {{"Other", "TEST SANS"}, B, I}, {{"\xE2\x84\xAA" "elvin"}, R, O},
      {{"Kelvin"}, B, O},            {{"\xC5\xBF" "erif"}, R, O},    {{"Stra\xC3\x9F" "e"}, R, O},
      {{"\xC4\xB0stanbul"}, R, O},   {{"\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1"}, R, O},
      {{"\xC3\x84rger Grotesk"}, B, O}, {{"Serif"}, B, I},       {{"\xE2\x84\xAA" "elvin Sans"}, B, I},
  };
  const std::vector<FakeFace> application = {{{"testsans"}, R, O}, {{"Serif"}, R, O}};
  const std::vector<FakeFace> nameless = {{{}, R, I}};
  const std::vector<FakeFace> broken = {{{"Test Sans"}, R, O}, {{"Te\xC3 st"}, B, O}};
  FontSet sys = MakeSet(system, "/sys/");
  FontSet app = MakeSet(application, "/app/");
  FontSet none = MakeSet(nameless, "/none/");
  FontSet bad = MakeSet(broken, "/bad/");
  Config config(FcConfigCreate(), FcConfigDestroy);
  ASSERT_TRUE(config);

  const struct {
    const char* label;
    std::vector<FcFontSet*> sets;
    bool decided;  // false: names that meet the broken name before they differ are left to fontconfig
  } setups[] = {
      {"system", {sys.get()}, true},
      {"system and application", {sys.get(), app.get()}, true},
      {"a face without a family", {none.get(), sys.get()}, true},
      {"a name that is not valid text", {bad.get()}, false},
  };
  const char* names[] = {"Test Sans", "TestSans", "testsans", "T E S T S A N S", "Test Sans Mono", "TEST SANS",
                         "Other", "Kelvin", "kelvin", "KELVIN", "serif", "Serif", "SERIF", "strasse", "STRASSE",
                         "Strasse", "kelvinsans", "KELVIN  SANS", "istanbul", "Istanbul", "Arger Grotesk", "No Such", " Test Sans "};
  const Style styles[] = {{R, O}, {B, O}, {R, I}, {B, I}};
  for (const auto& setup : setups) {
    SCOPED_TRACE(setup.label);
    std::vector<FcFontSet*> sets = setup.sets;
    const int count = static_cast<int>(sets.size());
    for (const char* name : names) {
      SCOPED_TRACE(name);
      const FamilyFaces faces(sets.data(), count, reinterpret_cast<const FcChar8*>(name));
      if (setup.decided) {
        ASSERT_TRUE(faces.Decided());
      } else {
        std::string folded;  // the broken name is "Te\xC3 st"
        for (const char c : std::string(name)) {
          if (c != ' ') folded.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
        }
        EXPECT_EQ(faces.Decided(), folded.rfind("te", 0) != 0);
      }
      if (faces.Decided()) {
        const auto [listed, exact] = ListedByFontconfig(config.get(), sets.data(), count, name);
        EXPECT_EQ(faces.Listed(), listed);
        EXPECT_EQ(faces.Exact(), exact);
      }
      // Matched for the family walked, and for another first family (as rules may put first).
      for (const char* asked : {name, "Serif"}) {
        for (const Style& style : styles) {
          Pattern request(FcPatternCreate(), FcPatternDestroy);
          FcPatternAddString(request.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(asked));
          FcPatternAddInteger(request.get(), FC_WEIGHT, style.weight);
          FcPatternAddInteger(request.get(), FC_SLANT, style.slant);
          FcDefaultSubstitute(request.get());
          FcResult fullResult = FcResultNoMatch;
          FcResult ownResult = FcResultNoMatch;
          Pattern full(FcFontSetMatch(config.get(), sets.data(), count, request.get(), &fullResult), FcPatternDestroy);
          Pattern own(faces.Match(config.get(), request.get(), &ownResult), FcPatternDestroy);
          EXPECT_EQ(FileOf(own.get()), FileOf(full.get())) << asked << " weight " << style.weight << " slant " << style.slant;
          EXPECT_EQ(ownResult, fullResult);
        }
      }
    }
  }
}

}  // namespace
}  // namespace typeloom::platform
