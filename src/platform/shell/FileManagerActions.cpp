#include "platform/shell/FileManagerActions.h"

namespace typeloom::platform::shell {
namespace {

constexpr char kScriptMark[] = "# Written by Typeloom for its print binding; removed with it.\n";
constexpr char kActionOpen[] = "<action>";
constexpr char kActionClose[] = "</action>";
constexpr char kActionsClose[] = "</actions>";

QByteArray IdElement() { return QByteArray("<unique-id>") + kThunarActionId + "</unique-id>"; }

// "*.ttf" as a case pattern of any letter case: "*.[tT][tT][fF]".
QByteArray AnyCase(const QByteArray& glob) {
  QByteArray out;
  for (const char c : glob) {
    const char lower = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower >= 'a' && lower <= 'z') {
      out += '[';
      out += lower;
      out += static_cast<char>(lower - 'a' + 'A');
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

QList<QByteArray> AllGlobs(const QList<QByteArray>& types) {
  QList<QByteArray> globs;
  for (const QByteArray& type : types) {
    for (const QByteArray& glob : GlobsOf(type)) {
      if (!globs.contains(glob)) globs << glob;
    }
  }
  return globs;
}

}  // namespace

QList<QByteArray> GlobsOf(const QByteArray& mimeType) {
  if (mimeType == "application/x-font-fon") return {"*.fon"};
  if (mimeType == "font/otf") return {"*.otf"};
  if (mimeType == "application/x-font-pfm") return {"*.pfm"};
  if (mimeType == "font/collection") return {"*.ttc", "*.otc"};
  if (mimeType == "font/ttf") return {"*.ttf"};
  if (mimeType == "application/x-font-type1") return {"*.pfa", "*.pfb"};
  if (mimeType == "application/x-font-pcf") return {"*.pcf", "*.pcf.gz"};
  if (mimeType == "application/x-font-bdf") return {"*.bdf"};
  if (mimeType == "font/woff") return {"*.woff"};
  if (mimeType == "font/woff2") return {"*.woff2"};
  return {};
}

QByteArray ShellQuote(const QByteArray& text) {
  QByteArray out = "'";
  for (const char c : text) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + '\'';
}

QByteArray XmlEscape(const QByteArray& text) {
  QByteArray out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

QByteArray PrintScript(const QByteArray& scriptTemplate, const QString& exePath, const QList<QByteArray>& types) {
  if (!scriptTemplate.contains(kScriptMark)) return {};
  QList<QByteArray> cases;
  for (const QByteArray& glob : AllGlobs(types)) cases << AnyCase(glob);
  // With no pattern the script prints nothing: a pattern no file name has.
  if (cases.isEmpty()) cases << "/";
  QByteArray text = scriptTemplate;
  text.replace("@PROGRAM@", ShellQuote(exePath.toUtf8()));
  text.replace("@CASES@", cases.join('|'));
  return text;
}

bool IsOwnPrintScript(const QByteArray& content) { return content.contains(kScriptMark); }

QByteArray ThunarAction(const QByteArray& actionTemplate, const QString& exePath, const QList<QByteArray>& types) {
  if (!actionTemplate.contains(IdElement()) || !actionTemplate.endsWith("</action>\n")) return {};
  QList<QByteArray> patterns;
  for (const QByteArray& glob : AllGlobs(types)) patterns << glob;
  for (const QByteArray& glob : AllGlobs(types)) patterns << glob.toUpper();
  // Thunar puts each file name in for %f as a quoted word and parses the command as
  // the shell would.
  const QByteArray command = ShellQuote(exePath.toUtf8()) + " /p %f";
  QByteArray text = actionTemplate;
  text.replace("@COMMAND@", XmlEscape(command));
  text.replace("@PATTERNS@", XmlEscape(patterns.join(';')));
  return text;
}

std::optional<Span> FindThunarAction(const QByteArray& content) {
  const QByteArray id = IdElement();
  // The first occurrence of the id that lies in a block of its own: between an
  // <action> and the next </action>, with no other <action> in between. A stray id
  // (a fragment the user left) is passed over, so it never makes the program's
  // block look absent, nor does removing it take the user's bytes along.
  for (qsizetype at = content.indexOf(id); at >= 0; at = content.indexOf(id, at + 1)) {
    const qsizetype begin = content.lastIndexOf(kActionOpen, at);
    if (begin < 0) continue;
    qsizetype end = content.indexOf(kActionClose, begin);
    if (end < at) continue;  // none, or the block closed before the id
    const qsizetype nextOpen = content.indexOf(kActionOpen, begin + 1);
    if (nextOpen >= 0 && nextOpen < end) continue;
    end += static_cast<qsizetype>(sizeof kActionClose - 1);
    if (end < content.size() && content[end] == '\n') ++end;
    return Span{begin, end};
  }
  return std::nullopt;
}

std::optional<QByteArray> WithThunarAction(const QByteArray& content, const QByteArray& action) {
  QByteArray out = content;
  if (const auto span = FindThunarAction(content)) return out.replace(span->begin, span->end - span->begin, action);
  const qsizetype at = content.lastIndexOf(kActionsClose);
  if (at < 0) return std::nullopt;
  return out.insert(at, action);
}

QByteArray WithoutThunarAction(const QByteArray& content) {
  QByteArray out = content;
  if (const auto span = FindThunarAction(content)) out.remove(span->begin, span->end - span->begin);
  return out;
}

}  // namespace typeloom::platform::shell
