// Opening the summary window and paging once, against the floor: the same sixteen
// rows of two pages (name in the label face, sample in the font) drawn with a bare
// QPainter. Both draw onto an image of the summary's picture size; the names are the
// installed-font list. Prints summary/floor at the end.
#include "app/FontCatalogue.h"
#include "platform/registry/LinuxRegistry.h"
#include "platform/ui/WindowServices.h"
#include "summary/Summary.h"
#include "summary/SummaryPage.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include "RatioReporter.h"

#include <cstdio>
#include <map>

namespace {

using namespace typeloom;

const QStringList& Names() {
  static const QStringList names = [] {
    auto registry = platform::MakeLinuxRegistry();
    app::FontCatalogue catalogue;
    return app::BuildFontNames(*registry, catalogue);
  }();
  return names;
}

struct Main final : app::MainWindowState {
  QWidget* MainWidget() override { return nullptr; }
  QString SelectedFontName() const override { return Names().value(0); }
  QString DetailsText() const override { return {}; }
  const QStringList& FontNames() const override { return Names(); }
  void EndProgram() override {}
};

QSize PictureSize() {
  return {platform::TwipsToPixelsX(summary::Summary::kClientWidth),
          platform::TwipsToPixelsY(summary::Summary::kClientHeight)};
}

// The summary's page surface over an image, as its picture paints.
class ImageSurface final : public summary::PageSurface {
 public:
  explicit ImageSurface(QImage& image) : painter_(&image), size_(image.size()) {
    painter_.setBackgroundMode(Qt::OpaqueMode);
    painter_.setBackground(Qt::white);
    painter_.setPen(Qt::black);
  }
  void Clear() override { painter_.fillRect(QRect(QPoint(), size_), Qt::white); }
  void DrawText(int x, int y, const QString& text, const QFont& font) override {
    painter_.setFont(font);
    const int ascent = painter_.fontMetrics().ascent();
    painter_.drawText(platform::TwipsToPixelsX(x), platform::TwipsToPixelsY(y) + ascent, text);
  }

 private:
  QPainter painter_;
  QSize size_;
};

void BM_SummaryPage(benchmark::State& state) {
  Main main;
  QImage image(PictureSize(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    summary::Summary window(main);
    window.Form_Load();
    {
      ImageSurface surface(image);
      window.DrawPage(surface);
    }
    window.VScroll()->setValue(summary::kRowsPerPage);  // page down once
    {
      ImageSurface surface(image);
      window.DrawPage(surface);
    }
    benchmark::DoNotOptimize(image.constBits());
  }
  state.SetLabel(std::to_string(Names().size()) + " fonts");
}
BENCHMARK(BM_SummaryPage)->Unit(benchmark::kMillisecond);

void BM_SummaryPageFloor(benchmark::State& state) {
  QImage image(PictureSize(), QImage::Format_ARGB32_Premultiplied);
  const QFont label(QApplication::font().family(), 8);
  for (auto _ : state) {
    for (int top : {0, summary::kRowsPerPage}) {
      QPainter painter(&image);
      painter.fillRect(image.rect(), Qt::white);
      painter.setPen(Qt::black);
      for (int row = 0; row < summary::kRowsPerPage && top + row < Names().size(); ++row) {
        const QString& name = Names()[top + row];
        const int y = platform::TwipsToPixelsY(row * summary::kRowHeight);
        painter.setFont(label);
        painter.drawText(platform::TwipsToPixelsX(summary::kNameX), y + painter.fontMetrics().ascent(), name + ":");
        painter.setFont(QFont(name, 8));
        painter.drawText(platform::TwipsToPixelsX(summary::kSampleX), y + painter.fontMetrics().ascent(),
                         summary::kSampleText);
      }
    }
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_SummaryPageFloor)->Unit(benchmark::kMillisecond);


}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  typeloom::bench::RatioReporter reporter("BM_SummaryPage", "BM_SummaryPageFloor", "summary page / bare QPainter floor", "goal: under 1.5");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
