// Entry of the About module (typeloom-about.so), which the main window loads the
// first time it opens the About box: the box and InternetUpdate1 with their
// network and signature libraries are then mapped only by a start that asks for them.
#include "about/frmAbout.h"
#include "update/InternetUpdate.h"
#include "update/MainWindowUpdate.h"

#include <QObject>

extern "C" __attribute__((visibility("default"))) typeloom::app::WindowSeam* typeloom_make_about(
    typeloom::app::MainWindowState* main, typeloom::platform::MessageBoxes* messages,
    typeloom::platform::EventPump* events) {
  using namespace typeloom;
  // InternetUpdate1: once it has started an installer, the program ends.
  update::InternetUpdate* update = update::MakeInternetUpdate1(main->MainWidget(), *messages, *events);
  QObject::connect(update, &update::InternetUpdate::UpdateStarted, update, [main] { main->EndProgram(); });
  return about::MakeAboutSeam(*main, *messages, update).release();
}
