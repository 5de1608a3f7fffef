// A "/p" start prints through a private CUPS daemon into a PDF queue: the real
// dialog opens after the first paint, three copies are asked for with the
// arrow key, OK prints, and the PDF that comes out of the queue is checked.
//
// The daemon has its own configuration, spool, state and logs in a temporary
// folder and listens on 127.0.0.1 at a free port; CUPS_SERVER points the
// program at it. cups-pdf reads its configuration from the queue's PPD (Out,
// Spool and Log relative to the daemon's working folder, the temporary one).
// Runs under xvfb-run: the keys go to the real window through xdotool.
#include "platform/registry/Registry.h"
#include "platform/shell/ShellBindings.h"
#include "support/ProgramSandbox.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <map>
#include <memory>
#include <optional>

namespace {

constexpr int kWaitMs = 90000;
constexpr char kQueue[] = "TypeloomPDF";

struct Result {
  int code = -1;
  QString out;
  QString err;
};

Result Exec(const QString& program, const QStringList& arguments, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
           int timeoutMs = 30000) {
  QProcess process;
  process.setProcessEnvironment(env);
  process.start(program, arguments);
  Result result;
  if (!process.waitForStarted(timeoutMs)) {
    result.err = program + " did not start: " + process.errorString();
    return result;
  }
  process.waitForFinished(timeoutMs);
  result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.out = QString::fromUtf8(process.readAllStandardOutput());
  result.err = QString::fromUtf8(process.readAllStandardError());
  return result;
}

QString ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool WriteFile(const QString& path, const QByteArray& data) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// A private cupsd with one cups-pdf queue as the default destination.
class CupsDaemon {
 public:
  ~CupsDaemon() {
    if (cupsd_.state() != QProcess::NotRunning) {
      cupsd_.terminate();
      if (!cupsd_.waitForFinished(10000)) cupsd_.kill();
      cupsd_.waitForFinished(5000);
    }
  }

  // Empty on success, else why the daemon is not there.
  QString Start() {
    if (!dir_.isValid()) return "no temporary folder";
    root_ = dir_.path();
    // Filters run as the daemon's User and must reach the spool below this folder.
    QFile::setPermissions(root_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                     QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                     QFileDevice::ExeOther);
    for (const char* sub : {"conf/ppd", "spool/tmp", "state", "cache", "log", "out", "cpspool"}) QDir(root_).mkpath(sub);
    // cups-pdf is installed for root alone (mode 0700) and the daemon runs
    // backends as its own user: the queue can print only when the daemon runs as root.
    if (geteuid() != 0) return "the cups-pdf queue needs the daemon to run as root; run the test as root (CI does)";
    for (const char* tool : {"/usr/sbin/cupsd", "/usr/sbin/lpadmin", "/usr/lib/cups/backend/cups-pdf"}) {
      if (!QFile::exists(tool)) return QString("%1 is missing: install cups and printer-driver-cups-pdf (scripts/install-deps)").arg(tool);
    }
    const QString ppd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
    QString ppdText = ReadFile(ppd);
    if (ppdText.isEmpty()) return ppd + " is missing (printer-driver-cups-pdf)";

    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return "no free port on 127.0.0.1";
    port_ = probe.serverPort();
    probe.close();

    const QByteArray files = QStringLiteral(
                                 "ServerRoot %1/conf\nRequestRoot %1/spool\nTempDir %1/spool/tmp\nStateDir %1/state\n"
                                 "CacheDir %1/cache\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                                 "ErrorLog %1/log/error_log\nAccessLog %1/log/access_log\nPageLog %1/log/page_log\n"
                                 "Printcap %1/state/printcap\nFileDevice No\nSandboxing Relaxed\n"
                                 "User lp\nGroup lp\nSystemGroup root\nFatalErrors none\n")
                                 .arg(root_)
                                 .toUtf8();
    const QByteArray conf = QStringLiteral(
                                "Listen 127.0.0.1:%1\nLogLevel debug\nBrowsing No\nWebInterface No\n"
                                "PreserveJobFiles Yes\nPreserveJobHistory Yes\n"
                                "DefaultPaperSize A4\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                "<Policy default>\n  <Limit All>\n    Order allow,deny\n    Allow all\n  </Limit>\n</Policy>\n")
                                .arg(port_)
                                .toUtf8();
    // cups-pdf takes these from the queue's PPD; a PPD default cannot hold a
    // slash, so the folders are relative to the daemon's working folder.
    QString options;
    for (const auto& [key, value] : {std::pair{"Out", "out"}, {"Spool", "cpspool"}, {"Log", "log"}, {"AnonDirName", "out"}}) {
      options += QStringLiteral("*OpenUI *%1: PickOne\n*Default%1: %2\n*%1 %2: \"\"\n*CloseUI: *%1\n\n").arg(key, value);
    }
    ppdText.replace("*DefaultFont:", options + "*DefaultFont:");
    if (!WriteFile(root_ + "/conf/cups-files.conf", files) || !WriteFile(root_ + "/conf/cupsd.conf", conf) ||
        !WriteFile(root_ + "/queue.ppd", ppdText.toLatin1())) {
      return "cannot write the daemon's configuration";
    }

    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("CUPS_SERVER", Server());
    env_.insert("HOME", root_ + "/state");
    cupsd_.setProcessEnvironment(env_);
    cupsd_.setWorkingDirectory(root_);
    cupsd_.setProcessChannelMode(QProcess::MergedChannels);
    cupsd_.start("/usr/sbin/cupsd", {"-f", "-c", root_ + "/conf/cupsd.conf", "-s", root_ + "/conf/cups-files.conf"});
    if (!cupsd_.waitForStarted(10000)) return "cupsd did not start: " + cupsd_.errorString();
    bool running = false;
    for (int waited = 0; waited < 20000 && !running; waited += 200) {
      if (cupsd_.state() == QProcess::NotRunning) break;
      running = Exec("lpstat", {"-r"}, env_).out.contains("scheduler is running");
      if (!running) QTest::qWait(200);
    }
    if (!running) return "cupsd is not answering: " + QString::fromUtf8(cupsd_.readAll()) + Tail(ErrorLog());
    const Result add = Exec("lpadmin", {"-p", kQueue, "-E", "-v", "cups-pdf:/", "-P", root_ + "/queue.ppd"}, env_);
    if (add.code != 0) return "lpadmin could not add the PDF queue: " + add.err + Tail(ErrorLog());
    // Poppler's PostScript keeps the fonts' names on their way through the queue.
    const Result renderer = Exec("lpadmin", {"-p", kQueue, "-o", "pdftops-renderer-default=pdftops"}, env_);
    if (renderer.code != 0) return "lpadmin could not set the queue's PostScript renderer: " + renderer.err;
    const Result def = Exec("lpadmin", {"-d", kQueue}, env_);
    if (def.code != 0) return "lpadmin could not make the PDF queue the default: " + def.err;
    return {};
  }

  QString Server() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
  const QProcessEnvironment& Env() const { return env_; }
  QString ErrorLog() const { return ReadFile(root_ + "/log/error_log"); }
  // The documents the daemon received, kept after printing: one per job here.
  QStringList Submitted() const {
    QStringList files;
    for (const QString& name : QDir(root_ + "/spool").entryList({"d*-*"}, QDir::Files)) files << root_ + "/spool/" + name;
    return files;
  }
  QStringList Outputs() const { return QDir(root_ + "/out").entryList({"*.pdf"}, QDir::Files); }
  QString OutputPath(const QString& name) const { return root_ + "/out/" + name; }
  QStringList CompletedJobs() const {
    return Exec("lpstat", {"-W", "completed", "-o", kQueue}, env_).out.split(u'\n', Qt::SkipEmptyParts);
  }
  QStringList PendingJobs() const { return Exec("lpstat", {"-o", kQueue}, env_).out.split(u'\n', Qt::SkipEmptyParts); }
  static QString Tail(const QString& log) {
    QStringList lines = log.split(u'\n');
    QStringList kept;
    for (const QString& line : lines) {
      if (line.startsWith("E ") || line.startsWith("W ") || line.contains("crashed") || line.contains("[Job")) kept << line;
    }
    return "\n" + kept.mid(std::max<qsizetype>(0, kept.size() - 25)).join(u'\n');
  }

 private:
  QTemporaryDir dir_;
  QString root_;
  quint16 port_ = 0;
  QProcess cupsd_;
  QProcessEnvironment env_;
};

// The program's own sandbox with fontconfig over Liberation fonts and the system's
// substitution rules (Arial -> Liberation Sans), on the X server, printing to `cupsServer`.
class PrintSandbox : public typeloom::testsupport::ProgramSandbox {
 public:
  explicit PrintSandbox(const QString& cupsServer)
      : ProgramSandbox("/usr/share/fonts/truetype/liberation2",
                       {"LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf", "LiberationSerif-Italic.ttf",
                        "LiberationSans-Regular.ttf"},
                       true) {
    Env().insert("QT_QPA_PLATFORM", "xcb");
    Env().insert("CUPS_SERVER", cupsServer);
  }
  QString TraceText() const { return Trace().join('\n'); }
};

struct Word {
  QString text;
  double xMin, yMin;
};

// The words of one page, with their boxes in points from the page's top-left.
std::vector<Word> PageWords(const QString& pdf, int page) {
  std::vector<Word> words;
  const QString html =
      Exec("pdftotext", {"-bbox", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"}).out;
  static const QRegularExpression word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re");
  for (auto it = word.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    words.push_back({m.captured(3).replace("&amp;", "&").replace("&lt;", "<").replace("&gt;", ">"),
                     m.captured(1).toDouble(), m.captured(2).toDouble()});
  }
  return words;
}

// The first word equal to `text`.
std::optional<Word> Find(const std::vector<Word>& words, const QString& text) {
  for (const Word& w : words) {
    if (w.text == text) return w;
  }
  return std::nullopt;
}

int PageCount(const QString& pdf) {
  const auto m = QRegularExpression(R"(Pages:\s+(\d+))").match(Exec("pdfinfo", {pdf}).out);
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The specimen of Liberation Serif, `pageCount` identical pages: the heading,
// the details rows, the sample rows and the pangram rows at their places, in
// the expected faces.
void ExpectSpecimenPages(const QString& pdf, int pageCount) {
  ASSERT_EQ(PageCount(pdf), pageCount);
  const QString first = Exec("pdftotext", {"-layout", "-f", "1", "-l", "1", pdf, "-"}).out;
  EXPECT_TRUE(first.contains("Font Name: Liberation Serif")) << first.toStdString();
  for (int page = 2; page <= pageCount; ++page) {
    EXPECT_EQ(Exec("pdftotext", {"-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"}).out, first)
        << "page " << page;
  }
  const QString sentFonts = Exec("pdffonts", {pdf}).out;
  for (const char* face : {"LiberationSans", "LiberationSerif-Bold", "LiberationSerif-Italic"}) {
    EXPECT_TRUE(sentFonts.contains(face)) << face << "\n" << sentFonts.toStdString();
  }

  // Rows at their places: twips / 20 points from the printable area's corner,
  // which the heading (at 60, 120) gives.
  for (int page = 1; page <= pageCount; ++page) {
    SCOPED_TRACE(page);
    const auto words = PageWords(pdf, page);
    const auto heading = Find(words, "Font");
    ASSERT_TRUE(heading);
    const double left = heading->xMin - 60 / 20.0;
    const double top = heading->yMin - 120 / 20.0;
    // `text` at (x, y) twips: the word of that text nearest to the place.
    const auto at = [&](const QString& text, int xTwips, int yTwips, double points) {
      const double x = left + xTwips / 20.0;
      const double y = top + yTwips / 20.0;
      const Word* best = nullptr;
      for (const Word& w : words) {
        if (w.text == text && (best == nullptr || std::hypot(w.xMin - x, w.yMin - y) < std::hypot(best->xMin - x, best->yMin - y))) {
          best = &w;
        }
      }
      ASSERT_NE(best, nullptr) << text.toStdString();
      EXPECT_NEAR(best->xMin, x, 1.0 + points * 0.02) << text.toStdString();
      // The text's cell top: poppler's box starts at the font's ascent, which
      // may differ from the face's line ascent by a few hundredths of an em.
      EXPECT_NEAR(best->yMin, y, 1.0 + points * 0.08) << text.toStdString();
    };
    at("Details:", 60, 1065, 12);
    // The details rows push everything below them down by 255 twips each.
    const auto normal = Find(words, "Normal:");
    ASSERT_TRUE(normal);
    const double shift = (normal->yMin - top) * 20.0 - 1485;
    const int lines = static_cast<int>(std::lround(shift / 255.0));
    EXPECT_NEAR(shift, lines * 255, 40) << "\"Normal:\" lies a whole number of detail rows lower";
    EXPECT_GE(lines, 1);
    const int s = 255 * lines;
    // Every details row starts at x = 990 on one of those rows, the first on the "Details:" row.
    std::map<int, int> rows;
    for (const Word& w : words) {
      const double y = (w.yMin - top) * 20.0;
      if (std::fabs(w.xMin - (left + 990 / 20.0)) > 1.5 || y < 1000 || y > 1065 + s - 100) continue;
      const int k = static_cast<int>(std::lround((y - 1065) / 255.0));
      EXPECT_NEAR(y, 1065 + 255 * k, 30) << w.text.toStdString();
      ++rows[k];
    }
    EXPECT_EQ(rows.count(0), 1U) << "first details row";
    EXPECT_LE(rows.size(), static_cast<std::size_t>(lines));
    for (const auto& [label, y] : {std::pair{"Normal:", 1485}, {"Bold:", 2295}, {"Italics:", 3105}}) {
      at(label, 60, y + s, 12);
      at("abcdefghijklmnopqrstuvwxyz", 990, y + s, 12);
      at("ABCDEFGHIJKLMNOPQRSTUVWXYZ", 990, y + 255 + s, 12);
      at("1234567890.:,;(<{#$%&*!?}>)", 990, y + 510 + s, 12);
    }
    const std::pair<int, int> sizes[] = {{8, 4320},  {12, 4710}, {18, 5190}, {24, 5715},
                                         {36, 6375}, {48, 7245}, {60, 8390}, {72, 9740}};
    for (const auto& [points, y] : sizes) {
      at(QString::number(points), 60, y + s, 10);
      at("The", 530, y + s, points);
    }
  }

}

TEST(PrintCups, SlashPStartPrintsThreeCopiesAsOneJob) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) FAIL() << "needs an X display: run under xvfb-run";
  CupsDaemon cups;
  const QString why = cups.Start();
  ASSERT_TRUE(why.isEmpty()) << "the private CUPS daemon is not available: " << why.toStdString();

  PrintSandbox sandbox(cups.Server());
  QProcess program;
  program.setProcessEnvironment(sandbox.Env());
  program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  program.start(TYPELOOM_EXE, {"/p", sandbox.FontPath("LiberationSerif-Regular.ttf")});
  ASSERT_TRUE(program.waitForStarted(10000));

  // The dialog opens by itself after the first paint.
  const Result found = Exec("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^ Printer Setup$"}, sandbox.Env(), kWaitMs);
  ASSERT_EQ(found.code, 0) << "no print dialog: " << found.err.toStdString() << sandbox.TraceText().toStdString();
  const QString window = found.out.split(u'\n', Qt::SkipEmptyParts).value(0);
  ASSERT_EQ(Exec("xdotool", {"windowfocus", "--sync", window}, sandbox.Env()).code, 0);
  // One copy to start with; each Up arrow adds one; Enter presses OK.
  ASSERT_EQ(Exec("xdotool", {"key", "--delay", "150", "Up", "Up", "Return"}, sandbox.Env()).code, 0);

  // One job: one document received, one PDF out of the queue.
  QStringList outputs;
  for (int waited = 0; waited < kWaitMs; waited += 250) {
    outputs = cups.Outputs();
    if (!outputs.isEmpty() && cups.PendingJobs().isEmpty()) break;
    QTest::qWait(250);
  }
  program.terminate();
  program.waitForFinished(10000);
  ASSERT_EQ(outputs.size(), 1) << "no PDF from the queue" << CupsDaemon::Tail(cups.ErrorLog()).toStdString();
  EXPECT_EQ(cups.CompletedJobs().size(), 1);
  const QStringList submitted = cups.Submitted();
  ASSERT_EQ(submitted.size(), 1) << submitted.join(' ').toStdString();
  const QString printed = cups.OutputPath(outputs[0]);

  // What came out of the queue: three pages that look alike, in the expected faces.
  ASSERT_EQ(PageCount(printed), 3);
  QTemporaryDir raster;
  ASSERT_EQ(Exec("pdftoppm", {"-r", "40", "-png", printed, raster.filePath("page")}).code, 0);
  const QString firstImage = ReadFile(raster.filePath("page-1.png"));
  EXPECT_FALSE(firstImage.isEmpty());
  for (const char* other : {"page-2.png", "page-3.png"}) EXPECT_EQ(ReadFile(raster.filePath(other)), firstImage) << other;
  const QString fonts = Exec("pdffonts", {printed}).out;
  for (const QRegularExpression& face : {QRegularExpression(R"(\+LiberationSans(_\d+)?\s)"),
                                         QRegularExpression(R"(\+LiberationSerif(-Regular)?(_\d+)?\s)"),
                                         QRegularExpression(R"(\+LiberationSerif-Bold(_\d+)?\s)"),
                                         QRegularExpression(R"(\+LiberationSerif-Italic(_\d+)?\s)")}) {
    EXPECT_TRUE(face.match(fonts).hasMatch()) << face.pattern().toStdString() << "\n" << fonts.toStdString();
  }

  // What the program sent: the pages' texts (the queue's PostScript round trip
  // keeps the faces but not the text's character codes).
  ExpectSpecimenPages(submitted[0], 3);
}

// The GNOME Files script the program writes for its print binding, with a private
// CUPS queue and the program's sandbox.
class GnomeFilesScript : public ::testing::Test {
 protected:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) FAIL() << "needs an X display: run under xvfb-run";
    const QString why = cups.Start();
    ASSERT_TRUE(why.isEmpty()) << "the private CUPS daemon is not available: " << why.toStdString();
    sandbox = std::make_unique<PrintSandbox>(cups.Server());
    // The script as a save of the options with the print box checked writes it.
    typeloom::platform::XdgDirs dirs;
    dirs.configHome = home.filePath("config");
    dirs.dataHome = home.filePath("data");
    const QString exe = TYPELOOM_EXE;
    typeloom::platform::XdgShell shell(typeloom::platform::XdgShell::Scope::User, {exe, exe + " %1", exe + " /p %1"},
                                       dirs, [](const QString&, const QStringList&) {});
    ASSERT_EQ(shell.Write("ttf", typeloom::platform::XdgShell::Verb::Print, "", (exe + " /p %1").toStdString()),
              typeloom::platform::reg::kSuccess);
    script = shell.NautilusScriptPath();
    ASSERT_TRUE(QFileInfo(script).isExecutable()) << script.toStdString();
  }

  // Waits for a print dialog other than `*previous`, confirms it and waits for the
  // queue's `printed`th PDF.
  void PrintInNextDialog(int printed, QString* previous) {
    QString window;
    for (int waited = 0; waited < kWaitMs && (window.isEmpty() || window == *previous); waited += 250) {
      window = Exec("xdotool", {"search", "--onlyvisible", "--name", "^ Printer Setup$"}, sandbox->Env())
                   .out.split(u'\n', Qt::SkipEmptyParts)
                   .value(0);
      if (window.isEmpty() || window == *previous) QTest::qWait(250);
    }
    ASSERT_FALSE(window.isEmpty() || window == *previous) << "no print dialog" << sandbox->TraceText().toStdString();
    *previous = window;
    Exec("xdotool", {"windowfocus", "--sync", window}, sandbox->Env());
    Exec("xdotool", {"key", "Return"}, sandbox->Env());
    for (int waited = 0; waited < kWaitMs; waited += 250) {
      if (cups.Outputs().size() == printed && cups.PendingJobs().isEmpty()) break;
      QTest::qWait(250);
    }
    ASSERT_EQ(cups.Outputs().size(), printed) << CupsDaemon::Tail(cups.ErrorLog()).toStdString()
                                              << sandbox->TraceText().toStdString();
  }

  // The first line of each page the queue received, sorted.
  QStringList PrintedHeads() const {
    QStringList heads;
    for (const QString& submitted : cups.Submitted())
      heads << Exec("pdftotext", {"-layout", "-f", "1", "-l", "1", submitted, "-"}).out.section(u'\n', 0, 0).simplified();
    heads.sort();
    return heads;
  }

  CupsDaemon cups;
  std::unique_ptr<PrintSandbox> sandbox;
  QTemporaryDir home;
  QString script;
};

// Run as GNOME Files runs it on a selection (relative names in the folder shown, one
// of them no font): each font file gets the print dialog of its own start, and each
// specimen comes out of the queue.
TEST_F(GnomeFilesScript, PrintsEverySelectedFontFile) {
  // Two installed fonts' files in a folder whose name has a blank, and a text file.
  const QString folder = home.filePath("My Fonts");
  QDir().mkpath(folder);
  for (const char* font : {"LiberationSerif-Regular.ttf", "LiberationSans-Regular.ttf"})
    ASSERT_TRUE(QFile::copy(sandbox->FontPath(font), folder + "/" + font));
  ASSERT_TRUE(WriteFile(folder + "/read me.txt", "not a font"));

  QProcess files;
  files.setProcessEnvironment(sandbox->Env());
  files.setWorkingDirectory(folder);
  files.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  files.start(script, {"LiberationSerif-Regular.ttf", "read me.txt", "LiberationSans-Regular.ttf"});
  ASSERT_TRUE(files.waitForStarted(10000));

  QString dialog;
  for (int printed = 1; printed <= 2; ++printed) {
    SCOPED_TRACE(printed);
    PrintInNextDialog(printed, &dialog);
    // The user closes the window; the script goes on with the next file.
    const Result main = Exec("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^ Typeloom$"}, sandbox->Env(), kWaitMs);
    ASSERT_EQ(main.code, 0);
    Exec("xdotool", {"windowfocus", "--sync", main.out.split(u'\n', Qt::SkipEmptyParts).value(0)}, sandbox->Env());
    Exec("xdotool", {"key", "Escape"}, sandbox->Env());
    // The next start's windows may get the ids of this one's: wait until it is gone.
    for (int waited = 0; waited < kWaitMs && Exec("xdotool", {"search", "--onlyvisible", "--name", "^ Typeloom$"}, sandbox->Env()).code == 0;
         waited += 250)
      QTest::qWait(250);
    dialog.clear();
  }
  ASSERT_TRUE(files.waitForFinished(kWaitMs));
  EXPECT_EQ(files.exitCode(), 0);
  EXPECT_EQ(PrintedHeads(), QStringList({"Font Name: Liberation Sans", "Font Name: Liberation Serif"}));
  // The text file was not handed to the program.
  EXPECT_FALSE(sandbox->TraceText().contains("not registered")) << sandbox->TraceText().toStdString();
}

// The same script while Typeloom already runs: each start hands its file over and
// ends at once, so the requests arrive while the first dialog is open. Each still gets
// a dialog of its own, for its own font.
TEST_F(GnomeFilesScript, PrintsEveryFileThroughTheRunningWindow) {
  QProcess program;
  program.setProcessEnvironment(sandbox->Env());
  program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  program.start(TYPELOOM_EXE, QStringList());
  ASSERT_TRUE(program.waitForStarted(10000));
  ASSERT_EQ(Exec("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^ Typeloom$"}, sandbox->Env(), kWaitMs).code, 0);

  QProcess files;
  files.setProcessEnvironment(sandbox->Env());
  files.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  files.start(script, {sandbox->FontPath("LiberationSerif-Regular.ttf"), sandbox->FontPath("LiberationSans-Regular.ttf")});
  ASSERT_TRUE(files.waitForFinished(kWaitMs));  // both handed over
  EXPECT_EQ(files.exitCode(), 0);

  QString dialog;
  for (int printed = 1; printed <= 2; ++printed) {
    SCOPED_TRACE(printed);
    PrintInNextDialog(printed, &dialog);
  }
  program.terminate();
  program.waitForFinished(10000);
  EXPECT_EQ(PrintedHeads(), QStringList({"Font Name: Liberation Sans", "Font Name: Liberation Serif"}));
}

// Without any printer the list holds "Print to File (PDF)" alone: Enter prints,
// the file dialog asks where, and the same page goes into that file.
TEST(PrintCups, PrintToFileWritesTheSamePage) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) FAIL() << "needs an X display: run under xvfb-run";
  QTcpServer closed;  // a port nobody answers on: no CUPS destinations at all
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
  const QString nowhere = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
  closed.close();
  PrintSandbox sandbox(nowhere);
  QTemporaryDir out;
  const QString file = out.filePath("specimen.pdf");

  QProcess program;
  program.setProcessEnvironment(sandbox.Env());
  program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  program.start(TYPELOOM_EXE, {"/p", sandbox.FontPath("LiberationSerif-Regular.ttf")});
  ASSERT_TRUE(program.waitForStarted(10000));
  const Result dialog = Exec("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^ Printer Setup$"}, sandbox.Env(), kWaitMs);
  ASSERT_EQ(dialog.code, 0) << "no print dialog" << sandbox.TraceText().toStdString();
  Exec("xdotool", {"windowfocus", "--sync", dialog.out.split(u'\n', Qt::SkipEmptyParts).value(0)}, sandbox.Env());
  Exec("xdotool", {"key", "Return"}, sandbox.Env());
  const Result chooser = Exec("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^Print to File \\(PDF\\)$"}, sandbox.Env(), kWaitMs);
  ASSERT_EQ(chooser.code, 0) << "no file dialog";
  Exec("xdotool", {"windowfocus", "--sync", chooser.out.split(u'\n', Qt::SkipEmptyParts).value(0)}, sandbox.Env());
  Exec("xdotool", {"type", "--delay", "20", file}, sandbox.Env());
  Exec("xdotool", {"key", "Return"}, sandbox.Env());
  for (int waited = 0; waited < kWaitMs && !(QFile::exists(file) && PageCount(file) == 1); waited += 250) QTest::qWait(250);
  program.terminate();
  program.waitForFinished(10000);
  ASSERT_TRUE(QFile::exists(file));
  ExpectSpecimenPages(file, 1);
}

}  // namespace
