// Opening the summary window and paging once, against the floor: the same sixteen
// rows of two pages (name in the label face, sample in the face the name stands for)
// drawn with a bare QPainter. Both draw onto an image of the summary's picture size;
// the names are the installed-font list. Prints summary/floor at the end.
//   summary_bench --pages DIR   writes both pages of each (window-N.png, floor-N.png)
//                               instead, to compare what they show.
#include "platform/ui/WindowServices.h"
#include "summary/Summary.h"
#include "summary/SummaryPage.h"

#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include "BenchSupport.h"
#include "FloorFace.h"

#include <string_view>
#include <vector>

namespace {

using namespace typeloom;
using bench::FaceOf;
using bench::FloorFace;

const QStringList& Names() { return bench::InstalledFontNames(); }

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

// The sixteen rows of a page from `top`, each name in the label face and the sample
// in its own face.
void DrawFloorPage(QImage& image, int top, const QFont& label, const std::vector<FloorFace>& faces) {
  QPainter painter(&image);
  painter.fillRect(image.rect(), Qt::white);
  painter.setPen(Qt::black);
  // Each text over its own white box, as in the window: a sample covers the end of a
  // name too long for its column.
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(Qt::white);
  for (int row = 0; row < summary::kRowsPerPage && top + row < Names().size(); ++row) {
    const int y = platform::TwipsToPixelsY(row * summary::kRowHeight);
    painter.setFont(label);
    painter.drawText(platform::TwipsToPixelsX(summary::kNameX), y + painter.fontMetrics().ascent(),
                     Names()[top + row] + ":");
    painter.setFont(bench::FloorFont(faces[top + row], 8));
    painter.drawText(platform::TwipsToPixelsX(summary::kSampleX), y + painter.fontMetrics().ascent(),
                     summary::kSampleText);
  }
}

// The two pages' faces, found once.
const std::vector<FloorFace>& FloorFaces() {
  static const std::vector<FloorFace> faces = [] {
    std::vector<FloorFace> found;
    for (int i = 0; i < 2 * summary::kRowsPerPage && i < Names().size(); ++i) found.push_back(FaceOf(Names()[i]));
    return found;
  }();
  return faces;
}

// The label face is the window's (its dialog font), chosen once.
QFont FloorLabel() { return QFont(platform::DialogFont().family(), 8); }

void BM_SummaryPageFloor(benchmark::State& state) {
  QImage image(PictureSize(), QImage::Format_ARGB32_Premultiplied);
  const QFont label = FloorLabel();
  const std::vector<FloorFace>& faces = FloorFaces();
  for (auto _ : state) {
    for (int top : {0, summary::kRowsPerPage}) DrawFloorPage(image, top, label, faces);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_SummaryPageFloor)->Unit(benchmark::kMillisecond);

// Both pages of the window and of the floor as PNG files, to look at side by side.
int SavePages(const QString& folder) {
  Main main;
  summary::Summary window(main);
  window.Form_Load();
  QImage image(PictureSize(), QImage::Format_ARGB32_Premultiplied);
  for (int page = 0; page < 2; ++page) {
    window.VScroll()->setValue(page * summary::kRowsPerPage);
    {
      ImageSurface surface(image);
      window.DrawPage(surface);
    }
    if (!image.save(QStringLiteral("%1/window-%2.png").arg(folder).arg(page + 1))) return 1;
    DrawFloorPage(image, page * summary::kRowsPerPage, FloorLabel(), FloorFaces());
    if (!image.save(QStringLiteral("%1/floor-%2.png").arg(folder).arg(page + 1))) return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == "--pages") {
    typeloom::bench::OffscreenUnlessSet();
    QApplication app(argc, argv);
    return SavePages(QString::fromLocal8Bit(argv[2]));
  }
  return typeloom::bench::RunAgainstFloor(argc, argv, "BM_SummaryPage", "BM_SummaryPageFloor",
                                          "summary page / bare QPainter floor", "goal: under 1.2");
}
