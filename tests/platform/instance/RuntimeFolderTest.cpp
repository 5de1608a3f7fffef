#include "platform/instance/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace typeloom::platform {
namespace {

constexpr uid_t kOtherUser = 65534;

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

QString MakeFolder(const QString& path, mode_t mode) {
  QDir().mkpath(path);
  ::chmod(Native(path).constData(), mode);
  return path;
}

// A folder path of exactly `bytes` bytes under `base`.
QString LongPath(const QString& base, int bytes) {
  QString path = base;
  while (path.size() < bytes) path += QStringLiteral("/") + QString(std::min<qsizetype>(40, bytes - path.size() - 1), u'd');
  return path.left(bytes);
}

class RuntimeFolderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Path(const QString& sub) const { return dir_.path() + u'/' + sub; }
  QString Fallback() const { return Path(QStringLiteral("tmp/Typeloom-") + QString::number(::getuid())); }
  QTemporaryDir dir_;
};

// $XDG_RUNTIME_DIR is used only when it is a 0700 folder of this user's with room
// for the socket's path; anything else falls back to the private temp folder.
TEST_F(RuntimeFolderTest, RuntimeDirIsUsedOnlyWhenPrivate) {
  const bool root = ::geteuid() == 0;
  MakeFolder(Path("tmp"), 0700);
  const struct {
    const char* name;
    QString runtime;
    bool usesRuntime;
    bool needsRoot;
  } cases[] = {
      {"private", MakeFolder(Path("private"), 0700), true, false},
      {"mode 0777", MakeFolder(Path("open"), 0777), false, false},
      {"mode 1777", MakeFolder(Path("sticky"), 01777), false, false},
      {"group may enter", MakeFolder(Path("group"), 0710), false, false},
      {"owner cannot write", MakeFolder(Path("readonly"), 0500), false, false},
      {"another owner", MakeFolder(Path("other"), 0700), false, true},
      {"a link to a private folder", Path("link"), false, false},
      {"a file", Path("file"), false, false},
      {"missing", Path("missing"), false, false},
      {"relative", QStringLiteral("runtime"), false, false},
      {"150 bytes long", MakeFolder(LongPath(dir_.path(), 150), 0700), false, false},
  };
  ASSERT_EQ(QFile::link(Path("private"), Path("link")), true);
  QFile(Path("file")).open(QIODevice::WriteOnly);
  if (root) {
    ASSERT_EQ(::chown(Native(Path("other")).constData(), kOtherUser, kOtherUser), 0);
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsRoot && !root) {
      std::printf("skipped \"%s\": a folder of another owner needs root\n", c.name);
      continue;
    }
    const RuntimePlace place = ChooseRuntimeFolder(QStringLiteral("Typeloom"), c.runtime, Path("tmp"), ::getuid());
    EXPECT_EQ(place.folder, c.usesRuntime ? c.runtime : Fallback());
    EXPECT_TRUE(place.problem.isEmpty()) << place.problem.toStdString();
    EXPECT_TRUE(SocketPathFits(place.folder, QStringLiteral("Typeloom")));
  }
  struct stat st {};
  ASSERT_EQ(::lstat(Native(Fallback()).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(st.st_uid, ::getuid());
}

// The fallback must be private too; when it is not, and nothing else is, there is
// no place to meet and the reason is given.
TEST_F(RuntimeFolderTest, NoPrivatePlaceIsReported) {
  const bool root = ::geteuid() == 0;
  const QString own = QStringLiteral("Typeloom-") + QString::number(::getuid());
  const struct {
    const char* name;
    mode_t mode;
    bool chownToOther;
    const char* says;
  } cases[] = {
      {"fallback open to others", 0777, false, "is open to other users"},
      {"fallback of another user", 0700, true, "belongs to another user"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.chownToOther && !root) {
      std::printf("skipped \"%s\": a folder of another owner needs root\n", c.name);
      continue;
    }
    QTemporaryDir tmp;
    const QString fallback = MakeFolder(tmp.path() + u'/' + own, c.mode);
    if (c.chownToOther) {
      ASSERT_EQ(::chown(Native(fallback).constData(), kOtherUser, kOtherUser), 0);
    }
    const QString runtime = MakeFolder(Path("shared"), 0777);
    const RuntimePlace place = ChooseRuntimeFolder(QStringLiteral("Typeloom"), runtime, tmp.path(), ::getuid());
    EXPECT_TRUE(place.folder.isEmpty());
    EXPECT_TRUE(place.problem.contains(runtime)) << place.problem.toStdString();
    EXPECT_TRUE(place.problem.contains(fallback + "\" " + c.says)) << place.problem.toStdString();
  }
}

// A temp folder too long for a socket's path gives way to one directly under /tmp.
TEST_F(RuntimeFolderTest, LongTempFolderFallsBackUnderTmp) {
  const QString name = QStringLiteral("TypeloomTest%1").arg(::getpid());
  const QString tmp = MakeFolder(LongPath(dir_.path(), 150), 0700);
  const RuntimePlace place = ChooseRuntimeFolder(name, QString(), tmp, ::getuid());
  const QString expected = QStringLiteral("/tmp/%1-%2").arg(name).arg(::getuid());
  EXPECT_EQ(place.folder, expected);
  EXPECT_TRUE(place.problem.isEmpty()) << place.problem.toStdString();
  QDir(expected).removeRecursively();
}

// Lock files are never opened through a link: a planted link makes the start
// refuse to run unguarded, and nothing is created where it points.
TEST_F(RuntimeFolderTest, PlantedLockLinksAreNotFollowed) {
  for (const char* file : {"Typeloom.lock", "Typeloom.start"}) {
    SCOPED_TRACE(file);
    QTemporaryDir runtime;
    const QString target = Path(QStringLiteral("planted-") + file);
    ASSERT_TRUE(QFile::link(target, runtime.path() + u'/' + file));
    InstanceLock lock(QStringLiteral("Typeloom"), runtime.path());
    ASSERT_TRUE(lock.Usable());
    lock.LockStart();
    EXPECT_FALSE(lock.PreviousInstance());
    EXPECT_FALSE(lock.HoldsInstanceLock());
    EXPECT_FALSE(lock.Usable());
    EXPECT_TRUE(lock.Problem().contains(runtime.path() + u'/' + file)) << lock.Problem().toStdString();
    EXPECT_FALSE(QFile::exists(target));
  }
}

}  // namespace
}  // namespace typeloom::platform
