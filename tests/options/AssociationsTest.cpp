#include "options/Associations.h"

#include "options/Settings.h"
#include "platform/settings/QtSettingsStore.h"
#include "support/FakeRegistry.h"
#include "support/FakeSettingsStore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace typeloom::associations {
namespace {

using platform::RootKey;
using testsupport::FakeRegistry;
namespace reg = platform::reg;
using Call = FakeRegistry::Call;

const QString kOpen = "/usr/bin/typeloom %1";
const QString kPrint = "/usr/bin/typeloom /p %1";
const char* const kExts[] = {"fon", "otf", "pfm", "ttc", "ttf", "pfb", "pcf", "bdf", "woff", "woff2"};

std::string OpenKey(const char* ext) { return std::string(ext) + "file\\shell\\open\\command"; }
std::string PrintKey(const char* ext) { return std::string(ext) + "file\\shell\\print\\command"; }
std::string Machine(const std::string& path) { return "software\\classes\\" + path; }

class AssociationsTest : public ::testing::Test {
 protected:
  Context context{registry, settings, kOpen, kPrint};

  void Foreign(RootKey root, const std::string& path, const std::string& command) {
    registry.Put(root, path, "", reg::kSz, command);
  }
  std::optional<FakeRegistry::StoredValue> At(RootKey root, const std::string& path) {
    return registry.Get(root, path, "");
  }
  QString Remembered(const settings::Key& key) { return settings::Read(settings, key); }

  FakeRegistry registry;
  test::FakeSettingsStore settings;
};

TEST_F(AssociationsTest, CheckedSaveRemembersEachTypeAndWritesTheOpenCommandOfEveryTypeInBothRoots) {
  Foreign(RootKey::ClassesRoot, OpenKey("fon"), "winfont %1");
  Foreign(RootKey::ClassesRoot, OpenKey("ttf"), "fontview %1");
  Foreign(RootKey::LocalMachine, Machine(OpenKey("ttf")), "sysview %1");
  SavePriorAssociation(context, "V");
  const int before = registry.Calls(Call::SetValue);
  SetAssociation(context, "V");
  EXPECT_EQ(registry.Calls(Call::SetValue) - before, 20);
  for (const char* ext : kExts) {
    for (const std::string& path : {OpenKey(ext), Machine(OpenKey(ext))}) {
      const auto root = path.starts_with("software") ? RootKey::LocalMachine : RootKey::ClassesRoot;
      const auto v = At(root, path);
      ASSERT_TRUE(v) << path;
      EXPECT_EQ(v->type, reg::kExpandSz);
      EXPECT_EQ(v->data, kOpen.toStdString());
      EXPECT_FALSE(registry.HasKey(root, root == RootKey::ClassesRoot ? PrintKey(ext) : Machine(PrintKey(ext))));
    }
  }
  EXPECT_TRUE(Remembered(settings::kPriorPrintAssociation).isEmpty());
  const QString remembered = Remembered(settings::kPriorViewAssociation);
  EXPECT_FALSE(remembered.isEmpty());

  // A second checked save finds its own command everywhere and remembers nothing new.
  SavePriorAssociation(context, "V");
  SetAssociation(context, "V");
  EXPECT_EQ(Remembered(settings::kPriorViewAssociation), remembered);

  // Unchecked: every type gets back its own command, a type that had none loses ours.
  RestoreAssociation(context, "V");
  EXPECT_EQ(At(RootKey::ClassesRoot, OpenKey("fon"))->data, "winfont %1");
  EXPECT_EQ(At(RootKey::ClassesRoot, OpenKey("ttf"))->data, "fontview %1");
  EXPECT_EQ(At(RootKey::LocalMachine, Machine(OpenKey("ttf")))->data, "sysview %1");
  EXPECT_EQ(At(RootKey::ClassesRoot, OpenKey("otf"))->data, "");
  EXPECT_EQ(At(RootKey::LocalMachine, Machine(OpenKey("fon")))->data, "");
  EXPECT_EQ(At(RootKey::ClassesRoot, OpenKey("woff2"))->data, "");
  EXPECT_TRUE(Remembered(settings::kPriorViewAssociation).isEmpty());

  // A second restore has nothing left of ours to undo.
  const int writes = registry.Calls(Call::SetValue);
  Foreign(RootKey::ClassesRoot, OpenKey("otf"), "later %1");
  RestoreAssociation(context, "V");
  EXPECT_EQ(At(RootKey::ClassesRoot, OpenKey("otf"))->data, "later %1");
  EXPECT_EQ(registry.Calls(Call::SetValue) - writes, 0);  // nothing remembered: no binding there is the program's
}

// A type that held the program's command before the program bound anything (the
// user made it so) keeps it through a checked save and the undoing after it; the
// types the program bound go back.
TEST_F(AssociationsTest, TheUsersOwnBindingToTheProgramOutlivesTheUndoing) {
  registry.Put(RootKey::ClassesRoot, OpenKey("ttf"), "", reg::kExpandSz, kOpen.toStdString());
  Foreign(RootKey::ClassesRoot, OpenKey("otf"), "fontview %1");
  RestoreAssociation(context, "V");  // unchecked, nothing remembered
  EXPECT_EQ(At(RootKey::ClassesRoot, OpenKey("ttf"))->data, kOpen.toStdString());
  SavePriorAssociation(context, "V");
  SetAssociation(context, "V");
  RestoreAssociation(context, "V");
  EXPECT_EQ(At(RootKey::ClassesRoot, OpenKey("ttf"))->data, kOpen.toStdString());
  EXPECT_EQ(At(RootKey::ClassesRoot, OpenKey("otf"))->data, "fontview %1");
  EXPECT_EQ(At(RootKey::ClassesRoot, OpenKey("fon"))->data, "");
  EXPECT_TRUE(Remembered(settings::kPriorViewAssociation).isEmpty());
}

TEST_F(AssociationsTest, UncheckedSaveWithNothingRememberedOrBoundWritesNothing) {
  Foreign(RootKey::ClassesRoot, OpenKey("ttf"), "fontview %1");
  RestoreAssociation(context, "V");
  RestoreAssociation(context, "P");
  EXPECT_EQ(registry.Calls(Call::SetValue), 0);
  EXPECT_EQ(registry.Calls(Call::CreateKey), 0);
  EXPECT_EQ(settings.saveCount(), 0);
  EXPECT_EQ(At(RootKey::ClassesRoot, OpenKey("ttf"))->data, "fontview %1");
}

TEST_F(AssociationsTest, RestoreThatCannotWriteKeepsTheRememberedCommands) {
  Foreign(RootKey::ClassesRoot, OpenKey("ttf"), "fontview %1");
  SavePriorAssociation(context, "V");
  SetAssociation(context, "V");
  const QString remembered = Remembered(settings::kPriorViewAssociation);
  ASSERT_FALSE(remembered.isEmpty());
  registry.FailCall(Call::SetValue, reg::kWriteFault, 0);
  RestoreAssociation(context, "V");
  EXPECT_EQ(Remembered(settings::kPriorViewAssociation), remembered);
  // The next save, with the disk writable again, restores and forgets.
  registry.ClearFailures();
  RestoreAssociation(context, "V");
  EXPECT_EQ(At(RootKey::ClassesRoot, OpenKey("ttf"))->data, "fontview %1");
  EXPECT_TRUE(Remembered(settings::kPriorViewAssociation).isEmpty());
}

TEST_F(AssociationsTest, RestoreLeavesATypeThatSomeoneElseRebound) {
  Foreign(RootKey::ClassesRoot, OpenKey("ttf"), "fontview %1");
  SavePriorAssociation(context, "V");
  SetAssociation(context, "V");
  Foreign(RootKey::ClassesRoot, OpenKey("ttf"), "newer %1");
  RestoreAssociation(context, "V");
  EXPECT_EQ(At(RootKey::ClassesRoot, OpenKey("ttf"))->data, "newer %1");
}

TEST_F(AssociationsTest, PrintKindTouchesOnlyPrintKeys) {
  Foreign(RootKey::ClassesRoot, OpenKey("fon"), "winfont %1");
  SavePriorAssociation(context, "P");
  SetAssociation(context, "P");
  for (const char* ext : kExts) {
    EXPECT_EQ(At(RootKey::ClassesRoot, PrintKey(ext))->data, kPrint.toStdString());
    EXPECT_EQ(At(RootKey::LocalMachine, Machine(PrintKey(ext)))->data, kPrint.toStdString());
  }
  EXPECT_TRUE(Remembered(settings::kPriorViewAssociation).isEmpty());
  RestoreAssociation(context, "P");
  EXPECT_EQ(At(RootKey::ClassesRoot, OpenKey("fon"))->data, "winfont %1");
  EXPECT_EQ(At(RootKey::ClassesRoot, PrintKey("ttf"))->data, "");
  EXPECT_FALSE(settings.Contains(settings::kApplication, settings::kSection, settings::kPriorViewAssociation.name));
}

TEST_F(AssociationsTest, MissingKeyPathsAreCreatedUnderBothRoots) {
  ASSERT_FALSE(registry.HasKey(RootKey::ClassesRoot, "pfmfile"));
  SetAssociation(context, "V");
  EXPECT_TRUE(registry.HasKey(RootKey::ClassesRoot, OpenKey("pfm")));
  EXPECT_TRUE(registry.HasKey(RootKey::LocalMachine, Machine(OpenKey("pfm"))));
  EXPECT_EQ(registry.OpenHandles(), 0);
}

TEST_F(AssociationsTest, NothingIsWrittenForACommandWithoutTheProgramsPathOrAnUnknownKind) {
  Context noPath{registry, settings, " %1", " /p %1"};
  SetAssociation(noPath, "V");
  SetAssociation(noPath, "P");
  SetAssociation(context, "v");
  SavePriorAssociation(context, "X");
  RestoreAssociation(context, "");
  EXPECT_EQ(registry.Calls(Call::SetValue), 0);
  EXPECT_EQ(settings.saveCount(), 0);
}

TEST_F(AssociationsTest, ASinglePlainCommandRememberedEarlierStandsForEveryType) {
  SetAssociation(context, "V");
  settings::Write(settings, settings::kPriorViewAssociation, "old viewer.exe %1");
  RestoreAssociation(context, "V");
  for (const char* ext : kExts) EXPECT_EQ(At(RootKey::ClassesRoot, OpenKey(ext))->data, "old viewer.exe %1");
}

TEST_F(AssociationsTest, FailedReadsLeaveTheRememberedCommands) {
  Foreign(RootKey::ClassesRoot, OpenKey("fon"), "winfont %1");
  SavePriorAssociation(context, "V");
  const QString remembered = Remembered(settings::kPriorViewAssociation);
  EXPECT_NE(remembered.indexOf("winfont"), -1);
  registry.FailCall(Call::OpenKey, reg::kAccessDenied, 0);
  SavePriorAssociation(context, "V");
  registry.ClearFailures();
  EXPECT_EQ(Remembered(settings::kPriorViewAssociation), remembered);
}

// What the settings hold survives the INI store: blanks, "=", ";", "%", ":", line ends.
TEST(RememberedText, RoundTripsThroughTheSettingsStore) {
  QTemporaryDir dir;
  platform::QtSettingsStore store(dir.path());
  Remembered r;
  r.entries["c:ttf"] = {'L', "=font/ttf = a.desktop;b.desktop;\nfont/ttf=c.desktop;"};
  r.entries["m:fon"] = {'L', "!fgn"};
  r.entries["c:otf"] = {'C', "\"/opt/a b/v\" 100% %1"};
  const QString text = r.Format();
  EXPECT_FALSE(text.contains(u'\n'));
  settings::Write(store, settings::kPriorViewAssociation, text);
  platform::QtSettingsStore reread(dir.path());
  EXPECT_EQ(Remembered::Parse(settings::Read(reread, settings::kPriorViewAssociation)), r);
  EXPECT_EQ(Remembered::Parse("plain %1").plainCommand, "plain %1");
  EXPECT_TRUE(Remembered::Parse("c:ttf:C:x plain").entries.empty());
}

}  // namespace
}  // namespace typeloom::associations
