#pragma once
// The installed fonts as fontconfig knows them, one entry per font file, named the
// way the fonts key of the registry names them:
//   "Test Sans Bold (TrueType)"            a TrueType-outline face
//   "Test Serif (OpenType)"                a CFF-outline face
//   "Pair Regular & Pair Italic (TrueType)" the faces of a collection, in index order
//   "Fixed 8,10,12 Bold (Bitmap)"          a bitmap family: the point sizes (at 96 DPI)
//                                          of all files of that family and style
//   "Fixed 10, (Bitmap)"                   a single size is followed by a comma
// Every name is unique and shorter than 500 bytes: a repeated name gets a number
// inside its parentheses ("Fixed 10, (Bitmap 2)"), see FontsKeyNames.h.
// Variable fonts count once, by their default instance. The list is read with one
// font listing on first use and kept for the life of the object.
#include "platform/fonts/InstalledFonts.h"

#include <string>
#include <vector>

namespace typeloom::platform {

class FontconfigFonts final : public InstalledFonts, public SystemFontFolder {
 public:
  const std::vector<InstalledFontFile>& Files() override;
  bool Available() override;
  // The absolute path of the installed file whose lower-cased base name is given
  // (the first by path when several share it); empty when there is none.
  std::string PathOf(std::string_view catalogueFile) override;

 private:
  void Load();

  bool loaded_ = false;
  bool failed_ = false;  // fontconfig could not be initialised or asked
  std::vector<InstalledFontFile> files_;
};

// The process's installed fonts, shared by the registry's fonts key and the font folder.
FontconfigFonts& LinuxInstalledFonts();

// Makes fontconfig read its configuration ($FONTCONFIG_FILE) and font folders again.
// Objects that have already listed the fonts keep their lists.
bool ReloadFontconfig();

}  // namespace typeloom::platform
