#include "platform/fonts/FontCoverage.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <string_view>
#include <tuple>

namespace typeloom::platform {
namespace {

std::tuple<std::string_view, int> FileAndIndex(FcPattern* p) {
  FcChar8* file = nullptr;
  FcPatternGetString(p, FC_FILE, 0, &file);
  int index = 0;
  FcPatternGetInteger(p, FC_INDEX, 0, &index);
  return {file != nullptr ? std::string_view(reinterpret_cast<const char*>(file)) : std::string_view(), index};
}

std::string Folded(std::string_view utf8) {
  const QByteArray folded =
      QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toCaseFolded().toUtf8();
  return std::string(folded.constData(), static_cast<std::size_t>(folded.size()));
}

std::string Utf8(const QString& name) {
  const QByteArray bytes = name.toUtf8();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

FontCoverage::FontCoverage() : index_(Folded) {}

FontCoverage::~FontCoverage() = default;

bool FontCoverage::Available() const { return index_.Available(); }

void FontCoverage::SetQuery(const std::vector<char32_t>& characters, const std::string& language) {
  index_.SetQuery(characters, language);
}

void FontCoverage::Prepare(const QString& name) { index_.Prepare(Utf8(name)); }

bool FontCoverage::Matches(const QString& name) { return index_.Matches(Utf8(name)); }

std::optional<CoverageFacts> FontCoverage::FactsOf(const QString& name) {
  FcPattern* face = index_.FaceOf(Utf8(name));
  if (face == nullptr) return std::nullopt;
  CoverageFacts facts;
  const auto [file, index] = FileAndIndex(face);
  facts.file = std::string(file);
  facts.index = index & 0xFFFF;  // the high bits number a variable font's named instance
  FcCharSet* charset = nullptr;
  if (FcPatternGetCharSet(face, FC_CHARSET, 0, &charset) == FcResultMatch && charset != nullptr) {
    facts.characterCount = FcCharSetCount(charset);
  }
  FcLangSet* langs = nullptr;
  if (FcPatternGetLangSet(face, FC_LANG, 0, &langs) == FcResultMatch && langs != nullptr) {
    if (FcStrSet* tags = FcLangSetGetLangs(langs)) {
      if (FcStrList* list = FcStrListCreate(tags)) {
        while (FcChar8* tag = FcStrListNext(list)) facts.languages.emplace_back(reinterpret_cast<const char*>(tag));
        FcStrListDone(list);
      }
      FcStrSetDestroy(tags);
    }
  }
  std::sort(facts.languages.begin(), facts.languages.end());
  return facts;
}

bool FontCoverage::KnownLanguage(const std::string& tag) { return CoverageIndex::KnownLanguage(tag); }

}  // namespace typeloom::platform
