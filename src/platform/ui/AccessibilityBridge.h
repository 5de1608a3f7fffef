#pragma once
// Qt's accessibility bridge (AT-SPI) connects to the session bus the first time a
// widget asks whether assistive technology is active, which the first label does.
// Without a session bus, libdbus then forks dbus-launch. Asked before the font
// database is built, the fork shares a small heap; asked after it (tens of megabytes
// with tens of thousands of fonts), every heap page the window writes afterwards
// takes one more page fault.

namespace typeloom::platform {

// Makes Qt set up its accessibility bridge now. Call once the QGuiApplication exists.
void StartAccessibilityBridge();

}  // namespace typeloom::platform
