// Fuzz target: the executable's own part over any command line and any program path.
// The bytes are the arguments, split at zero bytes; then the whole input is the path
// /proc/self/exe names. Traps when an answer is given for anything but --version,
// --help or -h alone, or when the module is looked for outside the program's folder.
#include "app/Launcher.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace typeloom::app;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> arguments{"typeloom"};
  std::size_t start = 0;
  while (start <= bytes.size()) {
    const std::size_t end = bytes.find('\0', start);
    arguments.push_back(bytes.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::vector<const char*> argv;
  for (const std::string& a : arguments) argv.push_back(a.c_str());
  const auto answer = LauncherAnswer(static_cast<int>(argv.size()), argv.data());
  const bool alone = arguments.size() == 2 && (arguments[1] == "--version" || arguments[1] == "--help" || arguments[1] == "-h");
  if (answer.has_value() != alone || (answer && answer->empty())) std::abort();

  const std::size_t slash = bytes.rfind('/');
  const std::string folder = bytes.substr(0, slash == std::string::npos ? 0 : slash) + '/';
  for (const bool beside : {true, false}) {
    const std::string module = ModuleBesideProgram(bytes, "typeloom-start.so", "../lib/typeloom/typeloom-start.so",
                                                   [&](const std::string&) { return beside; });
    if (module.compare(0, folder.size(), folder) != 0) std::abort();
  }
  return 0;
}
