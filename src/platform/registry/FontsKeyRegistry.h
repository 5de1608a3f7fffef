#pragma once
// The fonts key as a read-only registry: the key itself (path "") holds one string
// value per installed font file, named after the font, with the file's base name as
// its data. It has no subkeys; writing and creating are refused. The font list is
// read on first use.
#include "platform/fonts/InstalledFonts.h"
#include "platform/registry/Registry.h"

#include <map>
#include <string>
#include <unordered_map>

namespace typeloom::platform {

class FontsKeyRegistry final : public Registry {
 public:
  explicit FontsKeyRegistry(InstalledFonts& fonts) : fonts_(fonts) {}

  long OpenKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) override;
  long CreateKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) override;
  long EnumValue(KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength) override;
  long QueryValue(KeyHandle key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override;
  long SetValue(KeyHandle key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override;
  long CloseKey(KeyHandle key) override;
  long ReadValues(KeyHandle key, std::uint32_t nameBuffer, bool withData, const ValueVisitor& visit) override;

 private:
  const std::vector<InstalledFontFile>& Files();
  const std::unordered_map<std::string, std::size_t>& ByName();

  InstalledFonts& fonts_;
  bool indexed_ = false;
  std::unordered_map<std::string, std::size_t> byName_;  // folded value name -> first file with it
  std::size_t lastFound_ = static_cast<std::size_t>(-1);  // the value last enumerated or looked up
  std::map<KeyHandle, std::uint32_t> handles_;           // handle -> access
  KeyHandle nextHandle_ = 1;
};

}  // namespace typeloom::platform
