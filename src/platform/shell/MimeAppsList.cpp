#include "platform/shell/MimeAppsList.h"

#include "platform/shell/XdgDirs.h"

namespace typeloom::platform::mimeapps {
namespace {

// The file split at LF; each line keeps everything but the LF (a CR stays part of it).
struct Lines {
  QList<QByteArray> items;
  bool finalNewline = true;

  explicit Lines(const QByteArray& content) {
    if (content.isEmpty()) return;
    items = content.split('\n');
    finalNewline = content.endsWith('\n');
    if (finalNewline) items.removeLast();
  }
  QByteArray Join() const {
    QByteArray out;
    for (const QByteArray& line : items) {
      out += line;
      out += '\n';
    }
    if (!finalNewline && !out.isEmpty()) out.chop(1);
    return out;
  }
};

bool IsGroupHeader(const QByteArray& line) { return line.trimmed().startsWith('['); }
bool IsDefaultGroup(const QByteArray& line) { return line.trimmed() == kDefaultGroup; }

// The [first, end) line range of [Default Applications]'s entries; first is -1 without the group.
struct GroupRange {
  qsizetype header = -1;
  qsizetype end = -1;
};

GroupRange FindGroup(const QList<QByteArray>& lines) {
  GroupRange range;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (range.header < 0) {
      if (IsDefaultGroup(lines[i])) range.header = i;
    } else if (IsGroupHeader(lines[i])) {
      range.end = i;
      return range;
    }
  }
  if (range.header >= 0) range.end = lines.size();
  return range;
}

QList<qsizetype> TypeLineIndexes(const QList<QByteArray>& lines, const GroupRange& group, const QByteArray& type) {
  QList<qsizetype> found;
  if (group.header < 0) return found;
  for (qsizetype i = group.header + 1; i < group.end; ++i) {
    if (KeyOf(lines[i]) == type) found << i;
  }
  return found;
}

// Where a new entry goes: after the group's last line that is neither blank nor a comment.
qsizetype InsertionPoint(const QList<QByteArray>& lines, const GroupRange& group) {
  qsizetype at = group.header + 1;
  for (qsizetype i = group.header + 1; i < group.end; ++i) {
    const QByteArray t = lines[i].trimmed();
    if (!t.isEmpty() && !t.startsWith('#')) at = i + 1;
  }
  return at;
}

}  // namespace

QByteArray TypeLines::Encode() const {
  if (!lines.isEmpty()) return '=' + lines.join('\n');
  QByteArray flags = "!";
  if (!filePresent) flags += 'f';
  if (!groupPresent) flags += 'g';
  if (!endsWithNewline) flags += 'n';
  return flags;
}

bool TypeLines::Parse(const QByteArray& text, TypeLines* out) {
  TypeLines t;
  if (text.startsWith('=')) {
    t.filePresent = t.groupPresent = true;
    t.lines = text.mid(1).split('\n');
    for (const QByteArray& line : t.lines) {
      if (line.trimmed().isEmpty() || IsGroupHeader(line)) return false;
    }
  } else if (text.startsWith('!')) {
    const QByteArray flags = text.mid(1);
    for (char c : flags) {
      if (c != 'f' && c != 'g' && c != 'n') return false;
    }
    t.filePresent = !flags.contains('f');
    t.groupPresent = !flags.contains('g');
    t.endsWithNewline = !flags.contains('n');
  } else {
    return false;
  }
  *out = t;
  return true;
}

QByteArray KeyOf(const QByteArray& line) {
  const QByteArray t = line.trimmed();
  if (t.isEmpty() || t.startsWith('#') || t.startsWith('[')) return {};
  const qsizetype eq = t.indexOf('=');
  if (eq <= 0) return {};
  return t.left(eq).trimmed();
}

QList<QByteArray> IdsOf(const QByteArray& line) {
  QList<QByteArray> ids;
  const qsizetype eq = line.indexOf('=');
  if (eq < 0) return ids;
  for (const QByteArray& part : line.mid(eq + 1).split(';')) {
    const QByteArray id = part.trimmed();
    if (!id.isEmpty()) ids << id;
  }
  return ids;
}

TypeLines Find(const QByteArray& content, const QByteArray& type) {
  const Lines lines(content);
  TypeLines t;
  t.filePresent = true;
  t.endsWithNewline = content.isEmpty() || content.endsWith('\n');
  const GroupRange group = FindGroup(lines.items);
  t.groupPresent = group.header >= 0;
  for (qsizetype i : TypeLineIndexes(lines.items, group, type)) t.lines << lines.items[i];
  return t;
}

QList<QByteArray> DefaultIds(const QByteArray& content, const QByteArray& type) {
  const TypeLines t = Find(content, type);
  return t.lines.isEmpty() ? QList<QByteArray>() : IdsOf(t.lines.front());
}

QByteArray LineFor(const QByteArray& type, const QByteArray& desktopId) { return type + '=' + desktopId + ';'; }

QByteArray SetLine(const QByteArray& content, const QByteArray& type, const QByteArray& ownLine) {
  Lines lines(content);
  GroupRange group = FindGroup(lines.items);
  // A file with CR LF line ends gets the new line with one too.
  const QByteArray line = group.header >= 0 && lines.items[group.header].endsWith('\r') ? ownLine + '\r' : ownLine;
  if (group.header < 0) {
    lines.finalNewline = true;
    lines.items << QByteArray(kDefaultGroup) << line;
    return lines.Join();
  }
  const QList<qsizetype> existing = TypeLineIndexes(lines.items, group, type);
  if (existing.isEmpty()) {
    const qsizetype at = InsertionPoint(lines.items, group);
    // An entry added after a last line without a line end must not join it.
    if (at == lines.items.size()) lines.finalNewline = true;
    lines.items.insert(at, line);
    return lines.Join();
  }
  for (qsizetype k = existing.size() - 1; k >= 1; --k) lines.items.removeAt(existing[k]);
  lines.items[existing.front()] = line;
  return lines.Join();
}

QByteArray Restore(const QByteArray& content, const QByteArray& type, const TypeLines& prior) {
  Lines lines(content);
  GroupRange group = FindGroup(lines.items);
  if (group.header < 0) {
    if (prior.lines.isEmpty()) return content;
    return SetLine(content, type, prior.lines.front());
  }
  const QList<qsizetype> existing = TypeLineIndexes(lines.items, group, type);
  if (!prior.lines.isEmpty()) {
    qsizetype at;
    if (existing.isEmpty()) {
      at = InsertionPoint(lines.items, group);
      if (at == lines.items.size()) lines.finalNewline = true;
    } else {
      for (qsizetype k = existing.size() - 1; k >= 0; --k) lines.items.removeAt(existing[k]);
      at = existing.front();
    }
    for (qsizetype k = 0; k < prior.lines.size(); ++k) lines.items.insert(at + k, prior.lines[k]);
    return lines.Join();
  }
  for (qsizetype k = existing.size() - 1; k >= 0; --k) lines.items.removeAt(existing[k]);
  if (!prior.groupPresent) {
    group = FindGroup(lines.items);
    bool empty = true;
    for (qsizetype i = group.header + 1; i < group.end; ++i) empty = empty && lines.items[i].trimmed().isEmpty();
    if (empty && group.end == lines.items.size()) {
      lines.items.erase(lines.items.begin() + group.header, lines.items.end());
      if (!prior.endsWithNewline) lines.finalNewline = false;
    }
  }
  return lines.Join();
}

namespace {
// "<desktop>-mimeapps.list" with a desktop name as XdgDirs keeps them, or "mimeapps.list".
bool IsListName(const QByteArray& name) {
  if (name == "mimeapps.list") return true;
  if (!name.endsWith("-mimeapps.list")) return false;
  const QByteArray desktop = name.chopped(14);
  return IsDesktopName(QString::fromLatin1(desktop)) && desktop == desktop.toLower();
}
}  // namespace

QByteArray EncodeListLines(const QString& listName, const TypeLines& lines) {
  const QByteArray encoded = lines.Encode();
  return listName == "mimeapps.list" ? encoded : '@' + listName.toUtf8() + '\n' + encoded;
}

bool ParseListLines(const QByteArray& text, QString* listName, TypeLines* lines) {
  QByteArray name = "mimeapps.list";
  QByteArray rest = text;
  if (text.startsWith('@')) {
    const qsizetype end = text.indexOf('\n');
    if (end < 0) return false;
    name = text.mid(1, end - 1);
    rest = text.mid(end + 1);
  }
  if (!IsListName(name) || !TypeLines::Parse(rest, lines)) return false;
  *listName = QString::fromLatin1(name);
  return true;
}

}  // namespace typeloom::platform::mimeapps
