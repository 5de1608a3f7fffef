// `typeloom --list --covers` answers later runs from the faces an earlier run saved in
// the user's cache folder, and answers afresh (saving again) whenever fontconfig's
// state, the environment or the saved file itself is not what it was: each change
// below gives the answer a run without saved faces gives.
#include "support/FontFixtures.h"
#include "support/ProgramSandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <functional>
#include <memory>
#include <string>

namespace {

using typeloom::testsupport::FontFixtures;
using typeloom::testsupport::ProgramSandbox;

class SavedListFacesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    source = QString::fromStdString(FontFixtures::CoverageFontFolder(&error));
    ASSERT_FALSE(source.isEmpty()) << error;
    box = std::make_unique<ProgramSandbox>(source, QStringList{"CoverLatin-Regular.ttf", "CoverArabic-Regular.ttf"});
    ASSERT_TRUE(box->Ready());
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "LC_ALL", "LC_MESSAGES", "LANGUAGE"}) {
      box->Env().remove(name);
    }
    box->Env().insert("LANG", "C.UTF-8");
    folder = box->Env().value("XDG_CACHE_HOME") + "/typeloom";
  }

  // The program's answer, and the answer of a run with an empty cache folder.
  QString Run(const QStringList& arguments) {
    const ProgramSandbox::Result r = box->Run(arguments);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    return r.out;
  }
  QString Fresh(const QStringList& arguments) {
    QTemporaryDir empty;
    ProgramSandbox::Result r;
    const QString saved = box->Env().value("XDG_CACHE_HOME");
    box->Env().insert("XDG_CACHE_HOME", empty.path());
    r = box->Run(arguments);
    box->Env().insert("XDG_CACHE_HOME", saved);
    return r.out;
  }

  // The saved files' names with their inode numbers (a file rewritten is a new one).
  QString Files() const {
    QString files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
      struct stat st {};
      ::lstat(QFile::encodeName(folder + "/" + name).constData(), &st);
      files += name + ":" + QString::number(st.st_ino) + "/" + QString::number(st.st_mode & 0777, 8) + " ";
    }
    return files;
  }
  QString OnlyFile() const {
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::System);
    return names.size() == 1 ? folder + "/" + names.front() : QString();
  }

  QString source, folder;
  std::unique_ptr<ProgramSandbox> box;
};

const QStringList kQuery = {"--list", "--covers", "a"};

TEST_F(SavedListFacesTest, AnEarlierRunsFacesAnswerUntilAnythingChanges) {
  ASSERT_EQ(Run(kQuery), "Cover Latin\n");
  const QString file = OnlyFile();
  ASSERT_FALSE(file.isEmpty()) << "saved: " << Files().toStdString();
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(Files().count("/600 "), 1);
  // Taken as it is: not written again.
  const QString saved = Files();
  EXPECT_EQ(Run(kQuery), "Cover Latin\n");
  EXPECT_EQ(Files(), saved);

  const auto touch = [](const QString& path) {
    const timespec times[2] = {{0, UTIME_NOW}, {1234567890, 5}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
  };
  struct Row {
    const char* label;
    std::function<void()> change;
    const char* answer;  // of kQuery afterwards
    bool rewritten;      // the saved faces are written again
  };
  const std::vector<Row> rows = {
      {"a font added",
       [&] { QFile::copy(source + "/CoverGreek-Regular.ttf", box->FontPath("CoverGreek-Regular.ttf")); },
       "Cover Greek\nCover Latin\n", true},
      {"a font removed", [&] { QFile::remove(box->FontPath("CoverLatin-Regular.ttf")); }, "Cover Greek\n", true},
      {"the configuration file touched", [&] { touch(box->ConfigFolder() + "/../fonts.conf"); }, "Cover Greek\n", true},
      {"the user's configuration made", [&] {
         QDir().mkpath(box->ConfigFolder() + "/fontconfig");
         QFile user(box->ConfigFolder() + "/fontconfig/fonts.conf");
         ASSERT_TRUE(user.open(QIODevice::WriteOnly));
         user.write("<fontconfig/>\n");
       }, "Cover Greek\n", true},
      {"the desktop changed", [&] { box->Env().insert("XDG_CURRENT_DESKTOP", "Other"); }, "Cover Greek\n", true},
      {"the file cut short", [&] { ASSERT_TRUE(QFile::resize(OnlyFile(), QFileInfo(OnlyFile()).size() / 2)); },
       "Cover Greek\n", true},
      {"the file replaced by other bytes", [&] {
         QFile f(OnlyFile());
         ASSERT_TRUE(f.open(QIODevice::ReadWrite));
         f.write(QByteArray(100, 'x'));
       }, "Cover Greek\n", true},
      {"the file open to others", [&] { ::chmod(QFile::encodeName(OnlyFile()).constData(), 0644); }, "Cover Greek\n",
       true},
      {"the folder open to others", [&] { ::chmod(QFile::encodeName(folder).constData(), 0755); }, "Cover Greek\n",
       false},
      {"the folder private again", [&] { ::chmod(QFile::encodeName(folder).constData(), 0700); }, "Cover Greek\n",
       false},
      // A language setting has a file of its own.
      {"fontconfig's language set", [&] { box->Env().insert("FC_LANG", "el"); }, "Cover Greek\n", true},
  };
  for (const Row& row : rows) {
    const QString before = Files();
    row.change();
    const QString changed = Files();
    EXPECT_EQ(Run(kQuery), row.answer) << row.label;
    EXPECT_EQ(Fresh(kQuery), row.answer) << row.label;
    EXPECT_EQ(Files() != changed, row.rewritten) << row.label << ": " << before.toStdString() << " -> "
                                                 << Files().toStdString();
    if (row.rewritten) {
      // Taken again as it is now.
      const QString now = Files();
      EXPECT_EQ(Run(kQuery), row.answer) << row.label;
      EXPECT_EQ(Files(), now) << row.label;
      EXPECT_EQ(now.count("/600 "), now.count(":")) << row.label;
    }
  }
}

TEST_F(SavedListFacesTest, EveryQueryIsAnsweredAsWithoutSavedFaces) {
  Run(kQuery);
  for (const char* covers : {"a", "\u03a9", "\u0628", "a\u03a9", "\u2192", "\u65e5"}) {
    for (const char* lang : {"", "el", "ar", "en"}) {
      QStringList arguments = {"--list", "--covers", QString::fromUtf8(covers)};
      if (*lang != '\0') arguments << "--lang" << lang;
      EXPECT_EQ(Run(arguments), Fresh(arguments)) << covers << " " << lang;
    }
  }
  EXPECT_FALSE(OnlyFile().isEmpty());
}

// A family whose faces cover different characters is saved with its faces, and a later
// query on which they differ picks among them as fontconfig matches the family (the
// regular face, neither first nor last of four), from the saved file, which stays as
// it was.
TEST_F(SavedListFacesTest, AFamilyPickedByALaterQueryIsFontconfigsMatch) {
  box = std::make_unique<ProgramSandbox>("/usr/share/fonts/truetype/dejavu",
                                         QStringList{"DejaVuSans-Bold.ttf", "DejaVuSans.ttf", "DejaVuSans-Oblique.ttf",
                                                     "DejaVuSans-BoldOblique.ttf"});
  if (!box->Ready()) GTEST_SKIP() << "DejaVu Sans is not installed";
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "LC_ALL", "LC_MESSAGES", "LANGUAGE"}) {
    box->Env().remove(name);
  }
  box->Env().insert("LANG", "C.UTF-8");
  folder = box->Env().value("XDG_CACHE_HOME") + "/typeloom";
  // Every face covers it: saved without a pick. The other faces are listed by their full names.
  ASSERT_TRUE(Run({"--list", "--covers", "A"}).split('\n').contains("DejaVu Sans"));
  const QString saved = Files();
  ASSERT_FALSE(OnlyFile().isEmpty());
  const struct {
    const char* covers;
    const char* lang;
    bool family;  // "DejaVu Sans" listed
  } rows[] = {
      {"\xef\x80\x80", "", true},                   // U+F000: the regular face has it, the bold one not
      {"\xf0\x9d\x97\x94", "", false},              // U+1D5D4: the bold face has it, the regular one not
      {"\xef\x80\x80", "en", true},
      {"\xf0\x9d\x97\x94\xef\x80\x80", "", false},  // one face each
      {"A\xce\xa9", "", true},
      {"\xd8\x86", "", true},        // U+0606: the upright faces have it, the oblique ones not
      {"\xef\xac\xb7", "", false},  // U+FB37: the oblique faces have it, the upright ones not
  };
  for (const auto& row : rows) {
    QStringList arguments = {"--list", "--covers", QString::fromUtf8(row.covers)};
    if (*row.lang != '\0') arguments << "--lang" << row.lang;
    const QString out = Run(arguments);
    EXPECT_EQ(out.split('\n').contains("DejaVu Sans"), row.family) << row.covers << ": " << out.toStdString();
    EXPECT_EQ(out, Fresh(arguments)) << row.covers;
    EXPECT_EQ(Files(), saved) << row.covers;
  }
}

}  // namespace
