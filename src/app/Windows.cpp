#include "app/Windows.h"

#include "app/FontModule.h"
#include "options/Options.h"
#include "platform/ui/MessageBoxes.h"
#include "summary/Summary.h"
#include "about/Logo.h"

#include <QFileInfo>
#include <QString>

#include <dlfcn.h>

#include <cstdio>
#include <functional>

namespace typeloom::app {

namespace {

// The folder of this module: the other modules lie beside it, in the build tree
// and where they are installed.
QString ModuleFolder() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&ModuleFolder), &info) == 0 || info.dli_fname == nullptr) return {};
  return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).canonicalPath();
}

// Entry `name` of the module `file` beside this one; null after a line on standard error.
void* ModuleEntry(const char* file, const char* name) {
  const QByteArray path = (ModuleFolder() + u'/' + QString::fromLatin1(file)).toLocal8Bit();
  void* module = ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
  void* entry = module != nullptr ? ::dlsym(module, name) : nullptr;
  if (entry == nullptr) std::fprintf(stderr, "typeloom: cannot load %s: %s\n", path.constData(), ::dlerror());
  return entry;
}

// A window whose library is loaded when it is first opened. The module stays
// loaded: the window and the objects it made live on.
class ModuleSeam final : public WindowSeam {
 public:
  using Load = std::function<WindowSeam*()>;
  ModuleSeam(Load load, MainWindowState& main, platform::MessageBoxes& messages, QString what)
      : load_(std::move(load)), main_(main), messages_(messages), what_(std::move(what)) {}

  void Open() override {
    if (!seam_ && !failed_) {
      seam_.reset(load_());
      failed_ = !seam_;
      if (failed_) {
        messages_.Show(main_.MainWidget(),
                       what_ + QStringLiteral(" cannot be opened: a part of Typeloom is missing. "
                                              "Please reinstall the program."),
                       platform::mb::kOkOnly | platform::mb::kExclamation, QStringLiteral("Typeloom"));
      }
    }
    if (seam_) seam_->Open();
  }
  void Close() override {
    if (seam_) seam_->Close();
  }
  bool IsOpen() const override { return seam_ && seam_->IsOpen(); }

 private:
  Load load_;
  MainWindowState& main_;
  platform::MessageBoxes& messages_;
  QString what_;
  std::unique_ptr<WindowSeam> seam_;
  bool failed_ = false;
};

}  // namespace

// One line a window: each window's library adds its seam here. Printing and the
// About box (with the update check) live in modules of their own, loaded on first use.
ViewerWindows MakeProgramWindows(MainWindowState& main, FontModule& module, Services& services) {
  ViewerWindows windows;
  windows.options = options::MakeOptionsWindow(main, module, services);
  windows.summary = summary::MakeSummaryWindow(main);
  windows.splash = std::make_unique<about::LogoSplash>(services.clock, services.events, main.MainWidget());
  windows.printDialog = std::make_unique<ModuleSeam>(
      [&main]() -> WindowSeam* {
        using Make = WindowSeam* (*)(MainWindowState*);
        auto* make = reinterpret_cast<Make>(ModuleEntry("typeloom-print.so", "typeloom_make_print_dialog"));
        return make != nullptr ? make(&main) : nullptr;
      },
      main, services.messages, QStringLiteral("The print dialog"));
  windows.about = std::make_unique<ModuleSeam>(
      [&main, &services]() -> WindowSeam* {
        using Make = WindowSeam* (*)(MainWindowState*, platform::MessageBoxes*, platform::EventPump*);
        auto* make = reinterpret_cast<Make>(ModuleEntry("typeloom-about.so", "typeloom_make_about"));
        return make != nullptr ? make(&main, &services.messages, &services.events) : nullptr;
      },
      main, services.messages, QStringLiteral("The About box"));
  return windows;
}

}  // namespace typeloom::app
