// A main window stand-in with the splash shown over it, for screenshots under a
// compositor: "shown" once both are up; ends when standard input closes.
#include "about/Logo.h"
#include "platform/ui/QtClock.h"

#include <QApplication>
#include <QPainter>
#include <QSocketNotifier>
#include <QWidget>
#include <QWindow>

#include <cstdio>

#include <unistd.h>

namespace {

// The main window's client area, painted in one colour the test finds again.
class MainWindow : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(0, 255, 0)); }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  MainWindow main;
  main.setWindowTitle("main");
  main.setFixedSize(600, 500);
  main.show();
  typeloom::platform::QtClock clock;
  typeloom::platform::QtEventPump events;
  typeloom::about::LogoSplash splash(clock, events, &main);
  // Once the main window is on screen, as at its first activation.
  while (main.windowHandle() == nullptr || !main.windowHandle()->isExposed()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  splash.Show();
  std::printf("shown\n");
  std::fflush(stdout);
  QSocketNotifier input(0, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [] {
    char buffer[256];
    if (::read(0, buffer, sizeof buffer) <= 0) QApplication::quit();
  });
  return app.exec();
}
