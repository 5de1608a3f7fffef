#include "app/WindowMain.h"

#include "app/CommandLineFont.h"
#include "app/CoverageText.h"
#include "app/DetailsJson.h"
#include "app/FontCatalogue.h"
#include "app/FontDisplay.h"
#include "app/FontModule.h"
#include "app/TerminalText.h"
#include "app/Viewer.h"
#include "platform/fonts/FaceResolver.h"
#include "platform/fonts/FontCoverage.h"
#include "platform/files/AppendLine.h"
#include "platform/fonts/FontconfigFonts.h"
#include "platform/graphics/GraphicsFacts.h"
#include "platform/instance/LocalSingleInstance.h"
#include "platform/registry/LinuxRegistry.h"
#include "platform/settings/QtSettingsStore.h"
#include "platform/shell/ShellBindings.h"
#include "platform/ui/AccessibilityBridge.h"
#include "platform/ui/LatinMnemonics.h"
#include "platform/ui/QtClock.h"
#include "platform/ui/QtMessageBoxes.h"
#include "platform/ui/StyleImages.h"
#include "platform/ui/WindowActivation.h"
#include "platform/ui/WindowServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

namespace typeloom::app {
namespace {

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
        platform::AppendLine(qgetenv("TYPELOOM_TRACE"), "painted");
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool done_ = false;
};

}  // namespace

int PrintDetails(const QString& font, DetailsForm form, platform::Registry& registry, platform::SystemFontFolder& folder,
                 platform::GraphicsFacts& facts, std::FILE* out, std::FILE* err) {
  auto print = [](const QByteArray& bytes, std::FILE* to) {
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), to);
    return std::fflush(to) == 0;
  };
  CommandLineFont chosen;
  QString error;
  if (!chosen.Open(font, registry, folder, facts, &error)) {
    print(("typeloom: " + EscapeForTerminal(error) + u'\n').toLocal8Bit(), err);
    return 1;
  }
  // Indexed after the font was opened, so that a font file's face is among the faces;
  // the panel's lines do not ask.
  std::optional<platform::CoverageFacts> covered;
  if (form != DetailsForm::Lines) covered = platform::FontCoverage().FactsOf(chosen.Name());
  const Details& details = chosen.FontDetails();
  switch (form) {
    case DetailsForm::Json: {
      const platform::FaceLocation face = platform::LocateFace(chosen.Name());
      return print(DetailsJson(chosen.Name(), chosen.IsFile(), details, face, covered), out) ? 0 : 1;
    }
    case DetailsForm::Coverage: {
      if (!covered) {
        const QString line = "typeloom: fontconfig gives no face for \"" + EscapeForTerminal(chosen.Name()) + "\"\n";
        print(line.toLocal8Bit(), err);
        return 1;
      }
      const std::string text = CoverageSummary(covered->characterCount, covered->languages);
      return print(QByteArray::fromStdString(text), out) ? 0 : 1;
    }
    case DetailsForm::Lines:
      break;
  }
  QString text;
  // The version line and the notice are the font's own texts.
  for (const QString& line : details.lines) text += EscapeForTerminal(line) + u'\n';
  text += QStringLiteral("Copyright: ") + EscapeForTerminal(details.copyright) + u'\n';
  return print(text.toLocal8Bit(), out) ? 0 : 1;
}

int RunDetails(int argc, char** argv) {
  // No window: the font machinery runs on the offscreen platform (whatever display
  // the environment names), and standard error carries only this command's own line.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  QGuiApplication app(argc, argv);
  DetailsForm form = DetailsForm::Lines;
  if (argc > 3 && qstrcmp(argv[2], "--json") == 0) form = DetailsForm::Json;
  if (argc > 3 && qstrcmp(argv[2], "--coverage") == 0) form = DetailsForm::Coverage;
  const QString name = argc > 2 ? QString::fromLocal8Bit(argv[argc - 1]) : QString();
  auto registry = platform::MakeLinuxRegistry();
  return PrintDetails(name, form, *registry, platform::LinuxInstalledFonts(), platform::LinuxGraphicsFacts(), stdout,
                      stderr);
}

bool DeliverHandOver(const platform::HandOverRequest& request, FontModule& module) {
  QWidget* target = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->windowTitle() == kMainCaption) {
      target = widget;
      break;
    }
    if (target == nullptr && widget->windowTitle().startsWith(kMainCaption)) target = widget;
  }
  if (target == nullptr) return false;
  QStringList arguments;
  for (const std::string& argument : request.arguments) arguments << QString::fromLocal8Bit(argument);
  module.handedOverCommandLine = CommandLineText(arguments);
  platform::ActivateWindow(target, {request.startupId, request.activationToken, request.x11Time});
  platform::KeyPreview::SendKey(target, kHandOverKey);
  return true;
}

int ShowStartError(int argc, char** argv, const QString& text) {
  // Standard error already holds this start's one line; Qt's own warnings about
  // the same folders would only repeat it.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) StartupMessageHandler(type, context, message);
  });
  QApplication app(argc, argv);
  if (!qEnvironmentVariableIsEmpty("TYPELOOM_TRACE")) {
    platform::AppendLine(qgetenv("TYPELOOM_TRACE"), "start refused");
  }
  platform::QtMessageBoxes().Show(nullptr, text, platform::mb::kOkOnly | platform::mb::kCritical, kAppTitle);
  return 1;
}

int RunWindow(int argc, char** argv, int instanceLock, const MakeViewerWindows& makeWindows) {
  previousHandler = qInstallMessageHandler(StartupMessageHandler);
  QApplication app(argc, argv);
  qInstallMessageHandler(previousHandler);
  platform::StartAccessibilityBridge();
  QApplication::setApplicationName(kAppTitle);
  QApplication::setApplicationVersion(QStringLiteral("%1.%2").arg(kVersionMajor).arg(kVersionMinor));
  QApplication::setDesktopFileName("typeloom");
  platform::EnableLatinMnemonics();
  platform::PreloadStyleImages();

  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  FontModule module;
  module.commandLine = CommandLineText(arguments);

  platform::QtSettingsStore settings;
  // Listens at once: a later start that signals while the window is being built
  // is handled once the window is there.
  platform::LocalSingleInstance instance(QStringLiteral("Typeloom"), QString(), instanceLock);

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
  instance.Listen([&module](const platform::HandOverRequest& request) { return DeliverHandOver(request, module); });
  return QApplication::exec();
}

}  // namespace typeloom::app
