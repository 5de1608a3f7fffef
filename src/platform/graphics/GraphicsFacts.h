#pragma once
// What the graphics system knows of the face a font-list name draws in: its
// pitch-and-family byte and language-information bits (the rule: FaceTables.h).
#include <QString>

#include <cstdint>
#include <optional>

namespace typeloom::platform {

struct TextFacts {
  std::uint8_t pitchAndFamily = 0;
  std::uint32_t languageInfo = 0;
};

class GraphicsFacts {
 public:
  virtual ~GraphicsFacts() = default;
  // The facts of the face `fontName` resolves to (FaceResolver.h, no effects);
  // nullopt when no face can be made for it at all.
  virtual std::optional<TextFacts> FactsOf(const QString& fontName) = 0;
};

// Locates the face with fontconfig and reads its file with HarfBuzz.
class HarfBuzzGraphicsFacts final : public GraphicsFacts {
 public:
  std::optional<TextFacts> FactsOf(const QString& fontName) override;
};

GraphicsFacts& LinuxGraphicsFacts();

}  // namespace typeloom::platform
