#include "platform/settings/QtSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace typeloom::platform {
namespace {

const QString kApp = QStringLiteral("Typeloom");
const QString kSection = QStringLiteral("Settings");

class QtSettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Root() const { return dir_.path(); }
  QTemporaryDir dir_;
};

TEST_F(QtSettingsStoreTest, TrickyValuesSurviveExactly) {
  const QStringList values = {
      QStringLiteral(""),
      QStringLiteral(" "),
      QStringLiteral("  leading"),
      QStringLiteral("trailing  "),
      QStringLiteral("c:\\windows\\fonts\\arial.ttf"),
      QStringLiteral("\\\\server\\share\\"),
      QStringLiteral("\\x41\\n\\t"),
      QStringLiteral("\"c:\\fonts\\quoted.ttf\""),
      QStringLiteral("'single'"),
      QStringLiteral("a=b"),
      QStringLiteral("a;b ; c"),
      QStringLiteral("#not a comment"),
      QStringLiteral("a,b"),
      QStringLiteral("a, b, c"),
      QStringLiteral("[Settings]"),
      QStringLiteral("@Variant(1)"),
      QStringLiteral("@String(x)"),
      QStringLiteral("@"),
      QStringLiteral("%20%"),
      QStringLiteral("/p c:\\fonts\\été.ttf"),
      QString::fromUtf8("日本語 ü ß \xF0\x9F\x98\x80"),
      QStringLiteral("tab\there"),
      QStringLiteral("two\nlines\r\n"),
      QStringLiteral("1"),
      QStringLiteral("true"),
      // An escaped character followed by hex digits, which must not join its escape.
      QString(QChar(0x01)) + QStringLiteral("abc123"),
      QString::fromUtf8("\xC3\xA9" "cafe"),
      QString(QChar(0)) + QStringLiteral("0") + QChar(0x7F) + QStringLiteral("F"),
      QStringLiteral("\x1b]0;title\x07"),
  };
  for (const QString& value : values) {
    SCOPED_TRACE(value.toStdString());
    QtSettingsStore writer(Root());
    writer.SaveSetting(kApp, kSection, QStringLiteral("CommandLine"), value);
    QtSettingsStore reader(Root());
    const QString read = reader.GetSetting(kApp, kSection, QStringLiteral("CommandLine"), QStringLiteral("absent"));
    EXPECT_EQ(read, value);
  }
}

TEST_F(QtSettingsStoreTest, AbsentKeyGivesDefaultButEmptyTextIsKept) {
  QtSettingsStore store(Root());
  EXPECT_EQ(store.GetSetting(kApp, kSection, QStringLiteral("ShowSplash"), QStringLiteral("1")), QStringLiteral("1"));
  EXPECT_TRUE(store.GetSetting(kApp, kSection, QStringLiteral("ShowSplash")).isEmpty());
  store.SaveSetting(kApp, kSection, QStringLiteral("PriorViewAssociation"), QString());
  EXPECT_EQ(store.GetSetting(kApp, kSection, QStringLiteral("PriorViewAssociation"), QStringLiteral("x")), QString());
  // Same key in another section or application is a different setting.
  EXPECT_EQ(store.GetSetting(kApp, QStringLiteral("Other"), QStringLiteral("PriorViewAssociation"), QStringLiteral("x")),
            QStringLiteral("x"));
  EXPECT_EQ(store.GetSetting(QStringLiteral("Another"), kSection, QStringLiteral("PriorViewAssociation"), QStringLiteral("x")),
            QStringLiteral("x"));
}

TEST_F(QtSettingsStoreTest, StoresSeeEachOthersLatestValues) {
  QtSettingsStore first(Root());
  QtSettingsStore second(Root());
  // Equal lengths on purpose: a reader must not mistake a new file for the one it read.
  for (int i = 0; i < 20; ++i) {
    const QString value = QStringLiteral("value-%1").arg(i, 2, 10, QLatin1Char('0'));
    QtSettingsStore& writer = i % 2 ? first : second;
    QtSettingsStore& reader = i % 2 ? second : first;
    writer.SaveSetting(kApp, kSection, QStringLiteral("CommandLine"), value);
    ASSERT_EQ(reader.GetSetting(kApp, kSection, QStringLiteral("CommandLine")), value);
  }
  first.SaveSetting(kApp, kSection, QStringLiteral("ShowSplash"), QStringLiteral("0"));
  EXPECT_EQ(second.GetSetting(kApp, kSection, QStringLiteral("ShowSplash"), QStringLiteral("1")), QStringLiteral("0"));
  EXPECT_EQ(second.GetSetting(kApp, kSection, QStringLiteral("CommandLine")), QStringLiteral("value-19"));
}

// A value saved as it already is leaves the file as it was (the same file, not a
// rewritten copy); any change replaces it.
TEST_F(QtSettingsStoreTest, OnlyAChangedValueRewritesTheFile) {
  QtSettingsStore store(Root());
  const QString key = QStringLiteral("CommandLine");
  const auto inode = [&]() -> ino_t {
    struct stat st {};
    return ::stat(QFile::encodeName(store.FilePath(kApp)).constData(), &st) == 0 ? st.st_ino : 0;
  };
  const struct {
    const char* value;
    bool rewritten;
  } steps[] = {{"", true}, {"", false}, {"/p a.ttf", true}, {"/p a.ttf", false}, {"/p b.ttf", true}, {"", true}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.value);
    const ino_t old = inode();
    store.SaveSetting(kApp, kSection, key, QString::fromUtf8(step.value));
    EXPECT_TRUE(store.LastError().isEmpty());
    EXPECT_EQ(inode() != old, step.rewritten);
    EXPECT_EQ(QtSettingsStore(Root()).GetSetting(kApp, kSection, key, QStringLiteral("absent")),
              QString::fromUtf8(step.value));
  }
}

TEST_F(QtSettingsStoreTest, HandEditedLinesReadAsText) {
  const struct {
    const char* line;
    const char* expected;
  } cases[] = {
      {"ShowSplash=0", "0"},
      {"ShowSplash=a, b", "a, b"},  // unquoted commas would make a list
      {"ShowSplash=\"quoted\"", "quoted"},
      {"ShowSplash=", ""},
  };
  QtSettingsStore store(Root());
  QDir().mkpath(QFileInfo(store.FilePath(kApp)).absolutePath());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    QFile file(store.FilePath(kApp));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray("[Settings]\n") + c.line + "\n");
    file.close();
    EXPECT_EQ(QtSettingsStore(Root()).GetSetting(kApp, kSection, QStringLiteral("ShowSplash"), QStringLiteral("absent")),
              QString::fromUtf8(c.expected));
  }
}

TEST_F(QtSettingsStoreTest, FileLivesUnderXdgConfigHome) {
  QTemporaryDir home;
  const QByteArray oldXdg = qgetenv("XDG_CONFIG_HOME");
  const QByteArray oldHome = qgetenv("HOME");
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(Root()));
  QtSettingsStore store;
  store.SaveSetting(kApp, kSection, QStringLiteral("ShowSplash"), QStringLiteral("1"));
  EXPECT_TRUE(QFile::exists(Root() + QStringLiteral("/Typeloom/Typeloom.ini")));
  // Without XDG_CONFIG_HOME the folder is ~/.config.
  qunsetenv("XDG_CONFIG_HOME");
  qputenv("HOME", QFile::encodeName(home.path()));
  EXPECT_EQ(QtSettingsStore().FilePath(kApp), home.path() + QStringLiteral("/.config/Typeloom/Typeloom.ini"));
  qputenv("HOME", oldHome);
  if (oldXdg.isNull()) {
    qunsetenv("XDG_CONFIG_HOME");
  } else {
    qputenv("XDG_CONFIG_HOME", oldXdg);
  }
}

}  // namespace
}  // namespace typeloom::platform
