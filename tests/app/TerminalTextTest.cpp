// Font texts printed to a terminal: escaped, one line staying one line.
#include "app/TerminalText.h"
#include "support/TestLabel.h"

#include <gtest/gtest.h>

namespace typeloom::app {
namespace {

struct EscapeCase {
  const char* name;
  QString text;
  QString printed;
};

void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.name; }

class EscapeForTerminalTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeForTerminalTest, ControlCharactersAreWrittenAsEscapes) {
  const QString printed = EscapeForTerminal(GetParam().text);
  EXPECT_EQ(printed, GetParam().printed) << printed.toStdString();
  for (const QChar c : printed) EXPECT_TRUE(c.unicode() >= 0x20 && c.unicode() != 0x7F) << printed.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EscapeForTerminalTest,
    ::testing::Values(
        EscapeCase{"empty", "", ""},
        EscapeCase{"plain", "DejaVu Sans", "DejaVu Sans"},
        EscapeCase{"non-latin-stays", QString::fromUtf8("Noto Sans \xe6\x97\xa5\xe6\x9c\xac"),
                   QString::fromUtf8("Noto Sans \xe6\x97\xa5\xe6\x9c\xac")},
        EscapeCase{"newline", "Evil\nName", "Evil\\nName"},
        EscapeCase{"carriage-return-and-tab", "a\r\tb", "a\\r\\tb"},
        EscapeCase{"title-sequence", "\x1b]0;owned\x07", "\\e]0;owned\\x07"},
        EscapeCase{"line-erase", "\x1b[2K", "\\e[2K"},
        EscapeCase{"backslash-kept-unambiguous", "a\\nb", "a\\\\nb"},
        EscapeCase{"del-and-nul", QString("x") + QChar(0x7F) + QChar(0) + "y", "x\\x7f\\x00y"},
        EscapeCase{"c1-csi", QString("a") + QChar(0x9B) + "2J", "a\\u009b2J"},
        EscapeCase{"line-separator", QString("a") + QChar(0x2028) + "b", "a\\u2028b"},
        EscapeCase{"bidi-override", QString("txt") + QChar(0x202E) + "exe", "txt\\u202eexe"}),
    [](const auto& info) { return test::Label(info.param.name); });

}  // namespace
}  // namespace typeloom::app
