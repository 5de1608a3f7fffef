// MatchFace must answer exactly what fontconfig's own match over every face answers,
// for every installed family and for configurations whose rules change the request.
#include "platform/fonts/FamilyMatch.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <memory>
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
