#include "support/FakeRegistry.h"

#include <algorithm>
#include <cstring>

namespace typeloom::testsupport {

using platform::KeyHandle;
using platform::RootKey;
namespace reg = platform::reg;

void FakeRegistry::FailCall(Call call, long code, int occurrence) {
  failures_.push_back(Failure{call, code, occurrence <= 0 ? -1 : occurrence - 1});
}

FakeRegistry::KeyId FakeRegistry::Id(RootKey root, std::string_view path) {
  return {static_cast<std::uint32_t>(root), reg::FoldName(reg::NormalizePath(path))};
}

long FakeRegistry::Intercept(Call call) {
  ++calls_[call];
  for (auto it = failures_.begin(); it != failures_.end(); ++it) {
    if (it->call != call) continue;
    if (it->remaining < 0) return it->code;
    if (it->remaining == 0) {
      const long code = it->code;
      failures_.erase(it);
      return code;
    }
    --it->remaining;
  }
  return reg::kSuccess;
}

int FakeRegistry::Calls(Call call) const {
  const auto it = calls_.find(call);
  return it == calls_.end() ? 0 : it->second;
}

void FakeRegistry::AddKey(RootKey root, std::string_view path) {
  const std::string normal = reg::NormalizePath(path);
  for (std::size_t end = 0; end != std::string::npos;) {
    end = normal.find('\\', end + 1);
    keys_.try_emplace(Id(root, normal.substr(0, end)));
  }
}

void FakeRegistry::Put(RootKey root, std::string_view path, std::string_view name, std::uint32_t type,
                       std::string data) {
  AddKey(root, path);
  auto& values = keys_[Id(root, path)];
  const std::string folded = reg::FoldName(name);
  const auto it = std::find_if(values.begin(), values.end(), [&](const Value& v) { return reg::FoldName(v.name) == folded; });
  if (it != values.end()) {
    it->stored = StoredValue{type, std::move(data)};
  } else {
    values.push_back(Value{std::string(name), StoredValue{type, std::move(data)}});
  }
}

bool FakeRegistry::HasKey(RootKey root, std::string_view path) const { return keys_.count(Id(root, path)) == 1; }

std::optional<FakeRegistry::StoredValue> FakeRegistry::Get(RootKey root, std::string_view path,
                                                           std::string_view name) const {
  const auto key = keys_.find(Id(root, path));
  if (key == keys_.end()) return std::nullopt;
  const std::string folded = reg::FoldName(name);
  for (const Value& v : key->second) {
    if (reg::FoldName(v.name) == folded) return v.stored;
  }
  return std::nullopt;
}

std::size_t FakeRegistry::ValueCount(RootKey root, std::string_view path) const {
  const auto key = keys_.find(Id(root, path));
  return key == keys_.end() ? 0 : key->second.size();
}

const FakeRegistry::Open* FakeRegistry::Handle(KeyHandle key) const {
  const auto it = handles_.find(key);
  return it == handles_.end() ? nullptr : &it->second;
}

std::vector<FakeRegistry::Value>* FakeRegistry::Values(const KeyId& id) {
  const auto it = keys_.find(id);
  return it == keys_.end() ? nullptr : &it->second;
}

long FakeRegistry::OpenKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) {
  if (const long rc = Intercept(Call::OpenKey); rc != reg::kSuccess) return rc;
  if (key == nullptr) return reg::kInvalidParameter;
  KeyId id = Id(root, path);
  if (!id.second.empty() && keys_.count(id) == 0) return reg::kFileNotFound;
  *key = nextHandle_++;
  handles_[*key] = Open{std::move(id), access};
  return reg::kSuccess;
}

long FakeRegistry::CreateKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) {
  if (const long rc = Intercept(Call::CreateKey); rc != reg::kSuccess) return rc;
  if (key == nullptr) return reg::kInvalidParameter;
  AddKey(root, path);
  *key = nextHandle_++;
  handles_[*key] = Open{Id(root, path), access};
  return reg::kSuccess;
}

long FakeRegistry::EnumValue(KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength) {
  if (const long rc = Intercept(Call::EnumValue); rc != reg::kSuccess) return rc;
  const Open* open = Handle(key);
  if (open == nullptr) return reg::kInvalidHandle;
  if ((open->access & reg::kQueryValueAccess) == 0) return reg::kAccessDenied;
  if (name == nullptr || nameLength == nullptr) return reg::kInvalidParameter;
  const auto* values = Values(open->id);
  if (values == nullptr || index >= values->size()) return reg::kNoMoreItems;
  const std::string& found = (*values)[index].name;
  if (found.size() + 1 > *nameLength) return reg::kMoreData;
  std::memcpy(name, found.c_str(), found.size() + 1);
  *nameLength = static_cast<std::uint32_t>(found.size());
  return reg::kSuccess;
}

long FakeRegistry::QueryValue(KeyHandle key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) {
  if (const long rc = Intercept(Call::QueryValue); rc != reg::kSuccess) return rc;
  const Open* open = Handle(key);
  if (open == nullptr) return reg::kInvalidHandle;
  if ((open->access & reg::kQueryValueAccess) == 0) return reg::kAccessDenied;
  if (data != nullptr && size == nullptr) return reg::kInvalidParameter;
  auto* values = Values(open->id);
  if (values == nullptr) return reg::kFileNotFound;
  const std::string folded = reg::FoldName(name);
  const auto it = std::find_if(values->begin(), values->end(), [&](const Value& v) { return reg::FoldName(v.name) == folded; });
  if (it == values->end()) return reg::kFileNotFound;
  if (type != nullptr) *type = it->stored.type;
  const auto length = static_cast<std::uint32_t>(it->stored.data.size());
  if (data != nullptr) {
    if (*size < length) {
      *size = length;
      return reg::kMoreData;
    }
    std::memcpy(data, it->stored.data.data(), length);
  }
  if (size != nullptr) *size = length;
  return reg::kSuccess;
}

long FakeRegistry::SetValue(KeyHandle key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                            std::uint32_t size) {
  if (const long rc = Intercept(Call::SetValue); rc != reg::kSuccess) return rc;
  const Open* open = Handle(key);
  if (open == nullptr) return reg::kInvalidHandle;
  if ((open->access & reg::kSetValueAccess) == 0) return reg::kAccessDenied;
  if (data == nullptr && size != 0) return reg::kInvalidParameter;
  auto& values = keys_[open->id];
  std::string bytes(reinterpret_cast<const char*>(data), data == nullptr ? 0 : size);
  const std::string folded = reg::FoldName(name);
  const auto it = std::find_if(values.begin(), values.end(), [&](const Value& v) { return reg::FoldName(v.name) == folded; });
  if (it != values.end()) {
    it->stored = StoredValue{type, std::move(bytes)};
  } else {
    values.push_back(Value{std::string(name), StoredValue{type, std::move(bytes)}});
  }
  return reg::kSuccess;
}

long FakeRegistry::CloseKey(KeyHandle key) {
  if (const long rc = Intercept(Call::CloseKey); rc != reg::kSuccess) return rc;
  return handles_.erase(key) == 1 ? reg::kSuccess : reg::kInvalidHandle;
}

}  // namespace typeloom::testsupport
