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
// for each row): only the C locale's order and the common order of printable ASCII
// are told without Qt.
TEST(QuickCoverageList, OrdersOnlyWhereQtOrdersWithoutACollation) {
  using Env = std::map<std::string, std::string>;
  const QuickOrder none = QuickOrder::None, c = QuickOrder::C, ascii = QuickOrder::PrintableAscii;
  const struct {
    Env env;
    QuickOrder order;
  } cases[] = {
      {{}, c},
      {{{"LANG", "C"}}, c},
      {{{"LANG", "POSIX"}}, c},
      {{{"LANG", "C.UTF-8"}}, c},
      {{{"LANG", "C.utf8"}}, c},
      {{{"LANG", "C.UTF-8"}, {"LANGUAGE", ""}}, c},
      {{{"LANG", "C"}, {"LANGUAGE", "de"}}, c},
      {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "de"}}, none},  // Qt takes German
      {{{"LANG", "en_US.UTF-8"}}, ascii},
      {{{"LANG", "en_US"}}, ascii},
      {{{"LANG", "en"}}, ascii},
      {{{"LANG", "de_DE.UTF-8"}}, ascii},
      {{{"LANG", "pt_BR.UTF-8"}}, ascii},
      {{{"LANG", "it_IT.utf8"}}, ascii},
      {{{"LANG", "en_US.ISO-8859-1"}}, ascii},
      {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "de"}}, none},  // a LANGUAGE list is Qt's to read
      {{{"LANG", "sv_SE.UTF-8"}}, none},
      {{{"LANG", "ru_RU.UTF-8"}}, none},
      {{{"LANG", "sr_RS@latin"}}, none},
      {{{"LANG", "de_DE@euro"}}, none},
      {{{"LANG", "EN_us.UTF-8"}}, none},
      {{{"LANG", "en_US.UTF-8"}, {"LC_ALL", "C"}}, c},
      {{{"LANG", "de_DE.UTF-8"}, {"LC_ALL", "C.UTF-8"}}, c},
      {{{"LANG", "C.UTF-8"}, {"LC_MESSAGES", "de_DE.UTF-8"}}, ascii},
      {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ru_RU.UTF-8"}}, none},
      {{{"LANG", "C.UTF-8"}, {"LC_COLLATE", "sv_SE.UTF-8"}}, c},
      {{{"LANG", "C.UTF-8"}, {"LC_ALL", ""}}, c},
      {{{"LANG", "C.UTF-8@euro"}}, none},
  };
  for (const auto& row : cases) {
    std::string label;
    for (const auto& [name, value] : row.env) label += name + "=" + value + " ";
    SCOPED_TRACE(label);
    EXPECT_EQ(ListOrderFromEnvironment([&](const char* name) -> const char* {
                const auto it = row.env.find(name);
                return it == row.env.end() ? nullptr : it->second.c_str();
              }),
              row.order);
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

// The order and the escapes of the printed list are those of --list, in the C locale
// and under a locale that keeps printable ASCII in its common order.
TEST(QuickCoverageList, PrintsInTheListsOrderAndEscapes) {
  const std::vector<std::string> names = {"b", "B", "a", "A b", "A", "Ab", "a\\b", "a_b", "a-b", "a b", "A1", "a.b",
                                          "Z003", "z003 Medium", "[x]", "~x", "$x", "0x", "a(b", "Tab\tName",
                                          "Esc\x1bName", "Del\x7f"};
  const auto shown = [](const std::string& name) { return name != "Ab"; };
  const std::pair<QuickOrder, QLocale> orders[] = {{QuickOrder::C, QLocale::c()},
                                                  {QuickOrder::PrintableAscii, QLocale(QLocale::English)}};
  for (const auto& [order, locale] : orders) {
    SCOPED_TRACE(locale.name().toStdString());
    std::vector<std::string> given;
    QStringList expected;
    for (const std::string& name : names) {
      // Under the common order the names are printable.
      if (order == QuickOrder::PrintableAscii && name.find_first_of("\t\x1b\x7f") != std::string::npos) continue;
      given.push_back(name);
      if (shown(name)) expected << QString::fromStdString(name);
    }
    const platform::ListOrder list(locale);
    ASSERT_EQ(list.OrdersAsciiItself(), order == QuickOrder::PrintableAscii);
    list.Sort(expected);
    QString escaped;
    for (const QString& name : expected) {
      QString line = name;
      line.replace("\\", "\\\\").replace("\t", "\\t").replace("\x1b", "\\e").replace("\x7f", "\\x7f");
      escaped += line + "\n";
    }
    EXPECT_EQ(QString::fromStdString(CoveringListText(given, shown, order)), escaped);
    EXPECT_EQ(CoveringListText({}, shown, order), "");
  }
}

}  // namespace
}  // namespace typeloom::app
