// The start module's entry: the executable (app/main.cpp) calls it for every command
// line it does not answer itself.
#include "app/Main.h"

extern "C" __attribute__((visibility("default"))) int typeloom_run_main(int argc, char** argv) {
  return typeloom::app::RunMain(argc, argv);
}
