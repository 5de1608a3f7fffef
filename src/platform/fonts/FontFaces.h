#pragma once
// The font system's face-name check: which face would really be used for a name.
#include <optional>
#include <string>
#include <string_view>

namespace typeloom::platform {

class FaceNameResolver {
 public:
  virtual ~FaceNameResolver() = default;
  // The face name the font system uses when asked for `name`; equal to `name`
  // exactly when a face of that name is known. nullopt when the name is refused
  // (an empty name).
  virtual std::optional<std::string> ResolveFace(std::string_view name) = 0;
  // The family under which the font system lists face `index` of the file at `path`
  // (for files that carry no names the program reads, such as bitmap fonts); empty
  // when it lists no such face.
  virtual std::string FamilyOfFile(const std::string& path, unsigned index) = 0;
  // Whether the file at `path` (or the file a symbolic link there leads to) is one of
  // the installed fonts; a font added for this session only is not.
  virtual bool IsInstalledFile(const std::string& path) = 0;
};

// Asks fontconfig. A face is known under each of its family names (every language:
// name ids 1, 16 and 21 of its file, a Type 1 font's family), its full names and its
// PostScript name, spelled exactly so (fontconfig's own matching ignores case and
// blanks; this check does not). Any other name resolves to the family fontconfig
// substitutes for it. Application fonts of this process count as known.
class FontconfigFaceNameResolver final : public FaceNameResolver {
 public:
  std::optional<std::string> ResolveFace(std::string_view name) override;
  std::string FamilyOfFile(const std::string& path, unsigned index) override;
  bool IsInstalledFile(const std::string& path) override;
};

}  // namespace typeloom::platform
