#pragma once
// In-memory Registry for unit tests. Same rules as the file hive (keys and value
// names without case, values in insertion order, access rights checked), plus:
// counts of open handles and of calls, and failures injected per call kind.
#include "platform/Registry.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace typeloom::testsupport {

class FakeRegistry final : public platform::Registry {
 public:
  enum class Call { OpenKey, CreateKey, EnumValue, QueryValue, SetValue, CloseKey };
  struct StoredValue {
    std::uint32_t type = 0;
    std::string data;
  };

  // Makes the `occurrence`-th call of `call` from now on (1 = the next one) return
  // `code` without doing anything; occurrence 0 makes every such call fail.
  void FailCall(Call call, long code, int occurrence = 1);
  void ClearFailures() { failures_.clear(); }

  // Seeding and inspection, bypassing handles and failures.
  void Put(platform::RootKey root, std::string_view path, std::string_view name, std::uint32_t type,
           std::string data);
  bool HasKey(platform::RootKey root, std::string_view path) const;
  std::optional<StoredValue> Get(platform::RootKey root, std::string_view path, std::string_view name) const;
  std::size_t ValueCount(platform::RootKey root, std::string_view path) const;

  int OpenHandles() const { return static_cast<int>(handles_.size()); }
  int Calls(Call call) const;

  long OpenKey(platform::RootKey root, std::string_view path, std::uint32_t access,
               platform::KeyHandle* key) override;
  long CreateKey(platform::RootKey root, std::string_view path, std::uint32_t access,
                 platform::KeyHandle* key) override;
  long EnumValue(platform::KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength) override;
  long QueryValue(platform::KeyHandle key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override;
  long SetValue(platform::KeyHandle key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override;
  long CloseKey(platform::KeyHandle key) override;

 private:
  struct Value {
    std::string name;
    StoredValue stored;
  };
  using KeyId = std::pair<std::uint32_t, std::string>;  // root, folded normalised path
  struct Open {
    KeyId id;
    std::uint32_t access = 0;
  };
  struct Failure {
    Call call;
    long code;
    int remaining;  // calls to let through first; -1: fail every call
  };

  static KeyId Id(platform::RootKey root, std::string_view path);
  // Counts the call and returns the injected failure code, or kSuccess.
  long Intercept(Call call);
  void AddKey(platform::RootKey root, std::string_view path);
  const Open* Handle(platform::KeyHandle key) const;
  std::vector<Value>* Values(const KeyId& id);

  std::map<KeyId, std::vector<Value>> keys_;
  std::map<platform::KeyHandle, Open> handles_;
  platform::KeyHandle nextHandle_ = 1;
  std::vector<Failure> failures_;
  std::map<Call, int> calls_;
};

}  // namespace typeloom::testsupport
