#pragma once
// A registry made of others: a root and a key path prefix can be mounted onto a
// registry of its own, which then sees the paths below the prefix (the prefix itself
// as ""); every other key goes to the default registry. Handles are this object's own.
#include "platform/registry/Registry.h"

#include <map>
#include <string>
#include <vector>

namespace typeloom::platform {

class CompositeRegistry : public Registry {
 public:
  explicit CompositeRegistry(Registry& fallback) : fallback_(fallback) {}

  // Keys at `pathPrefix` and below it under `root` go to `target`; the longest
  // matching prefix wins. An empty prefix mounts the whole root.
  void Mount(RootKey root, std::string_view pathPrefix, Registry& target);

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
  struct MountPoint {
    RootKey root;
    std::string folded;  // normalised, folded prefix
    Registry* target;
  };
  struct Route {
    Registry* target;
    std::string path;  // the path the target sees
  };
  struct Opened {
    Registry* target;
    KeyHandle inner;
  };

  Route Resolve(RootKey root, std::string_view path) const;
  Route ResolveNew(RootKey root, std::string_view path) const;
  template <typename OpenCall>
  long Open(RootKey root, std::string_view path, KeyHandle* key, OpenCall call);
  const Opened* Find(KeyHandle key) const;

  Registry& fallback_;
  std::vector<MountPoint> mounts_;
  // The last path resolved and its route: callers open the same key over and over.
  mutable RootKey lastRoot_{};
  mutable std::string lastPath_;
  mutable Route lastRoute_{nullptr, {}};
  std::map<KeyHandle, Opened> handles_;
  KeyHandle nextHandle_ = 1;
};

}  // namespace typeloom::platform
