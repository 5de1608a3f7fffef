#pragma once

#include "app/WindowSeams.h"

namespace typeloom::app {

// Program entry: the informational options, then the start-up protocol (one
// instance per user; a later start hands its command line over and ends).
int RunMain(int argc, char** argv, const MakeViewerWindows& makeWindows = {});

}  // namespace typeloom::app
