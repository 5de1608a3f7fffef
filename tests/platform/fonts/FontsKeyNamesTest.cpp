#include "platform/fonts/FontsKeyNames.h"
#include "platform/registry/Registry.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace typeloom::platform::fontskey {
namespace {

std::vector<std::string> Faces(int count, const std::string& stem) {
  std::vector<std::string> faces;
  for (int n = 1; n <= count; ++n) faces.push_back(stem + " " + std::to_string(n));
  return faces;
}

TEST(FontsKeyNames, CollectionsJoinOnlyTheFacesThatFit) {
  struct Case {
    const char* name;
    std::vector<std::string> faces;
    std::string expected;  // empty: only checked for length and first face
  };
  const std::string longFace(600, 'x');
  // "é" is two bytes: a cut must not split it.
  std::string accented;
  for (int i = 0; i < 300; ++i) accented += "\xC3\xA9";
  const Case cases[] = {
      {"one face", {"DejaVu Sans"}, "DejaVu Sans (TrueType)"},
      {"two faces", {"Pair Regular", "Pair Italic"}, "Pair Regular & Pair Italic (TrueType)"},
      {"sixty faces", Faces(60, "Noto Sans CJK Collection Face Number"), ""},
      {"one face longer than the limit", {longFace, "Second"}, ""},
      {"multi-byte face longer than the limit", {accented}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = ScalableName(c.faces, "(TrueType)");
    if (!c.expected.empty()) {
      EXPECT_EQ(name, c.expected);
    }
    EXPECT_LT(name.size(), kMaxValueNameBytes);
    EXPECT_EQ(name.rfind(" (TrueType)"), name.size() - 11);
    EXPECT_EQ(name.compare(0, 10, c.faces.front(), 0, 10), 0);
    // Valid UTF-8 at the cut, and whole faces when the first one fits.
    const std::string body = name.substr(0, name.size() - 11);
    EXPECT_NE(static_cast<unsigned char>(body.back()) & 0xC0, 0xC0);
    std::string joined;
    int whole = 0;
    for (const std::string& face : c.faces) {
      joined += (joined.empty() ? "" : " & ") + face;
      if (joined == body) whole = static_cast<int>(&face - c.faces.data()) + 1;
    }
    if (c.faces.front().size() < kMaxValueNameBytes) {
      EXPECT_GE(whole, std::min<int>(2, static_cast<int>(c.faces.size())));
    }
  }
}

TEST(FontsKeyNames, BitmapNamesAreFamilySizesThenStyle) {
  struct Case {
    const char* family;
    const char* style;
    std::set<int> sizes;
    const char* expected;
  };
  const Case cases[] = {
      {"Fixed", "Medium", {8, 10, 12}, "Fixed 8,10,12 (Bitmap)"},
      {"Fixed", "Regular", {10}, "Fixed 10, (Bitmap)"},
      {"Fixed", "Bold", {8, 10, 12}, "Fixed 8,10,12 Bold (Bitmap)"},
      {"Fixed", "Bold Italic", {10}, "Fixed 10, Bold Italic (Bitmap)"},
      {"Fixed", "Oblique", {10}, "Fixed Oblique 10, (Bitmap)"},
      {"Fixed", "", {}, "Fixed (Bitmap)"},
  };
  for (const Case& c : cases) EXPECT_EQ(BitmapName(c.family, c.style, c.sizes), c.expected) << c.expected;
  EXPECT_LT(BitmapName(std::string(900, 'F'), "Bold", {10, 12}).size(), kMaxValueNameBytes);
}

TEST(FontsKeyNames, RepeatedNamesGetANumberInsideTheirParentheses) {
  std::vector<InstalledFontFile> files = {
      {"DejaVu Sans (TrueType)", "a.ttf", "/a/a.ttf"},   {"DejaVu Sans (TrueType)", "a.ttf", "/b/a.ttf"},
      {"dejavu sans (truetype)", "c.ttf", "/c/c.ttf"},   {"DejaVu Sans (TrueType 2)", "d.ttf", "/d/d.ttf"},
      {"Fixed 10, (Bitmap)", "f1.bdf", "/f/f1.bdf"},     {"Fixed 10, (Bitmap)", "f2.bdf", "/f/f2.bdf"},
      {"No Parentheses", "n1.ttf", "/n/n1.ttf"},         {"No Parentheses", "n2.ttf", "/n/n2.ttf"},
      {"Ärger Sans (TrueType)", "e1.ttf", "/e/e1.ttf"},  {"äRGER SANS (TrueType)", "e2.ttf", "/e/e2.ttf"},
      {"Ωμέγα (OpenType)", "o1.otf", "/o/o1.otf"},       {"ΩΜΈΓΑ (OpenType)", "o2.otf", "/o/o2.otf"},
      // Beyond ASCII only past the first eight bytes, and only in the last one.
      {"Sans Serif Extra Ärger (TrueType)", "l1.ttf", "/l/l1.ttf"},
      {"SANS SERIF EXTRA äRGER (TrueType)", "l2.ttf", "/l/l2.ttf"},
      {"Wide Sans Ω", "w1.ttf", "/w/w1.ttf"},            {"WIDE SANS ω", "w2.ttf", "/w/w2.ttf"},
      {"Wide Sans Ώ", "w3.ttf", "/w/w3.ttf"},
  };
  MakeUnique(files);
  const std::vector<std::string> expected = {
      "DejaVu Sans (TrueType)", "DejaVu Sans (TrueType 3)", "dejavu sans (truetype 4)",
      "DejaVu Sans (TrueType 2)",  // an existing name is never given to another file
      "Fixed 10, (Bitmap)",     "Fixed 10, (Bitmap 2)",     "No Parentheses",
      "No Parentheses (2)",
      // Folded as the registry folds names: beyond ASCII too.
      "Ärger Sans (TrueType)",  "äRGER SANS (TrueType 2)",  "Ωμέγα (OpenType)",
      "ΩΜΈΓΑ (OpenType 2)",     "Sans Serif Extra Ärger (TrueType)", "SANS SERIF EXTRA äRGER (TrueType 2)",
      "Wide Sans Ω",            "WIDE SANS ω (2)",          "Wide Sans Ώ",
  };
  for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(files[i].valueName, expected[i]) << i;

  // Many copies of one font (a font set linked into many folders): numbers in order,
  // skipping one a file already has.
  std::vector<InstalledFontFile> copies(20, {"Noto Sans (TrueType)", "n.ttf", "/x/n.ttf"});
  copies.push_back({"Noto Sans (TrueType 5)", "m.ttf", "/m/m.ttf"});
  MakeUnique(copies);
  std::vector<std::string> numbered;
  for (const InstalledFontFile& f : copies) numbered.push_back(f.valueName);
  std::vector<std::string> wanted = {"Noto Sans (TrueType)"};
  for (int n = 2; n <= 21; ++n) {
    if (n != 5) wanted.push_back("Noto Sans (TrueType " + std::to_string(n) + ")");
  }
  wanted.push_back("Noto Sans (TrueType 5)");
  EXPECT_EQ(numbered, wanted);
}

TEST(FontsKeyNames, FindFileNameTakesTheFirstFileThatFoldsAlike) {
  std::vector<InstalledFontFile> files;
  for (const char* name : {"DejaVuSans.ttf", "C059-Roman.otf", "\xC3\x84rger.ttf", "dejavusans.ttf", "Kelvin.ttf",
                           "\xE2\x84\xAA" "elvin.ttf", "a.ttf2", "A.TTF", "", "Stra\xC3\x9F" "e.ttf"}) {
    files.push_back({std::string(name) + " (TrueType)", name, std::string("/fonts/") + name});
  }
  const struct {
    const char* wanted;
    std::size_t expected;  // files.size(): none
  } cases[] = {
      {"dejavusans.ttf", 0},  // the first of two that fold alike
      {"DEJAVUSANS.TTF", 0},
      {"c059-roman.otf", 1},
      {"c059-roman.ot", 10},  // a prefix is not the name
      {"c059-roman.otff", 10},
      {"\xC3\xA4rger.ttf", 2},  // beyond ASCII, folded in full
      {"\xC3\x84RGER.TTF", 2},
      {"kelvin.ttf", 4},  // the Kelvin sign folds to "k": the ASCII file comes first
      {"\xE2\x84\xAA" "ELVIN.ttf", 4},
      {"a.ttf", 7},
      {"", 8},
      {"strasse.ttf", 10},  // case folding, not full folding
      {"STRA\xC3\x9F" "E.TTF", 9},
      {"arial.ttf", 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wanted);
    EXPECT_EQ(FindFileName(files, c.wanted), c.expected);
    // The same answer as comparing every folded name.
    std::size_t reference = files.size();
    for (std::size_t i = 0; i < files.size() && reference == files.size(); ++i) {
      if (reg::FoldName(files[i].fileName) == reg::FoldName(c.wanted)) reference = i;
    }
    EXPECT_EQ(FindFileName(files, c.wanted), reference);
  }
  EXPECT_EQ(FindFileName({}, "a.ttf"), 0u);
}

}  // namespace
}  // namespace typeloom::platform::fontskey
