// Fuzz target: the desktop files and remembered texts the bindings read. The bytes
// are taken as a mimeapps.list (the type's lines found, set and put back), as a
// desktop entry (Exec and MimeType), as a remembered value of a type's lines, and as
// the record of created paths. Traps when a remembered value that parses does not
// encode back to itself, or when the record yields a path that is not clean and
// absolute or more paths than its bound.
#include "platform/shell/CreatedPaths.h"
#include "platform/shell/MimeAppsList.h"
#include "platform/shell/XdgDirs.h"

#include <QDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace typeloom::platform;
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

  for (const char* type : {"font/ttf", "font/collection"}) {
    const mimeapps::TypeLines found = mimeapps::Find(bytes, type);
    const QByteArray bound = mimeapps::SetLine(bytes, type, mimeapps::LineFor(type, "typeloom.desktop"));
    mimeapps::Restore(bound, type, found);
    mimeapps::DefaultIds(bytes, type);
  }

  const QByteArray exec = KeyFileValue(bytes, "Desktop Entry", "Exec").value_or(QByteArray());
  CommandOfExec(exec);
  ProgramOfExec(exec);
  KeyFileValue(bytes, "Desktop Entry", "MimeType");
  IsDesktopName(QString::fromUtf8(bytes));

  QString listName;
  mimeapps::TypeLines lines;
  if (mimeapps::ParseListLines(bytes, &listName, &lines)) {
    QString again;
    mimeapps::TypeLines reparsed;
    if (!mimeapps::ParseListLines(mimeapps::EncodeListLines(listName, lines), &again, &reparsed)) std::abort();
    if (again != listName || !(reparsed == lines)) std::abort();
  }

  const QStringList paths = ParseCreatedRecord(bytes);
  if (paths.size() > kMaxCreatedPaths) std::abort();
  for (const QString& path : paths) {
    if (!QDir::isAbsolutePath(path) || QDir::cleanPath(path) != path || path == "/") std::abort();
  }
  return 0;
}
