// The update check's text rules, without a network.
#include "update/UpdateText.h"

#include <gtest/gtest.h>

namespace {

using namespace typeloom::update;

TEST(UpdateText, FileUrlIsLowerCaseWithoutSpacesAndOneSlash) {
  EXPECT_EQ(BuildFileUrl("SERVER/Down Loads", "My Setup.EXE"), "server/downloads/mysetup.exe");
  EXPECT_EQ(BuildFileUrl("server/downloads/", "typeloom.ver"), "server/downloads/typeloom.ver");
  EXPECT_EQ(BuildFileUrl("https://Www.Corvane.example/downloads", "Typeloom.1.5.msg"),
            "https://www.corvane.example/downloads/typeloom.1.5.msg");
  EXPECT_EQ(RemoveSpaces(" a b  c "), "abc");
  EXPECT_EQ(RemoveSpaces("a\tb"), "a\tb");
}

TEST(UpdateText, OnlySecureAddressesAreFetched) {
  struct Case {
    const char* url;
    const char* fetched;
  };
  const Case cases[] = {
      {"server/downloads/typeloom.ver", "https://server/downloads/typeloom.ver"},
      {"https://server/downloads/typeloom.ver", "https://server/downloads/typeloom.ver"},
      {"HTTPS://server/x", "HTTPS://server/x"},
      {"//server/x", "https://server/x"},
      {"http://server/downloads/typeloom.ver", ""},
      {"ftp://server/x", ""},
      {"file:///etc/passwd", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(SecureUrl(c.url), QString(c.fetched)) << c.url;
}

TEST(UpdateText, LocalPathKeepsSpacesAndAddsOneSlash) {
  EXPECT_EQ(LocalUpdatePath("/tmp/typeloom-update-x", "My Setup.EXE"), "/tmp/typeloom-update-x/my setup.exe");
  EXPECT_EQ(LocalUpdatePath("/tmp/dir/", "TypeloomInstall.run"), "/tmp/dir/typeloominstall.run");
}

TEST(UpdateText, VersionIsComparedAsTrimmedDottedNumbers) {
  struct Case {
    const char* server;
    int major, minor;
    bool newer;
  };
  const Case cases[] = {
      {"1.4", 1, 3, true},       {"1.3", 1, 3, false},     {"1.2.9", 1, 3, false},   {"2.0", 1, 3, true},
      {"1.10", 1, 9, true},      {"1.9", 1, 10, false},    {"1.3\r\n", 1, 3, false}, {"1.4\n", 1, 4, false},
      {" 1.5 \n", 1, 4, true},   {"1.4.0", 1, 4, false},   {"1.4.1", 1, 4, true},    {"2", 1, 4, true},
      {"1", 1, 4, false},        {"123456789", 1, 4, false}, {"99999999", 1, 4, true}, {"", 1, 4, false},
      {"1.5beta", 1, 4, false},  {"v1.5", 1, 4, false},    {"1..5", 1, 4, false},    {"1.5.", 1, 4, false},
      {"-1.5", 1, 4, false},     {"<html>", 1, 4, false},  {"1.4 1.5", 1, 4, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsNewerVersion(c.server, c.major, c.minor), c.newer)
        << '"' << c.server << "\" against " << c.major << '.' << c.minor;
  }
}

TEST(UpdateText, UpdateMessageListsChangesOnlyWhenThereAreAny) {
  EXPECT_EQ(BuildUpdateMessage(1, 3, "1.4", "Faster start"),
            "The program's current version is 1.3.\r\nVersion 1.4 is available.\r\n\r\n"
            "Changes included in this update:\r\n---------------------------------------\r\nFaster start");
  EXPECT_EQ(BuildUpdateMessage(1, 4, "1.10", ""),
            "The program's current version is 1.4.\r\nVersion 1.10 is available.");
}

TEST(UpdateText, ManualDownloadMessageNamesTheHost) {
  const QString lead =
      "An error has occurred and the update has failed.\r\nDownload the new version of this application manually at \r\n";
  struct Case {
    const char* folder;
    const char* named;
  };
  const Case cases[] = {
      {"http://www.corvane.com/downloads", "www.corvane.com"},
      {"https://WWW.Corvane.COM/downloads/", "WWW.Corvane.COM"},
      {"www.corvane.com/downloads", "www.corvane.com"},
      {"https://www.corvane.example/downloads", "www.corvane.example/downloads"},
      {"server/downloads", "server/downloads"},
  };
  for (const Case& c : cases) EXPECT_EQ(ManualDownloadMessage(c.folder), lead + c.named) << c.folder;
}

TEST(UpdateText, ManifestIsReadOnlyWhenEveryKeyIsThereOnceAndWellFormed) {
  const QByteArray sha(64, 'a');
  const QByteArray good = "file=typeloominstall.run\nversion=1.5\nsize=42\nsha256=" + sha + "\n";
  const auto parsed = ParseManifest(good);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->file, "typeloominstall.run");
  EXPECT_EQ(parsed->version, "1.5");
  EXPECT_EQ(parsed->size, 42);
  EXPECT_EQ(parsed->sha256, QByteArray(32, char(0xAA)));
  // Line ends and order do not matter.
  EXPECT_TRUE(ParseManifest("sha256=" + sha + "\r\nsize=42\r\nversion=1.5\r\n\r\nfile=a.run"));

  const struct {
    const char* name;
    QByteArray text;
  } refused[] = {
      {"empty", ""},
      {"no-version", "file=a\nsize=1\nsha256=" + sha},
      {"no-digest", "file=a\nversion=1.5\nsize=1"},
      {"repeated-version", "file=a\nversion=1.5\nversion=9.9\nsize=1\nsha256=" + sha},
      {"unknown-key", "file=a\nversion=1.5\nsize=1\nsha256=" + sha + "\nurl=https://x"},
      {"short-digest", "file=a\nversion=1.5\nsize=1\nsha256=" + sha.left(63)},
      {"digest-not-hex", "file=a\nversion=1.5\nsize=1\nsha256=" + QByteArray(64, 'g')},
      {"negative-size", "file=a\nversion=1.5\nsize=-1\nsha256=" + sha},
      {"zero-size", "file=a\nversion=1.5\nsize=0\nsha256=" + sha},
      {"size-not-a-number", "file=a\nversion=1.5\nsize=1e3\nsha256=" + sha},
      {"long-version", "file=a\nversion=123456789\nsize=1\nsha256=" + sha},
      {"line-without-key", "file=a\nversion=1.5\nsize=1\nsha256=" + sha + "\njunk"},
  };
  for (const auto& r : refused) EXPECT_FALSE(ParseManifest(r.text)) << r.name;
}

}  // namespace
