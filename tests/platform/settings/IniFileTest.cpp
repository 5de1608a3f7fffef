// The settings file's line editor: one value changes, every other byte stays.
#include "platform/settings/IniFile.h"
#include "support/TestLabel.h"

#include <gtest/gtest.h>

namespace typeloom::platform {
namespace {

struct EditCase {
  const char* name;
  QByteArray before;
  QString key;
  QString value;
  QByteArray after;
};

void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }

class SetIniValueTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(SetIniValueTest, ChangesOnlyTheValuesLine) {
  EXPECT_EQ(SetIniValue(GetParam().before, "Settings", GetParam().key, GetParam().value), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetIniValueTest,
    ::testing::Values(
        EditCase{"new-file", "", "ShowSplash", "1", "[Settings]\nShowSplash=\"1\"\n"},
        EditCase{"replaced-in-place", "[Settings]\nA=\"1\"\nShowSplash=0\nB=2\n", "ShowSplash", "1",
                 "[Settings]\nA=\"1\"\nShowSplash=\"1\"\nB=2\n"},
        EditCase{"spaced-key-matched", "[Settings]\n  ShowSplash = 0\n", "ShowSplash", "1",
                 "[Settings]\nShowSplash=\"1\"\n"},
        EditCase{"other-sections-and-comments-kept", "; mine\n[General]\nShowSplash=9\n\n[Settings]\nA=1\n\n[Z]\nq=1\n",
                 "ShowSplash", "0", "; mine\n[General]\nShowSplash=9\n\n[Settings]\nA=1\nShowSplash=\"0\"\n\n[Z]\nq=1\n"},
        EditCase{"duplicates-dropped", "[Settings]\nK=1\nK=2\n[Other]\nK=3\n[Settings]\nK=4\n", "K", "5",
                 "[Settings]\nK=\"5\"\n[Other]\nK=3\n[Settings]\n"},
        EditCase{"section-added", "[Other]\nK=3", "K", "x", "[Other]\nK=3\n\n[Settings]\nK=\"x\"\n"},
        EditCase{"crlf-kept", "[Settings]\r\nA=1\r\n", "B", "2", "[Settings]\r\nA=1\r\nB=\"2\"\r\n"},
        EditCase{"prefix-key-untouched", "[Settings]\nShowSplashX=1\n", "ShowSplash", "0",
                 "[Settings]\nShowSplashX=1\nShowSplash=\"0\"\n"},
        EditCase{"line-break-in-value-stays-on-its-line", "[Settings]\n", "CommandLine", "a\n[Settings]\nK=1",
                 "[Settings]\nCommandLine=\"a\\xa[Settings]\\xaK=1\"\n"}),
    [](const auto& info) { return test::Label(info.param.name); });

}  // namespace
}  // namespace typeloom::platform
