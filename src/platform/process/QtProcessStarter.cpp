#include "platform/process/ProcessStarter.h"

#include "platform/process/KeptFile.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace typeloom::platform {

bool QtProcessStarter::StartDetached(const QString& program, const QStringList& arguments, QString* error) {
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  process.setWorkingDirectory(QFileInfo(program).absolutePath());
  if (process.startDetached()) return true;
  if (error != nullptr) {
    *error = process.errorString();
    if (error->isEmpty()) *error = QStringLiteral("The program could not be started.");
  }
  return false;
}

bool QtProcessStarter::StartKept(const KeptFile& file, const QStringList& arguments, QString* error) {
  // Everything the child needs is made before the fork: after it only
  // async-signal-safe calls are allowed.
  const QByteArray folder = QFile::encodeName(QFileInfo(file.Path()).absolutePath());
  std::vector<QByteArray> texts{QFile::encodeName(file.Path())};
  for (const QString& argument : arguments) texts.push_back(argument.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);
  const int fd = file.Descriptor();

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  const pid_t child = ::fork();
  if (child == 0) {
    // A session of its own, and a grandchild that nobody waits for.
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
    if (::chdir(folder.constData()) != 0) {
      // The folder's name may be gone; the program runs all the same.
    }
    // Open across the start: an interpreter reads a script through /dev/fd/N.
    ::fcntl(fd, F_SETFD, 0);
    ::fexecve(fd, argv.data(), environ);
    const int code = errno;
    [[maybe_unused]] const ssize_t written = ::write(report[1], &code, sizeof code);
    ::_exit(127);
  }
  ::close(report[1]);
  if (child < 0) {
    *error = QString::fromLocal8Bit(std::strerror(errno));
    ::close(report[0]);
    return false;
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  // The report pipe closes on a successful start (close-on-exec) without a word.
  int code = 0;
  ssize_t got = 0;
  do {
    got = ::read(report[0], &code, sizeof code);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    *error = QStringLiteral("The program could not be started.");
    return false;
  }
  if (got == static_cast<ssize_t>(sizeof code)) {
    *error = QString::fromLocal8Bit(std::strerror(code));
    return false;
  }
  return true;
}

}  // namespace typeloom::platform
