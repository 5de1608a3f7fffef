#include "app/CommandLineFont.h"
#include "app/Viewer.h"
#include "platform/ui/ListWithEdit.h"
#include "platform/ui/WindowServices.h"
#include "support/CurrentFolder.h"
#include "support/FakeAppServices.h"
#include "support/TestLabel.h"

#include "controls/ButtonWidget.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace typeloom::app {
namespace {

class RecordingSplash final : public SplashScreen {
 public:
  void Show() override { events << "show"; }
  void Close() override { events << "close"; }
  QStringList events;
};

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.settings.SaveSetting(kAppTitle, kSettingsSection, "ShowSplash", "0");
    fake.AddFont("Arial (TrueType)", "arial.ttf");
    fake.AddFont("Arial Bold (TrueType)", "arialbd.ttf");
    fake.AddFont("Arial Bold Italic (TrueType)", "arialbi.ttf");
    fake.AddFont("Courier 10,12,15", "coure.fon");
    fake.AddFont("Verdana (TrueType)", "verdana.ttf");
    fake.AddFont("X Sans (TrueType)", "x.ttf");
    fake.AddFont("Px Sans (TrueType)", "px.ttf");
  }
  Viewer& Load(const QString& commandLine, SplashScreen* splash = nullptr) {
    module.commandLine = commandLine;
    viewer = std::make_unique<Viewer>(module, fake.services, splash);
    viewer->Form_Load();
    return *viewer;
  }
  int IndexOf(const QString& name) const { return static_cast<int>(module.fontNames.indexOf(name)); }

  test::FakeAppServices fake;
  FontModule module;
  std::unique_ptr<Viewer> viewer;
};

struct CommandLineCase {
  const char* commandLine;
  const char* selected;
  bool bold;
  bool italic;
  bool printPending;
  bool message;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << test::Label(c.commandLine); }

class ProcessCommandLineTest : public ViewerTest, public ::testing::WithParamInterface<CommandLineCase> {};

TEST_P(ProcessCommandLineTest, SelectsAndFlags) {
  const CommandLineCase& c = GetParam();
  Viewer& v = Load(QString::fromUtf8(c.commandLine).toLower());
  QCoreApplication::processEvents();  // the message box is shown from the event loop
  EXPECT_EQ(v.fontList->Text(), QString::fromUtf8(c.selected));
  EXPECT_EQ(v.effect[0]->isChecked(), c.bold);
  EXPECT_EQ(v.effect[1]->isChecked(), c.italic);
  EXPECT_EQ(v.printPending, c.printPending);
  EXPECT_EQ(fake.messages.shown.size(), c.message ? 1 : 0);
  if (c.message) {
    EXPECT_EQ(fake.messages.shown.front(), "The font selected is not registered");
    EXPECT_EQ(fake.messages.titles.front(), "Typeloom");
    EXPECT_EQ(fake.messages.styles.front(), platform::mb::kOkOnly);
  }
  EXPECT_FALSE(v.loading);
  EXPECT_TRUE(v.fontList->isVisibleTo(&v));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ProcessCommandLineTest,
    ::testing::Values(CommandLineCase{"", "Arial", false, false, false, false},
                      CommandLineCase{"C:\\Windows\\Fonts\\VERDANA.TTF", "Verdana", false, false, false, false},
                      CommandLineCase{"/usr/share/fonts/truetype/arialbi.ttf", "Arial", true, true, false, false},
                      CommandLineCase{"/p /usr/share/fonts/arialbd.ttf", "Arial", true, false, true, false},
                      CommandLineCase{"/p c:\\fonts\\coure.fon", "Courier", false, false, true, false},
                      CommandLineCase{"arial.ttf", "Arial", false, false, false, false},
                      // "/p" prints only as a first argument of its own; every other line is a path.
                      CommandLineCase{"/pub/x.ttf", "X Sans", false, false, false, false},
                      CommandLineCase{"/p /pub/x.ttf", "X Sans", false, false, true, false},
                      CommandLineCase{"/P x.ttf", "X Sans", false, false, true, false},
                      CommandLineCase{"/px.ttf", "Px Sans", false, false, false, false},
                      CommandLineCase{"/projects/fonts/verdana.ttf", "Verdana", false, false, false, false},
                      CommandLineCase{"/p", "Arial", false, false, false, true},
                      // Quotes stay part of the file name.
                      CommandLineCase{"\"/fonts/verdana.ttf\"", "Arial", false, false, false, true},
                      // An unknown file drops the print request rather than print another font.
                      CommandLineCase{"/p /tmp/unknown.ttf", "Arial", false, false, false, true},
                      CommandLineCase{"/home/me/My Fonts/unknown.ttf", "Arial", false, false, false, true}));

TEST_F(ViewerTest, FileInCatalogueButNameMissingFromListSelectsFirstWithoutMessage) {
  Load("");
  viewer->fontList->SetListIndex(2);  // away from the first font
  ASSERT_EQ(viewer->fontList->ListIndex(), 2);
  module.catalogue.Add("gone", "gone.ttf", true, true, "");
  module.commandLine = "/usr/share/fonts/gone.ttf";
  viewer->ProcessCommandLine();
  EXPECT_EQ(viewer->fontList->ListIndex(), 0);
  EXPECT_TRUE(fake.messages.shown.isEmpty());
}

TEST_F(ViewerTest, EffectsOtherThanBoldAndItalicAreLeftAlone) {
  Viewer& v = Load("");
  v.effect[2]->setChecked(true);
  v.effect[3]->setChecked(true);
  module.commandLine = "arialbi.ttf";
  v.ProcessCommandLine();
  EXPECT_TRUE(v.effect[0]->isChecked());
  EXPECT_TRUE(v.effect[2]->isChecked());
  EXPECT_TRUE(v.effect[3]->isChecked());
}

TEST_F(ViewerTest, HandOverKeyReadsCommandLineThroughKeyPreview) {
  Viewer& v = Load("");
  v.show();
  v.displayText->setFocus();
  fake.settings.SaveSetting(kAppTitle, kSettingsSection, "CommandLine", "/p /fonts/verdana.ttf");
  v.showMinimized();
  platform::KeyPreview::SendKey(&v, kHandOverKey);
  EXPECT_EQ(v.fontList->ListIndex(), IndexOf("Verdana"));
  EXPECT_TRUE(v.printPending);
  EXPECT_FALSE(v.isMinimized());
}

TEST_F(ViewerTest, HandOverWithoutCommandLineSelectsFirstFont) {
  Viewer& v = Load("verdana.ttf");
  fake.settings = test::FakeSettingsStore();
  int key = kHandOverKey;
  v.Form_KeyDown(key, 0);
  EXPECT_EQ(v.fontList->ListIndex(), 0);
}

TEST_F(ViewerTest, SplashIsShownAndHeldOnlyWhenSettingIsOne) {
  for (const char* value : {"1", "0", "2", "yes", ""}) {
    fake.settings.SaveSetting(kAppTitle, kSettingsSection, "ShowSplash", value);
    fake.clock.pumps = 0;
    RecordingSplash splash;
    Viewer& v = Load("", &splash);
    v.Form_Activate();
    v.Form_Activate();
    if (QString(value) == "1") {
      EXPECT_EQ(splash.events, (QStringList{"show", "close", "show", "close"})) << value;
      // 1 s + 1 s at load and 3 s at the first activation, at 0.25 s a pump.
      EXPECT_GE(fake.clock.pumps, 20) << value;
    } else {
      EXPECT_TRUE(splash.events.isEmpty()) << value;
      EXPECT_EQ(fake.clock.pumps, 0) << value;
    }
    viewer.reset();
  }
}

TEST(Pause, WaitsWholeSecondsPumpingEvents) {
  test::FakeClock clock;
  clock.step = 0.5;
  Pause(clock, clock, 3);
  EXPECT_GE(clock.now, 1003.0);
  EXPECT_LE(clock.now, 1003.5);
  const int pumps = clock.pumps;
  Pause(clock, clock, 0);
  Pause(clock, clock, -2);
  EXPECT_EQ(clock.pumps, pumps);
}

TEST(ShellCommands, UseTheProgramsOwnPathQuotedWhenItHoldsABlank) {
  FontModule module;
  module.PrepareShellCommands("/usr/bin/typeloom");
  EXPECT_EQ(module.fontExtensions, (QStringList{"fon", "otf", "pfm", "ttc", "ttf"}));
  EXPECT_EQ(module.openCommand, "/usr/bin/typeloom %1");
  EXPECT_EQ(module.printCommand, "/usr/bin/typeloom /p %1");
  module.PrepareShellCommands("/opt/My Apps/typeloom");
  EXPECT_EQ(module.openCommand, "\"/opt/My Apps/typeloom\" %1");
  module.PrepareShellCommands("");
  EXPECT_EQ(module.openCommand, " %1");
  EXPECT_EQ(module.printCommand, " /p %1");
  EXPECT_EQ(CommandLineText({"/P", "/Home/Me/Fonts/Arial.TTF"}), "/P /Home/Me/Fonts/Arial.TTF");
}

// A later start passes a font file named relative to its own folder by its absolute
// path; names of no file, and absolute ones, pass as given.
TEST(CommandLineTextTest, RelativeFilesBecomeAbsolute) {
  const test::CurrentFolderWithFile folder("My Font.TTF");
  ASSERT_TRUE(folder.ok());
  const QString absolute = folder.AbsolutePath("My Font.TTF");
  const struct {
    QStringList arguments;
    QString text;
  } cases[] = {
      {{"My Font.TTF"}, absolute},
      {{"/p", "My Font.TTF"}, "/p " + absolute},
      {{"./My Font.TTF"}, absolute},
      {{"missing.ttf"}, "missing.ttf"},
      {{absolute}, absolute},
      {{""}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CommandLineText(c.arguments), c.text) << c.arguments.join('|').toStdString();
}

TEST(CommandLineTextTest, FileEntryNamesTheFaceAndTheFile) {
  EXPECT_EQ(FileEntryName("Test Sans Bold", "/home/me/Down Loads/My Sans.TTF"), "Test Sans Bold (My Sans.TTF)");
  EXPECT_EQ(FileEntryName("C059", "c059.otf"), "C059 (c059.otf)");
}

TEST_F(ViewerTest, LayoutMatchesDesignInTwips) {
  Viewer& v = Load("");
  EXPECT_EQ(v.windowTitle(), " Typeloom");
  // The first size choice has set the outer height to caption height + 5985 twips.
  EXPECT_EQ(v.size(), QSize(platform::TwipsToPixelsX(6255),
                            platform::TwipsToPixelsY(5985 - CaptionHeight(v) - BorderWidth(v))));
  EXPECT_EQ(v.fontList->geometry(), platform::TwipsRect(960, 240, 2535, 1740));
  EXPECT_EQ(v.exitButton->geometry(), platform::TwipsRect(5160, 1590, 855, 375));
  EXPECT_EQ(v.effect[3]->geometry(), platform::TwipsRect(180, 1065, 975, 255));
  EXPECT_EQ(v.HelpButton->geometry(), platform::TwipsRect(15, 5670, 255, 255));
  EXPECT_EQ(v.HelpButton->button().Caption(), "?");
  EXPECT_EQ(v.HelpButton->button().BackColor(), 0xFF00FFu);
  EXPECT_EQ(v.printButton->text(), "&Print");
  EXPECT_EQ(v.printButton->toolTip(), " Print a sample page for the currently selected font ");
  EXPECT_EQ(v.fontList->toolTip(), " Select a font for display from the list ");
  EXPECT_FALSE(v.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  // Tab order from the font list on.
  const std::vector<QWidget*> order{v.fontList->Edit(), v.sizeList->Edit(), v.effect[0], v.effect[1], v.effect[2],
                                    v.effect[3],        v.displayText,      v.summaryButton};
  for (std::size_t i = 1; i < order.size(); ++i) {
    QWidget* next = order[i - 1]->nextInFocusChain();
    while (next != nullptr && next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
    EXPECT_EQ(next, order[i]) << i;
  }
}

}  // namespace
}  // namespace typeloom::app
