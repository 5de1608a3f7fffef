#include "platform/fonts/FontconfigFonts.h"

#include "platform/fonts/FontFileNames.h"
#include "platform/fonts/FontsKeyNames.h"

#include <fontconfig/fontconfig.h>

namespace typeloom::platform {

void FontconfigFonts::Load() {
  loaded_ = true;
  failed_ = !ReadFontFiles(files_);
  if (failed_) return;
  // Repeated names (one font in two folders, the files of one bitmap family) are
  // told apart, so that every file can be looked up by its own value name.
  fontskey::MakeUnique(files_);
}

bool FontconfigFonts::Available() {
  if (!loaded_) Load();
  return !failed_;
}

const std::vector<InstalledFontFile>& FontconfigFonts::Files() {
  if (!loaded_) Load();
  return files_;
}

std::string FontconfigFonts::PathOf(std::string_view catalogueFile) {
  if (!loaded_) Load();
  // One lookup for each font the user chooses: a scan costs less than folding every
  // file's name into an index would, and keeps no second copy of the names.
  const std::size_t i = fontskey::FindFileName(files_, catalogueFile);
  return i == files_.size() ? std::string() : files_[i].path;
}

FontconfigFonts& LinuxInstalledFonts() {
  // Lives until the process ends; not taken down at exit, where nothing reads it.
  static FontconfigFonts* fonts = new FontconfigFonts;
  return *fonts;
}

bool ReloadFontconfig() { return FcInitReinitialize() != FcFalse; }

}  // namespace typeloom::platform
