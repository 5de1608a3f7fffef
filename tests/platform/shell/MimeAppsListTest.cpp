#include "platform/shell/MimeAppsList.h"
#include "platform/shell/XdgDirs.h"

#include <gtest/gtest.h>

namespace typeloom::platform {
namespace {

using mimeapps::TypeLines;

const QByteArray kOwn = "font/ttf=typeloom.desktop;";

struct EditCase {
  const char* name;
  QByteArray before;
  QByteArray bound;  // after binding font/ttf to typeloom.desktop
};

class MimeAppsEdit : public ::testing::TestWithParam<EditCase> {};

// Binding changes only the type's lines; putting back what Find() saw gives the
// original bytes.
TEST_P(MimeAppsEdit, BindsOnlyTheTypeAndRestoresByteForByte) {
  const EditCase& c = GetParam();
  const TypeLines prior = mimeapps::Find(c.before, "font/ttf");
  const QByteArray bound = mimeapps::SetLine(c.before, "font/ttf", kOwn);
  EXPECT_EQ(bound, c.bound);
  EXPECT_EQ(mimeapps::DefaultIds(bound, "font/ttf"), QList<QByteArray>{"typeloom.desktop"});
  EXPECT_EQ(mimeapps::Find(bound, "font/ttf").lines.size(), 1);
  TypeLines decoded;
  ASSERT_TRUE(TypeLines::Parse(prior.Encode(), &decoded)) << prior.Encode().constData();
  EXPECT_EQ(decoded.lines, prior.lines);
  EXPECT_EQ(mimeapps::Restore(bound, "font/ttf", decoded), c.before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MimeAppsEdit,
    ::testing::Values(
        EditCase{"EmptyFile", "", "[Default Applications]\nfont/ttf=typeloom.desktop;\n"},
        EditCase{"OtherGroupOnly", "# mine\n[Added Associations]\nfont/ttf=a.desktop;\n",
                 "# mine\n[Added Associations]\nfont/ttf=a.desktop;\n[Default Applications]\nfont/ttf=typeloom.desktop;\n"},
        EditCase{"NoFinalNewline", "[Added Associations]\nx/y=a.desktop;",
                 "[Added Associations]\nx/y=a.desktop;\n[Default Applications]\nfont/ttf=typeloom.desktop;\n"},
        EditCase{"OddSpacingAndFallbacks",
                 "[Default Applications]\n# fonts\n  font/ttf = a.desktop;b.desktop;\t\ntext/plain=e.desktop;\n\n[Other]\nk=v\n",
                 "[Default Applications]\n# fonts\nfont/ttf=typeloom.desktop;\ntext/plain=e.desktop;\n\n[Other]\nk=v\n"},
        EditCase{"TypeMissingInGroup", "[Default Applications]\ntext/plain=e.desktop;\n\n# tail\n[Other]\nk=v\n",
                 "[Default Applications]\ntext/plain=e.desktop;\nfont/ttf=typeloom.desktop;\n\n# tail\n[Other]\nk=v\n"},
        EditCase{"CrLfLines", "[Default Applications]\r\nfont/ttf=a.desktop;\r\nfont/otf=b.desktop;\r\n",
                 "[Default Applications]\r\nfont/ttf=typeloom.desktop;\r\nfont/otf=b.desktop;\r\n"},
        EditCase{"DuplicateAdjacentLines", "[Default Applications]\nfont/ttf=a.desktop;\nfont/ttf = b.desktop;\nz/z=c;\n",
                 "[Default Applications]\nfont/ttf=typeloom.desktop;\nz/z=c;\n"},
        EditCase{"SameKeyInOtherGroupsUntouched",
                 "[X-Unknown]\nfont/ttf=u.desktop\n[Default Applications]\n[Removed Associations]\nfont/ttf=r.desktop;\n",
                 "[X-Unknown]\nfont/ttf=u.desktop\n[Default Applications]\nfont/ttf=typeloom.desktop;\n[Removed Associations]\nfont/ttf=r.desktop;\n"},
        EditCase{"PrefixOfAnotherType", "[Default Applications]\nfont/ttf-x=a.desktop;\n",
                 "[Default Applications]\nfont/ttf-x=a.desktop;\nfont/ttf=typeloom.desktop;\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MimeAppsList, RemovingAnAddedGroupKeepsWhatOthersAddedAfterIt) {
  const QByteArray before = "[A]\nk=v";
  QByteArray bound = mimeapps::SetLine(before, "font/ttf", kOwn);
  bound += "[Later]\nx=y\n";
  const QByteArray restored = mimeapps::Restore(bound, "font/ttf", mimeapps::Find(before, "font/ttf"));
  EXPECT_EQ(restored, "[A]\nk=v\n[Default Applications]\n[Later]\nx=y\n");
}

TEST(MimeAppsList, EncodedStatesRejectMalformedText) {
  TypeLines t;
  for (const QByteArray& bad : QList<QByteArray>{"", "x", "!q", "=", "=[Group]", "=a\n\nb"})
    EXPECT_FALSE(TypeLines::Parse(bad, &t)) << bad.constData();
  ASSERT_TRUE(TypeLines::Parse("!fgn", &t));
  EXPECT_FALSE(t.filePresent);
  EXPECT_FALSE(t.groupPresent);
  EXPECT_FALSE(t.endsWithNewline);
}

struct ExecCase {
  const char* name;
  QString path;
  QByteArray raw;  // the Exec argument as written in the file
};

class ExecQuoting : public ::testing::TestWithParam<ExecCase> {};

TEST_P(ExecQuoting, QuotesAndReadsBackAsOneArgument) {
  const ExecCase& c = GetParam();
  const QByteArray raw = ExecArgument(c.path);
  EXPECT_EQ(raw, c.raw);
  EXPECT_EQ(ProgramOfExec(raw + " %f"), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExecQuoting,
    ::testing::Values(ExecCase{"Plain", "/usr/bin/typeloom", "/usr/bin/typeloom"},
                      ExecCase{"Blank", "/opt/my apps/typeloom", "\"/opt/my apps/typeloom\""},
                      ExecCase{"Percent", "/opt/100%/typeloom", "/opt/100%%/typeloom"},
                      ExecCase{"Dollar", "/opt/$HOME/typeloom", "\"/opt/\\\\$HOME/typeloom\""},
                      ExecCase{"Quote", "/opt/a\"b/typeloom", "\"/opt/a\\\\\"b/typeloom\""},
                      ExecCase{"Backslash", "/opt/a\\b/typeloom", "\"/opt/a\\\\\\\\b/typeloom\""},
                      ExecCase{"BlankAndPercent", "/opt/a b%/t", "\"/opt/a b%%/t\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DesktopExec, FieldCodesBecomeTheProgramsCommandForm) {
  EXPECT_EQ(CommandOfExec("viewer %F"), "viewer %1");
  EXPECT_EQ(CommandOfExec("viewer --new %u"), "viewer --new %1");
  EXPECT_EQ(CommandOfExec("\"/opt/a b/v\" %i %f"), "\"/opt/a b/v\" %1");
  EXPECT_EQ(CommandOfExec("v 100%% %f"), "v 100% %1");
}

}  // namespace
}  // namespace typeloom::platform
