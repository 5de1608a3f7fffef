#pragma once
// Qt's accessibility bridge (AT-SPI) connects to the session bus the first time a
// widget asks whether assistive technology is active, which the first label does.
// Without a session bus, libdbus then forks dbus-launch. Asked before the font
// database is built, the fork copies a small process; asked after it (tens of
// megabytes of heap with tens of thousands of fonts), every page the window then
// writes is copied once more, which costs the start-up as much as a font lookup.

namespace typeloom::platform {

// Makes Qt set up its accessibility bridge now. Call once the QGuiApplication exists.
void StartAccessibilityBridge();

}  // namespace typeloom::platform
