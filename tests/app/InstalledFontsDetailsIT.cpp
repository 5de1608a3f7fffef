// Over the fonts installed on this machine: the details of every font-list name say
// "Installed: True", and carry a version line wherever the face is an sfnt with a
// version string (read here by HarfBuzz, independently of the program's reader).
#include "app/FontCatalogue.h"
#include "app/FontDisplay.h"
#include "app/Main.h"
#include "app/QuickCoverageList.h"
#include "platform/fonts/FaceResolver.h"
#include "platform/fonts/FontFileNames.h"
#include "platform/fonts/FontCoverage.h"
#include "platform/fonts/FontconfigFonts.h"
#include "platform/graphics/GraphicsFacts.h"
#include "platform/registry/LinuxRegistry.h"

#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <hb-ot.h>
#include <hb.h>

#include <cstdio>
#include <memory>
#include <sstream>

namespace typeloom::app {
namespace {

// The version string of face `index` of an sfnt file; empty for anything else.
std::string SfntVersion(const std::string& path, unsigned index) {
  std::unique_ptr<hb_blob_t, decltype(&hb_blob_destroy)> blob(hb_blob_create_from_file(path.c_str()), hb_blob_destroy);
  std::unique_ptr<hb_face_t, decltype(&hb_face_destroy)> face(hb_face_create(blob.get(), index), hb_face_destroy);
  unsigned none = 0;
  if (hb_face_get_table_tags(face.get(), 0, &none, nullptr) == 0) return {};
  char text[1024] = {};
  unsigned size = sizeof text;
  hb_ot_name_get_utf8(face.get(), HB_OT_NAME_ID_VERSION_STRING, HB_LANGUAGE_INVALID, &size, text);
  return text;
}

TEST(InstalledFontsDetailsIT, EveryListNameIsInstalledAndShowsItsVersion) {
  auto registry = platform::MakeLinuxRegistry();
  FontCatalogue catalogue;
  const QStringList names = BuildFontNames(*registry, catalogue);
  if (names.isEmpty()) GTEST_SKIP() << "fontconfig lists no fonts";
  platform::FontconfigFonts& folder = platform::LinuxInstalledFonts();

  std::ostringstream notInstalled, noVersion;
  int withVersion = 0;
  for (const QString& name : names) {
    const Details details = BuildDetails(name, catalogue, folder, platform::LinuxGraphicsFacts());
    const qsizetype installed = details.lines.indexOf(QStringLiteral("Installed: True"));
    if (installed < 0) {
      notInstalled << "  " << name.toStdString() << ": " << details.lines.join(" | ").toStdString() << "\n";
      continue;
    }
    const int record = catalogue.FindName(name.toLower());
    if (record < 0) continue;
    const QString path = QString::fromStdString(folder.PathOf(catalogue.catalogueFiles[record].toStdString()));
    const platform::FaceLocation face = platform::LocateFace(name);
    const bool sameFile = QFileInfo(QString::fromStdString(face.file)).canonicalFilePath() == QFileInfo(path).canonicalFilePath();
    const std::string version = SfntVersion(path.toStdString(), sameFile ? static_cast<unsigned>(face.index) : 0u);
    if (version.empty()) continue;
    ++withVersion;
    if (installed == 0 || !details.lines[installed - 1].startsWith(QStringLiteral("version "), Qt::CaseInsensitive)) {
      noVersion << "  " << name.toStdString() << " (" << path.toStdString() << ", \"" << version << "\")\n";
    }
  }
  std::printf("%lld list names, %d with an sfnt version string\n", static_cast<long long>(names.size()), withVersion);
  EXPECT_EQ(notInstalled.str(), "") << "names whose details do not say \"Installed: True\"";
  EXPECT_EQ(noVersion.str(), "") << "sfnt faces with a version string but no version line";
}

// The coverage --list --covers and the filter read is that of the face each list
// name draws in, for every installed font.
TEST(InstalledFontsDetailsIT, CoverageReadsTheFaceEveryListNameDrawsIn) {
  auto registry = platform::MakeLinuxRegistry();
  FontCatalogue catalogue;
  const QStringList names = BuildFontNames(*registry, catalogue);
  ASSERT_FALSE(names.isEmpty()) << "fontconfig lists no fonts";
  platform::FontCoverage coverage;
  for (const QString& name : names) {
    const platform::FaceLocation face = platform::LocateFace(name);
    const std::optional<platform::CoverageFacts> facts = coverage.FactsOf(name);
    ASSERT_TRUE(facts.has_value()) << name.toStdString();
    EXPECT_EQ(facts->file, face.file) << name.toStdString();
    EXPECT_EQ(facts->index, face.index) << name.toStdString();
  }

  // Whether a name has a character is what its face (as read above) says, also when
  // the answer comes without picking the face (every face of the family agrees).
  const char32_t probes[] = {U'A', U'Ω', U'Ж', U'ا', U'日', U'→', U'€', 0xFB01, 0xF000, 0x1D5D4};
  for (const char32_t probe : probes) {
    platform::FontCoverage quick;
    quick.SetQuery({probe}, "");
    coverage.SetQuery({probe}, "");
    for (const QString& name : names) {
      EXPECT_EQ(quick.Matches(name), coverage.Matches(name)) << name.toStdString() << " U+" << std::hex << static_cast<std::uint32_t>(probe);
    }
  }
}

// The list filter answered without Qt prints exactly what the start module prints,
// for every installed font (also names installed nowhere, which share a match), in
// the C locale and in one that keeps printable ASCII in its common order.
TEST(FontFileNamesIT, NamesAloneAreTheFilesNamesInTheirOrder) {
  std::vector<platform::InstalledFontFile> files;
  std::vector<std::string> names;
  ASSERT_TRUE(platform::ReadFontFiles(files));
  ASSERT_TRUE(platform::ReadFontFileNames(names));
  ASSERT_FALSE(files.empty());
  ASSERT_EQ(names.size(), files.size());
  for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(names[i], files[i].valueName) << files[i].path;
}

class QuickListFilterIT : public ::testing::TestWithParam<const char*> {};

TEST_P(QuickListFilterIT, PrintsWhatTheStartModulePrints) {
  // Before the list's order is made in this process.
  QLocale::setDefault(QLocale(QString::fromLatin1(GetParam())));
  auto registry = platform::MakeLinuxRegistry();
  const std::vector<std::vector<std::string_view>> queries = {
      {"--covers", "a"},
      {"--covers", "Typeloom \u03a9\u03bc\u03ad\u03b3\u03b1 \u03c9\u03c1\u03b1\u03af\u03b1"},
      {"--covers", "\u0416"},
      {"--covers", "\u65e5\u672c"},
      {"--covers", "\u2192"},
      {"--covers", "\uf000"},
      {"--covers", "\u20ac"},
      {"--lang", "el"},
      {"--lang", "ar"},
      {"--lang", "zh-tw"},
      {"--lang", "sr-latn"},
      {"--covers", "\u00e9", "--lang", "fr"},
      {"--lang", "en", "--covers", "\u0628"},
  };
  const std::string lang = std::string(GetParam()) + ".UTF-8";
  const auto env = [&](const char* name) -> const char* {
    return std::string_view(name) == "LANG" ? lang.c_str() : nullptr;
  };
  // The same with a cache folder: the first query saves the faces, every later one
  // is answered from them.
  QTemporaryDir cache;
  const std::string cacheFolder = cache.path().toStdString();
  const auto cached = [&](const char* name) -> const char* {
    return std::string_view(name) == "XDG_CACHE_HOME" ? cacheFolder.c_str() : env(name);
  };
  bool saved = false;
  int answered = 0;
  for (const auto& query : queries) {
    std::string label;
    for (const std::string_view part : query) label += std::string(part) + " ";
    const std::optional<QuickAnswer> quick = AnswerCoverageList(query, env);
    if (!quick) continue;  // names beyond ASCII: the start module answers alone
    ++answered;
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_NE(out, nullptr);
    ASSERT_NE(err, nullptr);
    EXPECT_EQ(ListCoveringFonts(query, platform::LinuxInstalledFonts(), *registry, out, err), 0) << label;
    std::string printed(static_cast<std::size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    EXPECT_EQ(std::fread(printed.data(), 1, printed.size(), out), printed.size());
    std::fclose(out);
    std::fclose(err);
    EXPECT_EQ(quick->text, printed) << label;
    std::optional<QuickAnswer> fromSaved = AnswerCoverageList(query, cached, environ);
    ASSERT_TRUE(fromSaved.has_value()) << label;
    EXPECT_EQ(fromSaved->text, printed) << label;
    EXPECT_EQ(static_cast<bool>(fromSaved->afterwards), !saved) << label << ": answered from the saved faces";
    if (fromSaved->afterwards) fromSaved->afterwards();
    saved = true;
  }
  std::printf("%d of %zu queries answered without Qt\n", answered, queries.size());
}

INSTANTIATE_TEST_SUITE_P(Locales, QuickListFilterIT, ::testing::Values("C", "en_US"));

}  // namespace
}  // namespace typeloom::app
