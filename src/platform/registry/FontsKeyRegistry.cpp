#include "platform/registry/FontsKeyRegistry.h"

#include <cstring>

namespace typeloom::platform {

const std::vector<InstalledFontFile>& FontsKeyRegistry::Files() { return fonts_.Files(); }

// The index by folded name is built on the first lookup that needs it.
const std::unordered_map<std::string, std::size_t>& FontsKeyRegistry::ByName() {
  if (!indexed_) {
    indexed_ = true;
    const auto& files = fonts_.Files();
    byName_.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) byName_.try_emplace(reg::FoldName(files[i].valueName), i);
  }
  return byName_;
}

long FontsKeyRegistry::OpenKey(RootKey, std::string_view path, std::uint32_t access, KeyHandle* key) {
  if (key == nullptr) return reg::kInvalidParameter;
  if (!reg::NormalizePath(path).empty()) return reg::kFileNotFound;
  *key = nextHandle_++;
  handles_[*key] = access;
  return reg::kSuccess;
}

long FontsKeyRegistry::CreateKey(RootKey, std::string_view, std::uint32_t, KeyHandle*) { return reg::kAccessDenied; }

long FontsKeyRegistry::EnumValue(KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength) {
  const auto open = handles_.find(key);
  if (open == handles_.end()) return reg::kInvalidHandle;
  if ((open->second & reg::kQueryValueAccess) == 0) return reg::kAccessDenied;
  if (name == nullptr || nameLength == nullptr) return reg::kInvalidParameter;
  const auto& files = Files();
  if (index >= files.size()) return reg::kNoMoreItems;
  const std::string& found = files[index].valueName;
  lastFound_ = index;
  if (found.size() + 1 > *nameLength) return reg::kMoreData;
  std::memcpy(name, found.c_str(), found.size() + 1);
  *nameLength = static_cast<std::uint32_t>(found.size());
  return reg::kSuccess;
}

long FontsKeyRegistry::QueryValue(KeyHandle key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* size) {
  const auto open = handles_.find(key);
  if (open == handles_.end()) return reg::kInvalidHandle;
  if ((open->second & reg::kQueryValueAccess) == 0) return reg::kAccessDenied;
  if (data != nullptr && size == nullptr) return reg::kInvalidParameter;
  const auto& files = Files();
  // Values are mostly read right after they were enumerated: the exact name of the
  // last value found needs no folding.
  std::size_t found = lastFound_;
  if (found >= files.size() || files[found].valueName != name) {
    const auto& byName = ByName();
    const auto it = byName.find(reg::FoldName(name));
    if (it == byName.end()) return reg::kFileNotFound;
    found = it->second;
    lastFound_ = found;
  }
  // String data with its terminating zero, as the system's fonts key stores it.
  const std::string& file = files[found].fileName;
  const auto length = static_cast<std::uint32_t>(file.size() + 1);
  if (type != nullptr) *type = reg::kSz;
  if (data != nullptr) {
    if (*size < length) {
      *size = length;
      return reg::kMoreData;
    }
    std::memcpy(data, file.c_str(), length);
  }
  if (size != nullptr) *size = length;
  return reg::kSuccess;
}

// Every value is a string: the file's base name with its terminating zero, as
// QueryValue gives it, passed on straight from the file records.
long FontsKeyRegistry::ReadValues(KeyHandle key, std::uint32_t nameBuffer, bool withData, const ValueVisitor& visit) {
  const auto open = handles_.find(key);
  if (open == handles_.end()) return reg::kInvalidHandle;
  if ((open->second & reg::kQueryValueAccess) == 0) return reg::kAccessDenied;
  ValueView value;
  if (withData) {
    value.type = reg::kSz;
    value.hasData = true;
  }
  for (const InstalledFontFile& file : Files()) {
    if (file.valueName.size() >= nameBuffer) return reg::kMoreData;
    value.name = file.valueName;
    if (withData) value.data = std::string_view(file.fileName.c_str(), file.fileName.size() + 1);
    if (!visit(value)) break;
  }
  return reg::kSuccess;
}

long FontsKeyRegistry::SetValue(KeyHandle key, std::string_view, std::uint32_t, const std::uint8_t*, std::uint32_t) {
  return handles_.count(key) == 1 ? reg::kAccessDenied : reg::kInvalidHandle;
}

long FontsKeyRegistry::CloseKey(KeyHandle key) {
  return handles_.erase(key) == 1 ? reg::kSuccess : reg::kInvalidHandle;
}

}  // namespace typeloom::platform
