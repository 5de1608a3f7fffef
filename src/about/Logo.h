#pragma once
// The start-up splash: a small magenta window with rounded corners that shows the
// program's name, two icons, the version and a line asking the user to wait.
#include "app/WindowSeams.h"
#include "platform/ui/WindowSystem.h"

#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
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
// The same outline as a path to fill antialiased, for a window `size` logical
// pixels at `ratio` device pixels per logical pixel: corners stay `corner` device
// pixels whatever the scale.
QPainterPath RoundedOutlinePath(QSizeF size, qreal ratio, int corner = 40);

// How the splash shows on a window system.
struct SplashLook {
  // Cut to the rounded outline by a window mask (X11: what lies outside is not drawn).
  bool maskedOutline = true;
  // A translucent window with the outline painted (Wayland: a mask only limits input).
  bool paintedOutline = false;
  // A popup of the shown main window, centred on it: the compositor places it
  // relative to its owner and never gives it the focus.
  bool popupOverOwner = false;
  // Moved to the middle of the screen (only where the program places windows).
  bool centredOnScreen = true;
};
// The look on `system`; `ownerShown` when the main window is on screen.
SplashLook SplashLookFor(platform::WindowSystem system, bool ownerShown);
// The program's icon and the splash's second icon, `size` pixels square.
QPixmap ProgramIcon(int size = 32);
QPixmap SampleIcon(int size = 32);

class Logo : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 3975;   // twips
  static constexpr int kClientHeight = 2955;  // twips

  // `owner` is the main window a popup splash stands over.
  Logo(platform::Clock& clock, platform::EventPump& events, const SplashLook& look = {}, QWidget* owner = nullptr);

  // Builds the texts and the shape.
  void Form_Load();
  // Paints at once, then holds for one second while events keep running.
  void Form_Activate();
  // Cuts the window to its rounded outline (with a mask where the look has one;
  // otherwise the outline is painted).
  void SetRoundedShape();
  const SplashLook& Look() const { return look_; }

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
  SplashLook look_;
};

// The splash as the main window uses it: each Show loads a fresh Logo, shows it
// and runs its activation (the one-second hold); Close unloads it. `owner` is the
// main window, over which the splash stands once it is shown.
class LogoSplash final : public app::SplashScreen {
 public:
  LogoSplash(platform::Clock& clock, platform::EventPump& events, QWidget* owner = nullptr);
  ~LogoSplash() override;
  void Show() override;
  void Close() override;
  Logo* Window() const { return logo_.get(); }

 private:
  platform::Clock& clock_;
  platform::EventPump& events_;
  QPointer<QWidget> owner_;
  std::unique_ptr<Logo> logo_;
};

}  // namespace typeloom::about
