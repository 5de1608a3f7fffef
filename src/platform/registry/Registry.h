#pragma once
// The registry the program reads and writes: keys under predefined roots, values
// of type 1 (string), 2 (expandable string) and 4 (32-bit number). Calls return 0
// on success and an error code otherwise, as the program's callers expect.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace typeloom::platform {

enum class RootKey : std::uint32_t {
  ClassesRoot = 0x80000000u,
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
  CurrentConfig = 0x80000005u,
};

using KeyHandle = std::uint32_t;  // 0 is never a valid handle

namespace reg {
inline constexpr long kSuccess = 0;
inline constexpr long kFileNotFound = 2;
inline constexpr long kAccessDenied = 5;
inline constexpr long kInvalidHandle = 6;
inline constexpr long kMoreData = 234;
inline constexpr long kNoMoreItems = 259;
inline constexpr long kWriteFault = 29;
inline constexpr long kInvalidParameter = 87;

inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;

// Access bits that the implementations check: reading values, writing them.
inline constexpr std::uint32_t kQueryValueAccess = 0x0001;
inline constexpr std::uint32_t kSetValueAccess = 0x0002;

inline constexpr std::uint32_t kSz = 1;
inline constexpr std::uint32_t kExpandSz = 2;
inline constexpr std::uint32_t kDword = 4;

// Case-folded form of a key path or value name (UTF-8), for comparisons without case.
std::string FoldName(std::string_view name);
// A key path without empty parts (leading, trailing or doubled separators dropped);
// letter case is kept.
std::string NormalizePath(std::string_view path);
}  // namespace reg

class Registry;

// A value of an open key as ReadValues passes it on; the views last until the visit returns.
struct ValueView {
  std::string_view name;
  long status = reg::kSuccess;  // of asking the value's type and size; nothing below is set when it failed
  std::uint32_t type = 0;
  bool hasData = false;   // the data was read: only string and number values are, and a read can fail
  std::string_view data;  // a string's bytes as stored (up to its size), a number's four bytes
};
using ValueVisitor = std::function<bool(const ValueView&)>;

namespace reg {
// Reads one value by name as ReadValues does, with two calls of QueryValue (type and
// size, then data). `buffer` holds a string's data for as long as the view is used.
ValueView ReadValue(Registry& registry, KeyHandle key, std::string_view name, std::string& buffer);
}  // namespace reg

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens an existing key. Key paths use "\" between parts and compare without case.
  virtual long OpenKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) = 0;
  // Creates the key and its missing parents, or opens it when it exists.
  virtual long CreateKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) = 0;
  // Copies the name of value `index` into `name`; *nameLength holds the buffer size in
  // characters including the terminating zero, and on success the name's length without
  // it. On failure (no more values, buffer too small) *nameLength is left unchanged.
  virtual long EnumValue(KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength) = 0;
  // Reports the value's type and size; with `data` set also copies up to *size bytes.
  // A `data` buffer smaller than the value gives kMoreData.
  virtual long QueryValue(KeyHandle key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t* size) = 0;
  virtual long SetValue(KeyHandle key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t size) = 0;
  virtual long CloseKey(KeyHandle key) = 0;

  // Passes the values of an open key to `visit` in EnumValue's order, with their data
  // when `withData` is set, until `visit` returns false or the values end. A name of
  // `nameBuffer` bytes or more ends the walk, as EnumValue does with a buffer that
  // size. Returns kSuccess when the values ended or `visit` stopped, else the failing
  // call's code. This default enumerates and reads each value (reg::ReadValue);
  // a registry that holds its values in memory passes them on directly.
  virtual long ReadValues(KeyHandle key, std::uint32_t nameBuffer, bool withData, const ValueVisitor& visit);
};

}  // namespace typeloom::platform
