// Choosing a font in the main window, end to end: fontList_Click rebuilds the size
// list with its measurements, reads the details (graphics facts and the font file)
// and draws the sample; the sample area is then painted onto an image. The floor
// resolves the same face and draws the same line with a bare QPainter onto an image
// of the same size, asking fontconfig for the face afresh as a bare program would. Two
// fonts, chosen again and again: a typical one and the one with the largest file;
// and fonts chosen for the first time.
#include "app/FontModule.h"
#include "app/Viewer.h"
#include "platform/fonts/FaceResolver.h"
#include "platform/fonts/FontconfigFonts.h"
#include "platform/registry/LinuxRegistry.h"
#include "platform/settings/QtSettingsStore.h"
#include "platform/ui/ListWithEdit.h"
#include "platform/ui/QtClock.h"
#include "platform/ui/QtMessageBoxes.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <fontconfig/fontconfig.h>

#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <memory>

namespace {

using namespace typeloom;

// One main window over the installed fonts, built once (main() gives it a
// temporary home, so that no user setting is touched).
struct Fixture {
  app::FontModule module;
  platform::QtSettingsStore settings;
  std::unique_ptr<platform::Registry> registry = platform::MakeLinuxRegistry();
  platform::QtMessageBoxes messages;
  platform::QtClock clock;
  platform::QtEventPump events;
  app::Services services{*registry, settings, messages, clock, events, platform::LinuxInstalledFonts()};
  app::Viewer viewer{module, services};

  Fixture() { viewer.Form_Load(); }

  int IndexOf(const QString& name) const {
    for (int i = 0; i < module.fontNames.size(); ++i) {
      if (module.fontNames[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
  }

  // "DejaVu Sans" when installed, else the first font.
  int Typical() const {
    const int index = IndexOf(QStringLiteral("DejaVu Sans"));
    return index >= 0 ? index : 0;
  }

  // The list entry whose catalogue file is the largest on disk.
  int Largest() {
    const app::FontCatalogue& catalogue = module.catalogue;
    long long best = -1;
    int bestIndex = 0;
    for (int i = 0; i < catalogue.catalogueCount(); ++i) {
      const std::string path = services.fontFolder.PathOf(catalogue.catalogueFiles[i].toStdString());
      struct stat info {};
      if (path.empty() || ::stat(path.c_str(), &info) != 0 || info.st_size <= best) continue;
      const int index = IndexOf(catalogue.catalogueNames[i]);
      if (index < 0) continue;
      best = info.st_size;
      bestIndex = index;
    }
    return bestIndex;
  }
};

// Made in main() once the application exists, and gone before it ends.
Fixture* fixture = nullptr;
Fixture& TheFixture() { return *fixture; }

// Alternates between `index` and a neighbour so that every click is a real change.
void Switch(benchmark::State& state, int index) {
  Fixture& f = TheFixture();
  const int other = index == 0 ? 1 : index - 1;
  QImage image(f.viewer.displayPicture->size(), QImage::Format_ARGB32_Premultiplied);
  bool flip = false;
  for (auto _ : state) {
    f.viewer.fontList->SetListIndex(flip ? other : index);  // runs fontList_Click
    f.viewer.displayPicture->render(&image);
    benchmark::DoNotOptimize(image.constBits());
    flip = !flip;
  }
  state.SetLabel(f.module.fontNames.value(index).toStdString());
}

// What a bare program does to draw a list name in its own face: a family as that
// family, else the face whose full name it is, else whatever Qt substitutes; each
// asked of fontconfig afresh.
bool ListFirst(const char* object, const QByteArray& name, QString* family, QString* style) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, object, reinterpret_cast<const FcChar8*>(name.constData()));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_STYLE, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  const bool found = set != nullptr && set->nfont > 0;
  if (found) {
    FcChar8 *f = nullptr, *st = nullptr;
    if (FcPatternGetString(set->fonts[0], FC_FAMILY, 0, &f) == FcResultMatch) *family = QString::fromUtf8(reinterpret_cast<const char*>(f));
    if (FcPatternGetString(set->fonts[0], FC_STYLE, 0, &st) == FcResultMatch) *style = QString::fromUtf8(reinterpret_cast<const char*>(st));
  }
  if (set != nullptr) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

QFont BareResolve(const QString& name) {
  QFont font(name);
  const QByteArray utf8 = name.toUtf8();
  QString family, style;
  if (!ListFirst(FC_FAMILY, utf8, &family, &style) && ListFirst(FC_FULLNAME, utf8, &family, &style)) {
    font.setFamily(family);
    font.setStyleName(style);
  }
  font.setPointSize(12);
  return font;
}

void DrawBare(QImage& image, const QString& name) {
  const QFont font = BareResolve(name);
  QPainter painter(&image);
  painter.fillRect(image.rect(), Qt::white);
  painter.setFont(font);
  painter.drawText(0, painter.fontMetrics().ascent(), name + " 12-point font");
  painter.end();
  benchmark::DoNotOptimize(image.constBits());
}

void Floor(benchmark::State& state, int index) {
  Fixture& f = TheFixture();
  const int other = index == 0 ? 1 : index - 1;
  QImage image(f.viewer.displayPicture->size(), QImage::Format_ARGB32_Premultiplied);
  bool flip = false;
  for (auto _ : state) {
    DrawBare(image, f.module.fontNames[flip ? other : index]);
    flip = !flip;
  }
}

// Fonts never chosen before in this process, in list order: Qt has no engine for
// them yet. The program takes the even entries of the list and the floor the odd
// ones, so that both meet the same mix of fonts and neither finds the other's
// engines; the walk goes on across repetitions (it starts over only at the end).
void FirstVisit(benchmark::State& state, bool floor) {
  Fixture& f = TheFixture();
  const int pairs = static_cast<int>(f.module.fontNames.size()) / 2;
  static int mine = 0, floors = 0;
  int& walked = floor ? floors : mine;
  QImage image(f.viewer.displayPicture->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    const int index = 2 * walked + (floor ? 1 : 0);
    if (floor) {
      DrawBare(image, f.module.fontNames[index]);
    } else {
      f.viewer.fontList->SetListIndex(index);
      f.viewer.displayPicture->render(&image);
      benchmark::DoNotOptimize(image.constBits());
    }
    walked = (walked + 1) % pairs;
  }
}

void BM_SwitchFirstVisit(benchmark::State& state) { FirstVisit(state, false); }
void BM_SwitchFirstVisitFloor(benchmark::State& state) { FirstVisit(state, true); }
void BM_SwitchTypical(benchmark::State& state) { Switch(state, TheFixture().Typical()); }
void BM_SwitchTypicalFloor(benchmark::State& state) { Floor(state, TheFixture().Typical()); }
void BM_SwitchLargest(benchmark::State& state) { Switch(state, TheFixture().Largest()); }
void BM_SwitchLargestFloor(benchmark::State& state) { Floor(state, TheFixture().Largest()); }
BENCHMARK(BM_SwitchFirstVisit)->Unit(benchmark::kMillisecond)->Iterations(150);
BENCHMARK(BM_SwitchFirstVisitFloor)->Unit(benchmark::kMillisecond)->Iterations(150);
BENCHMARK(BM_SwitchTypical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchTypicalFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchLargest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchLargestFloor)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("HOME", home.path().toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
  qputenv("XDG_DATA_HOME", (home.path() + "/.local/share").toLocal8Bit());
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  auto owner = std::make_unique<Fixture>();
  fixture = owner.get();
  benchmark::RunSpecifiedBenchmarks();
  owner.reset();
  benchmark::Shutdown();
  return 0;
}
