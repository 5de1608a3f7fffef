#pragma once
// What the window benchmarks share: the installed-font list as the main window
// builds it, and a main() that runs the benchmarks under a QApplication and prints
// one benchmark's time over its floor's.
#include "app/FontCatalogue.h"
#include "platform/registry/LinuxRegistry.h"

#include <QApplication>
#include <QStringList>

#include <benchmark/benchmark.h>

#include "RatioReporter.h"

#include <string>

namespace typeloom::bench {

// The installed fonts' list names, read once.
inline const QStringList& InstalledFontNames() {
  static const QStringList names = [] {
    auto registry = platform::MakeLinuxRegistry();
    app::FontCatalogue catalogue;
    return app::BuildFontNames(*registry, catalogue);
  }();
  return names;
}

// Windows draw offscreen unless QT_QPA_PLATFORM names a platform.
inline void OffscreenUnlessSet() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Runs the benchmarks the command line selects; after the table, "<label> = <ratio>
// (<note>)" for `measured` over `floor`.
inline int RunAgainstFloor(int argc, char** argv, std::string measured, std::string floor, std::string label,
                           std::string note) {
  OffscreenUnlessSet();
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter(std::move(measured), std::move(floor), std::move(label), std::move(note));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace typeloom::bench
