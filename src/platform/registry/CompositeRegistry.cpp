#include "platform/registry/CompositeRegistry.h"

namespace typeloom::platform {

void CompositeRegistry::Mount(RootKey root, std::string_view pathPrefix, Registry& target) {
  mounts_.push_back(MountPoint{root, reg::FoldName(reg::NormalizePath(pathPrefix)), &target});
  lastRoute_.target = nullptr;
}

CompositeRegistry::Route CompositeRegistry::Resolve(RootKey root, std::string_view path) const {
  if (lastRoute_.target != nullptr && root == lastRoot_ && path == lastPath_) return lastRoute_;
  Route route = ResolveNew(root, path);
  lastRoot_ = root;
  lastPath_ = path;
  lastRoute_ = route;
  return route;
}

CompositeRegistry::Route CompositeRegistry::ResolveNew(RootKey root, std::string_view path) const {
  const std::string normal = reg::NormalizePath(path);
  const std::string folded = reg::FoldName(normal);
  const MountPoint* best = nullptr;
  for (const MountPoint& m : mounts_) {
    if (m.root != root) continue;
    const bool matches = m.folded.empty() || folded == m.folded ||
                         (folded.size() > m.folded.size() && folded.compare(0, m.folded.size(), m.folded) == 0 &&
                          folded[m.folded.size()] == '\\');
    if (matches && (best == nullptr || m.folded.size() > best->folded.size())) best = &m;
  }
  if (best == nullptr) return Route{&fallback_, normal};
  if (best->folded.empty()) return Route{best->target, normal};
  // The target sees the parts after the prefix's parts (folding may change byte lengths).
  std::size_t parts = 1;
  for (char c : best->folded) parts += c == '\\' ? 1 : 0;
  std::size_t pos = 0;
  for (std::size_t n = 0; n < parts && pos != std::string::npos; ++n) {
    pos = normal.find('\\', pos);
    if (pos != std::string::npos) ++pos;
  }
  return Route{best->target, pos == std::string::npos ? std::string() : normal.substr(pos)};
}

template <typename OpenCall>
long CompositeRegistry::Open(RootKey root, std::string_view path, KeyHandle* key, OpenCall call) {
  if (key == nullptr) return reg::kInvalidParameter;
  const Route route = Resolve(root, path);
  KeyHandle inner = 0;
  const long rc = call(*route.target, route.path, &inner);
  if (rc != reg::kSuccess) return rc;
  while (nextHandle_ == 0 || handles_.count(nextHandle_) != 0) ++nextHandle_;
  *key = nextHandle_++;
  handles_[*key] = Opened{route.target, inner};
  return reg::kSuccess;
}

const CompositeRegistry::Opened* CompositeRegistry::Find(KeyHandle key) const {
  const auto it = handles_.find(key);
  return it == handles_.end() ? nullptr : &it->second;
}

long CompositeRegistry::OpenKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) {
  return Open(root, path, key, [&](Registry& r, const std::string& p, KeyHandle* inner) {
    return r.OpenKey(root, p, access, inner);
  });
}

long CompositeRegistry::CreateKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) {
  return Open(root, path, key, [&](Registry& r, const std::string& p, KeyHandle* inner) {
    return r.CreateKey(root, p, access, inner);
  });
}

long CompositeRegistry::EnumValue(KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength) {
  const Opened* o = Find(key);
  return o == nullptr ? reg::kInvalidHandle : o->target->EnumValue(o->inner, index, name, nameLength);
}

long CompositeRegistry::QueryValue(KeyHandle key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                                   std::uint32_t* size) {
  const Opened* o = Find(key);
  return o == nullptr ? reg::kInvalidHandle : o->target->QueryValue(o->inner, name, type, data, size);
}

long CompositeRegistry::ReadValues(KeyHandle key, std::uint32_t nameBuffer, bool withData,
                                   const ValueVisitor& visit) {
  const Opened* o = Find(key);
  return o == nullptr ? reg::kInvalidHandle : o->target->ReadValues(o->inner, nameBuffer, withData, visit);
}

long CompositeRegistry::SetValue(KeyHandle key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                                 std::uint32_t size) {
  const Opened* o = Find(key);
  return o == nullptr ? reg::kInvalidHandle : o->target->SetValue(o->inner, name, type, data, size);
}

long CompositeRegistry::CloseKey(KeyHandle key) {
  const auto it = handles_.find(key);
  if (it == handles_.end()) return reg::kInvalidHandle;
  const Opened o = it->second;
  handles_.erase(it);
  return o.target->CloseKey(o.inner);
}

}  // namespace typeloom::platform
