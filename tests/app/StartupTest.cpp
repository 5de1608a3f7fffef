// Starts the real program against a sandbox: its own HOME and XDG folders and a
// fontconfig configuration over a folder of test fonts.
#include "app/FontCatalogue.h"
#include "app/FontModule.h"
#include "app/Main.h"
#include "app/WindowMain.h"
#include "platform/fonts/InstalledFonts.h"
#include "platform/instance/LocalSingleInstance.h"
#include "platform/registry/CompositeRegistry.h"
#include "platform/registry/FontsKeyRegistry.h"
#include "support/FakeRegistry.h"
#include "support/FontFixtures.h"
#include "support/ProgramSandbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 60000;

// The program's sandbox over three DejaVu fonts, offscreen, without the splash
// unless a test asks for it.
class Sandbox : public typeloom::testsupport::ProgramSandbox {
 public:
  // `fixtures`: fontconfig sees the test fonts of support/FontFixtures.h instead.
  explicit Sandbox(bool fixtures = false)
      : ProgramSandbox("/usr/share/fonts/truetype/dejavu", {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif.ttf"}) {
    if (fixtures) {
      fixtureFolder_ = QString::fromStdString(typeloom::testsupport::FontFixtures::FontFolder());
      UseFontFolder(fixtureFolder_);
    }
    SetShowSplash("0");
    Env().insert("QT_QPA_PLATFORM", "offscreen");
    Env().remove("DISPLAY");
    Env().remove("WAYLAND_DISPLAY");
  }

  void SetShowSplash(const char* value) {
    QDir(ConfigFolder()).mkpath("Typeloom");
    QFile ini(ConfigFolder() + "/Typeloom/Typeloom.ini");
    if (ini.open(QIODevice::WriteOnly)) ini.write(QByteArray("[Settings]\nShowSplash=") + value + "\n");
  }
  QString FixtureFolder() const { return fixtureFolder_; }
  // Waits until the trace holds `line` `count` times.
  bool WaitForTrace(const QString& line, int count = 1) const {
    for (int waited = 0; waited < kWaitMs; waited += 50) {
      if (Trace().count(line) >= count) return true;
      QTest::qWait(50);
    }
    return false;
  }

 private:
  QString fixtureFolder_;
};

// --version, --help and --list answer on standard output and start no window.
TEST(Startup, CommandLineQueriesAnswerWithoutAWindow) {
  Sandbox box;
  ASSERT_TRUE(box.Ready()) << "the DejaVu fonts are missing: run scripts/install-deps";
  const struct {
    const char* option;
    const char* output;
    bool whole;  // the whole output, else its beginning
  } cases[] = {
      {"--version", "Typeloom 1.4\n", true},
      {"--help", "Usage: typeloom", false},
      {"--list", "DejaVu Sans\nDejaVu Serif\n", true},  // the cleaned names, sorted
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    const auto r = box.Run({c.option});
    EXPECT_TRUE(c.whole ? r.out == c.output : r.out.startsWith(c.output)) << r.out.toStdString();
    EXPECT_EQ(r.code, 0);
  }
  EXPECT_TRUE(box.Trace().isEmpty());
}

// The executable alone, without its modules: --version and --help still answer;
// anything else says in one line that the start module is missing and fails.
TEST(Startup, ExecutableAloneAnswersVersionAndHelpAndReportsAMissingModule) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString alone = folder.path() + "/typeloom";
  ASSERT_TRUE(QFile::copy(QStringLiteral(TYPELOOM_EXE), alone));
  const struct {
    QStringList arguments;
    int code;
    const char* out;     // the beginning of standard output
    const char* errors;  // the beginning of standard error
  } cases[] = {
      {{"--version"}, 0, "Typeloom 1.4\n", ""},
      {{"--help"}, 0, "Usage: typeloom", ""},
      {{"--list"}, 1, "", "typeloom: cannot load the start module "},
      {{"--version", "x"}, 1, "", "typeloom: cannot load the start module "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    QProcess program;
    program.start(alone, c.arguments);
    ASSERT_TRUE(program.waitForFinished(kWaitMs));
    const std::string out = program.readAllStandardOutput().toStdString();
    const std::string errors = program.readAllStandardError().toStdString();
    EXPECT_EQ(program.exitCode(), c.code);
    EXPECT_EQ(out.rfind(c.out, 0), 0u) << out;
    EXPECT_EQ(errors.rfind(c.errors, 0), 0u) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), *c.errors != 0 ? 1 : 0) << errors;
  }
  // An answer that cannot be written is a failure, not a success.
  for (const char* option : {"--version", "--help"}) {
    SCOPED_TRACE(option);
    QProcess full;
    full.setStandardOutputFile(QStringLiteral("/dev/full"));
    full.start(alone, {option});
    ASSERT_TRUE(full.waitForFinished(kWaitMs));
    EXPECT_EQ(full.exitCode(), 1);
  }
}

TEST(Startup, WithoutADisplayItSaysSoInOneLine) {
  Sandbox box;
  box.Env().remove("QT_QPA_PLATFORM");
  const auto r = box.Run({});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
  EXPECT_TRUE(r.err.startsWith("typeloom: no display")) << r.err.toStdString();
}

TEST(Startup, PrintRequestSelectsTheFontAndRunsThePrintCommandAfterPaint) {
  Sandbox box;
  ASSERT_TRUE(box.Ready());
  auto first = box.Start({"/p", box.FontPath("DejaVuSans-Bold.ttf")});
  EXPECT_TRUE(box.WaitForTrace("print DejaVu Sans")) << box.Trace().join('\n').toStdString();
  EXPECT_EQ(box.Trace().mid(0, 2), (QStringList{"load", "selected DejaVu Sans print=1"}));
  first->kill();
  first->waitForFinished();
}

TEST(Startup, LaterStartsHandOverToTheFirstInstance) {
  Sandbox box;
  ASSERT_TRUE(box.Ready());
  auto first = box.Start({});
  ASSERT_TRUE(box.WaitForTrace("selected DejaVu Sans print=0"));

  EXPECT_EQ(box.Run({box.FontPath("DejaVuSerif.ttf")}).code, 0);
  EXPECT_TRUE(box.WaitForTrace("selected DejaVu Serif print=0"));

  // Twenty simultaneous starts: one window, every hand-over handled. Command lines
  // of equal length: each must be read after its own save, not a neighbour's.
  std::vector<std::unique_ptr<QProcess>> later;
  for (int i = 0; i < 20; ++i) later.push_back(box.Start({QStringLiteral("/nowhere/missing-%1.ttf").arg(i, 2, 10, QChar('0'))}));
  for (auto& process : later) {
    ASSERT_TRUE(process->waitForFinished(kWaitMs));
    EXPECT_EQ(process->exitCode(), 0);
  }
  const QStringList trace = box.Trace();
  EXPECT_EQ(trace.count("load"), 1);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(trace.count(QStringLiteral("not registered: missing-%1.ttf").arg(i, 2, 10, QChar('0'))), 1) << i;
  }
  EXPECT_EQ(first->state(), QProcess::Running);
  first->kill();
  first->waitForFinished();
}

TEST(Startup, KilledFirstInstanceDoesNotBlockTheNextStart) {
  Sandbox box;
  ASSERT_TRUE(box.Ready());
  auto crashed = box.Start({});
  ASSERT_TRUE(box.WaitForTrace("selected DejaVu Sans print=0"));
  crashed->kill();  // SIGKILL: its lock and socket files stay behind
  crashed->waitForFinished();

  auto next = box.Start({});
  ASSERT_TRUE(box.WaitForTrace("selected DejaVu Sans print=0", 2));
  EXPECT_EQ(box.Trace().count("load"), 2);
  EXPECT_EQ(box.Run({box.FontPath("DejaVuSerif.ttf")}).code, 0);
  EXPECT_TRUE(box.WaitForTrace("selected DejaVu Serif print=0"));
  next->kill();
  next->waitForFinished();
}

// The request travels in the hand-over itself: a later start that cannot save its
// command line still gets its own font shown, never the previous request.
TEST(Startup, LaterStartThatCannotSaveSettingsStillGetsItsOwnRequest) {
  Sandbox box;
  ASSERT_TRUE(box.Ready());
  auto first = box.Start({});
  ASSERT_TRUE(box.WaitForTrace("selected DejaVu Sans print=0"));
  ASSERT_EQ(box.Run({box.FontPath("DejaVuSerif.ttf")}).code, 0);
  ASSERT_TRUE(box.WaitForTrace("selected DejaVu Serif print=0"));

  // Its settings folder lies under a plain file: no write can succeed, for root too.
  QFile blocker(box.ConfigFolder() + "/../blocker");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  typeloom::testsupport::ProgramSandbox::Result result;
  {
    const QProcessEnvironment saved = box.Env();
    box.Env().insert("XDG_CONFIG_HOME", QFileInfo(blocker).absoluteFilePath() + "/config");
    result = box.Run({box.FontPath("DejaVuSans-Bold.ttf")});
    box.Env() = saved;
  }
  EXPECT_EQ(result.code, 0) << result.err.toStdString();
  EXPECT_TRUE(box.WaitForTrace("selected DejaVu Sans print=0", 2)) << box.Trace().join('\n').toStdString();
  EXPECT_EQ(box.Trace().count("selected DejaVu Serif print=0"), 1);
  first->kill();
  first->waitForFinished();
}

// A request over the hand-over's bounds is refused as a whole by the later start:
// one line on standard error, a non-zero exit, nothing applied by the first instance.
TEST(Startup, RequestOverTheBoundsIsRefusedWhole) {
  Sandbox box;
  ASSERT_TRUE(box.Ready());
  auto first = box.Start({});
  ASSERT_TRUE(box.WaitForTrace("selected DejaVu Sans print=0"));
  const qsizetype before = box.Trace().size();
  const QString part(100 * 1024, u'x');  // three of them exceed the bound
  const auto refused = box.Run({"/p", part, part, part});
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.err.count(u'\n'), 1) << refused.err.left(200).toStdString();
  EXPECT_TRUE(refused.err.startsWith("typeloom: cannot hand the request to the running instance: "))
      << refused.err.left(200).toStdString();
  // The next request is handled; the refused one changed nothing before it.
  EXPECT_EQ(box.Run({box.FontPath("DejaVuSerif.ttf")}).code, 0);
  EXPECT_TRUE(box.WaitForTrace("selected DejaVu Serif print=0"));
  EXPECT_EQ(box.Trace().mid(before).filter("selected").size(), 1) << box.Trace().join('\n').toStdString();
  EXPECT_TRUE(box.Trace().filter("not registered").isEmpty());
  first->kill();
  first->waitForFinished();
}

// Starts meet only in a private folder: a runtime folder others may enter, or one
// too long for a socket's path, gives way to a private one under TMPDIR; where there
// is none, or a lock file is a planted link, the start says so and runs no window.
TEST(Startup, StartsMeetInAPrivateFolderOrRefuseToRun) {
  const QString own = QStringLiteral("Typeloom-") + QString::number(::getuid());
  enum class Outcome { Runs, Refuses };
  const struct {
    const char* name;
    mode_t runtimeMode;
    bool longRuntime;
    bool badFallback;
    const char* plantedLink;
    Outcome outcome;
  } cases[] = {
      {"runtime folder 0777", 0777, false, false, nullptr, Outcome::Runs},
      {"runtime folder of 150 bytes", 0700, true, false, nullptr, Outcome::Runs},
      {"runtime folder 0777, fallback open to others", 0777, false, true, nullptr, Outcome::Refuses},
      {"planted lock link", 0700, false, false, "Typeloom.lock", Outcome::Refuses},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Sandbox box;
    ASSERT_TRUE(box.Ready());
    QTemporaryDir tmp;
    box.Env().insert("TMPDIR", tmp.path());
    QString runtime = box.RuntimeFolder();
    if (c.longRuntime) {
      while (runtime.size() < 150) runtime += "/" + QString(std::min<qsizetype>(30, 149 - runtime.size()), u'r');
      QDir().mkpath(runtime);
      QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
      ASSERT_EQ(QFile::encodeName(runtime).size(), 150);
    }
    ::chmod(QFile::encodeName(runtime).constData(), c.runtimeMode);
    box.Env().insert("XDG_RUNTIME_DIR", runtime);
    if (c.badFallback) {
      QDir(tmp.path()).mkdir(own);
      ::chmod(QFile::encodeName(tmp.path() + "/" + own).constData(), 0777);
    }
    const QString target = tmp.path() + "/planted-target";
    if (c.plantedLink != nullptr) {
      ASSERT_TRUE(QFile::link(target, runtime + "/" + c.plantedLink));
    }

    auto first = box.Start({});
    if (c.outcome == Outcome::Runs) {
      ASSERT_TRUE(box.WaitForTrace("selected DejaVu Sans print=0")) << box.Trace().join('\n').toStdString();
      const auto later = box.Run({box.FontPath("DejaVuSerif.ttf")});
      EXPECT_EQ(later.code, 0) << later.err.toStdString();
      EXPECT_TRUE(box.WaitForTrace("selected DejaVu Serif print=0"));
      EXPECT_EQ(box.Trace().count("load"), 1);
      EXPECT_TRUE(QDir(runtime).entryList({"Typeloom*"}, QDir::AllEntries | QDir::System).isEmpty());
      EXPECT_TRUE(QFileInfo::exists(tmp.path() + "/" + own + "/Typeloom.lock"));
    } else {
      ASSERT_TRUE(box.WaitForTrace("start refused")) << box.Trace().join('\n').toStdString();
      EXPECT_FALSE(box.Trace().contains("load"));
      EXPECT_FALSE(QFileInfo::exists(target));
    }
    first->kill();
    first->waitForFinished();
    if (c.outcome == Outcome::Refuses) {
      const QString errors = QString::fromUtf8(first->readAllStandardError());
      EXPECT_EQ(errors.count(u'\n'), 1) << errors.toStdString();
      EXPECT_TRUE(errors.startsWith("typeloom: no private folder for the single-instance lock: ")) << errors.toStdString();
    }
  }
}

// Every test font file, through the real program over a fontconfig that sees only
// them: two 60-face collections (sorted first and last) do not end the listing, and
// every file, also the copies of one font and each size of a bitmap family, is
// selected by `typeloom <file>` without a message.
TEST(Startup, EveryInstalledFileIsListedAndSelectable) {
  Sandbox box(true);
  ASSERT_FALSE(box.FixtureFolder().isEmpty()) << "building the test fonts failed";
  const auto list = box.Run({"--list"});
  EXPECT_EQ(list.out, "Test Big 18,\n"
                      "Test Fixed\n"
                      "Test Many First Face Number 01\n"
                      "Test Many Last Face Number 01\n"
                      "Test Pair Regular\n"
                      "Test Plain\n"
                      "Test Sans\n"
                      "Test Serif Regular\n"
                      "Test Var Regular\n");
  EXPECT_EQ(list.code, 0);

  const struct {
    const char* file;
    const char* selected;
  } cases[] = {
      {"AAA-Many.ttc", "Test Many First Face Number 01"},
      {"Bitmap/TestBig-24.bdf", "Test Big 18,"},
      {"Bitmap/TestFixed-16.bdf", "Test Fixed"},
      {"Bitmap/TestFixed-20.bdf", "Test Fixed"},
      {"Bitmap/TestFixedBold-13.bdf", "Test Fixed"},
      {"TestFixed-13.bdf", "Test Fixed"},
      {"TestSans-Bold.ttf", "Test Sans"},
      {"User/TestSans-Bold.ttf", "Test Sans"},
      {"User/TestSansCopy.ttf", "Test Sans"},
      {"zzz-Many.ttc", "Test Many Last Face Number 01"},
  };
  auto first = box.Start({});
  ASSERT_TRUE(box.WaitForTrace("selected Test Big 18, print=0")) << box.Trace().join('\n').toStdString();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const qsizetype before = box.Trace().size();
    EXPECT_EQ(box.Run({box.FixtureFolder() + "/" + c.file}).code, 0);
    const QStringList added = box.Trace().mid(before);
    EXPECT_TRUE(added.contains(QStringLiteral("selected %1 print=0").arg(c.selected))) << added.join('\n').toStdString();
    EXPECT_TRUE(added.filter("not registered").isEmpty()) << added.join('\n').toStdString();
  }
  first->kill();
  first->waitForFinished();
}

// A first instance that answers but has no window to hand the request to: the later
// start says so and fails instead of reporting success.
TEST(Startup, HandOverThatReachesNoWindowIsReportedAndFails) {
  Sandbox box;
  typeloom::platform::LocalSingleInstance windowless(QStringLiteral("Typeloom"), box.RuntimeFolder());
  ASSERT_FALSE(windowless.PreviousInstance());
  int handled = 0;
  typeloom::app::FontModule module;
  windowless.Listen([&](const typeloom::platform::HandOverRequest& request) {
    ++handled;
    return typeloom::app::DeliverHandOver(request, module);  // no window in this process
  });
  auto later = box.Start({"/fonts/any.ttf"});
  QElapsedTimer timer;
  timer.start();
  while (later->state() != QProcess::NotRunning && timer.elapsed() < kWaitMs) QTest::qWait(20);
  EXPECT_EQ(later->exitStatus(), QProcess::NormalExit);
  EXPECT_NE(later->exitCode(), 0);
  const QString errors = QString::fromUtf8(later->readAllStandardError());
  EXPECT_EQ(errors.count(u'\n'), 1) << errors.toStdString();
  EXPECT_TRUE(errors.startsWith("typeloom: ")) << errors.toStdString();
  EXPECT_EQ(handled, 1);
}

// --help and --version load no library beyond the C++ runtime; --list --covers asks
// the quick list module first, which has fontconfig and no Qt; --list and a later
// start's hand-over load no window library: the start module needs none; the window
// module that has them is loaded later, and printing, the About box (network,
// signatures) and the Wayland client only when they are first used.
TEST(Startup, EachPartNeedsOnlyTheLibrariesOfWhatItDoes) {
  const QString folder = QFileInfo(QStringLiteral(TYPELOOM_EXE)).absolutePath();
  const struct {
    const char* file;
    std::vector<const char*> needs, avoids;
  } parts[] = {
      {"typeloom", {"libc.so"}, {"libQt6Core", "libfontconfig", "libxcb", "libQt6Gui", "libharfbuzz"}},
      {"typeloom-list.so", {"libfontconfig"}, {"libQt6Core", "libxcb", "libicu", "libglib"}},
      {"typeloom-start.so", {"libQt6Core", "libfontconfig"},
       {"libQt6Gui", "libQt6Widgets", "libQt6Network", "libQt6PrintSupport", "libharfbuzz", "libcrypto"}},
      {"typeloom-window.so",
       {"libQt6Widgets", "libharfbuzz"},
       {"libQt6PrintSupport", "libcrypto", "libQt6Network", "libwayland-client", "libQt6Svg"}},
      {"typeloom-print.so", {"libQt6PrintSupport"}, {"libQt6Network", "libcrypto", "libwayland-client"}},
      {"typeloom-about.so", {"libQt6Network", "libcrypto"}, {"libQt6PrintSupport", "libwayland-client"}},
      {"typeloom-wayland.so", {"libwayland-client"}, {"libQt6Widgets", "libQt6Network", "libQt6PrintSupport"}},
  };
  for (const auto& part : parts) {
    QProcess readelf;
    readelf.start("readelf", {"-d", folder + u'/' + QString::fromLatin1(part.file)});
    ASSERT_TRUE(readelf.waitForFinished(kWaitMs)) << "readelf (binutils) is missing";
    const QString needed = QString::fromUtf8(readelf.readAllStandardOutput());
    for (const char* library : part.needs) EXPECT_TRUE(needed.contains(library)) << part.file << " " << library;
    for (const char* library : part.avoids) EXPECT_FALSE(needed.contains(library)) << part.file << " " << library;
  }
}

// A window start maps none of the libraries of what it does not do yet: no Qt
// Network (the hand-over server is a plain local socket, the update check a module),
// no Wayland client off Wayland, no image plugin or Qt SVG for the style's images,
// and no user-database module (every user's home folder is read only when a
// machine-wide file binding is).
TEST(Startup, WindowStartMapsNoLibraryItDoesNotUse) {
  Sandbox box;
  ASSERT_TRUE(box.Ready());
  auto first = box.Start({});
  ASSERT_TRUE(box.WaitForTrace("painted")) << box.Trace().join('\n').toStdString();
  QFile maps(QStringLiteral("/proc/%1/maps").arg(first->processId()));
  ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
  const QByteArray mapped = maps.readAll();
  EXPECT_TRUE(mapped.contains("typeloom-window.so"));
  for (const char* library : {"libQt6Network", "libwayland-client", "typeloom-wayland.so", "libQt6Svg", "/imageformats/",
                              "libQt6PrintSupport", "libcrypto", "libnss_"}) {
    EXPECT_FALSE(mapped.contains(library)) << library;
  }
  first->kill();
  first->waitForFinished();
}

// --list reports a font service that cannot be asked, and only that.
TEST(Startup, ListFailsInOneLineOnlyWhenTheFontServiceCannotBeAsked) {
  class Fonts final : public typeloom::platform::InstalledFonts {
   public:
    const std::vector<typeloom::platform::InstalledFontFile>& Files() override { return files; }
    bool Available() override { return available; }
    std::vector<typeloom::platform::InstalledFontFile> files;
    bool available = true;
  };
  const struct {
    const char* name;
    bool available;
    std::vector<typeloom::platform::InstalledFontFile> files;
    int code;
    const char* out;
    int errorLines;
  } cases[] = {
      {"service down", false, {}, 1, "", 1},
      {"no fonts", true, {}, 0, "", 0},
      {"fonts", true, {{"B (TrueType)", "b.ttf", "/b.ttf"}, {"A Bold (TrueType)", "a.ttf", "/a.ttf"}}, 0, "A\nB\n", 0},
      // Names from font files: one line each, control characters escaped.
      {"hostile names", true,
       {{"Evil\nName (TrueType)", "e.ttf", "/e.ttf"}, {"Title\x1b]0;owned\x07 Bold (TrueType)", "t.ttf", "/t.ttf"}},
       0, "Evil\\nName\nTitle\\e]0;owned\\x07\n", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fonts fonts;
    fonts.available = c.available;
    fonts.files = c.files;
    typeloom::testsupport::FakeRegistry hive;
    typeloom::platform::CompositeRegistry registry(hive);
    typeloom::platform::FontsKeyRegistry fontsKey(fonts);
    registry.Mount(typeloom::platform::RootKey::LocalMachine, typeloom::app::kNtFontsKey, fontsKey);
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(out != nullptr && err != nullptr);
    EXPECT_EQ(typeloom::app::ListFonts(fonts, registry, out, err), c.code);
    const auto read = [](std::FILE* f) {
      std::rewind(f);
      std::string text;
      for (int ch; (ch = std::fgetc(f)) != EOF;) text += static_cast<char>(ch);
      std::fclose(f);
      return text;
    };
    EXPECT_EQ(read(out), c.out);
    const std::string errors = read(err);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), c.errorLines) << errors;
  }
}

// The splash comes up at load and again in front of the window at its first
// activation, with the pauses in between; with "ShowSplash" other than 1 there is
// neither splash nor pause.
TEST(Startup, SplashAndPausesOnlyWhenShowSplashIsOne) {
  const QStringList withSplash{"load",  "splash show", "pause 1",     "selected DejaVu Sans print=0", "pause 1",
                               "activated", "splash close", "splash show", "pause 3", "splash close"};
  const QStringList without{"load", "selected DejaVu Sans print=0", "activated"};
  for (const char* value : {"1", "0", "2"}) {
    SCOPED_TRACE(value);
    Sandbox box;
    ASSERT_TRUE(box.Ready());
    box.SetShowSplash(value);
    auto program = box.Start({});
    const QStringList& expected = QByteArray(value) == "1" ? withSplash : without;
    ASSERT_TRUE(box.WaitForTrace(expected.back(), expected.back() == "splash close" ? 2 : 1))
        << box.Trace().join('\n').toStdString();
    QStringList steps;
    for (const QString& line : box.Trace()) {
      if (line == "load" || line == "activated" || line.startsWith("splash ") || line.startsWith("pause ") ||
          line.startsWith("selected ")) {
        steps << line;
      }
    }
    EXPECT_EQ(steps, expected);
    program->kill();
    program->waitForFinished();
  }
}

// Font files nobody installed (copies in a folder of downloads): the first start
// and later starts handing over show each as an entry naming its file, and
// --details reads it; once the program is gone, fontconfig lists none of them.
TEST(Startup, FontFilesThatAreNotInstalledOpenFromTheCommandLineAndTheHandOver) {
  Sandbox box;
  ASSERT_TRUE(box.Ready());
  const QString fixtures = QString::fromStdString(typeloom::testsupport::FontFixtures::FontFolder());
  ASSERT_FALSE(fixtures.isEmpty()) << "building the test fonts failed";
  QTemporaryDir downloads;
  const QString folder = downloads.path() + "/Down Loads";
  ASSERT_TRUE(QDir().mkpath(folder));
  const struct {
    const char* fixture;
    const char* file;
  } files[] = {
      {"TestSans-Bold.ttf", "My Sans.TTF"},
      {"Nested/Deeper/TestSerif-Regular.otf", "Serif.otf"},
      {"TestPair.ttc", "Pair.ttc"},
  };
  for (const auto& f : files) ASSERT_TRUE(QFile::copy(fixtures + "/" + f.fixture, folder + "/" + f.file)) << f.file;

  for (const auto& f : files) {
    SCOPED_TRACE(f.file);
    const auto details = box.Run({"--details", folder + "/" + f.file});
    EXPECT_EQ(details.code, 0) << details.err.toStdString();
    EXPECT_TRUE(details.out.contains("\nInstalled: False\n")) << details.out.toStdString();
  }

  // Selected from the window's own command line, then from each hand-over.
  const auto selected = [&](const char* file) {
    return QRegularExpression(QStringLiteral("^selected .+ \\(%1\\) print=0$").arg(QRegularExpression::escape(file)));
  };
  auto first = box.Start({folder + "/" + files[0].file});
  ASSERT_TRUE(box.WaitForTrace("painted")) << box.Trace().join('\n').toStdString();
  for (const auto& f : files) {
    SCOPED_TRACE(f.file);
    if (&f != &files[0]) {
      const qsizetype before = box.Trace().size();
      EXPECT_EQ(box.Run({folder + "/" + f.file}).code, 0);
      EXPECT_FALSE(box.Trace().mid(before).filter("not registered").size() > 0);
    }
    EXPECT_EQ(box.Trace().filter(selected(f.file)).size(), 1) << box.Trace().join('\n').toStdString();
    EXPECT_EQ(box.Trace().filter(QStringLiteral("font file %1/%2 as ").arg(folder, f.file)).filter("installed=0").size(), 1);
  }
  // A file that is no font keeps the refusal.
  QFile junk(folder + "/readme.ttf");
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("no font here");
  junk.close();
  EXPECT_EQ(box.Run({junk.fileName()}).code, 0);
  EXPECT_TRUE(box.WaitForTrace("not registered: readme.ttf"));
  first->kill();
  first->waitForFinished();

  QProcess list;
  list.setProcessEnvironment(box.Env());
  list.start("fc-list", {":", "file"});
  ASSERT_TRUE(list.waitForFinished(kWaitMs));
  const QString listed = QString::fromLocal8Bit(list.readAllStandardOutput());
  EXPECT_FALSE(listed.isEmpty());
  EXPECT_FALSE(listed.contains(folder)) << listed.toStdString();
}

}  // namespace
