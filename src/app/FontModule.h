#pragma once
// Process-wide state of the program and the services it runs on.
#include "app/FontCatalogue.h"
#include "app/Version.h"
#include "app/WindowSeams.h"

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace typeloom::platform {
class Clock;
class EventPump;
class MessageBoxes;
class Registry;
class SettingsStore;
class SystemFontFolder;
}  // namespace typeloom::platform

namespace typeloom::app {

inline constexpr char kSettingsSection[] = "Settings";
inline constexpr char kMainCaption[] = " Typeloom";
inline constexpr int kHandOverKey = 127;  // F16

// "Version 1.4"
QString VersionText();

// The system facilities the windows use.
struct Services {
  platform::Registry& registry;
  platform::SettingsStore& settings;
  platform::MessageBoxes& messages;
  platform::Clock& clock;
  platform::EventPump& events;
  platform::SystemFontFolder& fontFolder;
};

struct FontModule {
  QString commandLine;          // current request, as given; cut down by ProcessCommandLine
  std::optional<QString> handedOverCommandLine;  // a later start's request, until the hand-over key takes it
  QStringList fontExtensions;   // "fon", "otf", "pfm", "ttc", "ttf"
  QString shortExePath;         // the program's executable, quoted when it holds a blank
  QString openCommand;          // shortExePath + " %1"
  QString printCommand;         // shortExePath + " /p %1"
  FontCatalogue catalogue;
  QStringList fontNames;        // fontList's entries, in list order

  // Fills the extensions and the two shell commands for the executable at `exePath`.
  void PrepareShellCommands(const QString& exePath);
};

// `argument` as a later start passes it on: a font file named relative to this
// start's folder by its absolute path (a running instance works in a folder of its
// own); anything else as given.
QString AbsoluteFileArgument(const QString& argument);

// The command-line text of a start: the arguments joined by blanks, letter case kept
// (file names are case-sensitive), an existing file named relatively made absolute.
QString CommandLineText(const QStringList& arguments);

// The program's executable path as the shell commands use it: empty when
// unknown, quoted when it holds a blank.
QString ShortExePath(const QString& exePath);

// Waits whole seconds on the monotonic clock while letting window events run.
void Pause(platform::Clock& clock, platform::EventPump& events, int seconds);

// A window's caption height and border width in twips, from its outer and client
// sizes (window height - client height - border width; (window width - client
// width) / 2), rounded half to even; 0 when the measures cannot be read.
int CaptionHeight(const QWidget& window);
int BorderWidth(const QWidget& window);

}  // namespace typeloom::app
