#pragma once
// The main window's update control, InternetUpdate1, set up as this build and run say.
class QWidget;

namespace typeloom::platform {
class EventPump;
class MessageBoxes;
}  // namespace typeloom::platform

namespace typeloom::update {

class InternetUpdate;

// The installer's file name on this system.
inline constexpr char kUpdateFile[] = "typeloominstall.run";

// Creates InternetUpdate1 on `host` (which owns it) with the download folder, the
// installer's name and the public key of this build, fetching over Qt Network and
// starting the installer as its own process.
InternetUpdate* MakeInternetUpdate1(QWidget* host, platform::MessageBoxes& messages, platform::EventPump& events);

}  // namespace typeloom::update
