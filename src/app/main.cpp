// The executable links only the C++ runtime: --version and --help answer without
// loading Qt or fontconfig. `--list` with a query is first offered to the quick list
// module (fontconfig only). Every other command line runs in the start module beside
// it (app/Main.cpp, Qt Core and fontconfig), which loads the window module in turn.
#include "app/Launcher.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

namespace {

bool IsFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto answer = typeloom::app::LauncherAnswer(argc, argv)) {
    std::fwrite(answer->data(), 1, answer->size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  char self[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) {
    std::fputs("typeloom: cannot find the program's own folder (/proc/self/exe)\n", stderr);
    return 1;
  }
  const std::string program(self, static_cast<std::size_t>(length));
  if (typeloom::app::AsksQuickList(argc, argv)) {
    // A module that is missing or leaves the question open hands it on unanswered.
    const std::string quick = typeloom::app::ModuleBesideProgram(program, TYPELOOM_QUICK_LIST_MODULE,
                                                                 TYPELOOM_QUICK_LIST_MODULE_FROM_BINDIR, IsFile);
    if (void* module = ::dlopen(quick.c_str(), RTLD_NOW | RTLD_LOCAL)) {
      using Quick = int (*)(int, char**);
      auto* answer = reinterpret_cast<Quick>(::dlsym(module, "typeloom_quick_list"));
      const int code = answer != nullptr ? answer(argc, argv) : -1;
      if (code >= 0) return code;
    }
  }
  const std::string path = typeloom::app::ModuleBesideProgram(program, TYPELOOM_START_MODULE,
                                                              TYPELOOM_START_MODULE_FROM_BINDIR, IsFile);
  // Functions are bound at their first call, as in any program: binding every one the
  // module and its libraries could call would cost the start thousands of lookups.
  void* module = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
  using Entry = int (*)(int, char**);
  auto* entry = module != nullptr ? reinterpret_cast<Entry>(::dlsym(module, "typeloom_run_main")) : nullptr;
  if (entry == nullptr) {
    const char* why = ::dlerror();
    std::fprintf(stderr, "typeloom: cannot load the start module %s: %s\n", path.c_str(), why != nullptr ? why : "");
    return 1;
  }
  return entry(argc, argv);
}
