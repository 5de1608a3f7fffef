// The start-up trail is appended to, never truncated, whether it is a file or the
// benchmark's pipe.
#include "platform/files/AppendLine.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace typeloom::platform {
namespace {

TEST(AppendLine, KeepsWhatTheFileHeldAndAddsWholeLines) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  struct Case {
    const char* before;  // nullptr: no file yet
    const char* expected;
  };
  for (const Case& c : {Case{nullptr, "load\npainted\n"}, Case{"", "load\npainted\n"},
                        Case{"start\n", "start\nload\npainted\n"}}) {
    const QByteArray path = QFile::encodeName(dir.filePath("trace"));
    QFile::remove(QFile::decodeName(path));
    if (c.before != nullptr) {
      QFile f(QFile::decodeName(path));
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(c.before);
    }
    EXPECT_TRUE(AppendLine(path, "load"));
    EXPECT_TRUE(AppendLine(path, "painted"));
    QFile f(QFile::decodeName(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(c.expected)) << (c.before ? c.before : "(none)");
  }
}

TEST(AppendLine, WritesIntoAPipeAndFailsWhereItCannotOpen) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const QByteArray path = "/dev/fd/" + QByteArray::number(fds[1]);
  EXPECT_TRUE(AppendLine(path, "painted"));
  ::close(fds[1]);
  char buffer[16] = {};
  EXPECT_EQ(::read(fds[0], buffer, sizeof buffer), 8);
  EXPECT_EQ(QByteArray(buffer), QByteArray("painted\n"));
  ::close(fds[0]);

  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const QByteArray& bad : {QByteArray(), QFile::encodeName(dir.filePath("missing/trace")), QFile::encodeName(dir.path())}) {
    EXPECT_FALSE(AppendLine(bad, "x")) << bad.constData();
  }
}

}  // namespace
}  // namespace typeloom::platform
