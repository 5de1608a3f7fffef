#pragma once
// Text from font files printed to a terminal: escaped so that it can neither
// split a line nor reach the terminal as a control sequence.
#include <QString>
#include <QStringView>

namespace typeloom::app {

// `text` with every character a terminal would act on written as an escape:
// "\\" for a backslash, "\n", "\r", "\t", "\e" (escape), "\xHH" for the other
// C0 controls and DEL, "\uHHHH" for C1 controls, line and paragraph separators
// and bidirectional controls. Every other character stays as it is.
QString EscapeForTerminal(QStringView text);

}  // namespace typeloom::app
