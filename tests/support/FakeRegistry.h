#pragma once
// Registry for unit tests: a file hive in a temporary folder (or any registry it is
// given), seen through a layer that counts open handles and calls and injects
// failures per call kind.
#include "platform/registry/Registry.h"

#include <QTemporaryDir>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace typeloom::testsupport {

class FakeRegistry final : public platform::Registry {
 public:
  enum class Call { OpenKey, CreateKey, EnumValue, QueryValue, SetValue, CloseKey };
  struct StoredValue {
    std::uint32_t type = 0;
    std::string data;
  };

  FakeRegistry();  // over a hive of its own
  explicit FakeRegistry(platform::Registry& inner);
  ~FakeRegistry() override;

  // Makes the `occurrence`-th call of `call` from now on (1 = the next one) return
  // `code` without doing anything; occurrence 0 makes every such call fail.
  void FailCall(Call call, long code, int occurrence = 1);
  void ClearFailures() { failures_.clear(); }

  // Seeding and inspection, bypassing the counts and failures.
  void Put(platform::RootKey root, std::string_view path, std::string_view name, std::uint32_t type,
           std::string data);
  bool HasKey(platform::RootKey root, std::string_view path) const;
  std::optional<StoredValue> Get(platform::RootKey root, std::string_view path, std::string_view name) const;
  std::size_t ValueCount(platform::RootKey root, std::string_view path) const;

  int OpenHandles() const { return open_; }
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
  struct Failure {
    Call call;
    long code;
    int remaining;  // calls to let through first; -1: fail every call
  };

  // Counts the call and returns the injected failure code, or kSuccess.
  long Intercept(Call call);

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<platform::Registry> own_;
  platform::Registry& inner_;
  int open_ = 0;
  std::vector<Failure> failures_;
  std::map<Call, int> calls_;
};

}  // namespace typeloom::testsupport
