#pragma once
// Replacing a file so that no failure can lose it: the new contents go into a new
// file beside it, every write's result is checked, the file is flushed to the disk
// and its size checked, and only then is it renamed over the old one. On any
// failure the old file stays as it was and the reason is kept for the user.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace typeloom::platform {

// Replaces (or creates) `path` with `bytes`. A new file gets `mode`; an existing
// one keeps its mode, and one that is read-only (no owner write bit, or not
// writable with the program's rights) is refused. False with `error` ("<path>: <reason>") on failure, after
// which `path` is untouched and no temporary file is left.
bool ReplaceFile(const QString& path, const QByteArray& bytes, mode_t mode, QString* error = nullptr);

// Failures of ReplaceFile since the last call, oldest first, each "<path>: <reason>";
// windows that save ask for them to tell the user why a save did not happen.
QStringList TakeWriteFailures();

}  // namespace typeloom::platform
