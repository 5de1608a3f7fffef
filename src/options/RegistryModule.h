#pragma once
// Three small registry operations that open what they need, do one thing, close every
// key they opened on every path and report the outcome as a result instead of failing.
#include "platform/registry/Registry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace typeloom {

// The outcome of a registry helper: empty, a text or a 32-bit number. The results
// "Success!" and "Error!" are texts; Error() is also marked as a failure, so a stored
// value that happens to read "Error!" is not taken for one by IsError().
class RegistryResult {
 public:
  using Value = std::variant<std::monostate, std::string, std::int32_t>;

  RegistryResult() = default;
  RegistryResult(std::monostate) {}
  RegistryResult(std::string text) : value_(std::move(text)) {}
  RegistryResult(std::string_view text) : value_(std::string(text)) {}
  RegistryResult(const char* text) : value_(std::string(text)) {}
  RegistryResult(std::int32_t number) : value_(number) {}

  static RegistryResult Success() { return RegistryResult("Success!"); }
  static RegistryResult Error() {
    RegistryResult r("Error!");
    r.error_ = true;
    return r;
  }

  bool IsError() const { return error_; }
  bool IsSuccess() const { return !error_ && IsText() && std::get<std::string>(value_) == "Success!"; }
  bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  bool IsText() const { return std::holds_alternative<std::string>(value_); }
  bool IsNumber() const { return std::holds_alternative<std::int32_t>(value_); }
  // Empty as "", a number as its decimal text.
  std::string Text() const;
  std::int32_t Number() const { return IsNumber() ? std::get<std::int32_t>(value_) : 0; }
  const Value& value() const { return value_; }

  bool operator==(const RegistryResult& other) const = default;

 private:
  Value value_;
  bool error_ = false;
};

namespace RegistryModule {

// Creates the key (and missing parents) or opens an existing one: "Success!" or "Error!".
RegistryResult CreateKey(platform::Registry& registry, platform::RootKey root, std::string_view path);

// The value's text (up to its first zero byte) for type 1, its number for type 4,
// empty for any other type or when the second read fails; "Error!" when the key or
// the value cannot be opened.
RegistryResult QueryValue(platform::Registry& registry, platform::RootKey root, std::string_view path,
                          std::string_view valueName);
// The same for a value of a key the caller holds open (and closes).
RegistryResult QueryValue(platform::Registry& registry, platform::KeyHandle key, std::string_view valueName);

// What QueryValue gives for a value read by reg::ReadValue or passed on by
// Registry::ReadValues: "Error!" when its type could not be asked, else as above.
RegistryResult ValueResult(const platform::ValueView& value);
// A string value's text: its data up to the first zero byte.
std::string_view StringText(std::string_view data);

// Writes the value into an existing key as type 1 or 2 (the value as text, without a
// terminating zero) or 4 (the value as a 32-bit number): "Success!" or "Error!".
// "Error!" too for a key that does not exist, a value that is no number for type 4,
// and any other type (nothing is written then).
RegistryResult SetValue(platform::Registry& registry, platform::RootKey root, std::string_view path,
                        std::string_view valueName, std::int16_t type, const RegistryResult& value);

}  // namespace RegistryModule
}  // namespace typeloom
