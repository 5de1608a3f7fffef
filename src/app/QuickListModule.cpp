// The quick list module's entry: the executable calls it for `--list` with a query
// before it loads the start module, which answers whatever this one leaves.
#include "app/QuickCoverageList.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace typeloom::app {
// What the answer was read from, reachable until the process ends (the module stays
// loaded), so that leaving it is not reported as a leak.
const std::shared_ptr<const void>* quickListSources = nullptr;
}  // namespace typeloom::app

extern "C" __attribute__((visibility("default"))) int typeloom_quick_list(int argc, char** argv) {
  if (argc < 3) return -1;
  const std::vector<std::string_view> arguments(argv + 2, argv + argc);
  auto answer =
      typeloom::app::AnswerCoverageList(arguments, [](const char* name) { return std::getenv(name); }, environ);
  if (!answer) return -1;
  // The process ends after this answer: its thousands of index entries are left to
  // that end rather than torn down one by one.
  typeloom::app::quickListSources = new std::shared_ptr<const void>(std::move(answer->sources));
  std::fwrite(answer->text.data(), 1, answer->text.size(), stdout);
  const int status = std::fflush(stdout) == 0 ? 0 : 1;
  if (answer->afterwards) {
    // Whoever reads the answer has it whole now, without waiting for the saving.
    const int nothing = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nothing >= 0) {
      ::dup2(nothing, STDOUT_FILENO);
      ::close(nothing);
    }
    answer->afterwards();
  }
  return status;
}
