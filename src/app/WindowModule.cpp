// The window module's entry, looked up by the program (app/Main.cpp) once it knows
// that this start opens the window.
#include "app/WindowMain.h"
#include "app/Windows.h"

extern "C" __attribute__((visibility("default"))) int typeloom_run_window(int argc, char** argv, int instanceLock) {
  return typeloom::app::RunWindow(argc, argv, instanceLock, typeloom::app::MakeProgramWindows);
}

extern "C" __attribute__((visibility("default"))) int typeloom_run_details(int argc, char** argv) {
  return typeloom::app::RunDetails(argc, argv);
}

extern "C" __attribute__((visibility("default"))) int typeloom_show_start_error(int argc, char** argv, const char* text) {
  return typeloom::app::ShowStartError(argc, argv, QString::fromUtf8(text));
}
