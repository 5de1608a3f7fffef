#include "options/RegistryModule.h"

#include "support/FakeRegistry.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace typeloom {
namespace {

using platform::KeyHandle;
using platform::Registry;
using platform::RootKey;
using testsupport::FakeRegistry;
namespace reg = platform::reg;

constexpr RootKey kRoot = RootKey::ClassesRoot;
const std::string kKey = "ttffile\\shell\\open\\command";

struct Stored {
  std::uint32_t type;
  std::string data;
  bool operator==(const Stored&) const = default;
};

// Seeds and inspects a registry through its own interface, so that the same checks
// run on every implementation.
void Seed(Registry& r, RootKey root, const std::string& path, const std::string& name, std::uint32_t type,
          const std::string& data) {
  KeyHandle h = 0;
  ASSERT_EQ(r.CreateKey(root, path, reg::kKeyAllAccess, &h), reg::kSuccess);
  ASSERT_EQ(r.SetValue(h, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                       static_cast<std::uint32_t>(data.size())),
            reg::kSuccess);
  r.CloseKey(h);
}

bool KeyExists(Registry& r, RootKey root, const std::string& path) {
  KeyHandle h = 0;
  if (r.OpenKey(root, path, reg::kKeyRead, &h) != reg::kSuccess) return false;
  r.CloseKey(h);
  return true;
}

std::optional<Stored> Read(Registry& r, RootKey root, const std::string& path, const std::string& name) {
  KeyHandle h = 0;
  if (r.OpenKey(root, path, reg::kKeyRead, &h) != reg::kSuccess) return std::nullopt;
  std::uint32_t type = 0, size = 0;
  std::optional<Stored> out;
  if (r.QueryValue(h, name, &type, nullptr, &size) == reg::kSuccess) {
    std::string data(size, '\0');
    if (r.QueryValue(h, name, &type, reinterpret_cast<std::uint8_t*>(data.data()), &size) == reg::kSuccess)
      out = Stored{type, data};
  }
  r.CloseKey(h);
  return out;
}

std::string Dword(std::uint32_t n) {
  return std::string{static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF),
                     static_cast<char>((n >> 16) & 0xFF), static_cast<char>((n >> 24) & 0xFF)};
}

// RegistryModule over the fake registry, counting its open handles.
class RegistryModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { fake_ = std::make_unique<FakeRegistry>(); }  // also called again per table row
  void TearDown() override { EXPECT_EQ(fake_->OpenHandles(), 0) << "a key was left open"; }

  Registry& registry() { return *fake_; }

  std::unique_ptr<FakeRegistry> fake_;
};

struct QueryCase {
  const char* label;
  bool seed;
  std::string seedName;
  std::uint32_t type;
  std::string data;
  std::string queriedKey;
  std::string queriedName;
  RegistryResult expected;
};

TEST_F(RegistryModuleTest, QueryValueResults) {
  const QueryCase cases[] = {
      {"missing key", false, "", 0, "", "no\\such\\key", "", RegistryResult::Error()},
      {"missing value", true, "", reg::kSz, "x", kKey, "other", RegistryResult::Error()},
      {"text with zero", true, "", reg::kSz, std::string("abc\0", 4), kKey, "", RegistryResult("abc")},
      {"text without zero", true, "", reg::kSz, "abc", kKey, "", RegistryResult("abc")},
      {"embedded zero", true, "", reg::kSz, std::string("ab\0cd", 5), kKey, "", RegistryResult("ab")},
      {"empty text", true, "", reg::kSz, "", kKey, "", RegistryResult("")},
      {"expandable text", true, "", reg::kExpandSz, "%HOME%", kKey, "", RegistryResult()},
      {"binary", true, "", 3, "\x01\x02", kKey, "", RegistryResult()},
      {"number", true, "", reg::kDword, Dword(42), kKey, "", RegistryResult(42)},
      {"negative number", true, "", reg::kDword, Dword(0xFFFFFFFFu), kKey, "", RegistryResult(-1)},
      {"oversized number", true, "", reg::kDword, "12345678", kKey, "", RegistryResult()},
      {"other case", true, "", reg::kSz, "v", "TTFFILE\\Shell\\OPEN\\command", "", RegistryResult("v")},
      {"named value", true, "NAME", reg::kSz, "n", kKey, "Name", RegistryResult("n")},
  };
  for (const QueryCase& c : cases) {
    SCOPED_TRACE(c.label);
    SetUp();
    if (c.seed) Seed(registry(), kRoot, kKey, c.seedName, c.type, c.data);
    const RegistryResult got = RegistryModule::QueryValue(registry(), kRoot, c.queriedKey, c.queriedName);
    EXPECT_EQ(got, c.expected) << "got '" << got.Text() << "'";
    EXPECT_EQ(fake_->OpenHandles(), 0);
  }
}

struct SetCase {
  const char* label;
  std::int16_t type;
  RegistryResult value;
  RegistryResult expected;
  std::optional<Stored> stored;
};

TEST_F(RegistryModuleTest, SetValueWritesTypes) {
  const SetCase cases[] = {
      {"text", 1, RegistryResult("typeloom %1"), RegistryResult::Success(), Stored{reg::kSz, "typeloom %1"}},
      {"empty text", 1, RegistryResult(""), RegistryResult::Success(), Stored{reg::kSz, ""}},
      {"empty as text", 1, RegistryResult(), RegistryResult::Success(), Stored{reg::kSz, ""}},
      {"number as text", 1, RegistryResult(-12), RegistryResult::Success(), Stored{reg::kSz, "-12"}},
      {"expandable", 2, RegistryResult("%HOME%/x"), RegistryResult::Success(), Stored{reg::kExpandSz, "%HOME%/x"}},
      {"number", 4, RegistryResult(7), RegistryResult::Success(), Stored{reg::kDword, Dword(7)}},
      {"negative number", 4, RegistryResult(-2), RegistryResult::Success(), Stored{reg::kDword, Dword(0xFFFFFFFEu)}},
      {"numeric text", 4, RegistryResult(" 12 "), RegistryResult::Success(), Stored{reg::kDword, Dword(12)}},
      {"text no number", 4, RegistryResult("twelve"), RegistryResult::Error(), std::nullopt},
      {"number too large", 4, RegistryResult("4294967296"), RegistryResult::Error(), std::nullopt},
      {"unknown type", 3, RegistryResult("x"), RegistryResult::Error(), std::nullopt},
  };
  for (const SetCase& c : cases) {
    SCOPED_TRACE(c.label);
    SetUp();
    ASSERT_TRUE(RegistryModule::CreateKey(registry(), kRoot, kKey).IsSuccess());
    EXPECT_EQ(RegistryModule::SetValue(registry(), kRoot, kKey, "", c.type, c.value), c.expected);
    EXPECT_EQ(Read(registry(), kRoot, kKey, ""), c.stored);
    EXPECT_EQ(fake_->OpenHandles(), 0);
  }
}

TEST_F(RegistryModuleTest, SetValueNeedsAnExistingKey) {
  EXPECT_TRUE(RegistryModule::SetValue(registry(), kRoot, kKey, "", 1, "x").IsError());
  EXPECT_FALSE(KeyExists(registry(), kRoot, kKey));
  EXPECT_FALSE(KeyExists(registry(), kRoot, "ttffile"));
}

TEST_F(RegistryModuleTest, CreateKeyMakesParentsAndKeepsValues) {
  EXPECT_EQ(RegistryModule::CreateKey(registry(), kRoot, kKey), RegistryResult::Success());
  EXPECT_TRUE(KeyExists(registry(), kRoot, "ttffile\\shell"));
  ASSERT_TRUE(RegistryModule::SetValue(registry(), kRoot, kKey, "", 1, "old").IsSuccess());
  EXPECT_EQ(RegistryModule::CreateKey(registry(), kRoot, "TTFFILE\\shell\\open\\Command"), RegistryResult::Success());
  EXPECT_EQ(RegistryModule::QueryValue(registry(), kRoot, kKey, ""), RegistryResult("old"));
}

TEST_F(RegistryModuleTest, OverwriteReplacesTheValue) {
  ASSERT_TRUE(RegistryModule::CreateKey(registry(), kRoot, kKey).IsSuccess());
  ASSERT_TRUE(RegistryModule::SetValue(registry(), kRoot, kKey, "Name", 1, "first").IsSuccess());
  ASSERT_TRUE(RegistryModule::SetValue(registry(), kRoot, kKey, "NAME", 4, 5).IsSuccess());
  EXPECT_EQ(RegistryModule::QueryValue(registry(), kRoot, kKey, "name"), RegistryResult(5));
  char name[16];
  std::uint32_t length = sizeof name;
  KeyHandle h = 0;
  ASSERT_EQ(registry().OpenKey(kRoot, kKey, reg::kKeyRead, &h), reg::kSuccess);
  EXPECT_EQ(registry().EnumValue(h, 0, name, &length), reg::kSuccess);
  EXPECT_STREQ(name, "Name");
  length = sizeof name;
  EXPECT_EQ(registry().EnumValue(h, 1, name, &length), reg::kNoMoreItems);
  registry().CloseKey(h);
}

// Failures injected into single calls: the result and that every key is closed.
TEST(RegistryModuleFailureTest, EveryPathClosesItsKey) {
  using Call = FakeRegistry::Call;
  struct Case {
    const char* label;
    Call call;
    int occurrence;
    std::function<RegistryResult(Registry&)> run;
    RegistryResult expected;
  };
  const auto query = [](Registry& r) { return RegistryModule::QueryValue(r, kRoot, kKey, "n"); };
  const auto queryNumber = [](Registry& r) { return RegistryModule::QueryValue(r, kRoot, kKey, "d"); };
  const auto set = [](Registry& r) { return RegistryModule::SetValue(r, kRoot, kKey, "n", 1, "x"); };
  const auto setNumber = [](Registry& r) { return RegistryModule::SetValue(r, kRoot, kKey, "d", 4, 3); };
  const auto create = [](Registry& r) { return RegistryModule::CreateKey(r, kRoot, "a\\b"); };
  const Case cases[] = {
      {"query: open fails", Call::OpenKey, 1, query, RegistryResult::Error()},
      {"query: size fails", Call::QueryValue, 1, query, RegistryResult::Error()},
      {"query: text read fails", Call::QueryValue, 2, query, RegistryResult()},
      {"query: number read fails", Call::QueryValue, 2, queryNumber, RegistryResult()},
      {"query: close fails", Call::CloseKey, 1, query, RegistryResult("text")},
      {"set: open fails", Call::OpenKey, 1, set, RegistryResult::Error()},
      {"set: write fails", Call::SetValue, 1, set, RegistryResult::Error()},
      {"set number: write fails", Call::SetValue, 1, setNumber, RegistryResult::Error()},
      {"create fails", Call::CreateKey, 1, create, RegistryResult::Error()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    FakeRegistry fake;
    fake.Put(kRoot, kKey, "n", reg::kSz, "text");
    fake.Put(kRoot, kKey, "d", reg::kDword, Dword(9));
    fake.FailCall(c.call, reg::kAccessDenied, c.occurrence);
    EXPECT_EQ(c.run(fake), c.expected);
    const int expectedOpen = c.call == Call::CloseKey ? 1 : 0;  // a failed close leaves its key open
    EXPECT_EQ(fake.OpenHandles(), expectedOpen);
    EXPECT_EQ(fake.Calls(Call::CloseKey), fake.Calls(Call::OpenKey) + fake.Calls(Call::CreateKey) -
                                              (c.call == Call::OpenKey || c.call == Call::CreateKey ? 1 : 0));
  }
}

// A walk over a key's values reads each the way QueryValue does, failures included.
TEST(RegistryModuleReadValuesTest, EachValueGivesWhatQueryValueGives) {
  using Call = FakeRegistry::Call;
  const struct {
    const char* name;
    std::uint32_t type;
    std::string data;
  } values[] = {{"text", reg::kSz, std::string("abc\0", 4)}, {"embedded", reg::kSz, std::string("ab\0cd", 5)},
                {"empty", reg::kSz, ""},          {"expandable", reg::kExpandSz, "%HOME%"},
                {"binary", 3, "\x01\x02"},         {"number", reg::kDword, Dword(0xFFFFFFFEu)},
                {"oversized", reg::kDword, "12345678"}};
  const struct {
    const char* label;
    int failedRead;  // the QueryValue call that fails, 0 for none
  } rows[] = {{"no failure", 0}, {"first size fails", 1}, {"first data fails", 2}, {"a later read fails", 5}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeRegistry fake;
    for (const auto& v : values) fake.Put(kRoot, kKey, v.name, v.type, v.data);
    std::vector<std::pair<std::string, RegistryResult>> walked;
    KeyHandle h = 0;
    ASSERT_EQ(fake.OpenKey(kRoot, kKey, reg::kKeyRead, &h), reg::kSuccess);
    if (row.failedRead > 0) fake.FailCall(Call::QueryValue, reg::kAccessDenied, row.failedRead);
    EXPECT_EQ(fake.ReadValues(h, 2000, true, [&](const platform::ValueView& v) {
      walked.emplace_back(std::string(v.name), RegistryModule::ValueResult(v));
      return true;
    }),
              reg::kSuccess);
    ASSERT_EQ(walked.size(), std::size(values));
    // The same reads one by one, with the same failure at the same call.
    if (row.failedRead > 0) fake.FailCall(Call::QueryValue, reg::kAccessDenied, row.failedRead);
    for (const auto& [name, result] : walked) {
      EXPECT_EQ(result, RegistryModule::QueryValue(fake, h, name)) << name << ": '" << result.Text() << "'";
    }
    fake.CloseKey(h);
  }
  // Spot checks of what the rows compare.
  FakeRegistry fake;
  for (const auto& v : values) fake.Put(kRoot, kKey, v.name, v.type, v.data);
  EXPECT_EQ(RegistryModule::QueryValue(fake, kRoot, kKey, "embedded"), RegistryResult("ab"));
  EXPECT_EQ(RegistryModule::QueryValue(fake, kRoot, kKey, "number"), RegistryResult(-2));
  EXPECT_EQ(RegistryModule::QueryValue(fake, kRoot, kKey, "oversized"), RegistryResult());
  EXPECT_EQ(RegistryModule::StringText(std::string_view("ab\0cd", 5)), "ab");
  EXPECT_EQ(RegistryModule::StringText("abc"), "abc");
}

TEST(RegistryResultTest, TextAndErrorMarking) {
  EXPECT_EQ(RegistryResult().Text(), "");
  EXPECT_EQ(RegistryResult(-40).Text(), "-40");
  EXPECT_EQ(RegistryResult::Error().Text(), "Error!");
  EXPECT_EQ(RegistryResult::Success().Text(), "Success!");
  EXPECT_TRUE(RegistryResult::Error().IsError());
  EXPECT_FALSE(RegistryResult("Error!").IsError());  // a stored value with that text
}

}  // namespace
}  // namespace typeloom
