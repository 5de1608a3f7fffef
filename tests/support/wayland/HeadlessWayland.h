#pragma once
// A headless Wayland compositor of a test's own: a private runtime folder and
// session bus, the compositor on a socket there, and what the tests do with it
// (type on a virtual keyboard under mutter, take screenshots under weston).
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QDBusConnection;

namespace typeloom::testsupport {

// Waits, letting Qt's events run, until `done` holds or `seconds` have passed;
// returns whether it holds.
bool WaitUntil(const std::function<bool()>& done, int seconds = 30);

class HeadlessWayland {
 public:
  enum class Compositor {
    Mutter,  // has xdg-activation; a virtual keyboard through its remote-desktop interface
    Weston,  // no xdg-activation; screenshots through its debug screenshooter
  };

  explicit HeadlessWayland(Compositor compositor);
  ~HeadlessWayland();
  HeadlessWayland(const HeadlessWayland&) = delete;
  HeadlessWayland& operator=(const HeadlessWayland&) = delete;

  // Starts the session bus and the compositor; empty when it runs, else why not.
  QString Start();
  // Makes `env` that of a Qt client of this compositor (Qt's Wayland plugin, the
  // socket by its full path, no X display).
  void Apply(QProcessEnvironment& env) const;
  // The compositor's output so far, for failure messages.
  QString Log() const;

  // mutter: one key typed on a virtual keyboard, into the surface that has the
  // keyboard focus. Empty on success, else why not.
  QString TypeKey();
  // weston: a screenshot of the whole output; null (with `why`) when none was taken.
  QImage Screenshot(QString* why);

 private:
  QString StartBus();
  QString RemoteDesktopCall(const QString& path, const QString& interface, const QString& method,
                            const QVariantList& arguments, QVariant* reply = nullptr);

  Compositor compositor_;
  QTemporaryDir dir_;
  QString runtime_;
  QString socket_;
  QString busAddress_;
  QProcess bus_;
  QProcess server_;
  std::unique_ptr<QDBusConnection> dbus_;
  QString session_;  // the remote-desktop session's object path
};

}  // namespace typeloom::testsupport
