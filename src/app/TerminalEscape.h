#pragma once

// The escapes for characters a terminal would act on, shared by the Qt list printer
// (TerminalText.h) and the Qt-free quick list: both must print a name alike.

namespace typeloom::app {

// The two-character escape of `c`, or nullptr when it has none.
constexpr const char* NamedEscape(char32_t c) {
  switch (c) {
    case U'\\': return "\\\\";
    case U'\n': return "\\n";
    case U'\r': return "\\r";
    case U'\t': return "\\t";
    case 0x1B: return "\\e";
    default: return nullptr;
  }
}

// Whether `c` is an ASCII control character, printed as \xHH when it has no named escape.
constexpr bool IsAsciiControl(char32_t c) { return c < 0x20 || c == 0x7F; }

}  // namespace typeloom::app
