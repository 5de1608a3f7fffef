#pragma once
// Small test fonts built at test time with fontTools (tests/support/make_test_fonts.py,
// run by /usr/bin/python3), and a sandboxed fontconfig that sees only them.
//
// Typical use, in a test executable of its own (fontconfig reads its configuration
// once per process):
//
//   std::string error;
//   ASSERT_TRUE(FontFixtures::UseSandboxFontconfig(&error)) << error;
//   platform::ReloadFontconfig();   // only needed when fontconfig was used already
//   ... FontFixtures::Expected() lists the files and their fonts-key names ...
//
// The fonts are built once per build tree into $TYPELOOM_BINARY_DIR/test-fonts-<n>
// (or a folder under the system temp folder when that variable is unset); concurrent
// test processes share the result safely.
#include <string>
#include <vector>

namespace typeloom::testsupport {

struct FixtureFont {
  std::string relativePath;  // below FontFolder(), e.g. "Nested/Deeper/TestSerif-Regular.otf"
  std::string valueName;     // the fonts key's name for the file, e.g. "Test Serif Regular (OpenType)"
};

class FontFixtures {
 public:
  // The folder holding the test fonts, built on first call. Empty on failure, with
  // the reason in *error.
  static std::string FontFolder(std::string* error = nullptr);

  // The fonts whose tables the details panel and size lists are tested against
  // (tests/support/make_test_fonts.py --details), built like FontFolder().
  static std::string DetailsFontFolder(std::string* error = nullptr);

  // Fonts of known character coverage (make_test_fonts.py --coverage): Cover Latin,
  // Cover Greek (Latin and Greek), Cover Arabic, Cover Cjk Regular (a Japanese code
  // page) and Cover Symbol Regular, built like FontFolder().
  static std::string CoverageFontFolder(std::string* error = nullptr);

  // Writes fonts.conf into `workFolder`, listing only `fontFolders` and keeping the
  // font cache in `workFolder`/cache. Returns the file's path, empty on failure.
  static std::string WriteFontconfigConfig(const std::string& workFolder, const std::vector<std::string>& fontFolders);

  // Builds the fonts, writes a configuration over them into a temporary folder that
  // lives until the process ends and points FONTCONFIG_FILE at it.
  static bool UseSandboxFontconfig(std::string* error = nullptr);
  // Points FONTCONFIG_FILE at a configuration over `folders` only.
  static bool UseSandboxFontconfig(const std::vector<std::string>& folders, std::string* error);

  // Every test font file, in path order, with the name the fonts key gives it.
  static const std::vector<FixtureFont>& Expected();

  // The family of the face `fc-match` picks for `name` under the current
  // FONTCONFIG_FILE: fontconfig's own answer, found without this program's code.
  // Empty when the tool fails.
  static std::string FcMatchFamily(const std::string& name);
};

}  // namespace typeloom::testsupport
