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
};

// Asks Qt (fontconfig underneath) through QFont and QFontInfo. A family that two
// foundries share reads back as "Family [Foundry]"; the suffix is dropped.
class QtFaceNameResolver final : public FaceNameResolver {
 public:
  std::optional<std::string> ResolveFace(std::string_view name) override;
};

// "C059 [UKWN]" -> "C059"; other names unchanged.
std::string StripFoundrySuffix(std::string family);

}  // namespace typeloom::platform
