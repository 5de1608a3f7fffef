// A font file's own texts reach the main window as plain text: markup in a
// copyright notice is shown as its characters, never rendered (an image source
// of /dev/zero or of a FIFO would exhaust memory or block the program).
#include "app/Viewer.h"
#include "fontfile/SfntBuilder.h"
#include "platform/ui/ListWithEdit.h"
#include "support/FakeAppServices.h"
#include "support/TestLabel.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace typeloom::app {
namespace {

using namespace typeloom::testing;

std::u16string Utf16(const QString& text) { return text.toStdU16String(); }

struct HostileNotice {
  const char* name;
  QString notice;  // %1: the test's private folder
};

void PrintTo(const HostileNotice& c, std::ostream* os) { *os << c.name; }

class HostileCopyrightTest : public ::testing::TestWithParam<HostileNotice> {};

TEST_P(HostileCopyrightTest, LabelShowsTheNoticeLiterally) {
  // A folder name without a period: the label shows the notice up to its first one.
  QTemporaryDir temp(QDir::tempPath() + QStringLiteral("/hostile-XXXXXX"));
  ASSERT_TRUE(temp.isValid());
  const QString fifo = temp.filePath(QStringLiteral("fifo"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString notice = QString(GetParam().notice).arg(temp.path());
  const Bytes font = Sfnt({{"head", HeadTable()},
                           {"name", NameTable({Win(0, Utf16(notice)), Win(1, u"Hostile"), Win(2, u"Regular"),
                                               Win(4, u"Hostile"), Win(5, u"Version 1.0")})},
                           {"OS/2", Os2Table(0x40)}});
  QFile file(temp.filePath(QStringLiteral("hostile.ttf")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(reinterpret_cast<const char*>(font.data()), static_cast<qint64>(font.size())),
            static_cast<qint64>(font.size()));
  file.close();

  test::FakeAppServices fake;
  fake.settings.SaveSetting(kAppTitle, kSettingsSection, "ShowSplash", "0");
  fake.AddFont("Hostile (TrueType)", "hostile.ttf");
  fake.fontFolder.paths["hostile.ttf"] = file.fileName().toStdString();
  FontModule module;
  Viewer viewer(module, fake.services);
  viewer.Form_Load();
  ASSERT_EQ(viewer.fontList->Text(), "Hostile");

  ASSERT_EQ(viewer.Copyright->textFormat(), Qt::PlainText);
  EXPECT_EQ(viewer.Copyright->text(), notice);
  // Laid out and painted: nothing named by the notice is opened or loaded.
  EXPECT_FALSE(viewer.Copyright->grab().isNull());
  EXPECT_FALSE(viewer.grab().isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Notices, HostileCopyrightTest,
    ::testing::Values(HostileNotice{"endless-image", QStringLiteral("<img src=/dev/zero>")},
                      HostileNotice{"fifo-image", QStringLiteral("<img src=\"%1/fifo\">")},
                      HostileNotice{"link", QStringLiteral("<a href=\"file://%1/fifo\">Copyright</a> <b>Maker</b>")}),
    [](const auto& info) { return test::Label(info.param.name); });

}  // namespace
}  // namespace typeloom::app
