#include "app/Main.h"

#include "app/FontModule.h"
#include "app/Viewer.h"
#include "platform/fonts/FontconfigFonts.h"
#include "platform/registry/LinuxRegistry.h"
#include "platform/instance/LocalSingleInstance.h"
#include "platform/ui/QtClock.h"
#include "platform/ui/QtMessageBoxes.h"
#include "options/Settings.h"
#include "platform/settings/QtSettingsStore.h"
#include "platform/shell/ShellBindings.h"
#include "platform/ui/WindowServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace typeloom::app {
namespace {

constexpr char kUsage[] =
    "Usage: typeloom [FONT-FILE | /p FONT-FILE]\n"
    "       typeloom --list | --help | --version\n"
    "\n"
    "Shows the installed fonts. With FONT-FILE, selects the installed font of that\n"
    "file; with /p, also opens the print dialog for it. When Typeloom already runs,\n"
    "the request goes to the running window.\n"
    "\n"
    "  --list     print the installed fonts as the font list shows them, one a line\n"
    "  --help     print this help\n"
    "  --version  print the version\n";

void Print(const QString& text, std::FILE* out = stdout) {
  const QByteArray bytes = text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out);
}

bool DisplayConfigured() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// While the window system is being opened, its plug-in diagnostics are held back:
// a failure to open the display is reported in one line of our own.
QtMessageHandler previousHandler = nullptr;
void StartupMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "typeloom: cannot open the display \"%s\"; start it in a desktop session or under xvfb-run\n",
                 qgetenv("DISPLAY").constData());
    std::fflush(stderr);
    _exit(1);
  }
  const char* category = context.category != nullptr ? context.category : "";
  if (qstrncmp(category, "qt.qpa", 6) == 0) return;
  if (previousHandler != nullptr) previousHandler(type, context, message);
}

// Under TYPELOOM_TRACE, appends "painted" to the trace once the watched window has
// been drawn for the first time (children included, flushed to the screen): the
// end point of the start-up benchmark.
class FirstPaintTrace final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !done_) {
      done_ = true;
      QTimer::singleShot(0, [] {
        QFile file(qEnvironmentVariable("TYPELOOM_TRACE"));
        if (file.open(QIODevice::Append | QIODevice::Text)) file.write("painted\n");
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool done_ = false;
};

}  // namespace

int ListFonts(platform::InstalledFonts& fonts, platform::Registry& registry, std::FILE* out, std::FILE* err) {
  if (!fonts.Available()) {
    std::fputs("typeloom: cannot list the installed fonts: fontconfig could not be initialised\n", err);
    std::fflush(err);
    return 1;
  }
  FontCatalogue catalogue;
  const QStringList names = BuildFontNames(registry, catalogue);
  QString text;
  for (const QString& name : names) text += name + u'\n';
  Print(text, out);
  return std::fflush(out) == 0 ? 0 : 1;
}

bool DeliverHandOver() {
  QWidget* target = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->windowTitle() == kMainCaption) {
      target = widget;
      break;
    }
    if (target == nullptr && widget->windowTitle().startsWith(kMainCaption)) target = widget;
  }
  if (target == nullptr) return false;
  if (target->isMinimized()) target->showNormal();
  target->raise();
  target->activateWindow();
  platform::KeyPreview::SendKey(target, kHandOverKey);
  return true;
}

int RunMain(int argc, char** argv, const MakeViewerWindows& makeWindows) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (arguments.size() == 1) {
    const QString& option = arguments.front();
    if (option == "--help" || option == "-h") {
      Print(kUsage);
      return 0;
    }
    if (option == "--version") {
      Print(QStringLiteral("%1 %2.%3\n").arg(kAppTitle).arg(kVersionMajor).arg(kVersionMinor));
      return 0;
    }
    if (option == "--list") {
      QCoreApplication app(argc, argv);
      auto registry = platform::MakeLinuxRegistry();
      return ListFonts(platform::LinuxInstalledFonts(), *registry, stdout, stderr);
    }
  }
  if (!DisplayConfigured()) {
    std::fprintf(stderr, "typeloom: no display (DISPLAY is not set); start it in a desktop session or under xvfb-run\n");
    return 1;
  }

  previousHandler = qInstallMessageHandler(StartupMessageHandler);
  QApplication app(argc, argv);
  qInstallMessageHandler(previousHandler);
  QApplication::setApplicationName(kAppTitle);
  QApplication::setApplicationVersion(QStringLiteral("%1.%2").arg(kVersionMajor).arg(kVersionMinor));
  QApplication::setDesktopFileName("typeloom");

  FontModule module;
  module.commandLine = CommandLineText(arguments);

  platform::QtSettingsStore settings;
  platform::LocalSingleInstance instance;
  instance.LockStart();
  settings::Write(settings, settings::kCommandLine, module.commandLine);
  if (instance.PreviousInstance()) {
    const platform::HandOver handed = instance.SignalAndWait();
    // When the running instance went away meanwhile, this start takes its place.
    if (handed != platform::HandOver::NoAnswer || instance.PreviousInstance()) {
      instance.UnlockStart();
      if (handed == platform::HandOver::NotDelivered) {
        std::fprintf(stderr, "typeloom: the running instance has no window to take the request\n");
      } else if (handed == platform::HandOver::NoAnswer) {
        std::fprintf(stderr, "typeloom: the running instance did not answer\n");
      }
      return handed == platform::HandOver::Handled ? 0 : 1;
    }
  }
  instance.UnlockStart();

  module.PrepareShellCommands(QCoreApplication::applicationFilePath());

  auto registry = platform::MakeLinuxRegistry(
      platform::ShellIdentity{QCoreApplication::applicationFilePath(), module.openCommand, module.printCommand});
  platform::QtMessageBoxes messages;
  platform::QtClock clock;
  platform::QtEventPump events;
  Services services{*registry, settings, messages, clock, events, platform::LinuxInstalledFonts()};

  Viewer viewer(module, services);
  if (makeWindows) viewer.SetWindows(makeWindows(viewer, module, services));
  viewer.Form_Load();
  FirstPaintTrace painted;
  if (!qEnvironmentVariableIsEmpty("TYPELOOM_TRACE")) viewer.installEventFilter(&painted);
  viewer.show();
  instance.Listen(DeliverHandOver);
  return QApplication::exec();
}

}  // namespace typeloom::app
