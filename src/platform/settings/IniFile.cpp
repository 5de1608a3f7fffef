#include "platform/settings/IniFile.h"

#include <QList>

namespace typeloom::platform {
namespace {

bool IsHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

QByteArray Hex(char16_t c) { return "\\x" + QByteArray::number(static_cast<unsigned>(c), 16); }

// The group a line opens ("[name]" trimmed), or null when it opens none.
QByteArray GroupOf(const QByteArray& line) {
  const QByteArray t = line.trimmed();
  if (t.size() >= 2 && t.front() == '[' && t.back() == ']') return t.mid(1, t.size() - 2);
  return {};
}

// The key of a "key=value" line, trimmed; null for any other line.
QByteArray KeyOf(const QByteArray& line) {
  const QByteArray t = line.trimmed();
  if (t.isEmpty() || t.front() == ';' || t.front() == '#' || t.front() == '[') return {};
  const qsizetype equals = t.indexOf('=');
  if (equals <= 0) return {};
  return t.left(equals).trimmed();
}

}  // namespace

QByteArray EncodeIniValue(const QString& value) {
  // Quoted, so that commas, semicolons and edge spaces are kept; a leading "@"
  // would mark a typed value and is doubled.
  QString text = value;
  if (text.startsWith(u'@')) text.prepend(u'@');
  QByteArray out = "\"";
  bool afterHex = false;
  for (const QChar qc : text) {
    const char16_t c = qc.unicode();
    // A hex escape runs on over every hex digit that follows it.
    if (afterHex && IsHexDigit(c)) {
      out += Hex(c);
      continue;
    }
    afterHex = false;
    if (c == u'"' || c == u'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      out += Hex(c);
      afterHex = true;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
  return out;
}

QByteArray EncodeIniKey(const QString& key) {
  QByteArray out;
  for (const QChar qc : key) {
    const char16_t c = qc.unicode();
    if (c == u'/') {
      out += '\\';
    } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
               c == u'-' || c == u'.') {
      out += static_cast<char>(c);
    } else if (c <= 0xFF) {
      out += '%' + QByteArray::number(static_cast<unsigned>(c), 16).toUpper().rightJustified(2, '0');
    } else {
      out += "%U" + QByteArray::number(static_cast<unsigned>(c), 16).toUpper().rightJustified(4, '0');
    }
  }
  return out;
}

QByteArray SetIniValue(const QByteArray& file, const QString& section, const QString& key, const QString& value) {
  const QByteArray group = EncodeIniKey(section);
  const QByteArray name = EncodeIniKey(key);
  const QByteArray line = name + '=' + EncodeIniValue(value);
  const QByteArray eol = file.contains("\r\n") ? "\r\n" : "\n";

  QList<QByteArray> lines = file.isEmpty() ? QList<QByteArray>() : file.split('\n');
  // A file ending in a line break splits into a last empty piece.
  if (file.endsWith('\n')) lines.removeLast();
  for (QByteArray& l : lines) {
    if (l.endsWith('\r')) l.chop(1);
  }

  QList<QByteArray> out;
  bool inGroup = false;
  bool written = false;
  qsizetype firstGroupEnd = -1;  // after the last non-empty line of the section's first group
  int groupsSeen = 0;
  for (const QByteArray& l : lines) {
    const QByteArray opened = GroupOf(l);
    if (!opened.isNull()) {
      inGroup = opened == group;
      if (inGroup && ++groupsSeen == 1) firstGroupEnd = out.size() + 1;
      out << l;
      continue;
    }
    if (inGroup && KeyOf(l) == name) {
      // The first occurrence is replaced in place; any other goes.
      if (!written) {
        out << line;
        written = true;
      }
      continue;
    }
    out << l;
    if (inGroup && groupsSeen == 1 && !l.trimmed().isEmpty()) firstGroupEnd = out.size();
  }
  if (!written) {
    if (firstGroupEnd >= 0) {
      out.insert(firstGroupEnd, line);
    } else {
      if (!out.isEmpty() && !out.back().trimmed().isEmpty()) out << QByteArray();
      out << '[' + group + ']' << line;
    }
  }
  QByteArray result = out.join(eol);
  if (!out.isEmpty()) result += eol;
  return result;
}

}  // namespace typeloom::platform
