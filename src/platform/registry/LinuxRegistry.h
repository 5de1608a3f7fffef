#pragma once
// The registry on Linux: HKEY_LOCAL_MACHINE's fonts key lists the fonts that
// fontconfig knows; every other key lives in the per-user file hive.
#include "platform/registry/Registry.h"

#include <memory>
#include <string>
#include <string_view>

namespace typeloom::platform {

class InstalledFonts;
struct ShellIdentity;

// The key whose values are the installed fonts.
inline constexpr std::string_view kFontsKeyPath = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

// Over LinuxInstalledFonts() and the hive at FileHiveRegistry::DefaultPath().
std::unique_ptr<Registry> MakeLinuxRegistry();
// The same, with the font types' shell commands mounted onto the XDG desktop files
// (see platform/shell/ShellBindings.h) for the program `identity` describes.
std::unique_ptr<Registry> MakeLinuxRegistry(const ShellIdentity& identity);
// The same composition over given parts (tests); an empty hivePath means the default.
std::unique_ptr<Registry> MakeLinuxRegistry(InstalledFonts& fonts, std::string hivePath);

}  // namespace typeloom::platform
