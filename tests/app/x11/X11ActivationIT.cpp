// A later start brings the running window forward under a window manager that
// prevents focus stealing: an X server (Xvfb) and metacity (or TYPELOOM_TEST_WM)
// started here, another
// program focused and typed into, then a launcher-style start (a startup id with a
// fresh launch time) and a start as from a terminal (no id). Read back from the X
// server: the active window, the window's startup id, and the "remove:" message
// that ends the launch feedback.
#include "platform/ui/StartupNotify.h"
#include "platform/ui/X11ServerTime.h"
#include "support/ProgramSandbox.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kBoundMs = 60000;  // only a hang reaches it

bool WaitUntil(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > kBoundMs) return false;
    QTest::qWait(25);
  }
  return true;
}

void Stop(QProcess& process) {
  if (process.state() == QProcess::NotRunning) return;
  process.terminate();
  if (!process.waitForFinished(5000)) {
    process.kill();
    process.waitForFinished();
  }
}

// One connection to the test's X server, with what the test reads and sends.
class XConnection {
 public:
  explicit XConnection(const QByteArray& display) {
    connection_ = xcb_connect(display.constData(), nullptr);
    if (xcb_connection_has_error(connection_) == 0) root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
  }
  ~XConnection() { xcb_disconnect(connection_); }
  XConnection(const XConnection&) = delete;
  XConnection& operator=(const XConnection&) = delete;

  bool Ok() const { return root_ != XCB_WINDOW_NONE; }
  xcb_connection_t* Get() const { return connection_; }
  xcb_window_t Root() const { return root_; }

  xcb_atom_t Atom(const char* name) {
    const auto found = atoms_.find(name);
    if (found != atoms_.end()) return found->second;
    auto* reply = xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atoms_[name] = atom;
  }

  // A property's value as bytes (for 32-bit formats, the items in host order).
  std::string Property(xcb_window_t window, const char* name) {
    auto* reply = xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, Atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 4096), nullptr);
    if (reply == nullptr) return {};
    // The value length is in bytes already, whatever the format.
    std::string value(static_cast<const char*>(xcb_get_property_value(reply)),
                      static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    std::free(reply);
    return value;
  }

  std::vector<xcb_window_t> Windows(xcb_window_t window, const char* name) {
    const std::string bytes = Property(window, name);
    std::vector<xcb_window_t> windows(bytes.size() / 4);
    if (!windows.empty()) std::memcpy(windows.data(), bytes.data(), windows.size() * 4);
    return windows;
  }

  xcb_window_t ActiveWindow() {
    const auto windows = Windows(root_, "_NET_ACTIVE_WINDOW");
    return windows.empty() ? xcb_window_t{XCB_WINDOW_NONE} : windows.front();
  }

  // The managed window titled `title`, or none.
  xcb_window_t WindowTitled(const std::string& title) {
    for (const xcb_window_t window : Windows(root_, "_NET_CLIENT_LIST")) {
      if (Property(window, "_NET_WM_NAME") == title) return window;
    }
    return XCB_WINDOW_NONE;
  }

  bool DemandsAttention(xcb_window_t window) {
    const auto states = Windows(window, "_NET_WM_STATE");
    const xcb_atom_t attention = Atom("_NET_WM_STATE_DEMANDS_ATTENTION");
    return std::find(states.begin(), states.end(), attention) != states.end();
  }

  void SendClientMessage(xcb_window_t window, xcb_atom_t type, int format, const void* data, std::uint32_t mask) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = static_cast<std::uint8_t>(format);
    event.window = window;
    event.type = type;
    std::memcpy(event.data.data8, data, 20);
    xcb_send_event(connection_, 0, root_, mask, reinterpret_cast<const char*>(&event));
    xcb_flush(connection_);
  }

  // What a launcher does before it starts a program.
  void BroadcastStartupInfo(xcb_window_t sender, const std::string& message) {
    bool first = true;
    for (const auto& piece : typeloom::platform::StartupInfoPieces(message)) {
      SendClientMessage(sender, Atom(first ? "_NET_STARTUP_INFO_BEGIN" : "_NET_STARTUP_INFO"), 8, piece.data(),
                        XCB_EVENT_MASK_PROPERTY_CHANGE);
      first = false;
    }
  }

  // Asks to activate `window` as an application would, with `time`.
  void RequestActivation(xcb_window_t window, std::uint32_t time) {
    const std::uint32_t data[5] = {1, time, XCB_WINDOW_NONE, 0, 0};
    SendClientMessage(window, Atom("_NET_ACTIVE_WINDOW"), 32, data,
                      XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
  }

 private:
  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = XCB_WINDOW_NONE;
  std::map<std::string, xcb_atom_t> atoms_;
};

// Collects the launch-feedback messages broadcast on the root window.
class StartupInfoListener {
 public:
  explicit StartupInfoListener(const QByteArray& display) : x_(display) {
    if (!x_.Ok()) return;
    const std::uint32_t mask[] = {XCB_EVENT_MASK_PROPERTY_CHANGE};
    xcb_change_window_attributes(x_.Get(), x_.Root(), XCB_CW_EVENT_MASK, mask);
    begin_ = x_.Atom("_NET_STARTUP_INFO_BEGIN");
    more_ = x_.Atom("_NET_STARTUP_INFO");
    xcb_flush(x_.Get());
  }

  // Every whole message received so far.
  const std::vector<std::string>& Messages() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(x_.Get())) {
      if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
        const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
        if (message->format == 8 && (message->type == begin_ || message->type == more_)) {
          std::string& text = partial_[message->window];
          if (message->type == begin_) text.clear();
          const char* data = reinterpret_cast<const char*>(message->data.data8);
          const std::size_t length = strnlen(data, 20);
          text.append(data, length);
          if (length < 20) {
            messages_.push_back(text);
            partial_.erase(message->window);
          }
        }
      }
      std::free(event);
    }
    return messages_;
  }

 private:
  XConnection x_;
  xcb_atom_t begin_ = XCB_ATOM_NONE;
  xcb_atom_t more_ = XCB_ATOM_NONE;
  std::map<xcb_window_t, std::string> partial_;
  std::vector<std::string> messages_;
};

class X11ActivationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"Xvfb", "metacity", "xdotool"}) {
      ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty()) << tool << " is missing: run scripts/install-deps";
    }
    xvfb_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
    ASSERT_TRUE(WaitUntil([&] { return xvfb_.canReadLine() || xvfb_.state() == QProcess::NotRunning; }));
    display_ = ":" + xvfb_.readLine().trimmed();
    ASSERT_GT(display_.size(), 1) << "Xvfb did not start";
    x_ = std::make_unique<XConnection>(display_);
    ASSERT_TRUE(x_->Ok());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromLatin1(display_));
    for (const char* name : {"WAYLAND_DISPLAY", "DESKTOP_STARTUP_ID", "XDG_ACTIVATION_TOKEN", "DBUS_SESSION_BUS_ADDRESS"}) {
      env.remove(name);
    }
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_RUNTIME_DIR", box_.RuntimeFolder());
    env.insert("HOME", box_.RuntimeFolder() + "/..");
    wm_.setProcessEnvironment(env);
    // TYPELOOM_TEST_WM runs another window manager instead (a command line, e.g.
    // "dbus-run-session -- mutter --x11 --replace --sm-disable").
    QStringList wm = qEnvironmentVariable("TYPELOOM_TEST_WM", "metacity --replace").split(u' ', Qt::SkipEmptyParts);
    wm_.start(wm.takeFirst(), wm);
    ASSERT_TRUE(WaitUntil([&] {
      return !x_->Property(x_->Root(), "_NET_SUPPORTING_WM_CHECK").empty() || wm_.state() == QProcess::NotRunning;
    }));
    ASSERT_EQ(wm_.state(), QProcess::Running) << wm_.readAllStandardError().toStdString();

    target_.setProcessEnvironment(env);
    for (const char* name : {"DISPLAY", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DESKTOP_STARTUP_ID", "XDG_ACTIVATION_TOKEN"}) {
      box_.Env().remove(name);
    }
    box_.Env().insert("DISPLAY", QString::fromLatin1(display_));
    box_.Env().insert("QT_QPA_PLATFORM", "xcb");
    ASSERT_TRUE(box_.Ready());
    QDir(box_.ConfigFolder()).mkpath("Typeloom");
    QFile ini(box_.ConfigFolder() + "/Typeloom/Typeloom.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Settings]\nShowSplash=0\n");
  }

  void TearDown() override {
    if (first_) Stop(*first_);
    Stop(target_);
    Stop(wm_);
    x_.reset();
    Stop(xvfb_);
  }

  // Runs xdotool against the test's display.
  bool XDoTool(const QStringList& arguments) {
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromLatin1(display_));
    tool.setProcessEnvironment(env);
    tool.start("xdotool", arguments);
    return tool.waitForFinished(kBoundMs) && tool.exitCode() == 0;
  }

  // Clicks into the other program and types `text` there, as a user would.
  void TypeIntoTarget(xcb_window_t target, const QString& text) {
    ASSERT_TRUE(XDoTool({"mousemove", "--window", QString::number(target), "470", "30", "click", "1"}));
    ASSERT_TRUE(WaitUntil([&] { return x_->ActiveWindow() == target; }));
    ASSERT_TRUE(XDoTool({"type", text}));
    ASSERT_TRUE(WaitUntil([&] {
      typed_ += target_.readAllStandardOutput();
      return typed_.endsWith(text.toUtf8() + "\n");
    }));
    EXPECT_EQ(x_->ActiveWindow(), target);
  }

  QByteArray display_;
  std::unique_ptr<XConnection> x_;
  QProcess xvfb_, wm_, target_;
  typeloom::testsupport::ProgramSandbox box_{"/usr/share/fonts/truetype/dejavu",
                                             {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif.ttf"}};
  std::unique_ptr<QProcess> first_;
  QByteArray typed_;
};

TEST_F(X11ActivationTest, LaterStartsBringTheWindowForwardPastFocusStealingPrevention) {
  first_ = box_.Start({});
  xcb_window_t viewer = XCB_WINDOW_NONE;
  ASSERT_TRUE(WaitUntil([&] { return (viewer = x_->WindowTitled(" Typeloom")) != XCB_WINDOW_NONE; }))
      << first_->readAllStandardError().toStdString();
  target_.start(TYPELOOM_TYPING_TARGET, QStringList{});
  xcb_window_t target = XCB_WINDOW_NONE;
  ASSERT_TRUE(WaitUntil([&] { return (target = x_->WindowTitled("Typing Target")) != XCB_WINDOW_NONE; }));

  // The window manager does prevent focus stealing: a request dated before the
  // user's typing is refused, and the covered window only demands attention.
  const std::uint32_t before = typeloom::platform::CurrentX11ServerTime(display_.constData());
  ASSERT_NE(before, 0u);
  TypeIntoTarget(target, "first words");
  x_->RequestActivation(viewer, before);
  ASSERT_TRUE(WaitUntil([&] { return x_->DemandsAttention(viewer); }))
      << "active " << x_->ActiveWindow() << " viewer " << viewer << " target " << target << " before " << before;
  EXPECT_EQ(x_->ActiveWindow(), target);

  StartupInfoListener listener(display_);
  const struct {
    const char* name;
    bool launcher;  // a startup id with a fresh launch time, else none (a terminal)
    const char* font;
    const char* selected;
  } starts[] = {
      {"launcher", true, "DejaVuSerif.ttf", "selected DejaVu Serif print=0"},
      {"terminal", false, "DejaVuSans-Bold.ttf", "selected DejaVu Sans print=0"},
  };
  int round = 0;
  for (const auto& start : starts) {
    SCOPED_TRACE(start.name);
    TypeIntoTarget(target, QStringLiteral("more words %1").arg(++round));
    ASSERT_NE(x_->ActiveWindow(), viewer);
    QProcessEnvironment saved = box_.Env();
    std::string id;
    if (start.launcher) {
      const std::uint32_t now = typeloom::platform::CurrentX11ServerTime(display_.constData());
      id = "typeloom-test/" + std::to_string(::getpid()) + "-" + std::to_string(round) + "_TIME" + std::to_string(now);
      x_->BroadcastStartupInfo(target, "new: ID=" + id + " NAME=Typeloom SCREEN=0");
      box_.Env().insert("DESKTOP_STARTUP_ID", QString::fromStdString(id));
    }
    const auto result = box_.Run({box_.FontPath(start.font)});
    box_.Env() = saved;
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_TRUE(WaitUntil([&] { return x_->ActiveWindow() == viewer; }))
        << "the window was not activated; demands attention: " << x_->DemandsAttention(viewer);
    EXPECT_TRUE(WaitUntil([&] { return box_.Trace().contains(start.selected); }));
    if (start.launcher) {
      EXPECT_EQ(x_->Property(viewer, "_NET_STARTUP_ID"), id);
      const std::string remove = "remove: ID=" + id;
      EXPECT_TRUE(WaitUntil([&] {
        const auto& messages = listener.Messages();
        return std::find(messages.begin(), messages.end(), remove) != messages.end();
      }));
    }
  }
}

}  // namespace
