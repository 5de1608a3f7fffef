#pragma once
// The start-up splash: a small magenta window with rounded corners that shows the
// program's name, two icons, the version and a line asking the user to wait.
#include "app/WindowSeams.h"

#include <QPixmap>
#include <QRegion>
#include <QWidget>

#include <memory>

class QLabel;

namespace typeloom::platform {
class Clock;
class EventPump;
}  // namespace typeloom::platform

namespace typeloom::about {

// "Version 1.4"; the minor number without leading zeros.
QString VersionCaption(int major, int minor);
// The maker's notice line, ending in the registered sign.
QString MakerNotice();
// The rounded outline of a window `width` x `height` device pixels: the rectangle
// from (1, 1) to (width, height) with corner ellipses `corner` pixels wide and high.
QRegion RoundedOutline(int width, int height, int corner = 40);
// The program's icon and the splash's second icon, `size` pixels square.
QPixmap ProgramIcon(int size = 32);
QPixmap SampleIcon(int size = 32);

class Logo : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 3975;   // twips
  static constexpr int kClientHeight = 2955;  // twips

  Logo(platform::Clock& clock, platform::EventPump& events, QWidget* parent = nullptr);

  // Builds the texts and the shape.
  void Form_Load();
  // Paints at once, then holds for one second while events keep running.
  void Form_Activate();
  // Cuts the window to its rounded outline.
  void SetRoundedShape();

  QLabel* Label0 = nullptr;  // the program's name
  QLabel* Image2 = nullptr;
  QLabel* Image3 = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* Label2 = nullptr;  // version
  QLabel* Label3 = nullptr;  // maker's notice
  QLabel* Message = nullptr;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  platform::Clock& clock_;
  platform::EventPump& events_;
};

// The splash as the main window uses it: each Show loads a fresh Logo, shows it
// and runs its activation (the one-second hold); Close unloads it.
class LogoSplash final : public app::SplashScreen {
 public:
  LogoSplash(platform::Clock& clock, platform::EventPump& events);
  ~LogoSplash() override;
  void Show() override;
  void Close() override;
  Logo* Window() const { return logo_.get(); }

 private:
  platform::Clock& clock_;
  platform::EventPump& events_;
  std::unique_ptr<Logo> logo_;
};

}  // namespace typeloom::about
