#include "platform/shell/CreatedPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace typeloom::platform {
namespace {

void WriteAll(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

class CreatedPathsTest : public ::testing::Test {
 protected:
  QString At(const QString& rel) { return dir.filePath("share/" + rel); }
  QTemporaryDir dir;
  CreatedPaths created{dir.filePath("private/record")};
};

TEST_F(CreatedPathsTest, OnlyTheFoldersItMadeAreRecordedAndGoOnceEmpty) {
  QDir().mkpath(At("kio"));  // the user's already
  ASSERT_TRUE(created.MakeFolder(At("kio/servicemenus")));
  ASSERT_TRUE(created.MakeFolder(At("nemo/actions")));
  ASSERT_TRUE(created.MakeFolder(At("nemo/actions")));  // nothing new
  EXPECT_EQ(created.Recorded(), QStringList({At("kio/servicemenus"), At("nemo"), At("nemo/actions")}));

  WriteAll(At("nemo/actions/users-own.nemo_action"), "x");
  created.Tidy(dir.filePath("share"));
  EXPECT_FALSE(QFileInfo::exists(At("kio/servicemenus")));
  EXPECT_TRUE(QFileInfo::exists(At("kio")));  // not the program's
  EXPECT_TRUE(QFileInfo::exists(At("nemo/actions/users-own.nemo_action")));
  EXPECT_EQ(created.Recorded(), QStringList({At("nemo"), At("nemo/actions")}));

  // Another root's tidying leaves these alone.
  QFile::remove(At("nemo/actions/users-own.nemo_action"));
  created.Tidy(dir.filePath("elsewhere"));
  EXPECT_TRUE(QFileInfo::exists(At("nemo/actions")));
  created.Tidy(dir.filePath("share"));
  EXPECT_FALSE(QFileInfo::exists(At("nemo")));
  EXPECT_TRUE(created.Recorded().isEmpty());
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("private")));
}

// Generated files go only when the program made them and they serve nothing else.
TEST_F(CreatedPathsTest, GeneratedCachesAndDatabasesGoWhenTheyServeNothing) {
  struct Case {
    const char* name;
    QByteArray cache;        // the mimeinfo.cache the tool left
    bool cacheNew;           // it did not exist before
    QByteArray otherPackage; // another program's package in mime/packages
    bool cacheGone, databaseGone;
  };
  const std::vector<Case> cases{
      {"all the program's", "[MIME Cache]\n", true, "", true, true},
      {"cache lists others", "[MIME Cache]\ntext/plain=ed.desktop;\n", true, "", false, true},
      {"cache was the user's", "[MIME Cache]\n", false, "", false, true},
      {"another package", "[MIME Cache]\n", true, "<mime-info/>", true, false},
  };
  for (const Case& c : cases) {
    QDir(dir.filePath("share")).removeRecursively();
    QFile::remove(dir.filePath("private/record"));
    const QString apps = At("applications");
    QDir().mkpath(apps);
    if (!c.cacheNew) WriteAll(apps + "/mimeinfo.cache", c.cache);
    const bool existed = QFileInfo::exists(apps + "/mimeinfo.cache");
    WriteAll(apps + "/mimeinfo.cache", c.cache);
    created.NoteIfNew(apps + "/mimeinfo.cache", existed);
    // A database as update-mime-database leaves it once the program's package is gone.
    ASSERT_TRUE(created.MakeFolder(At("mime/packages")));
    for (const char* file : {"globs2", "mime.cache", "types", "version", "aliases", "magic"}) WriteAll(At("mime/") + file, "");
    WriteAll(At("mime/application/x-font-fon.xml"), "<mime-type/>");
    if (!c.otherPackage.isEmpty()) WriteAll(At("mime/packages/other.xml"), c.otherPackage);

    created.Tidy(dir.filePath("share"));
    EXPECT_EQ(!QFileInfo::exists(apps + "/mimeinfo.cache"), c.cacheGone) << c.name;
    EXPECT_EQ(!QFileInfo::exists(At("mime")), c.databaseGone) << c.name;
    EXPECT_TRUE(QFileInfo::exists(apps)) << c.name;  // the folder was there before
    if (!c.databaseGone) {
      EXPECT_TRUE(QFileInfo::exists(At("mime/packages/other.xml"))) << c.name;
    }
  }
}

TEST(CreatedRecord, KeepsOnlyCleanAbsolutePaths) {
  static const char raw[] = "/a/b\nrelative\n/a/../etc\n/\n\n/a/b\n/c/d/\n/e\0f\n/ok/\xff\n/x y\n";
  EXPECT_EQ(ParseCreatedRecord(QByteArray(raw, sizeof raw - 1)), QStringList({"/a/b", "/x y"}));
  QByteArray many;
  for (int i = 0; i < kMaxCreatedPaths + 10; ++i) many += "/p" + QByteArray::number(i) + '\n';
  EXPECT_EQ(ParseCreatedRecord(many).size(), kMaxCreatedPaths);
  EXPECT_TRUE(ParseCreatedRecord("/" + QByteArray(5000, 'a')).isEmpty());
}

}  // namespace
}  // namespace typeloom::platform
