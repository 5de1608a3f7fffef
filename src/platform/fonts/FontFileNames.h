#pragma once
// The installed font files as fontconfig lists them, one entry per file, named as the
// fonts key names them (FontconfigFonts.h), before repeated names are told apart.
// Standard C++ and fontconfig only: the list filter answers through it without Qt.
#include "platform/fonts/InstalledFonts.h"

#include <string>
#include <vector>

namespace typeloom::platform {

// Fills `files` in path order; false when fontconfig could not be initialised.
bool ReadFontFiles(std::vector<InstalledFontFile>& files);

// The same files' value names only (no paths kept), in the same order.
bool ReadFontFileNames(std::vector<std::string>& valueNames);

}  // namespace typeloom::platform
