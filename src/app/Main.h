#pragma once

#include "platform/instance/HandOverMessage.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace typeloom::platform {
class InstalledFonts;
class Registry;
}  // namespace typeloom::platform

class QString;

namespace typeloom::app {

// Program entry: the informational options, then the start-up protocol (one
// instance per user; a later start hands its command line over and ends); the first
// instance then loads the window module and runs its window (WindowMain.h).
int RunMain(int argc, char** argv);

// The hand-over of a later start with arguments argv[1..]: the launcher's startup id
// and activation token from `environment` (dropped when they cannot travel), and,
// on X11 when no launch time is known, `serverTime()`.
platform::HandOverRequest MakeHandOverRequest(int argc, char** argv,
                                              const std::function<const char*(const char*)>& environment,
                                              const std::function<std::uint32_t()>& serverTime);

// `--list`: writes the installed-font list to `out`, one name a line, and returns 0;
// when the font service cannot be asked, writes one line to `err` and returns 1.
// `registry` is the registry over `fonts`.
int ListFonts(platform::InstalledFonts& fonts, platform::Registry& registry, std::FILE* out, std::FILE* err);

// `--list --covers TEXT --lang TAG` (`arguments` are those after --list): only the
// names whose face covers every character of TEXT and supports TAG, in list order.
// A mistake on the command line (an empty or malformed text, an unknown tag) is one
// line on `err` and status 2.
int ListCoveringFonts(const std::vector<std::string_view>& arguments, platform::InstalledFonts& fonts,
                      platform::Registry& registry, std::FILE* out, std::FILE* err);

// `--details --coverage NAME` for a name the font list holds exactly: the face's
// character count and languages, a line each, and status 0 (1 when fontconfig gives
// no face or the output fails). Nothing, and nothing printed, for any other name:
// the caller reads it as --details does (a font file).
std::optional<int> PrintListCoverage(const QString& name, platform::InstalledFonts& fonts,
                                     platform::Registry& registry, std::FILE* out, std::FILE* err);

}  // namespace typeloom::app
