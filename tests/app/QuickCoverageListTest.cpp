// The list filter's Qt-free answer (QuickCoverageList.h) against what the start
// module does with Qt: the same list names, in the same order, or no answer at all.
#include "app/FontCatalogue.h"
#include "app/QuickCoverageList.h"
#include "platform/ui/ListOrder.h"
#include "support/TestLabel.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <map>
#include <string>

namespace typeloom::app {
namespace {

// Every value name either gets the catalogue's own cleaning or no answer.
TEST(QuickCoverageList, ListNamesAreTheCataloguesOrNone) {
  const struct {
    const char* valueName;
    bool answered;
  } cases[] = {
      {"Arial Bold Italic (TrueType)", true},
      {"Arial (TrueType)", true},
      {"Arial Italic", true},
      {"MS Sans Serif 8,10,12,14,18,24 (VGA res)", true},
      {"Courier 10,12,15", true},
      {"Fixed 8,10,12 (Bitmap)", true},
      {"Terminus 12,14,16,18,20 (Bitmap)", true},
      {"Test 14,18 (Bitmap)", true},
      {"MS Gothic & MS PGothic & MS UI Gothic (TrueType)", true},
      {"A & B", true},
      {"Tahoma Normal (TrueType)", true},
      {"ArialItalic", true},
      {"Noto Sans ExtraBold (TrueType)", true},
      {"Foo AbNormal", true},
      {"Italic Script", true},
      {"Bold Italic Bold", true},
      {"Ab Bold", true},
      {"Ab Bold Bold", true},
      {"Wide(TrueType)", true},
      {"A (TrueType)", true},
      {"DejaVu Sans Mono Bold Oblique (TrueType)", true},
      {"DejaVu Sans (TrueType 2)", true},
      {"Fixed 10, (Bitmap)", true},
      {"Fixed 8,10,12 Bold (Bitmap 3)", true},
      {"Fixed 10, Bold Italic (Bitmap)", true},
      {"Fixed Oblique 10,12 (Bitmap)", true},
      {"Ab\\Cd\x1b (TrueType)", true},
      {"", true},
      // The parenthesis stays (it may carry a repeat's number), text beyond ASCII, or a
      // first character whose UTF-16 position differs from its byte position.
      {"A(TrueType)", false},
      {" (TrueType)", false},
      {"(Paren) (TrueType)", false},
      {"Ünïcødé Bold (TrueType)", false},
      {"Grüne Bold (TrueType)", false},
      {"é(TrueType)", false},
      {"Straight & Ω (TrueType)", true},
      {"Ω & Straight (TrueType)", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(test::Label(c.valueName));
    const std::optional<std::string> quick = AsciiListName(c.valueName);
    ASSERT_EQ(quick.has_value(), c.answered);
    if (quick) {
      EXPECT_EQ(QString::fromStdString(*quick), CleanValueName(QString::fromUtf8(c.valueName)).name);
    }
  }
}

// The locale Qt collates in, from the environment (checked against Qt 6.4 by hand
// for each row): only the C locale's order is told without Qt.
TEST(QuickCoverageList, SortsInCOrderOnlyWhereQtDoes) {
  using Env = std::map<std::string, std::string>;
  const struct {
    Env env;
    bool cOrder;
  } cases[] = {
      {{}, true},
      {{{"LANG", "C"}}, true},
      {{{"LANG", "POSIX"}}, true},
      {{{"LANG", "C.UTF-8"}}, true},
      {{{"LANG", "C.utf8"}}, true},
      {{{"LANG", "C.UTF-8"}, {"LANGUAGE", ""}}, true},
      {{{"LANG", "C"}, {"LANGUAGE", "de"}}, true},
      {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "de"}}, false},
      {{{"LANG", "en_US.UTF-8"}}, false},
      {{{"LANG", "en_US.UTF-8"}, {"LC_ALL", "C"}}, true},
      {{{"LANG", "de_DE.UTF-8"}, {"LC_ALL", "C.UTF-8"}}, true},
      {{{"LANG", "C.UTF-8"}, {"LC_MESSAGES", "de_DE.UTF-8"}}, false},
      {{{"LANG", "C.UTF-8"}, {"LC_COLLATE", "de_DE.UTF-8"}}, true},
      {{{"LANG", "C.UTF-8"}, {"LC_ALL", ""}}, true},
      {{{"LANG", "C.UTF-8@euro"}}, false},
  };
  for (const auto& c : cases) {
    std::string label;
    for (const auto& [name, value] : c.env) label += name + "=" + value + " ";
    SCOPED_TRACE(label);
    EXPECT_EQ(ListSortsInCOrder([&](const char* name) -> const char* {
                const auto it = c.env.find(name);
                return it == c.env.end() ? nullptr : it->second.c_str();
              }),
              c.cOrder);
  }
}

// Names folded alike here are the names Qt folds to the same ASCII text.
TEST(QuickCoverageList, FoldsTowardsAsciiAsQtDoes) {
  const char* names[] = {"DejaVu Sans", "DEJAVU SANS", "dejavu sans", "Noto Sans CJK JP", "\xe2\x84\xaa" "elvin",
                         "\xc5\xbf" "erif", "Kelvin", "Serif", "Ωμέγα", "ΩΜΈΓΑ", "İstanbul", "Straße",
                         "STRASSE", "\xe2\x84\xaa", "\xc5", "\xe2\x84", "a\xff" "b", "\xe2\xc5\xbf", "ǅ", "ǆ",
                         "Ǆ", ""};
  for (const char* a : names) {
    const std::string quick = FoldTowardsAscii(a);
    const QString qt = QString::fromUtf8(a).toCaseFolded();
    bool qtAscii = true;
    for (const QChar c : qt) qtAscii = qtAscii && c.unicode() < 0x80;
    SCOPED_TRACE(test::Label(a));
    bool quickAscii = true;
    for (const char c : quick) quickAscii = quickAscii && static_cast<unsigned char>(c) < 0x80;
    EXPECT_EQ(quickAscii, qtAscii);
    if (!qtAscii) continue;  // keys beyond ASCII are never looked up by an ASCII name
    EXPECT_EQ(QString::fromStdString(quick), qt);
    for (const char* b : names) {
      EXPECT_EQ(quick == FoldTowardsAscii(b), qt == QString::fromUtf8(b).toCaseFolded()) << test::Label(b);
    }
  }
}

// The order and the escapes of the printed list are those of --list in the C locale.
TEST(QuickCoverageList, PrintsInTheListsOrderAndEscapes) {
  QLocale::setDefault(QLocale::c());  // before the list's collator is made in this process
  const std::vector<std::string> names = {"b", "B", "a", "A b", "A", "Ab", "a\\b", "a_b", "a-b", "a b", "A1",
                                          "Z003", "z003 Medium", "[x]", "~x", "Tab\tName", "Esc\x1bName", "Del\x7f"};
  const auto text = CoveringListText(names, [](const std::string& name) { return name != "Ab"; });
  QStringList expected;
  for (const std::string& name : names) {
    if (name != "Ab") expected << QString::fromStdString(name);
  }
  platform::SortListItems(expected);
  QString escaped;
  for (const QString& name : expected) {
    QString line = name;
    line.replace("\\", "\\\\").replace("\t", "\\t").replace("\x1b", "\\e").replace("\x7f", "\\x7f");
    escaped += line + "\n";
  }
  EXPECT_EQ(QString::fromStdString(text), escaped);
  EXPECT_EQ(CoveringListText({}, [](const std::string&) { return true; }), "");
}

}  // namespace
}  // namespace typeloom::app
