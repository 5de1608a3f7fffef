// Reads every font file fontconfig lists with the TrueType reader, and beside it the
// floor: the same byte ranges read with plain pread. Prints reader/floor at the end.
// Also times one FontFile write on the largest installed font.
#include "fontfile/CFontPreview.h"
#include "fontfile/TrueTypeReader.h"
#include "platform/fonts/FontconfigFonts.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include "RatioReporter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace typeloom;

struct Range {
  std::uint64_t offset;
  std::size_t size;
};

// Passes reads through to a file and notes each range.
class RecordingSource final : public fontfile::ByteSource {
 public:
  explicit RecordingSource(const std::string& path) : file_(path) {}
  bool ReadAt(std::uint64_t offset, std::size_t size, std::uint8_t* out) override {
    ranges.push_back({offset, size});
    return file_.ReadAt(offset, size, out);
  }
  std::vector<Range> ranges;

 private:
  fontfile::FileByteSource file_;
};

struct FontFile {
  std::string path;
  std::vector<Range> reads;
};

const std::vector<FontFile>& Fonts() {
  static const std::vector<FontFile> fonts = [] {
    std::vector<FontFile> out;
    for (const platform::InstalledFontFile& installed : platform::LinuxInstalledFonts().Files()) {
      RecordingSource source(installed.path);
      (void)fontfile::ReadTrueTypeTables(source);
      out.push_back({installed.path, std::move(source.ranges)});
    }
    return out;
  }();
  return fonts;
}

void BM_ReaderAllFonts(benchmark::State& state) {
  for (auto _ : state) {
    for (const FontFile& f : Fonts()) {
      fontfile::FontTables t = fontfile::ReadTrueTypeTables(f.path);
      benchmark::DoNotOptimize(t);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Fonts().size()));
}
BENCHMARK(BM_ReaderAllFonts)->Unit(benchmark::kMicrosecond);

void BM_PreadFloorAllFonts(benchmark::State& state) {
  std::vector<std::uint8_t> buffer(1 << 20);
  for (auto _ : state) {
    for (const FontFile& f : Fonts()) {
      const int fd = ::open(f.path.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) continue;
      for (const Range& r : f.reads) {
        if (buffer.size() < r.size) buffer.resize(r.size);
        if (::pread(fd, buffer.data(), r.size, static_cast<off_t>(r.offset)) != static_cast<ssize_t>(r.size)) break;
      }
      ::close(fd);
      benchmark::DoNotOptimize(buffer.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Fonts().size()));
}
BENCHMARK(BM_PreadFloorAllFonts)->Unit(benchmark::kMicrosecond);

std::string LargestFont() {
  std::string best;
  off_t bestSize = -1;
  for (const FontFile& f : Fonts()) {
    struct stat st {};
    if (::stat(f.path.c_str(), &st) == 0 && st.st_size > bestSize) {
      bestSize = st.st_size;
      best = f.path;
    }
  }
  return best;
}

void BM_FontFileWriteLargest(benchmark::State& state) {
  static const std::string path = LargestFont();
  for (auto _ : state) {
    CFontPreview preview;
    preview.SetFontFile(path);
    benchmark::DoNotOptimize(preview.VersionString());
  }
  state.SetLabel(path);
}
BENCHMARK(BM_FontFileWriteLargest)->Unit(benchmark::kMicrosecond);

void BM_ReaderLargest(benchmark::State& state) {
  static const std::string path = LargestFont();
  for (auto _ : state) benchmark::DoNotOptimize(fontfile::ReadTrueTypeTables(path));
  state.SetLabel(path);
}
BENCHMARK(BM_ReaderLargest)->Unit(benchmark::kMicrosecond);


}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  typeloom::bench::RatioReporter reporter("BM_ReaderAllFonts", "BM_PreadFloorAllFonts", std::to_string(Fonts().size()) + " font files; reader / pread floor", "should stay under 1.5");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
