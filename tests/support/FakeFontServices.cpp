#include "support/FakeFontServices.h"

#include <sys/stat.h>

#include <cctype>

namespace typeloom::testing {

std::string FakeFaceNameResolver::FamilyOfFile(const std::string& path, unsigned index) {
  const auto it = fileFamilies.find({path, index});
  return it == fileFamilies.end() ? std::string() : it->second;
}

std::optional<std::string> FakeFaceNameResolver::ResolveFace(std::string_view name) {
  asked.emplace_back(name);
  if (name.empty()) return std::nullopt;
  if (known.count(std::string(name)) > 0) return std::string(name);
  // As fontconfig does, a family asked in another case resolves to the family as
  // the font spells it.
  const auto lower = [](std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
  };
  for (const std::string& face : known) {
    if (lower(face) == lower(name)) return face;
  }
  return fallback;
}

int FakeFontSession::AddFont(const std::string& path) {
  calls.push_back("add " + path);
  const auto it = loadable.find(path);
  if (it == loadable.end()) return 0;
  ++added[path];
  for (const auto& family : it->second) faces_.known.insert(family);
  return it->second.empty() ? 1 : static_cast<int>(it->second.size());
}

bool FakeFontSession::RemoveFont(const std::string& path) {
  calls.push_back("remove " + path);
  const auto it = added.find(path);
  if (it == added.end() || it->second == 0) return false;
  if (--it->second == 0) added.erase(it);
  for (const auto& family : loadable[path]) {
    const auto known = faces_.known.find(family);
    if (known != faces_.known.end()) faces_.known.erase(known);
  }
  return true;
}

int FakeFontSession::Outstanding(const std::string& path) const {
  const auto it = added.find(path);
  return it == added.end() ? 0 : it->second;
}

bool FakeFileProbe::FileExists(const std::string& path) {
  if (directories.count(path) > 0) return false;
  if (files.count(path) > 0) return true;
  struct stat st {};
  return useDisk && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace typeloom::testing
