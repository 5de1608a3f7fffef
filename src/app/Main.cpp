#include "app/Main.h"

#include "app/CoverageText.h"
#include "app/FontCatalogue.h"
#include "app/FontModule.h"
#include "app/Launcher.h"
#include "app/TerminalText.h"
#include "options/Settings.h"
#include "platform/fonts/FontCoverage.h"
#include "platform/fonts/FontconfigFonts.h"
#include "platform/instance/HandOverMessage.h"
#include "platform/instance/InstanceLock.h"
#include "platform/registry/LinuxRegistry.h"
#include "platform/settings/QtSettingsStore.h"
#include "platform/ui/StartupNotify.h"
#include "platform/ui/X11ServerTime.h"

#include <QCoreApplication>
#include <QFile>
#include <QDir>
#include <QFileInfo>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// This file is the start module's part up to the window: it links against Qt Core and
// fontconfig only, so that --list and a later start's hand-over load none of the
// window libraries. The window is in the module loaded last.

namespace typeloom::app {
namespace {

void Print(const QString& text, std::FILE* out = stdout) {
  const QByteArray bytes = text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out);
}

bool DisplayConfigured() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// The window module: beside the program (build tree), else where it is installed
// relative to the program's folder.
QString WindowModulePath() {
  const QString folder = QFileInfo(QFile::decodeName(QByteArray("/proc/self/exe"))).canonicalPath();
  const QString beside = folder + QStringLiteral("/" TYPELOOM_WINDOW_MODULE);
  if (QFileInfo::exists(beside)) return beside;
  return QDir::cleanPath(folder + QStringLiteral("/" TYPELOOM_WINDOW_MODULE_FROM_BINDIR));
}

// The window module's entry `name`, or null after a line on standard error. Its
// functions are bound at their first call (see main.cpp).
void* WindowModuleEntry(const char* name) {
  const QByteArray path = QFile::encodeName(WindowModulePath());
  void* module = ::dlopen(path.constData(), RTLD_LAZY | RTLD_LOCAL);
  void* entry = module != nullptr ? ::dlsym(module, name) : nullptr;
  if (entry == nullptr) std::fprintf(stderr, "typeloom: cannot load the window module %s: %s\n", path.constData(), ::dlerror());
  return entry;
}

int RunWindowModule(int argc, char** argv, int instanceLock) {
  using Entry = int (*)(int, char**, int);
  auto* entry = reinterpret_cast<Entry>(WindowModuleEntry("typeloom_run_window"));
  return entry != nullptr ? entry(argc, argv, instanceLock) : 1;
}

// Says in a message box why this start cannot run (the window module shows it).
void ShowStartError(int argc, char** argv, const QString& text) {
  using Entry = int (*)(int, char**, const char*);
  auto* entry = reinterpret_cast<Entry>(WindowModuleEntry("typeloom_show_start_error"));
  if (entry != nullptr) entry(argc, argv, text.toUtf8().constData());
}

// No private folder for the single-instance lock: running anyway would let another
// user's process take the hand-over, so this start ends after saying why.
int RefuseUnguardedStart(int argc, char** argv, const QString& problem) {
  // The folders' names come from the environment: one line, no control sequences.
  Print(QStringLiteral("typeloom: no private folder for the single-instance lock: %1\n").arg(EscapeForTerminal(problem)),
        stderr);
  std::fflush(stderr);
  ShowStartError(argc, argv,
                 QStringLiteral("Typeloom cannot start: it found no private folder for its single-instance lock.\n\n"
                                "%1.\n\nSet XDG_RUNTIME_DIR to a folder of your own with mode 0700.")
                     .arg(problem));
  return 1;
}

// --details: the font machinery (Qt's font database, HarfBuzz) is in the window
// module; it opens no window.
int RunDetailsModule(int argc, char** argv) {
  using Entry = int (*)(int, char**);
  auto* entry = reinterpret_cast<Entry>(WindowModuleEntry("typeloom_run_details"));
  return entry != nullptr ? entry(argc, argv) : 1;
}

// --render and --specimen: the export module beside the window module.
int RunExportModule(int argc, char** argv) {
  const QString path = QFileInfo(WindowModulePath()).absolutePath() + QStringLiteral("/typeloom-export.so");
  void* module = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
  using Entry = int (*)(int, char**);
  auto* entry = module != nullptr ? reinterpret_cast<Entry>(::dlsym(module, "typeloom_run_export")) : nullptr;
  if (entry == nullptr) {
    std::fprintf(stderr, "typeloom: cannot load the export module %s: %s\n", QFile::encodeName(path).constData(),
                 ::dlerror());
    return 1;
  }
  return entry(argc, argv);
}

}  // namespace

namespace {

bool FontsAvailable(platform::InstalledFonts& fonts, std::FILE* err) {
  if (fonts.Available()) return true;
  std::fputs("typeloom: cannot list the installed fonts: fontconfig could not be initialised\n", err);
  std::fflush(err);
  return false;
}

// One name a line, whatever characters the fonts put into their names.
int PrintNames(const QStringList& names, std::FILE* out) {
  QString text;
  qsizetype size = 0;
  for (const QString& name : names) size += name.size() + 1;
  text.reserve(size);
  for (const QString& name : names) {
    text += EscapeForTerminal(name);
    text += u'\n';
  }
  Print(text, out);
  return std::fflush(out) == 0 ? 0 : 1;
}

}  // namespace

int ListFonts(platform::InstalledFonts& fonts, platform::Registry& registry, std::FILE* out, std::FILE* err) {
  if (!FontsAvailable(fonts, err)) return 1;
  return PrintNames(ListFontNames(registry), out);
}

int ListCoveringFonts(const std::vector<std::string_view>& arguments, platform::InstalledFonts& fonts,
                      platform::Registry& registry, std::FILE* out, std::FILE* err) {
  const ListQuery query = ParseListQuery(arguments);
  QString mistake = QString::fromStdString(query.error);
  if (mistake.isEmpty() && query.hasLanguage && !platform::FontCoverage::KnownLanguage(query.language)) {
    mistake = QStringLiteral("--lang: fontconfig knows no language \"%1\"")
                  .arg(EscapeForTerminal(QString::fromLocal8Bit(query.rawLanguage.c_str())));
  }
  if (!mistake.isEmpty()) {
    Print(QStringLiteral("typeloom: %1\n").arg(mistake), err);
    std::fflush(err);
    return 2;
  }
  if (!FontsAvailable(fonts, err)) return 1;
  const QStringList names = ListFontNames(registry);
  platform::FontCoverage coverage;
  coverage.SetQuery(query.characters, query.language);
  QStringList shown;
  for (const QString& name : names) {
    if (coverage.Matches(name)) shown << name;
  }
  return PrintNames(shown, out);
}

std::optional<int> PrintListCoverage(const QString& name, platform::InstalledFonts& fonts,
                                     platform::Registry& registry, std::FILE* out, std::FILE* err) {
  if (!FontsAvailable(fonts, err)) return 1;
  if (!ListFontNames(registry).contains(name)) return std::nullopt;
  platform::FontCoverage coverage;
  const std::optional<platform::CoverageFacts> facts = coverage.FactsOf(name);
  if (!facts) {
    Print(QStringLiteral("typeloom: fontconfig gives no face for \"%1\"\n").arg(EscapeForTerminal(name)), err);
    std::fflush(err);
    return 1;
  }
  const std::string text = CoverageSummary(facts->characterCount, facts->languages);
  std::fwrite(text.data(), 1, text.size(), out);
  return std::fflush(out) == 0 ? 0 : 1;
}

platform::HandOverRequest MakeHandOverRequest(int argc, char** argv,
                                              const std::function<const char*(const char*)>& environment,
                                              const std::function<std::uint32_t()>& serverTime) {
  platform::HandOverRequest request;
  for (int i = 1; i < argc; ++i) {
    const QString argument = QString::fromLocal8Bit(argv[i]);
    const QString passed = AbsoluteFileArgument(argument);
    request.arguments.emplace_back(passed == argument ? std::string(argv[i]) : QFile::encodeName(passed).toStdString());
  }
  // A launcher's identifiers that cannot travel are left behind: the request is
  // still made, only without the launcher's leave to take the focus.
  const auto id = [&](const char* name) {
    const char* value = environment(name);
    return value != nullptr && platform::IsValidActivationId(value) ? std::string(value) : std::string();
  };
  request.startupId = id("DESKTOP_STARTUP_ID");
  request.activationToken = id("XDG_ACTIVATION_TOKEN");
  // Without a launch time the request would look older than the user's last input
  // to an X11 window manager: take the X server's time now. Not under a Wayland
  // session, where asking would start an X server that is not needed.
  const auto set = [&](const char* name) {
    const char* value = environment(name);
    return value != nullptr && *value != '\0';
  };
  const char* platformName = environment("QT_QPA_PLATFORM");
  const bool x11 = set("DISPLAY") && (!set("WAYLAND_DISPLAY") || (platformName != nullptr && std::strncmp(platformName, "xcb", 3) == 0));
  if (x11 && !platform::LaunchTimeOfStartupId(request.startupId) && request.activationToken.empty()) {
    request.x11Time = serverTime();
  }
  return request;
}

int RunMain(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (const auto answer = LauncherAnswer(argc, argv)) {
    std::fwrite(answer->data(), 1, answer->size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  if (arguments.size() == 1) {
    const QString& option = arguments.front();
    if (option == "--list") {
      QCoreApplication app(argc, argv);
      auto registry = platform::MakeLinuxRegistry();
      return ListFonts(platform::LinuxInstalledFonts(), *registry, stdout, stderr);
    }
  }
  if (arguments.size() > 1 && arguments.front() == "--list") {
    QCoreApplication app(argc, argv);
    auto registry = platform::MakeLinuxRegistry();
    // The text stays bytes until it is checked: invalid UTF-8 is a mistake, not a substitute.
    const std::vector<std::string_view> rest(argv + 2, argv + argc);
    return ListCoveringFonts(rest, platform::LinuxInstalledFonts(), *registry, stdout, stderr);
  }
  if (arguments.size() == 3 && arguments.front() == "--details" && arguments[1] == "--coverage") {
    {
      QCoreApplication app(argc, argv);
      auto registry = platform::MakeLinuxRegistry();
      if (const auto code = PrintListCoverage(arguments[2], platform::LinuxInstalledFonts(), *registry, stdout, stderr)) {
        return *code;
      }
    }
    // Not a list name: a font file (or a name found without regard to case), read
    // as --details reads it.
    return RunDetailsModule(argc, argv);
  }
  if (arguments.size() == 2 && arguments.front() == "--details") return RunDetailsModule(argc, argv);
  if (arguments.size() == 3 && arguments.front() == "--details" && arguments[1] == "--json") {
    return RunDetailsModule(argc, argv);
  }
  if (arguments.contains("--render") || arguments.contains("--specimen")) return RunExportModule(argc, argv);
  if (!DisplayConfigured()) {
    std::fprintf(stderr, "typeloom: no display (DISPLAY is not set); start it in a desktop session or under xvfb-run\n");
    return 1;
  }

  // The start protocol runs before any window library is loaded: a later start
  // hands over its command line and ends without them.
  platform::QtSettingsStore settings;
  platform::InstanceLock instance;
  instance.LockStart();
  if (!instance.Usable()) return RefuseUnguardedStart(argc, argv, instance.Problem());
  settings::Write(settings, settings::kCommandLine, CommandLineText(arguments));
  // The settings file kept its old contents (a full disk, say): the request may not
  // reach a running instance as given.
  if (!settings.LastError().isEmpty()) {
    Print(QStringLiteral("typeloom: the settings could not be saved: %1\n").arg(EscapeForTerminal(settings.LastError())),
          stderr);
  }
  if (instance.PreviousInstance()) {
    // The request travels in the message itself: the first instance acts on what
    // this start asked, whether or not the setting above could be saved.
    const platform::HandOverRequest request = MakeHandOverRequest(
        argc, argv, [](const char* name) { return std::getenv(name); },
        [] { return platform::CurrentX11ServerTime(); });
    const platform::HandOverError invalid = platform::CheckHandOver(request);
    if (invalid != platform::HandOverError::None) {
      instance.UnlockStart();
      std::fprintf(stderr, "typeloom: cannot hand the request to the running instance: %s\n",
                   platform::HandOverErrorText(invalid));
      return 1;
    }
    const platform::HandOver handed = instance.SignalAndWait(platform::EncodeHandOver(request));
    // When the running instance went away meanwhile, this start takes its place.
    if (handed != platform::HandOver::NoAnswer || instance.PreviousInstance()) {
      instance.UnlockStart();
      if (handed == platform::HandOver::NotDelivered) {
        std::fprintf(stderr, "typeloom: the running instance has no window to take the request\n");
      } else if (handed == platform::HandOver::Refused) {
        std::fprintf(stderr, "typeloom: the running instance refused the request as malformed\n");
      } else if (handed == platform::HandOver::NoAnswer) {
        std::fprintf(stderr, "typeloom: the running instance did not answer\n");
      }
      return handed == platform::HandOver::Handled ? 0 : 1;
    }
  }
  instance.UnlockStart();
  if (!instance.Usable()) return RefuseUnguardedStart(argc, argv, instance.Problem());
  // The window part keeps the instance lock for the rest of the process's life.
  return RunWindowModule(argc, argv, instance.ReleaseInstanceLock());
}

}  // namespace typeloom::app
