#include "options/RegistryModule.h"

#include <charconv>
#include <limits>
#include <optional>

namespace typeloom {

namespace reg = platform::reg;
using platform::KeyHandle;
using platform::Registry;
using platform::RootKey;

std::string RegistryResult::Text() const {
  if (IsText()) return std::get<std::string>(value_);
  if (IsNumber()) return std::to_string(std::get<std::int32_t>(value_));
  return {};
}

namespace RegistryModule {
namespace {

// Closes the key when the scope ends, whichever way it ends.
class OpenedKey {
 public:
  explicit OpenedKey(Registry& registry) : registry_(registry) {}
  ~OpenedKey() {
    if (handle_ != 0) registry_.CloseKey(handle_);
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  KeyHandle* out() { return &handle_; }
  KeyHandle get() const { return handle_; }

 private:
  Registry& registry_;
  KeyHandle handle_ = 0;
};

// A number in the text (blanks around it allowed), or nothing when there is none or
// it does not fit 32 bits.
std::optional<std::int32_t> ParseNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  std::int64_t n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(n);
}

}  // namespace

RegistryResult CreateKey(Registry& registry, RootKey root, std::string_view path) {
  OpenedKey key(registry);
  if (registry.CreateKey(root, path, reg::kKeyAllAccess, key.out()) != reg::kSuccess) {
    *key.out() = 0;  // nothing to close
    return RegistryResult::Error();
  }
  return RegistryResult::Success();
}

RegistryResult QueryValue(Registry& registry, RootKey root, std::string_view path, std::string_view valueName) {
  OpenedKey key(registry);
  if (registry.OpenKey(root, path, reg::kKeyRead, key.out()) != reg::kSuccess) {
    *key.out() = 0;
    return RegistryResult::Error();
  }
  return QueryValue(registry, key.get(), valueName);
}

RegistryResult QueryValue(Registry& registry, KeyHandle key, std::string_view valueName) {
  std::string buffer;
  return ValueResult(reg::ReadValue(registry, key, valueName, buffer));
}

RegistryResult ValueResult(const platform::ValueView& value) {
  if (value.status != reg::kSuccess) return RegistryResult::Error();
  if (!value.hasData) return {};
  if (value.type == reg::kSz) return RegistryResult(StringText(value.data));
  if (value.type == reg::kDword && value.data.size() >= 4) {
    const auto byte = [&](std::size_t i) { return std::uint32_t{static_cast<std::uint8_t>(value.data[i])}; };
    const std::uint32_t n = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
    return RegistryResult(static_cast<std::int32_t>(n));
  }
  return {};
}

std::string_view StringText(std::string_view data) { return data.substr(0, data.find('\0')); }

RegistryResult SetValue(Registry& registry, RootKey root, std::string_view path, std::string_view valueName,
                        std::int16_t type, const RegistryResult& value) {
  OpenedKey key(registry);
  if (registry.OpenKey(root, path, reg::kKeyAllAccess, key.out()) != reg::kSuccess) {
    *key.out() = 0;
    return RegistryResult::Error();
  }
  long rc = reg::kSuccess;
  if (type == static_cast<std::int16_t>(reg::kSz) || type == static_cast<std::int16_t>(reg::kExpandSz)) {
    const std::string text = value.Text();
    rc = registry.SetValue(key.get(), valueName, static_cast<std::uint32_t>(type),
                           reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<std::uint32_t>(text.size()));
  } else if (type == static_cast<std::int16_t>(reg::kDword)) {
    std::optional<std::int32_t> number;
    if (value.IsNumber()) {
      number = value.Number();
    } else if (value.IsEmpty()) {
      number = 0;
    } else {
      number = ParseNumber(value.Text());
    }
    if (!number) return RegistryResult::Error();
    const auto n = static_cast<std::uint32_t>(*number);
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                                   static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
    rc = registry.SetValue(key.get(), valueName, reg::kDword, bytes, sizeof bytes);
  } else {
    return RegistryResult::Error();  // a type this helper cannot write: nothing was written
  }
  return rc == reg::kSuccess ? RegistryResult::Success() : RegistryResult::Error();
}

}  // namespace RegistryModule
}  // namespace typeloom
