#pragma once
// In-memory fakes of the font services CFontPreview uses: a face table, a session
// that makes the families of a file known while it is added, a fixed locale and a
// file system of listed paths.
#include "fontfile/CFontPreview.h"
#include "platform/fonts/FileProbe.h"
#include "platform/fonts/FontFaces.h"
#include "platform/fonts/FontSession.h"
#include "platform/fonts/SystemLocale.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace typeloom::testing {

class FakeFaceNameResolver final : public platform::FaceNameResolver {
 public:
  std::optional<std::string> ResolveFace(std::string_view name) override;
  std::string FamilyOfFile(const std::string& path, unsigned index) override;
  bool IsInstalledFile(const std::string& path) override { return installedFiles.count(path) > 0; }

  // Faces the system knows (a multiset: adds stack). A name matching one in another
  // case resolves to the known spelling.
  std::multiset<std::string> known;
  std::string fallback = "Fallback Sans";        // what an unknown name resolves to
  std::vector<std::string> asked;                // every name asked, in order
  std::map<std::pair<std::string, unsigned>, std::string> fileFamilies;  // (path, face) -> family listed
  std::set<std::string> installedFiles;                                   // paths of installed font files
};

class FakeFontSession final : public platform::FontSession {
 public:
  explicit FakeFontSession(FakeFaceNameResolver& faces) : faces_(faces) {}
  int AddFont(const std::string& path) override;
  bool RemoveFont(const std::string& path) override;
  void BroadcastFontChange() override { ++broadcasts; }

  int Outstanding(const std::string& path) const;

  std::map<std::string, std::vector<std::string>> loadable;  // path -> families it holds
  std::map<std::string, int> added;                          // path -> adds not yet removed
  std::vector<std::string> calls;                            // "add <path>", "remove <path>"
  int broadcasts = 0;

 private:
  FakeFaceNameResolver& faces_;
};

class FakeSystemLocale final : public platform::SystemLocale {
 public:
  explicit FakeSystemLocale(std::uint32_t lcid = 0x0409) : lcid(lcid) {}
  std::uint32_t DefaultLcid() override { return lcid; }
  std::uint32_t lcid;
};

// Paths in `files` exist; so do paths that name real regular files when `useDisk`.
class FakeFileProbe final : public platform::FileProbe {
 public:
  bool FileExists(const std::string& path) override;
  std::set<std::string> files;
  std::set<std::string> directories;
  bool useDisk = true;
};

// All four, wired together.
struct FakeFontServices {
  FakeFaceNameResolver faces;
  FakeFontSession session{faces};
  FakeSystemLocale locale;
  FakeFileProbe files;

  FontPreviewServices Services() { return {&faces, &session, &locale, &files}; }
};

}  // namespace typeloom::testing
