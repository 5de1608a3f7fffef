// Against a fontconfig that sees only the fixture fonts (see support/FontFixtures.h).
#include "options/RegistryModule.h"
#include "platform/fonts/FontconfigFonts.h"
#include "platform/registry/LinuxRegistry.h"
#include "support/FontFixtures.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace typeloom::platform {
namespace {

using testsupport::FontFixtures;

class FontconfigFontsIT : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    ok_ = FontFixtures::UseSandboxFontconfig(&error) && ReloadFontconfig();
    error_ = error;
  }
  void SetUp() override { ASSERT_TRUE(ok_) << error_; }

  static std::string Folder() { return FontFixtures::FontFolder(); }

  static inline bool ok_ = false;
  static inline std::string error_;
};

TEST_F(FontconfigFontsIT, OneEntryPerFileNamedAsTheFontsKeyNamesIt) {
  FontconfigFonts fonts;
  const auto& files = fonts.Files();
  const auto& expected = FontFixtures::Expected();
  ASSERT_EQ(files.size(), expected.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(expected[i].relativePath);
    EXPECT_EQ(files[i].valueName, expected[i].valueName);
    EXPECT_EQ(files[i].path, Folder() + "/" + expected[i].relativePath);
    EXPECT_EQ(files[i].fileName, QFileInfo(QString::fromStdString(expected[i].relativePath)).fileName().toStdString());
  }
}

TEST_F(FontconfigFontsIT, PathOfResolvesLowerCasedBaseNames) {
  FontconfigFonts fonts;
  const struct {
    const char* catalogueFile;
    std::string path;
  } cases[] = {
      {"testserif-regular.otf", Folder() + "/Nested/Deeper/TestSerif-Regular.otf"},
      {"testpair.ttc", Folder() + "/TestPair.ttc"},
      {"TestSans-Bold.ttf", Folder() + "/TestSans-Bold.ttf"},
      {"testfixed-16.bdf", Folder() + "/Bitmap/TestFixed-16.bdf"},
      // A file name installed in two folders: the first by path.
      {"testsans-bold.ttf", Folder() + "/TestSans-Bold.ttf"},
      {"testsanscopy.ttf", Folder() + "/User/TestSansCopy.ttf"},
      {"arial.ttf", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(fonts.PathOf(c.catalogueFile), c.path) << c.catalogueFile;
}

TEST_F(FontconfigFontsIT, LinuxRegistryServesTheFontsKeyAndKeepsTheRestInTheHive) {
  FontconfigFonts fonts;
  QTemporaryDir dir;
  const std::string hive = (dir.path() + "/registry.hive").toStdString();
  auto registry = MakeLinuxRegistry(fonts, hive);
  const std::string fontsKey(kFontsKeyPath);

  // Enumerate as the catalogue does: a 2000-character buffer, then each value's text.
  KeyHandle key = 0;
  ASSERT_EQ(registry->OpenKey(RootKey::LocalMachine, "software\\microsoft\\windows nt\\currentversion\\FONTS",
                              reg::kKeyRead, &key),
            reg::kSuccess);
  std::vector<std::pair<std::string, std::string>> listed;
  for (std::uint32_t i = 0;; ++i) {
    std::string name(2000, '\0');
    std::uint32_t length = 2000;
    if (registry->EnumValue(key, i, name.data(), &length) != reg::kSuccess) break;
    EXPECT_LT(length, 2000u);
    name.resize(length);
    listed.emplace_back(name, RegistryModule::QueryValue(*registry, RootKey::LocalMachine, fontsKey, name).Text());
  }
  EXPECT_EQ(registry->SetValue(key, "x", reg::kSz, nullptr, 0), reg::kAccessDenied);
  EXPECT_EQ(registry->CloseKey(key), reg::kSuccess);
  ASSERT_EQ(listed.size(), FontFixtures::Expected().size());
  for (std::size_t i = 0; i < listed.size(); ++i) EXPECT_EQ(listed[i].first, FontFixtures::Expected()[i].valueName);
  // Every value names one file of its own: the files of one bitmap family and the
  // copies of one font are told apart by a number inside the parentheses.
  for (std::size_t i = 0; i < listed.size(); ++i) {
    EXPECT_EQ(listed[i].second,
              QFileInfo(QString::fromStdString(FontFixtures::Expected()[i].relativePath)).fileName().toStdString())
        << listed[i].first;
  }
  EXPECT_EQ(RegistryModule::QueryValue(*registry, RootKey::LocalMachine, fontsKey, "TEST SANS BOLD (TRUETYPE)"),
            RegistryResult("TestSans-Bold.ttf"));

  // The fonts key takes no writes and has no subkeys.
  EXPECT_TRUE(RegistryModule::SetValue(*registry, RootKey::LocalMachine, fontsKey, "Mine (TrueType)", 1, "m.ttf")
                  .IsError());
  EXPECT_TRUE(RegistryModule::CreateKey(*registry, RootKey::LocalMachine, fontsKey + "\\Sub").IsError());
  EXPECT_TRUE(RegistryModule::QueryValue(*registry, RootKey::LocalMachine, fontsKey + "\\Sub", "").IsError());

  // Everything else is the hive, also its neighbours and parents of the fonts key.
  const std::string parent = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  ASSERT_TRUE(RegistryModule::CreateKey(*registry, RootKey::LocalMachine, parent + "\\FontsX").IsSuccess());
  ASSERT_TRUE(RegistryModule::SetValue(*registry, RootKey::LocalMachine, parent + "\\FontsX", "v", 1, "1").IsSuccess());
  ASSERT_TRUE(RegistryModule::CreateKey(*registry, RootKey::ClassesRoot, "ttffile\\shell\\open\\command").IsSuccess());
  ASSERT_TRUE(
      RegistryModule::SetValue(*registry, RootKey::ClassesRoot, "ttffile\\shell\\open\\command", "", 1, "typeloom %1")
          .IsSuccess());
  auto again = MakeLinuxRegistry(fonts, hive);
  EXPECT_EQ(RegistryModule::QueryValue(*again, RootKey::ClassesRoot, "TTFFILE\\shell\\open\\command", ""),
            RegistryResult("typeloom %1"));
  EXPECT_EQ(RegistryModule::QueryValue(*again, RootKey::LocalMachine, parent + "\\FontsX", "v"), RegistryResult("1"));
}

}  // namespace
}  // namespace typeloom::platform
