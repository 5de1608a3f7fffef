#include "app/FontCatalogue.h"
#include "platform/registry/CompositeRegistry.h"
#include "platform/registry/FontsKeyRegistry.h"
#include "platform/ui/ListOrder.h"
#include "platform/ui/ListWithEdit.h"
#include "support/FakeAppServices.h"
#include "support/TestLabel.h"

#include <QCollator>
#include <QLocale>
#include <gtest/gtest.h>

#include <algorithm>

namespace typeloom::app {
namespace {

struct CleanCase {
  const char* valueName;
  const char* name;
  bool bold;
  bool italic;
  const char* sizes;
};

void PrintTo(const CleanCase& c, std::ostream* os) { *os << test::Label(c.valueName); }

class CleanValueNameTest : public ::testing::TestWithParam<CleanCase> {};

TEST_P(CleanValueNameTest, Cleans) {
  const CleanCase& c = GetParam();
  const CleanedName cleaned = CleanValueName(QString::fromUtf8(c.valueName));
  EXPECT_EQ(cleaned.name, QString::fromUtf8(c.name));
  EXPECT_EQ(cleaned.bold, c.bold);
  EXPECT_EQ(cleaned.italic, c.italic);
  EXPECT_EQ(cleaned.sizes, QString::fromUtf8(c.sizes));
}

INSTANTIATE_TEST_SUITE_P(
    ValueNames, CleanValueNameTest,
    ::testing::Values(
        CleanCase{"Arial Bold Italic (TrueType)", "Arial", true, true, ""},
        CleanCase{"Arial (TrueType)", "Arial", false, false, ""},
        CleanCase{"Arial Italic", "Arial", false, true, ""},
        CleanCase{"MS Sans Serif 8,10,12,14,18,24 (VGA res)", "MS Sans Serif", false, false, "8,10,12,14,18,24"},
        CleanCase{"Courier 10,12,15", "Courier", false, false, "10,12,15"},
        CleanCase{"Fixed 8,10,12 (Bitmap)", "Fixed", false, false, "8,10,12"},
        CleanCase{"Terminus 12,14,16,18,20 (Bitmap)", "Terminus", false, false, "12,14,16,18,20"},
        CleanCase{"MS Gothic & MS PGothic & MS UI Gothic (TrueType)", "MS Gothic", false, false, ""},
        CleanCase{"Tahoma Normal (TrueType)", "Tahoma", false, false, ""},
        // Style words count only as whole words.
        CleanCase{"ArialItalic", "ArialItalic", false, false, ""},
        CleanCase{"Noto Sans ExtraBold (TrueType)", "Noto Sans ExtraBold", false, false, ""},
        CleanCase{"C059-Bold (OpenType)", "C059-Bold", false, false, ""},
        CleanCase{"Foo AbNormal", "Foo AbNormal", false, false, ""},
        CleanCase{"Italic Script", "Italic Script", false, false, ""},
        CleanCase{"Bold Italic Bold", "Bold Italic Bold", false, false, ""},
        CleanCase{"Ab Bold", "Ab", true, false, ""},
        // A cut keeps the character before the found text unless it is a blank.
        CleanCase{"Wide(TrueType)", "Wide", false, false, ""},
        CleanCase{"A (TrueType)", "A", false, false, ""},
        CleanCase{"A(TrueType)", "A(TrueType)", false, false, ""},
        CleanCase{"DejaVu Sans Mono Bold Oblique (TrueType)", "DejaVu Sans Mono Bold Oblique", false, false, ""},
        CleanCase{"Ünïcødé Bold (TrueType)", "Ünïcødé", true, false, ""},
        // Names of the Linux fonts view: a distinguishing number goes with the parenthesis,
        // bitmap sizes stand before the style, a single size keeps its comma.
        CleanCase{"DejaVu Sans (TrueType 2)", "DejaVu Sans", false, false, ""},
        CleanCase{"Fixed 10, (Bitmap)", "Fixed", false, false, "10,"},
        CleanCase{"Fixed 8,10,12 Bold (Bitmap 3)", "Fixed", true, false, "8,10,12"},
        CleanCase{"Fixed 10, Bold Italic (Bitmap)", "Fixed", true, true, "10,"},
        CleanCase{"Fixed Oblique 10,12 (Bitmap)", "Fixed Oblique", false, false, "10,12"},
        // Each step searches what the steps before it kept: a word found only in the
        // part already cut off does not count, nor does a first occurrence that is not
        // a whole word when a later one is.
        CleanCase{"X Bold Italic", "X", true, true, ""},
        CleanCase{"A & B Italic (TrueType)", "A", false, true, ""},
        CleanCase{"AB Normal & C (TrueType)", "AB", false, false, ""},
        CleanCase{"Sans Italic Bold Italic", "Sans Italic Bold Italic", false, false, ""},
        CleanCase{"Sans Bold Wide Bold", "Sans Bold Wide Bold", false, false, ""},
        CleanCase{"XNormal Normal Bold", "XNormal Normal", true, false, ""},
        CleanCase{"A&B & C", "A&B", false, false, ""},
        CleanCase{"Ab& Bold", "Ab&", true, false, ""},
        CleanCase{"Bold", "Bold", false, false, ""},
        CleanCase{"Sans Itali", "Sans Itali", false, false, ""},
        CleanCase{"Ärger Normal Italic (TrueType)", "Ärger", false, true, ""},
        CleanCase{"", "", false, false, ""}));

// Only the markers 8, to 12, start a size list: a bitmap family whose sizes all lie
// above 12 keeps them in its list name.
TEST(CleanValueName, BitmapFamilyWithSizesAllAbove12KeepsThemInTheListName) {
  const CleanedName cleaned = CleanValueName("Terminus 14,16,20 Bold (Bitmap)");
  EXPECT_EQ(cleaned.name, "Terminus 14,16,20");
  EXPECT_TRUE(cleaned.bold);
  EXPECT_EQ(cleaned.sizes, "");
}

TEST(ExtractSizeList, TakesTheListBeforeABlankOrParenthesis) {
  EXPECT_EQ(ExtractSizeList("8,10,12 (VGA res)"), "8,10,12");
  EXPECT_EQ(ExtractSizeList("10,12,15(x)"), "10,12,15");
  EXPECT_EQ(ExtractSizeList("10,12,15"), "10,12,15");
  EXPECT_EQ(ExtractSizeList(" 8,10"), " 8,10");
}

class FillFontListTest : public ::testing::Test {
 protected:
  QStringList Fill() {
    platform::ListWithEdit list(true);
    QStringList names;
    FillFontList(fake.registry, catalogue, list, names);
    EXPECT_EQ(names, list.Items());
    EXPECT_EQ(list.ListIndex(), list.ListCount() - 1);
    // The list alone (--list) is the same list, read without the catalogue.
    EXPECT_EQ(ListFontNames(fake.registry), names);
    EXPECT_EQ(fake.registry.OpenHandles(), 0);
    return names;
  }
  test::FakeAppServices fake;
  FontCatalogue catalogue;
};

TEST_F(FillFontListTest, SortsDeduplicatesAndCatalogues) {
  fake.AddFont("Zeta Sans (TrueType)", "zeta.ttf");
  fake.AddFont("alpha Serif Bold (TrueType)", "AlphaB.TTF");
  fake.AddFont("Alpha Serif (TrueType)", "alpha.ttf");
  fake.AddFont("Alpha Serif Italic (TrueType)", "alphai.ttf");
  fake.AddFont("Alpha Serif Bold Italic (TrueType)", "alphabi.ttf");
  fake.AddFont("Fixed 8,10,12 (Bitmap)", "fixed.pcf");
  fake.AddFont("Mono & Mono UI (TrueType)", "mono.ttc");

  const QStringList names = Fill();
  EXPECT_EQ(names, (QStringList{"Alpha Serif", "alpha Serif", "Fixed", "Mono", "Zeta Sans"}));
  ASSERT_EQ(catalogue.catalogueCount(), 7);
  const int bold = catalogue.FindFile("alphab.ttf");
  ASSERT_GE(bold, 0);
  EXPECT_EQ(catalogue.catalogueNames[bold], "alpha serif");
  EXPECT_TRUE(catalogue.catalogueBold[bold]);
  EXPECT_FALSE(catalogue.catalogueItalic[bold]);
  // Lookups by name take the first record enumerated.
  EXPECT_EQ(catalogue.FindName("alpha serif"), bold);
  EXPECT_EQ(catalogue.catalogueSizes[catalogue.FindFile("fixed.pcf")], "8,10,12");
  EXPECT_EQ(fake.registry.OpenHandles(), 0);
}

// Each record's name and file are lower-cased, beyond ASCII too, and a name is found
// at its first record.
TEST_F(FillFontListTest, RecordsHoldLowerCaseNamesAndFiles) {
  struct Row {
    const char* valueName;
    const char* file;
    const char* recordName;
    const char* recordFile;
  };
  const Row rows[] = {
      {"Alpha Serif Bold (TrueType)", "AlphaB.TTF", "alpha serif", "alphab.ttf"},
      {"alpha Serif (TrueType)", "alpha.ttf", "alpha serif", "alpha.ttf"},
      {"Étoile (OpenType)", "ÉTOILE.OTF", "étoile", "étoile.otf"},
      {"Sans Serif Extra Ärger (TrueType)", "Sans Serif Extra ÄRGER.TTF", "sans serif extra ärger",
       "sans serif extra ärger.ttf"},
      {"Wide Sans Ω Italic (TrueType)", "WideSansΩ-I.ttf", "wide sans ω", "widesansω-i.ttf"},
      {"Plain (TrueType)", "plain.ttf", "plain", "plain.ttf"},
      {"Tail (TrueType)", "TAIL-É", "tail", "tail-é"},
      {"No File (TrueType)", "", "no file", ""},
  };
  for (const Row& row : rows) fake.AddFont(row.valueName, row.file);
  Fill();
  ASSERT_EQ(catalogue.catalogueCount(), static_cast<int>(std::size(rows)));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].valueName);
    EXPECT_EQ(catalogue.catalogueNames[i], QString::fromUtf8(rows[i].recordName));
    EXPECT_EQ(catalogue.catalogueFiles[i], QString::fromUtf8(rows[i].recordFile));
    EXPECT_EQ(catalogue.FindFile(QString::fromUtf8(rows[i].recordFile)), static_cast<int>(i));
  }
  const struct {
    const char* name;
    int record;
  } lookups[] = {{"alpha serif", 0}, {"étoile", 2}, {"wide sans ω", 4}, {"plain", 5},
                 {"Alpha Serif", -1}, {"alpha", -1}, {"", -1}};
  for (const auto& lookup : lookups) EXPECT_EQ(catalogue.FindName(QString::fromUtf8(lookup.name)), lookup.record) << lookup.name;
}

TEST_F(FillFontListTest, FirstValueOfAFileWins) {
  fake.AddFont("One (TrueType)", "same.ttf");
  fake.AddFont("Two (TrueType)", "SAME.ttf");
  EXPECT_EQ(Fill(), (QStringList{"One", "Two"}));
  ASSERT_EQ(catalogue.catalogueCount(), 1);
  EXPECT_EQ(catalogue.catalogueNames[0], "one");
}

TEST_F(FillFontListTest, UnreadableKeyGivesEmptyListAndClosesNothingOpen) {
  fake.registry.FailCall(testsupport::FakeRegistry::Call::OpenKey, platform::reg::kAccessDenied, 0);
  EXPECT_TRUE(Fill().isEmpty());
  EXPECT_EQ(catalogue.catalogueCount(), 0);
  EXPECT_EQ(fake.registry.OpenHandles(), 0);
}

TEST_F(FillFontListTest, ValueWhoseTextCannotBeReadIsKeptAsError) {
  fake.AddFont("Broken (TrueType)", "broken.ttf");
  fake.registry.FailCall(testsupport::FakeRegistry::Call::QueryValue, platform::reg::kFileNotFound, 0);
  EXPECT_EQ(Fill(), QStringList{"Broken"});
  ASSERT_EQ(catalogue.catalogueCount(), 1);
  EXPECT_EQ(catalogue.catalogueFiles[0], "error!");
}

// The list is every distinct cleaned name once, in list order: the same as sorting
// all of them and keeping the first of each run of equal names, whatever the order
// the fonts come in and however often a name repeats.
TEST(FillFontList, EachNameOnceInListOrderHoweverOftenItRepeats) {
  const std::vector<std::vector<std::string>> sets = {
      {"Noto Sans (TrueType)", "Noto Sans Bold (TrueType)", "noto sans (TrueType 2)", "NOTO SANS Italic (TrueType)",
       "Noto Sans (TrueType 3)", "Noto Sans Bold Italic (TrueType)"},
      {"Zeta (TrueType)", "Ärger (TrueType)", "ärger (TrueType 2)", "Arger (TrueType)", "Zeta (TrueType 2)",
       "Ärger Bold (TrueType)", "Étoile & Étoile UI (TrueType)", "Etoile (TrueType)", "Étoile Italic (TrueType)"},
      {"Fixed 8,10,12 (Bitmap)", "Fixed 8,10,12 Bold (Bitmap)", "Fixed 10, (Bitmap)", "fixed 9, (Bitmap)",
       "Family 10 (TrueType)", "Family 9 (TrueType)", "Family 10 (TrueType 2)", " Blank (TrueType)"},
      // Where the first parenthesis stands decides the cut, whatever follows it.
      {"A(B (TrueType)", "(X) Bold (TrueType)", "Ab(TrueType)", "Ab (TrueType) Bold", "Sans Bold(x) (TrueType)",
       "Mono 10,12 (Bitmap) Italic", "Ünï (Bold) Italic", "Plain Italic (Ä)", "Sans Bold Italic", "X", "Wide (",
       "Fixed 8,10,12(VGA res)"},
      {},
  };
  for (const auto& values : sets) {
    for (const bool reversed : {false, true}) {
      test::FakeAppServices fake;
      std::vector<std::string> order = values;
      if (reversed) std::reverse(order.begin(), order.end());
      QStringList all;
      for (std::size_t i = 0; i < order.size(); ++i) {
        fake.AddFont(order[i], "f" + std::to_string(i) + ".ttf");
        all.append(CleanValueName(QString::fromStdString(order[i])).name);
      }
      platform::SortListItems(all);
      QStringList expected;
      for (const QString& name : all) {
        if (!name.isEmpty() && (expected.isEmpty() || expected.back() != name)) expected.append(name);
      }
      FontCatalogue catalogue;
      platform::ListWithEdit list(true);
      QStringList names;
      FillFontList(fake.registry, catalogue, list, names);
      const std::string label = (order.empty() ? std::string("(none)") : order.front()) + (reversed ? " reversed" : "");
      EXPECT_EQ(names, expected) << label;
      EXPECT_EQ(ListFontNames(fake.registry), expected) << label;
      ASSERT_EQ(catalogue.catalogueCount(), static_cast<int>(order.size())) << label;
      for (std::size_t i = 0; i < order.size(); ++i) {
        const CleanedName cleaned = CleanValueName(QString::fromStdString(order[i]));
        EXPECT_EQ(catalogue.catalogueNames[i], cleaned.name.toLower()) << order[i];
        EXPECT_EQ(catalogue.catalogueBold[i], cleaned.bold) << order[i];
        EXPECT_EQ(catalogue.catalogueItalic[i], cleaned.italic) << order[i];
        EXPECT_EQ(catalogue.catalogueSizes[i], cleaned.sizes) << order[i];
      }
      EXPECT_EQ(fake.registry.OpenHandles(), 0) << label;
    }
  }
}

// A fonts key over a plain list of font files, as on Linux.
class ListedFonts final : public platform::InstalledFonts {
 public:
  const std::vector<platform::InstalledFontFile>& Files() override { return files; }
  std::vector<platform::InstalledFontFile> files;
};

// The list sorts by collation keys; the order must be the collator's comparison
// order without case, then exact order (the C locale's keys keep case otherwise).
TEST(ListOrder, SortKeysGiveTheComparisonOrder) {
  QStringList names{"Zeta Sans", "alpha Serif", "Alpha Serif", "ALPHA serif", "Noto Sans", "noto sans Mono",
                    "Étoile", "Etoile", "Family 10", "Family 9", "Ärger", "Azur", "", " Blank", "ß Test", "ss Test"};
  QStringList expected = names;
  QCollator collator{QLocale()};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  collator.setNumericMode(false);
  std::stable_sort(expected.begin(), expected.end(), [&](const QString& a, const QString& b) {
    const int c = collator.compare(a, b);
    return c != 0 ? c < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
  });
  platform::ListWithEdit::SortItems(names);
  EXPECT_EQ(names, expected);
}

TEST(FillFontList, ManyFontsBeyondSixteenBitCounts) {
  ListedFonts fonts;
  for (int i = 0; i < 40000; ++i) {
    const std::string n = std::to_string(i);
    fonts.files.push_back({"Family " + n + (i % 2 == 0 ? " (TrueType)" : " Bold (TrueType)"), "f" + n + ".ttf", {}});
  }
  testsupport::FakeRegistry hive;
  platform::CompositeRegistry registry(hive);
  platform::FontsKeyRegistry fontsKey(fonts);
  registry.Mount(platform::RootKey::LocalMachine, kNtFontsKey, fontsKey);
  FontCatalogue catalogue;
  platform::ListWithEdit list(true);
  QStringList names;
  FillFontList(registry, catalogue, list, names);
  EXPECT_EQ(names.size(), 40000);
  EXPECT_EQ(catalogue.catalogueCount(), 40000);
  EXPECT_EQ(catalogue.FindFile("f39999.ttf"), 39999);
  EXPECT_TRUE(catalogue.catalogueBold[39999]);
  // Locale order: "Family 10" sorts before "Family 9".
  EXPECT_LT(names.indexOf("Family 10"), names.indexOf("Family 9"));
}

// The fonts key passes its values on straight from its file records; the catalogue and
// list it gives must be what enumerating and reading each value gives.
TEST(FillFontList, FontsKeyGivesWhatEnumeratingAndReadingGives) {
  using Files = std::vector<platform::InstalledFontFile>;
  const std::string longName(1985, 'L');  // with " (TrueType 12)", 1,999 bytes
  const std::vector<Files> sets = {
      {{"Alpha Serif Bold (TrueType)", "AlphaB.TTF", {}},
       {"alpha serif bold (TrueType)", "other.ttf", {}},  // a name repeated in another case
       {"Étoile Italic (OpenType)", "ÉTOILE.OTF", {}},
       {"Fixed 8,10,12 (Bitmap)", "fixed.pcf", {}},
       {"No File (TrueType)", "", {}},
       {"Zero (TrueType)", std::string("ze\0ro.ttf", 9), {}},  // the text ends at the zero
       {"Copy (TrueType)", "AlphaB.ttf", {}}},
      // The longest name that fits is read; a longer one ends the walk.
      {{"First (TrueType)", "first.ttf", {}},
       {longName + " (TrueType 12)", "fits.ttf", {}},
       {longName + " (TrueType 123)", "toolong.ttf", {}},
       {"After (TrueType)", "after.ttf", {}}},
      // A value without a name ends the walk.
      {{"Before (TrueType)", "before.ttf", {}}, {"", "empty.ttf", {}}, {"After (TrueType)", "after.ttf", {}}},
      {},
  };
  for (const Files& files : sets) {
    ListedFonts fonts;
    fonts.files = files;
    testsupport::FakeRegistry hive;
    platform::CompositeRegistry direct(hive);
    platform::FontsKeyRegistry fontsKey(fonts);
    direct.Mount(platform::RootKey::LocalMachine, kNtFontsKey, fontsKey);
    testsupport::FakeRegistry enumerated(direct);  // enumerates and reads value by value
    const std::string label = files.empty() ? std::string("(none)") : files.front().valueName;

    FontCatalogue fromDirect, fromEnumerated;
    platform::ListWithEdit directList(true), enumeratedList(true);
    QStringList directNames, enumeratedNames;
    FillFontList(direct, fromDirect, directList, directNames);
    FillFontList(enumerated, fromEnumerated, enumeratedList, enumeratedNames);
    EXPECT_GT(enumerated.Calls(testsupport::FakeRegistry::Call::QueryValue), files.empty() ? -1 : 0) << label;
    EXPECT_EQ(directNames, enumeratedNames) << label;
    EXPECT_EQ(ListFontNames(direct), ListFontNames(enumerated)) << label;
    EXPECT_EQ(fromDirect.catalogueNames, fromEnumerated.catalogueNames) << label;
    EXPECT_EQ(fromDirect.catalogueFiles, fromEnumerated.catalogueFiles) << label;
    EXPECT_EQ(fromDirect.catalogueBold, fromEnumerated.catalogueBold) << label;
    EXPECT_EQ(fromDirect.catalogueItalic, fromEnumerated.catalogueItalic) << label;
    EXPECT_EQ(fromDirect.catalogueSizes, fromEnumerated.catalogueSizes) << label;
    EXPECT_EQ(enumerated.OpenHandles(), 0) << label;
  }
  // What the rows above are for: the walk's ends and the text's end are where they should be.
  ListedFonts fonts;
  fonts.files = sets[0];
  testsupport::FakeRegistry hive;
  platform::CompositeRegistry direct(hive);
  platform::FontsKeyRegistry fontsKey(fonts);
  direct.Mount(platform::RootKey::LocalMachine, kNtFontsKey, fontsKey);
  FontCatalogue catalogue;
  QStringList expected{"Alpha Serif", "alpha serif bold", "Copy", "Étoile", "Fixed", "No File", "Zero"};
  platform::SortListItems(expected);
  EXPECT_EQ(BuildFontNames(direct, catalogue), expected);
  EXPECT_EQ(catalogue.catalogueFiles,
            (std::vector<QString>{"alphab.ttf", "other.ttf", "étoile.otf", "fixed.pcf", "", "ze"}));
  for (const std::size_t set : {std::size_t{1}, std::size_t{2}}) {
    fonts.files = sets[set];
    platform::FontsKeyRegistry key(fonts);
    platform::CompositeRegistry registry(hive);
    registry.Mount(platform::RootKey::LocalMachine, kNtFontsKey, key);
    EXPECT_EQ(BuildFontNames(registry, catalogue).size(), set == 1 ? 2 : 1) << set;
    EXPECT_EQ(catalogue.catalogueCount(), set == 1 ? 2 : 1) << set;
  }
}

}  // namespace
}  // namespace typeloom::app
