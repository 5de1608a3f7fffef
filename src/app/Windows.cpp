#include "app/Windows.h"

#include "app/FontModule.h"
#include "options/Options.h"
#include "print/PrinterSetup.h"
#include "summary/Summary.h"

namespace typeloom::app {

// One line a window: each window's library adds its seam here.
ViewerWindows MakeProgramWindows(MainWindowState& main, FontModule& module, Services& services) {
  ViewerWindows windows;
  windows.options = options::MakeOptionsWindow(main, module, services);
  windows.printDialog = print::MakePrintDialog(main);
  windows.summary = summary::MakeSummaryWindow(main);
  return windows;
}

}  // namespace typeloom::app
