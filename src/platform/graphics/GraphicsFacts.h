#pragma once
// What the graphics system knows of the face a font-list name draws in: its
// pitch-and-family byte and language-information bits (the rule: FaceTables.h).
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

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

// Locates the face with fontconfig and reads its file with HarfBuzz. A face's facts
// are kept while its file keeps its size and modification time: choosing a font
// again does not parse its layout tables again.
class HarfBuzzGraphicsFacts final : public GraphicsFacts {
 public:
  std::optional<TextFacts> FactsOf(const QString& fontName) override;

 private:
  struct Known {
    long long size = -1;
    long long modified = 0;  // nanoseconds
    TextFacts facts;
  };
  std::unordered_map<std::string, Known> known_;  // by file, face index and fontconfig's flags
};

GraphicsFacts& LinuxGraphicsFacts();

// The facts of face `index` of the font file at `path`, with fontconfig's word on
// whether it is scalable and of fixed spacing. The file is read, not mapped: a file
// that shrinks meanwhile (a package upgrade replacing it in place) yields what was
// read instead of a fault on a page past its new end.
TextFacts FactsOfFile(const std::string& path, unsigned index, bool scalable, bool fixedSpacing);

}  // namespace typeloom::platform
