#pragma once

#include <cstdio>

namespace typeloom::platform {
class InstalledFonts;
class Registry;
}  // namespace typeloom::platform

namespace typeloom::app {

// Program entry: the informational options, then the start-up protocol (one
// instance per user; a later start hands its command line over and ends); the first
// instance then loads the window module and runs its window (WindowMain.h).
int RunMain(int argc, char** argv);

// `--list`: writes the installed-font list to `out`, one name a line, and returns 0;
// when the font service cannot be asked, writes one line to `err` and returns 1.
// `registry` is the registry over `fonts`.
int ListFonts(platform::InstalledFonts& fonts, platform::Registry& registry, std::FILE* out, std::FILE* err);

}  // namespace typeloom::app
