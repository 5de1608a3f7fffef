#include "support/FakeRegistry.h"

#include "platform/registry/FileHiveRegistry.h"

namespace typeloom::testsupport {

using platform::KeyHandle;
using platform::RootKey;
namespace reg = platform::reg;

namespace {

std::unique_ptr<platform::Registry> HiveIn(const QTemporaryDir& dir) {
  return std::make_unique<platform::FileHiveRegistry>((dir.path() + "/registry.hive").toStdString());
}

}  // namespace

FakeRegistry::FakeRegistry()
    : dir_(std::make_unique<QTemporaryDir>()), own_(HiveIn(*dir_)), inner_(*own_) {}

FakeRegistry::FakeRegistry(platform::Registry& inner) : inner_(inner) {}

FakeRegistry::~FakeRegistry() = default;

void FakeRegistry::FailCall(Call call, long code, int occurrence) {
  failures_.push_back(Failure{call, code, occurrence <= 0 ? -1 : occurrence - 1});
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

void FakeRegistry::Put(RootKey root, std::string_view path, std::string_view name, std::uint32_t type,
                       std::string data) {
  KeyHandle h = 0;
  if (inner_.CreateKey(root, path, reg::kKeyAllAccess, &h) != reg::kSuccess) return;
  inner_.SetValue(h, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                  static_cast<std::uint32_t>(data.size()));
  inner_.CloseKey(h);
}

bool FakeRegistry::HasKey(RootKey root, std::string_view path) const {
  KeyHandle h = 0;
  if (inner_.OpenKey(root, path, reg::kKeyRead, &h) != reg::kSuccess) return false;
  inner_.CloseKey(h);
  return true;
}

std::optional<FakeRegistry::StoredValue> FakeRegistry::Get(RootKey root, std::string_view path,
                                                           std::string_view name) const {
  KeyHandle h = 0;
  if (inner_.OpenKey(root, path, reg::kKeyRead, &h) != reg::kSuccess) return std::nullopt;
  std::optional<StoredValue> out;
  std::uint32_t type = 0, size = 0;
  if (inner_.QueryValue(h, name, &type, nullptr, &size) == reg::kSuccess) {
    std::string data(size, '\0');
    if (inner_.QueryValue(h, name, &type, reinterpret_cast<std::uint8_t*>(data.data()), &size) == reg::kSuccess) {
      out = StoredValue{type, std::move(data)};
    }
  }
  inner_.CloseKey(h);
  return out;
}

std::size_t FakeRegistry::ValueCount(RootKey root, std::string_view path) const {
  KeyHandle h = 0;
  if (inner_.OpenKey(root, path, reg::kKeyRead, &h) != reg::kSuccess) return 0;
  std::size_t count = 0;
  char name[2000];
  for (std::uint32_t length = sizeof name; inner_.EnumValue(h, static_cast<std::uint32_t>(count), name, &length) ==
                                           reg::kSuccess;
       length = sizeof name) {
    ++count;
  }
  inner_.CloseKey(h);
  return count;
}

long FakeRegistry::OpenKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) {
  if (const long rc = Intercept(Call::OpenKey); rc != reg::kSuccess) return rc;
  const long rc = inner_.OpenKey(root, path, access, key);
  if (rc == reg::kSuccess) ++open_;
  return rc;
}

long FakeRegistry::CreateKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) {
  if (const long rc = Intercept(Call::CreateKey); rc != reg::kSuccess) return rc;
  const long rc = inner_.CreateKey(root, path, access, key);
  if (rc == reg::kSuccess) ++open_;
  return rc;
}

long FakeRegistry::EnumValue(KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength) {
  if (const long rc = Intercept(Call::EnumValue); rc != reg::kSuccess) return rc;
  return inner_.EnumValue(key, index, name, nameLength);
}

long FakeRegistry::QueryValue(KeyHandle key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) {
  if (const long rc = Intercept(Call::QueryValue); rc != reg::kSuccess) return rc;
  return inner_.QueryValue(key, name, type, data, size);
}

long FakeRegistry::SetValue(KeyHandle key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                            std::uint32_t size) {
  if (const long rc = Intercept(Call::SetValue); rc != reg::kSuccess) return rc;
  return inner_.SetValue(key, name, type, data, size);
}

long FakeRegistry::CloseKey(KeyHandle key) {
  if (const long rc = Intercept(Call::CloseKey); rc != reg::kSuccess) return rc;
  const long rc = inner_.CloseKey(key);
  if (rc == reg::kSuccess) --open_;
  return rc;
}

}  // namespace typeloom::testsupport
