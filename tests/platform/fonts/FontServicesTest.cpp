#include "platform/fonts/FileProbe.h"
#include "platform/fonts/SystemLocale.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace typeloom::platform {
namespace {

TEST(LcidFromLocaleTest, CommonNameTableLanguages) {
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"en_US", 0x0409}, {"en_GB", 0x0809}, {"C", 0x0409},     {"de_DE", 0x0407}, {"de_AT", 0x0C07},
      {"de_CH", 0x0807}, {"fr_FR", 0x040C}, {"fr_CA", 0x0C0C}, {"es_ES", 0x0C0A}, {"es_MX", 0x080A},
      {"it_IT", 0x0410}, {"pt_BR", 0x0416}, {"pt_PT", 0x0816}, {"nl_NL", 0x0413}, {"sv_SE", 0x041D},
      {"nb_NO", 0x0414}, {"da_DK", 0x0406}, {"fi_FI", 0x040B}, {"pl_PL", 0x0415}, {"cs_CZ", 0x0405},
      {"sk_SK", 0x041B}, {"hu_HU", 0x040E}, {"ro_RO", 0x0418}, {"hr_HR", 0x041A}, {"sl_SI", 0x0424},
      {"ru_RU", 0x0419}, {"uk_UA", 0x0422}, {"bg_BG", 0x0402}, {"el_GR", 0x0408}, {"tr_TR", 0x041F},
      {"ar_SA", 0x0401}, {"ar_EG", 0x0C01}, {"he_IL", 0x040D}, {"zh_CN", 0x0804}, {"zh_TW", 0x0404},
      {"zh_HK", 0x0C04}, {"ja_JP", 0x0411}, {"ko_KR", 0x0412}, {"th_TH", 0x041E}, {"vi_VN", 0x042A},
      {"hi_IN", 0x0439}, {"bn_IN", 0x0445}, {"ta_IN", 0x0449}, {"sr_RS", 0x281A}, {"sr_Latn_RS", 0x241A},
  };
  for (const auto& [name, lcid] : cases) EXPECT_EQ(LcidFromLocale(QLocale(name)), lcid) << name;
}

TEST(PosixFileProbeTest, OnlyRegularFilesExist) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("typeloom-probe-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "font.ttf") << "x";
  fs::create_symlink(dir / "font.ttf", dir / "link.ttf");
  fs::create_symlink(dir / "gone.ttf", dir / "dangling.ttf");
  ::mkfifo((dir / "pipe.ttf").c_str(), 0600);
  PosixFileProbe probe;
  EXPECT_TRUE(probe.FileExists((dir / "font.ttf").string()));
  EXPECT_TRUE(probe.FileExists((dir / "link.ttf").string()));
  EXPECT_FALSE(probe.FileExists((dir / "dangling.ttf").string()));
  EXPECT_FALSE(probe.FileExists((dir / "missing.ttf").string()));
  EXPECT_FALSE(probe.FileExists((dir / "pipe.ttf").string()));
  EXPECT_FALSE(probe.FileExists(dir.string()));
  EXPECT_FALSE(probe.FileExists(""));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace typeloom::platform
