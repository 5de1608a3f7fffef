#pragma once
// The window half of start-up, in the window module: the application object, the
// first instance's listening side, the main window and its event loop.
#include "app/WindowSeams.h"
#include "platform/instance/HandOverMessage.h"

#include <QString>

#include <cstdio>

namespace typeloom::platform {
class GraphicsFacts;
class Registry;
class SystemFontFolder;
}  // namespace typeloom::platform

namespace typeloom::app {

// Runs the main window until it ends the program. `instanceLock` is the descriptor of
// the instance lock that the start protocol took (or -1); it stays held until exit.
int RunWindow(int argc, char** argv, int instanceLock, const MakeViewerWindows& makeWindows);

// `typeloom --details [--json | --coverage] FONT` (the last argument): prints what
// the details panel shows for that font, without a window. See PrintDetails.
int RunDetails(int argc, char** argv);

// What --details prints: the panel's lines, the JSON object of DetailsJson.h, or the
// face's coverage (CoverageSummary in CoverageText.h).
enum class DetailsForm { Lines, Json, Coverage };

// Writes what the details panel shows for `font` (a font-list name or a font file,
// CommandLineFont.h) to `out` in `form` and returns 0; for Lines, its lines, then
// "Copyright: " and the copyright label. When `font` names no font, writes one line
// to `err` and returns 1.
int PrintDetails(const QString& font, DetailsForm form, platform::Registry& registry, platform::SystemFontFolder& folder,
                 platform::GraphicsFacts& facts, std::FILE* out, std::FILE* err);

// Hands a later start's request to the top-level window captioned " Typeloom" (or,
// failing that, one whose caption begins so): keeps its command line in `module`
// for the hand-over key, brings the window forward with the request's activation
// identifiers and sends it the key. False when there is no such window.
bool DeliverHandOver(const platform::HandOverRequest& request, FontModule& module);

// Shows `text` in a message box (plain text) and returns 1: a start that must not run.
int ShowStartError(int argc, char** argv, const QString& text);

}  // namespace typeloom::app
