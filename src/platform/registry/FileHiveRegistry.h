#pragma once
// A registry kept in one small per-user file ($XDG_DATA_HOME/typeloom/registry.hive).
//
// Every change is a locked read-modify-write: the file is re-read under a lock file
// beside it, changed and replaced atomically (write to a temporary, flush, rename), so
// a crash mid-write leaves the previous file intact and two processes writing at the
// same time keep each other's keys. Reads re-read the file whenever another process
// has replaced it. Content that cannot be read (truncated, corrupt) counts as empty;
// before the first write over it, it is copied to registry.hive.corrupt.
#include "platform/registry/Registry.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace typeloom::platform {

class FileHiveRegistry final : public Registry {
 public:
  FileHiveRegistry();                         // the per-user hive, DefaultPath()
  explicit FileHiveRegistry(std::string path);  // a hive at an explicit path (tests)

  // $XDG_DATA_HOME (or ~/.local/share) + "/typeloom/registry.hive".
  static std::string DefaultPath();
  const std::string& Path() const { return path_; }
  // Where the unreadable content found at Path() was copied, empty when none was.
  const std::string& BackupPath() const { return backupPath_; }

  long OpenKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) override;
  long CreateKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) override;
  long EnumValue(KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength) override;
  long QueryValue(KeyHandle key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override;
  long SetValue(KeyHandle key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override;
  long CloseKey(KeyHandle key) override;

 private:
  struct Value {
    std::string name;  // as first written
    std::uint32_t type = 0;
    std::string data;  // raw bytes
  };
  struct Key {
    std::string path;  // normalised, letter case as created
    std::vector<Value> values;  // insertion order
  };
  using KeyId = std::pair<std::uint32_t, std::string>;  // root, folded path
  using Keys = std::map<KeyId, Key>;
  struct OpenKeyEntry {
    KeyId id;
    std::string path;  // normalised, as the caller wrote it
    std::uint32_t access = 0;
  };
  struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t mtimeSec = 0, mtimeNsec = 0;
    bool operator==(const FileStamp&) const = default;
  };

  static std::string Serialize(const Keys& keys);
  static bool Parse(const std::string& bytes, Keys* keys);
  FileStamp Stamp() const;
  void Refresh();  // re-reads the file when it is not the one last read
  void Load();
  bool BackUpCorruptFile();
  // Runs `change` on a fresh copy of the file's keys under the lock and writes the
  // result when `change` reports a change. Returns kWriteFault when the lock, the
  // backup or the write fails; the file is then left as it was.
  template <typename Change>
  long Modify(Change change);
  const Key* Find(const KeyId& id) const;
  static bool AddKeyAndParents(Keys& keys, std::uint32_t root, const std::string& path);  // true if any was added
  KeyHandle NewHandle(KeyId id, std::string path, std::uint32_t access);
  const OpenKeyEntry* Handle(KeyHandle key) const;

  std::string path_;
  std::string backupPath_;
  Keys keys_;
  bool corrupt_ = false;
  FileStamp stamp_;
  std::map<KeyHandle, OpenKeyEntry> handles_;
};

}  // namespace typeloom::platform
