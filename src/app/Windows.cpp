#include "app/Windows.h"

#include "app/FontModule.h"
#include "options/Options.h"
#include "print/PrinterSetup.h"
#include "summary/Summary.h"
#include "about/Logo.h"
#include "about/frmAbout.h"
#include "update/InternetUpdate.h"
#include "update/MainWindowUpdate.h"

namespace typeloom::app {

// One line a window: each window's library adds its seam here.
ViewerWindows MakeProgramWindows(MainWindowState& main, FontModule& module, Services& services) {
  ViewerWindows windows;
  windows.options = options::MakeOptionsWindow(main, module, services);
  windows.printDialog = print::MakePrintDialog(main);
  windows.summary = summary::MakeSummaryWindow(main);
  windows.splash = std::make_unique<about::LogoSplash>(services.clock, services.events);
  // InternetUpdate1: once it has started an installer, the program ends.
  update::InternetUpdate* update = update::MakeInternetUpdate1(main.MainWidget(), services.messages, services.events);
  QObject::connect(update, &update::InternetUpdate::UpdateStarted, update, [&main] { main.EndProgram(); });
  windows.about = about::MakeAboutSeam(main, services.messages, update);
  return windows;
}

}  // namespace typeloom::app
