// Every installed .ttf/.otf: FamilyName, VersionString and Copyright equal what
// fontTools reads from the same file's Windows-platform records. Runs under an
// en_US locale (set by the test's environment), so the US-English record wins
// where there is one and the last Windows record otherwise.
#include "fontfile/CFontPreview.h"
#include "platform/fonts/SystemLocale.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace typeloom::testing {
namespace {

TEST(InstalledFontsTest, NamesMatchFontTools) {
  ASSERT_EQ(std::system("/usr/bin/python3 -c 'import fontTools' >/dev/null 2>&1"), 0)
      << "fontTools for /usr/bin/python3 is missing: run scripts/install-deps";
  ASSERT_EQ(platform::LcidFromLocale(QLocale::system()), 0x0409u) << "the test must run under an en_US locale";

  const std::string out = (std::filesystem::temp_directory_path() / ("typeloom-names-" + std::to_string(::getpid()) + ".json")).string();
  const std::string cmd = "/usr/bin/python3 '" TYPELOOM_TEST_SOURCE_DIR "/tests/fontfile/dump_windows_names.py' '" + out + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  QFile file(QString::fromStdString(out));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QJsonArray fonts = QJsonDocument::fromJson(file.readAll()).array();
  file.close();
  std::filesystem::remove(out);
  ASSERT_FALSE(fonts.isEmpty()) << "fontconfig lists no .ttf/.otf files";

  struct Property {
    int nameId;
    const char* name;
    std::string (CFontPreview::*read)() const;
  };
  const Property properties[] = {{1, "FamilyName", &CFontPreview::FamilyName},
                                 {5, "VersionString", &CFontPreview::VersionString},
                                 {0, "Copyright", &CFontPreview::Copyright}};
  int compared = 0, withoutRecord = 0;
  std::ostringstream mismatches;
  for (const QJsonValue& value : fonts) {
    const QJsonObject font = value.toObject();
    const std::string path = font["file"].toString().toStdString();
    if (font.contains("error")) {
      mismatches << path << ": fontTools cannot read it: " << font["error"].toString().toStdString() << "\n";
      continue;
    }
    CFontPreview preview;
    preview.SetFontFile(path);
    for (const Property& p : properties) {
      // The first US-English record, else the last Windows record, as the lookup picks.
      std::string expected;
      bool any = false;
      for (const QJsonValue& r : font["records"].toArray()) {
        const QJsonObject rec = r.toObject();
        if (rec["nameId"].toInt() != p.nameId) continue;
        expected = rec["text"].toString().toStdString();
        any = true;
        if (rec["languageId"].toInt() == 0x0409) break;
      }
      if (!any) {
        ++withoutRecord;
        continue;
      }
      ++compared;
      const std::string actual = (preview.*p.read)();
      if (actual != expected) {
        mismatches << path << " " << p.name << ": read \"" << actual << "\", fontTools \"" << expected << "\"\n";
      }
    }
  }
  std::printf("compared %d names of %lld files; %d names have no Windows record\n", compared,
              static_cast<long long>(fonts.size()), withoutRecord);
  EXPECT_GT(compared, 0);
  EXPECT_EQ(mismatches.str(), "");
}

}  // namespace
}  // namespace typeloom::testing
