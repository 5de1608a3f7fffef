// The font list's filter for a 20-character text over the installed-font list: the
// coverage asked of the face of every name and the list control refilled (the
// window's steady state: faces indexed once and kept), and the same with the index
// built afresh (the first Ctrl+F), and the first Ctrl+F after typing (faces read
// ahead). The floor: fontconfig's own listing of the faces that have those
// characters (FcFontList with a charset, as fc-list does), in process. Prints filter/floor at the end; the goal is one frame, 16 ms.
#include "app/FontFilter.h"
#include "platform/fonts/FontCoverage.h"
#include "platform/ui/ListWithEdit.h"

#include <fontconfig/fontconfig.h>

#include "BenchSupport.h"

#include <memory>

namespace {

using namespace typeloom;

const QString kText = QStringLiteral("Typeloom Ωμέγα ωραία");  // 20 characters, Latin and Greek

const QStringList& Names() { return bench::InstalledFontNames(); }

void Filter(platform::FontCoverage& coverage, platform::ListWithEdit& list) {
  const std::vector<char32_t> characters = app::FilterCharacters(kText);
  coverage.SetQuery(characters, {});
  const app::FilteredList shown = app::FilterFontList(Names(), Names().value(0), characters,
                                                      [&](const QString& name) { return coverage.Matches(name); });
  list.SetItems(shown.shown);
  if (shown.selection >= 0) list.SelectWithoutClick(shown.selection);
  benchmark::DoNotOptimize(list.ListCount());
}

void BM_Filter(benchmark::State& state) {
  platform::ListWithEdit list(true);
  platform::FontCoverage coverage;
  Filter(coverage, list);  // faces resolved once, as the window keeps them
  for (auto _ : state) Filter(coverage, list);
  state.SetLabel(std::to_string(Names().size()) + " fonts, " + std::to_string(list.ListCount()) + " shown");
}
BENCHMARK(BM_Filter)->Unit(benchmark::kMillisecond);

void BM_FilterFirst(benchmark::State& state) {
  platform::ListWithEdit list(true);
  for (auto _ : state) {
    platform::FontCoverage coverage;
    Filter(coverage, list);
  }
}
BENCHMARK(BM_FilterFirst)->Unit(benchmark::kMillisecond);

// The first Ctrl+F after the user typed: the window has read every name's face
// ahead (FontCoverage::Prepare), so only the asking remains.
void BM_FilterAfterTyping(benchmark::State& state) {
  platform::ListWithEdit list(true);
  for (auto _ : state) {
    state.PauseTiming();
    auto coverage = std::make_unique<platform::FontCoverage>();
    for (const QString& name : Names()) coverage->Prepare(name);
    state.ResumeTiming();
    Filter(*coverage, list);
    state.PauseTiming();
    coverage.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FilterAfterTyping)->Unit(benchmark::kMillisecond);

void BM_FilterFloor(benchmark::State& state) {
  const std::u32string text = kText.toStdU32String();
  for (auto _ : state) {
    FcCharSet* charset = FcCharSetCreate();
    for (const char32_t c : text) {
      if (c != U' ') FcCharSetAddChar(charset, c);
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddCharSet(pattern, FC_CHARSET, charset);
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    benchmark::DoNotOptimize(set->nfont);
    FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    FcCharSetDestroy(charset);
  }
}
BENCHMARK(BM_FilterFloor)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return typeloom::bench::RunAgainstFloor(argc, argv, "BM_Filter", "BM_FilterFloor", "filter / FcFontList with a charset",
                                          "goal: under 16 ms");
}
