#pragma once
// Appending a line to a trail file that may be a pipe: QFile's Append mode seeks to
// the end, which fails and warns on a pipe, so the file is opened with O_APPEND.
#include <QByteArray>

namespace typeloom::platform {

// Appends `line` and a newline to `path` (made with mode 0600 when missing) in one
// write, so that lines from several processes never interleave. False when it could
// not be opened or written.
bool AppendLine(const QByteArray& path, const QByteArray& line);

}  // namespace typeloom::platform
