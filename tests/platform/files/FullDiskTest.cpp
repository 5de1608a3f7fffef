// Files the program replaces, on a disk that is full or has one block left: the
// old file stays whole (or the new one is whole), never a truncated or empty one,
// no temporary file is left behind, and the reason is kept for the user.
// The disk is a tiny tmpfs mounted by the test, which needs root (as CI runs).
#include "platform/files/AtomicFile.h"
#include "platform/registry/Registry.h"
#include "platform/settings/QtSettingsStore.h"
#include "platform/shell/ShellBindings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace typeloom::platform {
namespace {

constexpr off_t kBlock = 4096;

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(f.write(bytes), bytes.size());
}

class TinyDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting the tiny tmpfs needs root (CI runs as root)";
    ASSERT_TRUE(mountPoint.isValid());
    ASSERT_EQ(::mount("tmpfs", Disk().toLocal8Bit().constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=128k,mode=0700"), 0)
        << "mount -t tmpfs: " << std::strerror(errno);
    mounted = true;
  }
  void TearDown() override {
    if (filler >= 0) ::close(filler);
    if (mounted) ::umount2(Disk().toLocal8Bit().constData(), MNT_DETACH);
    TakeWriteFailures();
  }
  QString Disk() const { return mountPoint.path(); }

  // Fills the disk, then gives back `freeBlocks` blocks.
  void Fill(int freeBlocks) {
    filler = ::open((Disk() + "/filler").toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(filler, 0);
    const QByteArray block(kBlock, 'f');
    off_t size = 0;
    for (;;) {
      const ssize_t n = ::write(filler, block.constData(), block.size());
      if (n <= 0) break;
      size += n;
    }
    ASSERT_EQ(errno, ENOSPC);
    ASSERT_EQ(::ftruncate(filler, std::max<off_t>(0, size - freeBlocks * kBlock)), 0);
  }
  QStringList Leftovers(const QString& folder, const QStringList& expected) const {
    QStringList extra = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& name : expected) extra.removeAll(name);
    return extra;
  }

  QTemporaryDir mountPoint;
  bool mounted = false;
  int filler = -1;
};

TEST_F(TinyDisk, ReplacedFileStaysWholeWhenTheNewOneDoesNotFit) {
  const QString path = Disk() + "/data.txt";
  const QByteArray old = QByteArray("old contents\n").repeated(100);
  WriteAll(path, old);
  struct Case {
    const char* name;
    int freeBlocks;
    QByteArray next;
    bool fits;
  } cases[] = {
      {"full-disk", 0, QByteArray(10, 'n'), false},
      {"one-block-left-larger-file", 1, QByteArray(3 * kBlock, 'n'), false},
      {"one-block-left-fits", 1, QByteArray(kBlock - 10, 'n'), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteAll(path, old);
    if (filler >= 0) ::close(filler);
    QFile::remove(Disk() + "/filler");
    Fill(c.freeBlocks);
    QString error;
    EXPECT_EQ(ReplaceFile(path, c.next, 0600, &error), c.fits) << error.toStdString();
    if (c.fits) {
      EXPECT_EQ(ReadAll(path), c.next);
      EXPECT_TRUE(error.isEmpty());
      EXPECT_TRUE(TakeWriteFailures().isEmpty());
    } else {
      EXPECT_EQ(ReadAll(path), old);
      EXPECT_EQ(error, path + ": No space left on device");
      EXPECT_EQ(TakeWriteFailures(), QStringList{error});
    }
    EXPECT_EQ(Leftovers(Disk(), {"data.txt", "filler"}), QStringList{});
  }
}

TEST_F(TinyDisk, SettingsFileKeepsEveryValueWhenTheDiskIsFull) {
  QtSettingsStore store(Disk() + "/config");
  store.SaveSetting("Typeloom", "Settings", "PriorViewAssociation", "xdg-open %1 with a long enough text");
  store.SaveSetting("Typeloom", "Settings", "ShowSplash", "1");
  const QString file = store.FilePath("Typeloom");
  const QByteArray before = ReadAll(file);
  ASSERT_TRUE(before.contains("PriorViewAssociation"));

  for (const int freeBlocks : {0, 1}) {
    SCOPED_TRACE(freeBlocks);
    if (filler >= 0) ::close(filler);
    QFile::remove(Disk() + "/filler");
    Fill(freeBlocks);
    // A start saves its command line; a long one does not fit in what is left.
    store.SaveSetting("Typeloom", "Settings", "CommandLine", QString(freeBlocks == 0 ? 10 : 3 * kBlock, u'x'));
    EXPECT_EQ(ReadAll(file), before);
    EXPECT_EQ(store.LastError(), file + ": No space left on device");
    EXPECT_EQ(store.GetSetting("Typeloom", "Settings", "PriorViewAssociation"), "xdg-open %1 with a long enough text");
    EXPECT_EQ(store.GetSetting("Typeloom", "Settings", "ShowSplash"), "1");
    EXPECT_EQ(Leftovers(Disk() + "/config/Typeloom", {"Typeloom.ini"}), QStringList{});
  }
  // With a block left, a value that fits is saved with all the others.
  store.SaveSetting("Typeloom", "Settings", "CommandLine", "/p a.ttf");
  EXPECT_TRUE(store.LastError().isEmpty()) << store.LastError().toStdString();
  EXPECT_EQ(store.GetSetting("Typeloom", "Settings", "CommandLine"), "/p a.ttf");
  EXPECT_EQ(store.GetSetting("Typeloom", "Settings", "PriorViewAssociation"), "xdg-open %1 with a long enough text");
}

TEST_F(TinyDisk, MimeAppsListKeepsEveryOtherProgramsDefaultsWhenTheDiskIsFull) {
  QTemporaryDir elsewhere;
  XdgDirs dirs;
  dirs.configHome = Disk() + "/config";
  dirs.configDirs = {elsewhere.filePath("etc-xdg")};
  dirs.dataHome = elsewhere.filePath("data");
  dirs.dataDirs = {elsewhere.filePath("usr-share")};
  dirs.desktops = {"x-test"};
  const ShellIdentity identity{elsewhere.filePath("bin/typeloom"), elsewhere.filePath("bin/typeloom") + " %1",
                               elsewhere.filePath("bin/typeloom") + " /p %1"};
  WriteAll(identity.exePath, "#!/bin/sh\n");
  XdgShell shell(XdgShell::Scope::User, identity, dirs, [](const QString&, const QStringList&) {});
  const QString list = dirs.configHome + "/mimeapps.list";
  QByteArray others = "[Default Applications]\n";
  for (int i = 0; i < 60; ++i) others += QStringLiteral("application/x-other-%1=other-%1.desktop;\n").arg(i).toUtf8();
  WriteAll(list, others);
  Fill(0);

  EXPECT_NE(shell.Write("ttf", XdgShell::Verb::Open, "", identity.openCommand.toStdString()), reg::kSuccess);
  EXPECT_EQ(ReadAll(list), others);
  const QStringList failures = TakeWriteFailures();
  ASSERT_FALSE(failures.isEmpty());
  EXPECT_EQ(failures.back(), list + ": No space left on device");
  EXPECT_EQ(Leftovers(dirs.configHome, {"mimeapps.list"}), QStringList{});
}

}  // namespace
}  // namespace typeloom::platform
