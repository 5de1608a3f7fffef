#pragma once
#include "app/WindowSeams.h"

namespace typeloom::app {

// The program's own windows, each behind its seam.
ViewerWindows MakeProgramWindows(MainWindowState& main, FontModule& module, Services& services);

}  // namespace typeloom::app
