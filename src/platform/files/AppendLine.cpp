#include "platform/files/AppendLine.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace typeloom::platform {

bool AppendLine(const QByteArray& path, const QByteArray& line) {
  if (path.isEmpty()) return false;
  const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const QByteArray bytes = line + '\n';
  ssize_t written = -1;
  do {
    written = ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
  } while (written < 0 && errno == EINTR);
  const bool closed = ::close(fd) == 0;
  return closed && written == bytes.size();
}

}  // namespace typeloom::platform
