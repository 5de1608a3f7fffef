// Entry of the print module (typeloom-print.so), which the main window loads the
// first time it opens the print dialog: printing's libraries (Qt Print Support,
// CUPS and theirs) are then mapped only by a start that prints.
#include "print/PrinterSetup.h"

extern "C" __attribute__((visibility("default"))) typeloom::app::WindowSeam* typeloom_make_print_dialog(
    typeloom::app::MainWindowState* main) {
  return typeloom::print::MakePrintDialog(*main).release();
}
