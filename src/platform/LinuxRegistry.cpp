#include "platform/LinuxRegistry.h"

#include "platform/CompositeRegistry.h"
#include "platform/FileHiveRegistry.h"
#include "platform/FontconfigFonts.h"
#include "platform/FontsKeyRegistry.h"

#include <string>

namespace typeloom::platform {
namespace {

// Owns the parts that the composite routes to.
class LinuxRegistry final : public Registry {
 public:
  LinuxRegistry(InstalledFonts& fonts, std::string hivePath)
      : hive_(hivePath.empty() ? FileHiveRegistry::DefaultPath() : std::move(hivePath)),
        fontsKey_(fonts),
        composite_(hive_) {
    composite_.Mount(RootKey::LocalMachine, kFontsKeyPath, fontsKey_);
  }

  long OpenKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) override {
    return composite_.OpenKey(root, path, access, key);
  }
  long CreateKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) override {
    return composite_.CreateKey(root, path, access, key);
  }
  long EnumValue(KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength) override {
    return composite_.EnumValue(key, index, name, nameLength);
  }
  long QueryValue(KeyHandle key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override {
    return composite_.QueryValue(key, name, type, data, size);
  }
  long SetValue(KeyHandle key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override {
    return composite_.SetValue(key, name, type, data, size);
  }
  long CloseKey(KeyHandle key) override { return composite_.CloseKey(key); }

 private:
  FileHiveRegistry hive_;
  FontsKeyRegistry fontsKey_;
  CompositeRegistry composite_;
};

}  // namespace

std::unique_ptr<Registry> MakeLinuxRegistry() { return MakeLinuxRegistry(LinuxInstalledFonts(), std::string()); }

std::unique_ptr<Registry> MakeLinuxRegistry(InstalledFonts& fonts, std::string hivePath) {
  return std::make_unique<LinuxRegistry>(fonts, std::move(hivePath));
}

}  // namespace typeloom::platform
