#include "app/Launcher.h"

#include "app/CommandLineHelp.h"
#include "app/Version.h"

namespace typeloom::app {

std::optional<std::string> LauncherAnswer(int argc, const char* const* argv) {
  if (argc != 2 || argv[1] == nullptr) return std::nullopt;
  const std::string_view option = argv[1];
  if (option == "--version") {
    return std::string(kAppTitle) + ' ' + std::to_string(kVersionMajor) + '.' + std::to_string(kVersionMinor) + '\n';
  }
  if (option == "--help" || option == "-h") return cli::HelpText();
  return std::nullopt;
}

bool AsksQuickList(int argc, const char* const* argv) {
  return argc > 2 && argv[1] != nullptr && std::string_view(argv[1]) == "--list";
}

std::string ModuleBesideProgram(std::string_view programPath, std::string_view file,
                                std::string_view installedFromFolder,
                                const std::function<bool(const std::string&)>& exists) {
  const std::size_t slash = programPath.rfind('/');
  const std::string folder(programPath.substr(0, slash == std::string_view::npos ? 0 : slash));
  std::string beside = folder + '/';
  beside += file;
  if (exists(beside)) return beside;
  std::string installed = folder + '/';
  installed += installedFromFolder;
  return installed;
}

}  // namespace typeloom::app
