#include "platform/registry/CompositeRegistry.h"
#include "platform/registry/FontsKeyRegistry.h"
#include "support/FakeRegistry.h"

#include <gtest/gtest.h>

#include <cstring>

namespace typeloom::platform {
namespace {

using testsupport::FakeRegistry;

class ListedFonts final : public InstalledFonts {
 public:
  std::vector<InstalledFontFile> files;
  int reads = 0;
  const std::vector<InstalledFontFile>& Files() override {
    ++reads;
    return files;
  }
};

TEST(CompositeRegistryTest, RoutesByRootAndLongestPrefix) {
  FakeRegistry fallback, fonts, deeper, classes;
  CompositeRegistry composite(fallback);
  composite.Mount(RootKey::LocalMachine, "Software\\Fonts", fonts);
  composite.Mount(RootKey::LocalMachine, "Software\\Fonts\\Deep", deeper);
  composite.Mount(RootKey::ClassesRoot, "", classes);

  const struct {
    RootKey root;
    const char* path;
    FakeRegistry* target;
    const char* seen;  // the path the target holds afterwards
  } cases[] = {
      {RootKey::LocalMachine, "SOFTWARE\\fonts", &fonts, ""},
      {RootKey::LocalMachine, "\\Software\\Fonts\\Sub\\", &fonts, "Sub"},
      {RootKey::LocalMachine, "Software\\Fonts\\deep\\x", &deeper, "x"},
      {RootKey::LocalMachine, "Software\\FontsX", &fallback, "Software\\FontsX"},
      {RootKey::LocalMachine, "Software", &fallback, "Software"},
      {RootKey::CurrentUser, "Software\\Fonts", &fallback, "Software\\Fonts"},
      {RootKey::ClassesRoot, "ttffile\\shell", &classes, "ttffile\\shell"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    KeyHandle h = 0;
    ASSERT_EQ(composite.CreateKey(c.root, c.path, reg::kKeyAllAccess, &h), reg::kSuccess);
    const std::uint8_t byte = 'x';
    EXPECT_EQ(composite.SetValue(h, "v", reg::kSz, &byte, 1), reg::kSuccess);
    EXPECT_TRUE(c.target->Get(c.root, c.seen, "v").has_value());
    EXPECT_EQ(composite.CloseKey(h), reg::kSuccess);
  }
  for (FakeRegistry* r : {&fallback, &fonts, &deeper, &classes}) EXPECT_EQ(r->OpenHandles(), 0);
}

TEST(CompositeRegistryTest, HandlesAreItsOwnAndFailuresPassThrough) {
  FakeRegistry fallback, mounted;
  CompositeRegistry composite(fallback);
  composite.Mount(RootKey::LocalMachine, "M", mounted);
  KeyHandle a = 0, b = 0, missing = 0;
  ASSERT_EQ(composite.CreateKey(RootKey::LocalMachine, "M", reg::kKeyAllAccess, &a), reg::kSuccess);
  ASSERT_EQ(composite.CreateKey(RootKey::LocalMachine, "Other", reg::kKeyAllAccess, &b), reg::kSuccess);
  EXPECT_NE(a, b);  // both inner registries handed out handle 1
  EXPECT_EQ(composite.OpenKey(RootKey::LocalMachine, "M\\Missing", reg::kKeyRead, &missing), reg::kFileNotFound);
  EXPECT_EQ(missing, 0u);
  EXPECT_EQ(composite.CloseKey(a), reg::kSuccess);
  EXPECT_EQ(composite.CloseKey(a), reg::kInvalidHandle);
  EXPECT_EQ(composite.QueryValue(a, "", nullptr, nullptr, nullptr), reg::kInvalidHandle);
  EXPECT_EQ(composite.CloseKey(b), reg::kSuccess);
  EXPECT_EQ(mounted.OpenHandles() + fallback.OpenHandles(), 0);
}

TEST(FontsKeyRegistryTest, ListsOneReadOnlyStringPerFile) {
  ListedFonts fonts;
  fonts.files = {{"Test Sans Bold (TrueType)", "TestSans-Bold.ttf", "/f/TestSans-Bold.ttf"},
                 {"Fixed 10, (Bitmap)", "fixed-13.bdf", "/f/fixed-13.bdf"},
                 {"Fixed 10, (Bitmap 2)", "fixed-13b.bdf", "/g/fixed-13b.bdf"}};
  FontsKeyRegistry key(fonts);
  EXPECT_EQ(fonts.reads, 0) << "the list is read on first use";

  KeyHandle h = 0, sub = 0;
  ASSERT_EQ(key.OpenKey(RootKey::LocalMachine, "", reg::kKeyRead, &h), reg::kSuccess);
  EXPECT_EQ(key.OpenKey(RootKey::LocalMachine, "Sub", reg::kKeyRead, &sub), reg::kFileNotFound);
  EXPECT_EQ(key.CreateKey(RootKey::LocalMachine, "", reg::kKeyAllAccess, &sub), reg::kAccessDenied);

  char name[64];
  std::uint32_t length = sizeof name;
  ASSERT_EQ(key.EnumValue(h, 1, name, &length), reg::kSuccess);
  EXPECT_STREQ(name, "Fixed 10, (Bitmap)");
  EXPECT_EQ(length, 18u);
  length = 18;  // no room for the zero
  EXPECT_EQ(key.EnumValue(h, 1, name, &length), reg::kMoreData);
  EXPECT_EQ(length, 18u);
  length = sizeof name;
  EXPECT_EQ(key.EnumValue(h, 3, name, &length), reg::kNoMoreItems);

  std::uint32_t type = 0, size = 0;
  ASSERT_EQ(key.QueryValue(h, "test sans bold (truetype)", &type, nullptr, &size), reg::kSuccess);
  EXPECT_EQ(type, reg::kSz);
  EXPECT_EQ(size, 18u);  // with the terminating zero
  std::uint8_t data[32];
  size = sizeof data;
  ASSERT_EQ(key.QueryValue(h, "FIXED 10, (BITMAP)", &type, data, &size), reg::kSuccess);
  EXPECT_STREQ(reinterpret_cast<char*>(data), "fixed-13.bdf");
  size = sizeof data;
  ASSERT_EQ(key.QueryValue(h, "Fixed 10, (Bitmap 2)", &type, data, &size), reg::kSuccess);
  EXPECT_STREQ(reinterpret_cast<char*>(data), "fixed-13b.bdf");  // each file under its own name
  size = 4;
  EXPECT_EQ(key.QueryValue(h, "Fixed 10, (Bitmap)", &type, data, &size), reg::kMoreData);
  EXPECT_EQ(size, 13u);
  EXPECT_EQ(key.QueryValue(h, "Nothing", &type, nullptr, &size), reg::kFileNotFound);

  const std::uint8_t byte = 0;
  EXPECT_EQ(key.SetValue(h, "New", reg::kSz, &byte, 1), reg::kAccessDenied);
  EXPECT_EQ(key.CloseKey(h), reg::kSuccess);
  EXPECT_EQ(key.CloseKey(h), reg::kInvalidHandle);
}

// What a walk over a key's values passed on, one line per value, and how it ended.
std::vector<std::string> Walk(Registry& r, KeyHandle h, std::uint32_t nameBuffer, bool withData, std::size_t stopAfter) {
  std::vector<std::string> seen;
  const long rc = r.ReadValues(h, nameBuffer, withData, [&](const ValueView& v) {
    seen.push_back(std::string(v.name) + "|" + std::to_string(v.status) + "|" + std::to_string(v.type) + "|" +
                   (v.hasData ? "data " + std::string(v.data) : "no data"));
    return seen.size() < stopAfter;
  });
  seen.push_back("rc " + std::to_string(rc));
  return seen;
}

// The fonts key passes its records on directly; that must be what the enumeration and
// reading that every other registry does gives, wherever the walk ends.
TEST(FontsKeyRegistryTest, ReadValuesGivesWhatEnumeratingAndReadingGives) {
  ListedFonts fonts;
  fonts.files = {{"Test Sans Bold (TrueType)", "TestSans-Bold.ttf", "/f/a.ttf"},
                 {"test sans bold (TrueType)", "other.ttf", "/f/b.ttf"},  // the same name in another case
                 {"Étoile (OpenType)", "ÉTOILE.OTF", "/f/c.otf"},
                 {"No File (TrueType)", "", "/f/d.ttf"},
                 {"Zero (TrueType)", std::string("ze\0ro.ttf", 9), "/f/e.ttf"},
                 {std::string(40, 'L') + " (TrueType)", "long.ttf", "/f/f.ttf"},
                 {"Last (TrueType)", "last.ttf", "/f/g.ttf"}};
  FontsKeyRegistry direct(fonts);
  FakeRegistry enumerated(direct);  // the registry's own enumeration and reads
  struct Row {
    std::uint32_t nameBuffer;
    bool withData;
    std::size_t stopAfter;
  };
  const Row rows[] = {{2000, true, 100}, {2000, false, 100}, {2000, true, 1}, {2000, true, 3},
                      {52, true, 100},   {51, true, 100},    {0, true, 100},  {1, false, 100}};
  KeyHandle h = 0;
  ASSERT_EQ(direct.OpenKey(RootKey::LocalMachine, "", reg::kKeyRead, &h), reg::kSuccess);
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.nameBuffer) + (row.withData ? " with data, stop after " : " names, stop after ") +
                 std::to_string(row.stopAfter));
    const auto got = Walk(direct, h, row.nameBuffer, row.withData, row.stopAfter);
    EXPECT_EQ(got, Walk(enumerated, h, row.nameBuffer, row.withData, row.stopAfter));
    EXPECT_GE(got.size(), row.nameBuffer >= 52 ? std::min<std::size_t>(row.stopAfter, 7) + 1 : 1);
  }
  // Through a composite too, and with handles that cannot read.
  CompositeRegistry composite(enumerated);
  composite.Mount(RootKey::LocalMachine, "Fonts", direct);
  KeyHandle c = 0;
  ASSERT_EQ(composite.OpenKey(RootKey::LocalMachine, "FONTS", reg::kKeyRead, &c), reg::kSuccess);
  EXPECT_EQ(Walk(composite, c, 2000, true, 100), Walk(enumerated, h, 2000, true, 100));
  KeyHandle writeOnly = 0;
  ASSERT_EQ(direct.OpenKey(RootKey::LocalMachine, "", reg::kSetValueAccess, &writeOnly), reg::kSuccess);
  EXPECT_EQ(Walk(direct, writeOnly, 2000, true, 100), (std::vector<std::string>{"rc 5"}));
  EXPECT_EQ(Walk(enumerated, writeOnly, 2000, true, 100), (std::vector<std::string>{"rc 5"}));
  EXPECT_EQ(Walk(direct, 999, 2000, true, 100), (std::vector<std::string>{"rc 6"}));
  EXPECT_EQ(Walk(composite, 999, 2000, true, 100), (std::vector<std::string>{"rc 6"}));
  EXPECT_EQ(composite.CloseKey(c), reg::kSuccess);
  EXPECT_EQ(direct.CloseKey(h), reg::kSuccess);
}

}  // namespace
}  // namespace typeloom::platform
