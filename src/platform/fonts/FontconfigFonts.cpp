#include "platform/fonts/FontconfigFonts.h"

#include "platform/fonts/FontFileNames.h"
#include "platform/fonts/FontsKeyNames.h"
#include "platform/registry/Registry.h"

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
  // The index by folded file name is built on the first lookup (--list needs none).
  if (!indexed_) {
    indexed_ = true;
    byLowerName_.reserve(files_.size());
    for (std::size_t i = 0; i < files_.size(); ++i) byLowerName_.try_emplace(reg::FoldName(files_[i].fileName), i);
  }
  const auto it = byLowerName_.find(reg::FoldName(catalogueFile));
  return it == byLowerName_.end() ? std::string() : files_[it->second].path;
}

FontconfigFonts& LinuxInstalledFonts() {
  // Lives until the process ends; not taken down at exit, where nothing reads it.
  static FontconfigFonts* fonts = new FontconfigFonts;
  return *fonts;
}

bool ReloadFontconfig() { return FcInitReinitialize() != FcFalse; }

}  // namespace typeloom::platform
