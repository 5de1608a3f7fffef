#pragma once
// A line editor for mimeapps.list. Only the lines of one type in the group
// [Default Applications] are touched; every other byte of the file (comments,
// spacing, other groups, other types, line ends) stays as it was. No key-file
// library keeps a file that way, so the file is edited as lines.
#include <QByteArray>
#include <QList>
#include <QString>

namespace typeloom::platform::mimeapps {

inline constexpr char kDefaultGroup[] = "[Default Applications]";

// How one type stands in [Default Applications] of one file.
struct TypeLines {
  bool filePresent = false;
  bool groupPresent = false;
  bool endsWithNewline = true;  // the file's last byte is a line end (or the file is empty)
  QList<QByteArray> lines;      // the type's lines, exactly as written, without line ends

  // The remembered form: "=" and the lines joined by LF, or "!" and flags
  // ("f" no file, "g" no group, "n" no final line end). Parse(Encode()) round-trips.
  QByteArray Encode() const;
  static bool Parse(const QByteArray& text, TypeLines* out);
  bool operator==(const TypeLines&) const = default;
};

// The key of a "key=value" line (blanks around it dropped), or empty for other lines.
QByteArray KeyOf(const QByteArray& line);
// The desktop ids of a value list "a.desktop;b.desktop;", empty parts dropped.
QList<QByteArray> IdsOf(const QByteArray& line);

TypeLines Find(const QByteArray& content, const QByteArray& type);
// The desktop ids of the type's first line in [Default Applications] (empty when none).
QList<QByteArray> DefaultIds(const QByteArray& content, const QByteArray& type);

// Makes `line` the type's only line: the first existing line is replaced and later
// ones dropped; without one it is added after the group's last entry, and the group
// is added at the end of the file when missing.
QByteArray SetLine(const QByteArray& content, const QByteArray& type, const QByteArray& line);

// Puts the type back as `prior` describes: its lines in place of the type's current
// ones, or, for a type that had none, removes them, then the group when it was added
// for it and holds nothing else, and restores a missing final line end.
QByteArray Restore(const QByteArray& content, const QByteArray& type, const TypeLines& prior);

// The remembered form of a type's lines in one list: TypeLines' encoding, after
// "@<list name>" and a line end for a desktop-specific list. Parsing accepts only
// "mimeapps.list" and "<desktop>-mimeapps.list" names (IsDesktopName, lower case).
QByteArray EncodeListLines(const QString& listName, const TypeLines& lines);
bool ParseListLines(const QByteArray& text, QString* listName, TypeLines* lines);

// The line that binds the type to a desktop id, as every reader matches it.
QByteArray LineFor(const QByteArray& type, const QByteArray& desktopId);

}  // namespace typeloom::platform::mimeapps
