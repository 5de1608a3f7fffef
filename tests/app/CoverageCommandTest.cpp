// `typeloom --list --covers TEXT --lang TAG` and `--details --coverage NAME` over the
// fonts of known coverage, each answer also asked of fc-list over the same sandboxed
// fontconfig.
#include "support/FontFixtures.h"
#include "support/ProgramSandbox.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <string>

namespace {

using typeloom::testsupport::FontFixtures;
using typeloom::testsupport::ProgramSandbox;
using Result = ProgramSandbox::Result;

const QStringList kAll = {"Cover Arabic", "Cover Cjk Regular", "Cover Greek", "Cover Latin", "Cover Symbol Regular"};

class CoverageCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    const std::string folder = FontFixtures::CoverageFontFolder(&error);
    ASSERT_FALSE(folder.empty()) << error;
    box.UseFontFolder(QString::fromStdString(folder));
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "LC_ALL", "LC_MESSAGES", "LANGUAGE"}) {
      box.Env().remove(name);
    }
  }

  // The families fc-list gives for the same question, in list order.
  QStringList FcList(const QString& query) {
    QProcess fc;
    fc.setProcessEnvironment(box.Env());
    fc.start("fc-list", {"--format", "%{family[0]}\n", query});
    fc.waitForFinished(60000);
    QStringList families = QString::fromUtf8(fc.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    families.sort();
    return families;
  }

  ProgramSandbox box{"", {}};
};

// fc-list names a family; the list names the last two fonts by their full names.
QStringList Families(QStringList names) {
  for (QString& name : names) name.remove(" Regular");
  return names;
}

QString CharsetQuery(const QString& text) {
  QStringList hex;
  for (const char32_t c : text.toStdU32String()) {
    if (c > 0x20) hex << QString::number(c, 16);
  }
  return hex.join(u' ');
}

struct Row {
  const char* covers;  // UTF-8; null: no --covers
  const char* lang;    // null: no --lang
  QStringList names;   // what --list prints
};

TEST_F(CoverageCommandTest, ListsTheFontsThatCoverTheTextAndLanguage) {
  const Row rows[] = {
      {"abc", nullptr, {"Cover Greek", "Cover Latin"}},
      {"a b\tc\n", nullptr, {"Cover Greek", "Cover Latin"}},  // blanks and controls are not asked for
      {"Ωμέγα", nullptr, {"Cover Greek"}},
      {"Aα", nullptr, {"Cover Greek"}},
      {"\xc3\xa9t\xc3\xa9", nullptr, {"Cover Greek", "Cover Latin"}},  // Latin-1 letters
      {"\xd8\xa8\xd8\xa7\xd8\xa8", nullptr, {"Cover Arabic"}},
      {"日本語", nullptr, {"Cover Cjk Regular"}},
      {"かな", nullptr, {"Cover Cjk Regular"}},
      {"→∀☀", nullptr, {"Cover Symbol Regular"}},
      {"a→", nullptr, {}},
      {"\xf0\x9f\x98\x80", nullptr, {}},  // a character outside the Basic Multilingual Plane
      {nullptr, "el", {"Cover Greek"}},
      {nullptr, "ar", {"Cover Arabic"}},
      {nullptr, "ja", {"Cover Cjk Regular"}},
      {nullptr, "zh-tw", {}},  // the CJK font's code page is Japanese only
      {nullptr, "en", {"Cover Greek", "Cover Latin"}},
      {nullptr, "EN_us", {"Cover Greek", "Cover Latin"}},  // normalised to en-us
      {nullptr, "fa", {"Cover Arabic"}},
      {"α", "en", {"Cover Greek"}},  // both together intersect
      {"abc", "ar", {}},
      {"ب", "ar", {"Cover Arabic"}},
  };
  for (const Row& row : rows) {
    QStringList arguments = {"--list"};
    QStringList fc;
    if (row.covers != nullptr) {
      arguments << "--covers" << QString::fromUtf8(row.covers);
      fc << ":charset=" + CharsetQuery(QString::fromUtf8(row.covers));
    }
    if (row.lang != nullptr) {
      arguments << "--lang" << row.lang;
      fc << ":lang=" + QString::fromLatin1(row.lang).toLower().replace(u'_', u'-');
    }
    // Answered without Qt in the C locale and in one that keeps printable ASCII in
    // its common order, by the start module in a locale with a collation of its own.
    for (const char* locale : {"C.UTF-8", "en_US.UTF-8", "sv_SE.UTF-8"}) {
      box.Env().insert("LANG", locale);
      const std::string label = arguments.join(u' ').toStdString() + " (LANG=" + locale + ")";
      const Result r = box.Run(arguments);
      EXPECT_EQ(r.code, 0) << label << ": " << r.err.toStdString();
      EXPECT_EQ(r.err, "") << label;
      const QStringList printed = r.out.split(u'\n', Qt::SkipEmptyParts);
      EXPECT_EQ(printed, row.names) << label << " printed\n" << r.out.toStdString();
      EXPECT_EQ(Families(printed), FcList(fc.join(QString()))) << label << " against fc-list " << fc.join("").toStdString();
    }
  }
}

TEST_F(CoverageCommandTest, PlainListIsUnchanged) {
  const Result r = box.Run({"--list"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out.split(u'\n', Qt::SkipEmptyParts), kAll);
}

// Mistakes on the command line: one line on standard error, nothing listed, status 2.
TEST_F(CoverageCommandTest, MistakesAreOneLineAndStatusTwo) {
  const struct {
    QList<QByteArray> arguments;
    const char* says;
  } rows[] = {
      {{"--covers", ""}, "no character"},
      {{"--covers", " \t "}, "no character"},
      {{"--covers", "\xff"}, "not valid UTF-8"},
      {{"--covers", "\xc0\xaf"}, "not valid UTF-8"},          // overlong "/"
      {{"--covers", "\xed\xa0\x80"}, "not valid UTF-8"},      // a surrogate
      {{"--covers", "ab\xe2\x82"}, "not valid UTF-8"},        // cut short
      {{"--covers"}, "needs a text"},
      {{"--lang"}, "needs a language tag"},
      {{"--lang", "xx-yy"}, "knows no language \"xx-yy\""},
      {{"--lang", "e/n"}, "knows no language \"e/n\""},
      {{"--lang", "\x1b[2J"}, "knows no language \"\\e[2J\""},  // printed escaped
      {{"--lang", ""}, "knows no language"},
      {{"--covers", "a", "--covers", "b"}, "--covers is given twice"},
      {{"--font", "a"}, "only --covers TEXT and --lang TAG"},
  };
  for (const auto& row : rows) {
    // Bytes as they are: QProcess passes the arguments' UTF-8 through untouched
    // only for valid text, so the program is started through the shell's printf.
    QStringList script = {"exec \"$0\" --list"};
    QStringList arguments = {TYPELOOM_EXE};
    for (const QByteArray& argument : row.arguments) {
      QString octal;  // every byte as \NNN, which printf turns back into the byte
      for (const char c : argument) octal += QStringLiteral("\\%1").arg(static_cast<unsigned char>(c), 3, 8, QChar(u'0'));
      script << QStringLiteral("\"$(printf '%1')\"").arg(octal);
    }
    QProcess process;
    process.setProcessEnvironment(box.Env());
    process.start("/bin/sh", QStringList{"-c", script.join(u' ')} + arguments);
    process.waitForFinished(60000);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    const std::string label = row.arguments.join(' ').toStdString();
    EXPECT_EQ(process.exitCode(), 2) << label << ": " << err.toStdString();
    EXPECT_EQ(out, "") << label;
    EXPECT_EQ(err.count(u'\n'), 1) << label << ": " << err.toStdString();
    EXPECT_TRUE(err.contains(QString::fromUtf8(row.says))) << label << ": " << err.toStdString();
  }
}

TEST_F(CoverageCommandTest, DetailsCoverageGivesCharacterCountAndLanguages) {
  const struct {
    const char* name;
    const char* characters;
    const char* languages;  // the line as printed, or a tag it must hold
    bool whole;
  } rows[] = {
      {"Cover Cjk Regular", "Characters: 21489", "Languages: ja", true},
      {"Cover Symbol Regular", "Characters: 625", "Languages:", true},
      {"Cover Latin", "Characters: 191", " en ", false},
      {"Cover Greek", "Characters: 263", " el ", false},
      {"Cover Arabic", "Characters: 245", " ar ", false},
  };
  for (const auto& row : rows) {
    const Result r = box.Run({"--details", "--coverage", row.name});
    EXPECT_EQ(r.code, 0) << row.name << ": " << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n');
    ASSERT_EQ(lines.size(), 3) << row.name << ": " << r.out.toStdString();
    EXPECT_EQ(lines[0], row.characters) << row.name;
    if (row.whole) {
      EXPECT_EQ(lines[1], row.languages) << row.name;
    } else {
      EXPECT_TRUE((lines[1] + " ").contains(row.languages)) << row.name << ": " << lines[1].toStdString();
    }
  }
  const Result missing = box.Run({"--details", "--coverage", "No Such Font"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err.count(u'\n'), 1) << missing.err.toStdString();
  EXPECT_TRUE(missing.err.contains("No Such Font")) << missing.err.toStdString();
}

// A family whose faces differ: the family's name stands for its regular face alone,
// whatever the other faces have (DejaVu Sans Book has U+F000 and Bold lacks it; Bold
// has U+1D5D4 and Book lacks it).
TEST_F(CoverageCommandTest, AFamilyCoversWhatItsRegularFaceCovers) {
  ProgramSandbox dejaVu("/usr/share/fonts/truetype/dejavu", {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"});
  if (!dejaVu.Ready()) GTEST_SKIP() << "DejaVu Sans is not installed";
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) dejaVu.Env().remove(name);
  ASSERT_EQ(dejaVu.Run({"--list"}).out, "DejaVu Sans\n");
  const struct {
    const char* covers;
    const char* out;
  } rows[] = {
      {"A\xce\xa9", "DejaVu Sans\n"},       // both faces
      {"\xef\x80\x80", "DejaVu Sans\n"},   // U+F000: the regular face only
      {"\xf0\x9d\x97\x94", ""},            // U+1D5D4: the bold face only
      {"\xe6\x97\xa5", ""},                 // neither
  };
  for (const auto& row : rows) {
    const Result r = dejaVu.Run({"--list", "--covers", QString::fromUtf8(row.covers)});
    EXPECT_EQ(r.code, 0) << row.covers << ": " << r.err.toStdString();
    EXPECT_EQ(r.out, row.out) << row.covers;
  }
}

// A font file the font system does not know: its own face answers, for the coverage
// lines and the JSON keys alike; a file that is not a font is one line and status 1.
TEST_F(CoverageCommandTest, CoverageOfAFontFileIsThatOfItsOwnFace) {
  std::string error;
  const QString folder = QString::fromStdString(FontFixtures::CoverageFontFolder(&error));
  ProgramSandbox latinOnly(folder, {"CoverLatin-Regular.ttf"});
  ASSERT_TRUE(latinOnly.Ready());
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) latinOnly.Env().remove(name);

  const struct {
    const char* file;
    const char* characters;
    const char* language;  // a tag the languages line must hold; empty: the line is bare
    int count;
  } rows[] = {
      {"CoverArabic-Regular.ttf", "Characters: 245", "ar", 245},
      {"CoverGreek-Regular.ttf", "Characters: 263", "el", 263},
      {"CoverSymbol-Regular.ttf", "Characters: 625", "", 625},
      {"CoverLatin-Regular.ttf", "Characters: 191", "en", 191},  // the installed copy's face: the same
  };
  for (const auto& row : rows) {
    const QString path = folder + u'/' + QString::fromUtf8(row.file);
    const Result r = latinOnly.Run({"--details", "--coverage", path});
    EXPECT_EQ(r.code, 0) << row.file << ": " << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n');
    ASSERT_EQ(lines.size(), 3) << row.file << ": " << r.out.toStdString();
    EXPECT_EQ(lines[0], row.characters) << row.file;
    const QStringList tags = lines[1].split(u' ', Qt::SkipEmptyParts).mid(1);
    EXPECT_EQ(lines[1].startsWith("Languages:"), true) << lines[1].toStdString();
    if (*row.language == 0) {
      EXPECT_TRUE(tags.isEmpty()) << lines[1].toStdString();
    } else {
      EXPECT_TRUE(tags.contains(row.language)) << lines[1].toStdString();
    }

    const Result json = latinOnly.Run({"--details", "--json", path});
    ASSERT_EQ(json.code, 0) << row.file << ": " << json.err.toStdString();
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(object["characterCount"].toInt(-1), row.count) << row.file;
    QStringList jsonTags;
    for (const QJsonValue& tag : object["languages"].toArray()) jsonTags << tag.toString();
    EXPECT_EQ(jsonTags, tags) << row.file;
  }

  const Result notAFont = latinOnly.Run({"--details", "--coverage", latinOnly.FontPath("../fonts.conf")});
  EXPECT_EQ(notAFont.code, 1);
  EXPECT_EQ(notAFont.out, "");
  EXPECT_EQ(notAFont.err.count(u'\n'), 1) << notAFont.err.toStdString();
}

}  // namespace
