// The quick list module's entry: the executable calls it for `--list` with a query
// before it loads the start module, which answers whatever this one leaves.
#include "app/QuickCoverageList.h"

#include <cstdio>
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) int typeloom_quick_list(int argc, char** argv) {
  if (argc < 3) return -1;
  const std::vector<std::string_view> arguments(argv + 2, argv + argc);
  const auto answer = typeloom::app::AnswerCoverageList(arguments, [](const char* name) { return std::getenv(name); });
  if (!answer) return -1;
  std::fwrite(answer->text.data(), 1, answer->text.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
