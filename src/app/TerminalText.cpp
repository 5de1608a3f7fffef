#include "app/TerminalText.h"

#include "app/TerminalEscape.h"

namespace typeloom::app {
namespace {

bool IsUnicodeControl(char16_t u) {
  return (u >= 0x80 && u <= 0x9F) || u == 0x2028 || u == 0x2029 || (u >= 0x200E && u <= 0x200F) ||
         (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

}  // namespace

QString EscapeForTerminal(QStringView text) {
  // Nearly every name needs no escape: copied whole, the rest from the first that does.
  qsizetype clean = 0;
  for (; clean < text.size(); ++clean) {
    const char16_t u = text[clean].unicode();
    if (NamedEscape(u) != nullptr || IsAsciiControl(u) || IsUnicodeControl(u)) break;
  }
  if (clean == text.size()) return text.toString();
  QString out;
  out.reserve(text.size() + 8);
  out += text.first(clean);
  for (const QChar c : text.sliced(clean)) {
    const char16_t u = c.unicode();
    if (const char* escape = NamedEscape(u)) {
      out += QLatin1String(escape);
    } else if (IsAsciiControl(u)) {
      out += QStringLiteral("\\x%1").arg(static_cast<unsigned>(u), 2, 16, QLatin1Char('0'));
    } else if (IsUnicodeControl(u)) {
      out += QStringLiteral("\\u%1").arg(static_cast<unsigned>(u), 4, 16, QLatin1Char('0'));
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace typeloom::app
