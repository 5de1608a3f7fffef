#pragma once
// Edits one value of an INI file as Qt's settings class reads it, keeping every
// other line as it is.
#include <QByteArray>
#include <QString>

namespace typeloom::platform {

// The value as an INI value text that QSettings reads back as exactly `value`.
QByteArray EncodeIniValue(const QString& value);
// A section or key name as QSettings writes it.
QByteArray EncodeIniKey(const QString& key);

// `file` with `key` of `section` set to `value`: the key's line in the section's
// first group is replaced (and the key's lines in later groups of the same
// section dropped), else a line is added at the end of that group, else the
// group is added at the end of the file.
QByteArray SetIniValue(const QByteArray& file, const QString& section, const QString& key, const QString& value);

}  // namespace typeloom::platform
