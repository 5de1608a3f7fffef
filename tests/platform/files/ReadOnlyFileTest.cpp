// A file its owner made read-only is never replaced, whoever runs the program; the
// refusal is kept for the user like any other failed write.
#include "platform/files/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace typeloom::platform {
namespace {

TEST(ReplaceFile, LeavesAFileMarkedReadOnlyAndSaysWhy) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  struct Case {
    mode_t mode;
    bool replaced;
  };
  for (const Case& c : {Case{0444, false}, Case{0400, false}, Case{0464, false}, Case{0644, true}, Case{0600, true}}) {
    const QString path = dir.filePath("list");
    QFile::remove(path);
    {
      QFile f(path);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write("old\n");
    }
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), c.mode), 0);
    TakeWriteFailures();
    QString error;
    EXPECT_EQ(ReplaceFile(path, "new\n", 0644, &error), c.replaced) << std::oct << c.mode;
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), c.replaced ? "new\n" : "old\n") << std::oct << c.mode;
    const QStringList failures = TakeWriteFailures();
    EXPECT_EQ(failures.size(), c.replaced ? 0 : 1);
    if (!c.replaced) {
      EXPECT_TRUE(error.startsWith(path + ": ")) << error.toStdString();
      EXPECT_EQ(failures.value(0), error);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"list"});  // no temporary file left
  }
}

}  // namespace
}  // namespace typeloom::platform
