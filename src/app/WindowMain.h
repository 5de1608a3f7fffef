#pragma once
// The window half of start-up, in the window module: the application object, the
// first instance's listening side, the main window and its event loop.
#include "app/WindowSeams.h"

namespace typeloom::app {

// Runs the main window until it ends the program. `instanceLock` is the descriptor of
// the instance lock that the start protocol took (or -1); it stays held until exit.
int RunWindow(int argc, char** argv, int instanceLock, const MakeViewerWindows& makeWindows);

// Activates the top-level window captioned " Typeloom" (or, failing that, one whose
// caption begins so) and sends it the hand-over key. False when there is none.
bool DeliverHandOver();

}  // namespace typeloom::app
