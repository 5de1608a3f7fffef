#include "platform/registry/LinuxRegistry.h"

#include "platform/registry/CompositeRegistry.h"
#include "platform/registry/FileHiveRegistry.h"
#include "platform/fonts/FontconfigFonts.h"
#include "platform/registry/FontsKeyRegistry.h"
#include "platform/shell/ShellBindings.h"

#include <optional>

#include <string>

namespace typeloom::platform {
namespace {

// The parts the composite routes to, constructed before it.
struct LinuxRegistryParts {
  LinuxRegistryParts(InstalledFonts& fonts, std::string hivePath)
      : hive(hivePath.empty() ? FileHiveRegistry::DefaultPath() : std::move(hivePath)), fontsKey(fonts) {}
  FileHiveRegistry hive;
  FontsKeyRegistry fontsKey;
};

class LinuxRegistry final : private LinuxRegistryParts, public CompositeRegistry {
 public:
  LinuxRegistry(InstalledFonts& fonts, std::string hivePath)
      : LinuxRegistryParts(fonts, std::move(hivePath)), CompositeRegistry(hive) {
    Mount(RootKey::LocalMachine, kFontsKeyPath, fontsKey);
  }
  // The font types' shell commands go to the desktop's own files.
  void MountShell(const ShellIdentity& identity) {
    shell.emplace(identity, XdgDirs::FromEnvironment());
    shell->MountOnto(*this);
  }

 private:
  std::optional<XdgShellMounts> shell;
};

}  // namespace

std::unique_ptr<Registry> MakeLinuxRegistry() { return MakeLinuxRegistry(LinuxInstalledFonts(), std::string()); }

std::unique_ptr<Registry> MakeLinuxRegistry(const ShellIdentity& identity) {
  auto registry = std::make_unique<LinuxRegistry>(LinuxInstalledFonts(), std::string());
  registry->MountShell(identity);
  return registry;
}

std::unique_ptr<Registry> MakeLinuxRegistry(InstalledFonts& fonts, std::string hivePath) {
  return std::make_unique<LinuxRegistry>(fonts, std::move(hivePath));
}

}  // namespace typeloom::platform
