#pragma once
// The executable's own part, in plain C++: what it answers before any library is
// loaded, and where the start module (Qt Core, fontconfig: every other command line)
// lies.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace typeloom::app {

// The text the executable prints itself for the command line argv[0..argc): --version
// and --help (-h), each alone; nullopt for every other command line.
std::optional<std::string> LauncherAnswer(int argc, const char* const* argv);

// Whether the quick list module (QuickCoverageList.h) is asked first: `--list` with
// anything after it.
bool AsksQuickList(int argc, const char* const* argv);

// The module `file` beside the program `programPath` (the build tree) when `exists`
// says it is there, else `installedFromFolder` (its installed path relative to the
// program's folder) under the program's folder.
std::string ModuleBesideProgram(std::string_view programPath, std::string_view file,
                                std::string_view installedFromFolder,
                                const std::function<bool(const std::string&)>& exists);

}  // namespace typeloom::app
