// CFontPreview over the real Linux services: Qt's font database through fontconfig.
#include "fontfile/CFontPreview.h"
#include "platform/fonts/FaceResolver.h"
#include "platform/fonts/FontFaces.h"
#include "platform/fonts/FontSession.h"
#include "platform/graphics/GraphicsFacts.h"

#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <filesystem>

namespace typeloom::testing {
namespace {

namespace fs = std::filesystem;

bool HaveFontTools() { return std::system("/usr/bin/python3 -c 'import fontTools' >/dev/null 2>&1") == 0; }

// Builds a loadable font of the given family into the temporary folder.
std::string BuildFont(const std::string& family, const std::string& style, const std::string& variant = "") {
  const fs::path out = fs::temp_directory_path() /
                       ("typeloom-" + std::to_string(::getpid()) + "-" + family.substr(family.rfind(' ') + 1) + "-" + style + ".ttf");
  const std::string script = std::string(TYPELOOM_TEST_SOURCE_DIR) + "/tests/fontfile/make_test_font.py";
  const std::string cmd = "/usr/bin/python3 '" + script + "' '" + out.string() + "' '" + family + "' '" + style + "' '" + variant + "'";
  return std::system(cmd.c_str()) == 0 ? out.string() : std::string();
}

TEST(LinuxFontServicesTest, UninstalledFontIsAddedForTheObjectsLifetime) {
  ASSERT_TRUE(HaveFontTools()) << "fontTools for /usr/bin/python3 is missing: run scripts/install-deps";
  const std::string family = "Typeloom Probe Zqx";
  const std::string path = BuildFont(family, "Bold");
  ASSERT_FALSE(path.empty());
  const FontPreviewServices services = LinuxFontPreviewServices();
  auto* session = dynamic_cast<platform::QtFontSession*>(services.session);
  ASSERT_NE(session, nullptr);
  const int broadcastsBefore = session->BroadcastCount();
  ASSERT_NE(services.faces->ResolveFace(family), family);
  {
    CFontPreview preview(services);
    preview.SetBroadcast(true);
    preview.SetFontFile(path);
    EXPECT_TRUE(preview.ValidTrueTypeFile());
    EXPECT_FALSE(preview.Installed());
    EXPECT_EQ(preview.FaceName(), family + " Bold");  // its full name
    EXPECT_EQ(preview.VersionString(), "Version 1.234");
    EXPECT_TRUE(preview.Bold());
    EXPECT_EQ(services.faces->ResolveFace(family), family);
    EXPECT_EQ(session->Outstanding(path), 1);
    EXPECT_EQ(session->BroadcastCount(), broadcastsBefore + 1);
  }
  EXPECT_EQ(session->Outstanding(path), 0);
  EXPECT_EQ(session->BroadcastCount(), broadcastsBefore + 2);
  EXPECT_NE(services.faces->ResolveFace(family), family);
  fs::remove(path);
}

// A file added for the session is named by its own face, which is the face that
// name draws; whether it is installed is the file's standing, not its names'.
TEST(LinuxFontServicesTest, FileIsJudgedByItselfAndNamedByItsOwnFace) {
  ASSERT_TRUE(HaveFontTools()) << "fontTools for /usr/bin/python3 is missing: run scripts/install-deps";
  const std::string installed = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  ASSERT_TRUE(fs::exists(installed)) << installed << " is not installed (fonts-dejavu-core): run scripts/install-deps";
  const std::string regular = BuildFont("Typeloom Probe Pair", "Regular");
  const std::string bold = BuildFont("Typeloom Probe Pair", "Bold");
  ASSERT_FALSE(regular.empty() || bold.empty());
  const fs::path folder = fs::temp_directory_path() / ("typeloom-judged-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  fs::copy_file(installed, folder / "DejaVuSans.ttf", fs::copy_options::overwrite_existing);
  fs::create_symlink(installed, folder / "linked.ttf");

  const struct {
    const char* what;
    std::string earlier;  // a file another object holds added meanwhile
    std::string file;
    bool installed;
    std::string face;
    std::string drawnFrom;  // the file the face name draws from; empty: not checked
  } rows[] = {
      {"bold after the regular of its family", regular, bold, false, "Typeloom Probe Pair Bold", bold},
      {"regular after the bold of its family", bold, regular, false, "Typeloom Probe Pair Regular", regular},
      {"copy of an installed font", "", (folder / "DejaVuSans.ttf").string(), false, "DejaVu Sans", ""},
      {"link to an installed font", "", (folder / "linked.ttf").string(), true, "DejaVu Sans", installed},
      {"installed font", "", installed, true, "DejaVu Sans", installed},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    CFontPreview earlier;
    if (!row.earlier.empty()) earlier.SetFontFile(row.earlier);
    CFontPreview preview;
    preview.SetFontFile(row.file);
    EXPECT_EQ(preview.Installed(), row.installed);
    EXPECT_EQ(preview.FaceName(), row.face);
    if (!row.drawnFrom.empty()) {
      EXPECT_EQ(platform::LocateFace(QString::fromStdString(preview.FaceName())).file, row.drawnFrom);
    }
  }
  fs::remove_all(folder);
  fs::remove(regular);
  fs::remove(bold);
}

TEST(LinuxFontServicesTest, InstalledFontIsKnownUnderItsFamily) {
  const std::string path = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  ASSERT_TRUE(fs::exists(path)) << path << " is not installed (fonts-dejavu-core): run scripts/install-deps";
  CFontPreview preview;
  preview.SetFontFile(path);
  EXPECT_TRUE(preview.ValidTrueTypeFile());
  EXPECT_TRUE(preview.Installed());
  EXPECT_EQ(preview.FaceName(), "DejaVu Sans");
  EXPECT_EQ(preview.FamilyName(), "DejaVu Sans");
}

// A family installed by two foundries reads back with a "[Foundry]" suffix.
TEST(LinuxFontServicesTest, FamilySharedByTwoFoundriesStillMatches) {
  const std::string path = "/usr/share/fonts/opentype/urw-base35/C059-Roman.otf";
  ASSERT_TRUE(fs::exists(path)) << path << " is not installed (fonts-urw-base35): run scripts/install-deps";
  CFontPreview preview;
  preview.SetFontFile(path);
  EXPECT_TRUE(preview.Installed());
  EXPECT_EQ(preview.FaceName(), "C059");
}

// A face's facts are kept only while its file stays the same: a file rewritten in
// place (a package upgrade while the program runs) is read again.
TEST(LinuxFontServicesTest, GraphicsFactsFollowAFileRewrittenInPlace) {
  ASSERT_TRUE(HaveFontTools()) << "fontTools for /usr/bin/python3 is missing: run scripts/install-deps";
  const std::string family = "Typeloom Facts Zqv";
  const std::string path = BuildFont(family, "Regular");
  ASSERT_FALSE(path.empty());
  ASSERT_TRUE(FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(path.c_str())));
  platform::HarfBuzzGraphicsFacts facts;
  const auto before = facts.FactsOf(QString::fromStdString(family));
  ASSERT_TRUE(before.has_value());
  EXPECT_EQ(before->pitchAndFamily & 0x01, 0x01);  // variable pitch
  EXPECT_EQ(facts.FactsOf(QString::fromStdString(family))->pitchAndFamily, before->pitchAndFamily);
  ASSERT_EQ(BuildFont(family, "Regular", "mono"), path);  // the same file, now fixed pitch
  const auto after = facts.FactsOf(QString::fromStdString(family));
  ASSERT_TRUE(after.has_value());
  EXPECT_EQ(after->pitchAndFamily & 0x01, 0);
  fs::remove(path);
}

// Registering an installed file again would only duplicate its faces, and removing
// it would rebuild Qt's font database: the session counts it without touching either.
TEST(LinuxFontServicesTest, InstalledFileIsCountedWithoutRegisteringItAgain) {
  const std::string path = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  ASSERT_TRUE(fs::exists(path)) << path << " is not installed (fonts-dejavu-core): run scripts/install-deps";
  const FontPreviewServices services = LinuxFontPreviewServices();
  auto* session = dynamic_cast<platform::QtFontSession*>(services.session);
  const auto applicationFonts = [] {
    FcFontSet* set = FcConfigGetFonts(nullptr, FcSetApplication);
    return set != nullptr ? set->nfont : 0;
  };
  const int before = applicationFonts();
  EXPECT_EQ(session->AddFont(path), 1);
  EXPECT_EQ(session->Outstanding(path), 1);
  EXPECT_EQ(applicationFonts(), before);
  EXPECT_TRUE(session->RemoveFont(path));
  EXPECT_EQ(session->Outstanding(path), 0);
  EXPECT_FALSE(session->RemoveFont(path));
}

TEST(LinuxFontServicesTest, BitmapLikeFileIsNotLeftAdded) {
  const fs::path path = fs::temp_directory_path() / ("typeloom-" + std::to_string(::getpid()) + ".fon");
  { std::FILE* f = std::fopen(path.c_str(), "wb"); std::fputs("MZ not really a font", f); std::fclose(f); }
  const FontPreviewServices services = LinuxFontPreviewServices();
  auto* session = dynamic_cast<platform::QtFontSession*>(services.session);
  {
    CFontPreview preview(services);
    preview.SetFontFile(path.string());
    EXPECT_FALSE(preview.Installed());
    EXPECT_EQ(preview.FaceName(), "");
  }
  EXPECT_EQ(session->Outstanding(path.string()), 0);
  fs::remove(path);
}

}  // namespace
}  // namespace typeloom::testing
