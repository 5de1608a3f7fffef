#include "platform/registry/LinuxRegistry.h"

#include "platform/registry/CompositeRegistry.h"
#include "platform/registry/FileHiveRegistry.h"
#include "platform/fonts/FontconfigFonts.h"
#include "platform/registry/FontsKeyRegistry.h"

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
};

}  // namespace

std::unique_ptr<Registry> MakeLinuxRegistry() { return MakeLinuxRegistry(LinuxInstalledFonts(), std::string()); }

std::unique_ptr<Registry> MakeLinuxRegistry(InstalledFonts& fonts, std::string hivePath) {
  return std::make_unique<LinuxRegistry>(fonts, std::move(hivePath));
}

}  // namespace typeloom::platform
