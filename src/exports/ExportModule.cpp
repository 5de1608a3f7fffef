// Entry of the export module (typeloom-export.so), which the program loads for
// --render and --specimen: Qt SVG is mapped only by those.
#include "exports/FontExport.h"

extern "C" __attribute__((visibility("default"))) int typeloom_run_export(int argc, char** argv) {
  return typeloom::exports::RunExport(argc, argv);
}
