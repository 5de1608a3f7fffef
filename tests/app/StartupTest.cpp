// Starts the real program against a sandbox: its own HOME and XDG folders and a
// fontconfig configuration over a folder of test fonts.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kWaitMs = 60000;

class Sandbox {
 public:
  Sandbox() {
    const QString root = dir_.path();
    for (const char* sub : {"home", "config", "data", "cache", "runtime", "fonts"}) QDir(root).mkpath(sub);
    QFile::setPermissions(root + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString system = "/usr/share/fonts/truetype/dejavu/";
    for (const char* font : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif.ttf"}) {
      QFile::copy(system + font, FontPath(font));
    }
    QFile config(root + "/fonts.conf");
    if (config.open(QIODevice::WriteOnly)) {
      config.write(QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                                  "<fontconfig><dir>%1/fonts</dir><cachedir>%1/cache/fc</cachedir></fontconfig>\n")
                       .arg(root)
                       .toUtf8());
    }
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("HOME", root + "/home");
    env_.insert("XDG_CONFIG_HOME", root + "/config");
    env_.insert("XDG_DATA_HOME", root + "/data");
    env_.insert("XDG_CACHE_HOME", root + "/cache");
    env_.insert("XDG_RUNTIME_DIR", root + "/runtime");
    env_.insert("FONTCONFIG_FILE", root + "/fonts.conf");
    env_.insert("QT_QPA_PLATFORM", "offscreen");
    env_.insert("TYPELOOM_TRACE", TracePath());
    env_.remove("DISPLAY");
    env_.remove("WAYLAND_DISPLAY");
  }

  bool Ready() const { return QFile::exists(FontPath("DejaVuSerif.ttf")); }
  QString FontPath(const char* name) const { return dir_.path() + "/fonts/" + name; }
  QString TracePath() const { return dir_.path() + "/trace.log"; }
  QStringList Trace() const {
    QFile file(TracePath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
  }
  QProcessEnvironment& Env() { return env_; }

  std::unique_ptr<QProcess> Start(const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(env_);
    process->start(TYPELOOM_EXE, arguments);
    return process;
  }
  // Runs to the end; returns standard output.
  QString Run(const QStringList& arguments, int* exitCode = nullptr, QString* errors = nullptr) {
    auto process = Start(arguments);
    process->waitForFinished(kWaitMs);
    if (exitCode != nullptr) *exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    if (errors != nullptr) *errors = QString::fromUtf8(process->readAllStandardError());
    return QString::fromUtf8(process->readAllStandardOutput());
  }
  // Waits until the trace holds `line`.
  bool WaitForTrace(const QString& line, int count = 1) const {
    for (int waited = 0; waited < kWaitMs; waited += 50) {
      if (Trace().count(line) >= count) return true;
      QTest::qWait(50);
    }
    return false;
  }

 private:
  QTemporaryDir dir_;
  QProcessEnvironment env_;
};

TEST(Startup, InformationalOptionsAnswerWithoutAWindow) {
  Sandbox box;
  int code = -1;
  EXPECT_EQ(box.Run({"--version"}, &code), "Typeloom 1.4\n");
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(box.Run({"--help"}, &code).startsWith("Usage: typeloom"));
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(box.Trace().isEmpty());
}

TEST(Startup, ListPrintsTheCleanedSortedNames) {
  Sandbox box;
  ASSERT_TRUE(box.Ready()) << "the DejaVu fonts are missing: run scripts/install-deps";
  int code = -1;
  EXPECT_EQ(box.Run({"--list"}, &code), "DejaVu Sans\nDejaVu Serif\n");
  EXPECT_EQ(code, 0);
}

TEST(Startup, WithoutADisplayItSaysSoInOneLine) {
  Sandbox box;
  box.Env().remove("QT_QPA_PLATFORM");
  int code = -1;
  QString errors;
  EXPECT_EQ(box.Run({}, &code, &errors), "");
  EXPECT_EQ(code, 1);
  EXPECT_EQ(errors.count(u'\n'), 1) << errors.toStdString();
  EXPECT_TRUE(errors.startsWith("typeloom: no display")) << errors.toStdString();
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

  int code = -1;
  box.Run({box.FontPath("DejaVuSerif.ttf")}, &code);
  EXPECT_EQ(code, 0);
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
  int code = -1;
  box.Run({box.FontPath("DejaVuSerif.ttf")}, &code);
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(box.WaitForTrace("selected DejaVu Serif print=0"));
  next->kill();
  next->waitForFinished();
}

}  // namespace
