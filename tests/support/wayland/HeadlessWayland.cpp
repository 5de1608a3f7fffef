#include "support/wayland/HeadlessWayland.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUuid>

namespace typeloom::testsupport {
namespace {

constexpr char kRemoteDesktop[] = "org.gnome.Mutter.RemoteDesktop";
constexpr char kRemoteDesktopSession[] = "org.gnome.Mutter.RemoteDesktop.Session";
constexpr quint32 kKeysymA = 0x61;

void Stop(QProcess& process) {
  if (process.state() == QProcess::NotRunning) return;
  process.terminate();
  if (!process.waitForFinished(10000)) {
    process.kill();
    process.waitForFinished(5000);
  }
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, int seconds) {
  const QDeadlineTimer deadline(seconds * 1000);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(20);
  }
  return true;
}

HeadlessWayland::HeadlessWayland(Compositor compositor) : compositor_(compositor) {
  runtime_ = dir_.path() + "/runtime";
  QDir().mkpath(runtime_);
  QFile::setPermissions(runtime_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  QDir().mkpath(dir_.path() + "/home");
  socket_ = "typeloom-test-" + QUuid::createUuid().toString(QUuid::Id128).left(12);
  bus_.setProcessChannelMode(QProcess::MergedChannels);
  server_.setProcessChannelMode(QProcess::MergedChannels);
}

HeadlessWayland::~HeadlessWayland() {
  if (dbus_) {
    if (!session_.isEmpty()) RemoteDesktopCall(session_, kRemoteDesktopSession, "Stop", {});
    QDBusConnection::disconnectFromBus(dbus_->name());
    dbus_.reset();
  }
  Stop(server_);
  Stop(bus_);
}

QString HeadlessWayland::StartBus() {
  const QString path = dir_.path() + "/bus";
  bus_.start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--address=unix:path=" + path});
  if (!bus_.waitForStarted(10000)) return "dbus-daemon did not start: " + bus_.errorString();
  if (!WaitUntil([&] { return QFileInfo::exists(path) || bus_.state() == QProcess::NotRunning; }) ||
      bus_.state() == QProcess::NotRunning) {
    return "dbus-daemon did not open its socket: " + QString::fromLocal8Bit(bus_.readAll());
  }
  busAddress_ = "unix:path=" + path;
  return {};
}

QString HeadlessWayland::Start() {
  if (const QString why = StartBus(); !why.isEmpty()) return why;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET"}) env.remove(name);
  env.insert("XDG_RUNTIME_DIR", runtime_);
  env.insert("HOME", dir_.path() + "/home");
  env.insert("XDG_CONFIG_HOME", dir_.path() + "/home/.config");
  env.insert("XDG_DATA_HOME", dir_.path() + "/home/.local/share");
  env.insert("XDG_CACHE_HOME", dir_.path() + "/home/.cache");
  env.insert("DBUS_SESSION_BUS_ADDRESS", busAddress_);
  env.insert("GSETTINGS_BACKEND", "memory");
  server_.setProcessEnvironment(env);
  server_.setWorkingDirectory(dir_.path());
  if (compositor_ == Compositor::Mutter) {
    server_.start("mutter", {"--wayland", "--headless", "--virtual-monitor", "1280x800", "--no-x11",
                             "--wayland-display", socket_});
  } else {
    // A plain background and no panel, so that a screenshot shows only the clients.
    QFile config(dir_.path() + "/weston.ini");
    if (!config.open(QIODevice::WriteOnly)) return "cannot write weston.ini";
    config.write("[core]\nidle-time=0\n[shell]\nbackground-color=0xff204060\npanel-position=none\nlocking=false\n");
    config.close();
    // --debug offers the screenshooter to every client.
    server_.start("weston", {"--config=" + config.fileName(), "--backend=headless-backend.so", "--use-pixman",
                             "--width=1280", "--height=800", "--socket=" + socket_, "--debug"});
  }
  if (!server_.waitForStarted(10000)) return "the compositor did not start: " + server_.errorString();
  const QString socket = runtime_ + "/" + socket_;
  if (!WaitUntil([&] { return QFileInfo::exists(socket) || server_.state() == QProcess::NotRunning; }) ||
      server_.state() == QProcess::NotRunning) {
    return "the compositor did not open its socket: " + Log();
  }
  if (compositor_ == Compositor::Mutter) {
    dbus_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(busAddress_, "typeloom-test-" + socket_));
    if (!dbus_->isConnected()) return "cannot connect to the test's session bus";
    // The socket comes before mutter's names on the bus.
    QDBusConnectionInterface* names = dbus_->interface();
    if (names == nullptr ||
        !WaitUntil([&] { return names->isServiceRegistered(kRemoteDesktop).value() || server_.state() == QProcess::NotRunning; }) ||
        server_.state() == QProcess::NotRunning) {
      return "mutter did not offer its remote-desktop interface: " + Log();
    }
  }
  return {};
}

void HeadlessWayland::Apply(QProcessEnvironment& env) const {
  for (const char* name : {"DISPLAY", "WAYLAND_SOCKET"}) env.remove(name);
  env.insert("WAYLAND_DISPLAY", runtime_ + "/" + socket_);
  env.insert("QT_QPA_PLATFORM", "wayland");
}

QString HeadlessWayland::Log() const { return QString::fromLocal8Bit(const_cast<QProcess&>(server_).readAll()); }

QString HeadlessWayland::RemoteDesktopCall(const QString& path, const QString& interface, const QString& method,
                                           const QVariantList& arguments, QVariant* reply) {
  QDBusMessage call = QDBusMessage::createMethodCall(kRemoteDesktop, path, interface, method);
  call.setArguments(arguments);
  const QDBusMessage answer = dbus_->call(call, QDBus::Block, 10000);
  if (answer.type() == QDBusMessage::ErrorMessage) return method + ": " + answer.errorMessage();
  if (reply != nullptr) *reply = answer.arguments().value(0);
  return {};
}

QString HeadlessWayland::TypeKey() {
  if (!dbus_) return "no remote desktop: not mutter, or not started";
  if (session_.isEmpty()) {
    // The session lives as long as this connection; its virtual devices give the
    // seat a keyboard.
    QVariant path;
    if (const QString why = RemoteDesktopCall("/org/gnome/Mutter/RemoteDesktop", kRemoteDesktop, "CreateSession",
                                              {}, &path);
        !why.isEmpty()) {
      return why;
    }
    session_ = path.value<QDBusObjectPath>().path();
    if (const QString why = RemoteDesktopCall(session_, kRemoteDesktopSession, "Start", {}); !why.isEmpty()) {
      return why;
    }
  }
  for (const bool pressed : {true, false}) {
    if (const QString why = RemoteDesktopCall(session_, kRemoteDesktopSession, "NotifyKeyboardKeysym",
                                              {QVariant::fromValue(kKeysymA), pressed});
        !why.isEmpty()) {
      return why;
    }
  }
  return {};
}

QImage HeadlessWayland::Screenshot(QString* why) {
  const QDir folder(dir_.path() + "/shots");
  QDir().mkpath(folder.path());
  for (const QString& old : folder.entryList(QDir::Files)) QFile::remove(folder.filePath(old));
  QProcess shooter;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  Apply(env);
  shooter.setProcessEnvironment(env);
  shooter.setWorkingDirectory(folder.path());
  shooter.setProcessChannelMode(QProcess::MergedChannels);
  shooter.start("weston-screenshooter", {});
  if (!shooter.waitForFinished(30000) || shooter.exitCode() != 0) {
    if (why != nullptr) *why = "weston-screenshooter failed: " + QString::fromLocal8Bit(shooter.readAll());
    return {};
  }
  const QStringList shots = folder.entryList({"*.png"}, QDir::Files);
  if (shots.isEmpty()) {
    if (why != nullptr) *why = "weston-screenshooter wrote no file";
    return {};
  }
  return QImage(folder.filePath(shots.first()));
}

}  // namespace typeloom::testsupport
