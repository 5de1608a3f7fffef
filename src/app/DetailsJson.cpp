#include "app/DetailsJson.h"

#include "app/CoverageText.h"
#include "platform/graphics/FaceTables.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace typeloom::app {
namespace {

QJsonValue TextOrNull(bool present, const QString& text) { return present ? QJsonValue(text) : QJsonValue(); }

QJsonObject PitchAndFamily(std::uint8_t byte) {
  namespace pf = platform::pf;
  static const char* const kFamilies[] = {"roman", "swiss", "modern", "script", "decorative"};
  const int family = byte / 16;
  return {
      {"value", byte},
      {"trueType", (byte & pf::kTrueType) != 0},
      {"device", (byte & pf::kDevice) != 0},
      {"variablePitch", (byte & pf::kVariablePitch) != 0},
      {"vector", (byte & pf::kVector) != 0},
      {"family", family >= 1 && family <= 5 ? QJsonValue(QString::fromLatin1(kFamilies[family - 1])) : QJsonValue()},
  };
}

QJsonObject LanguageInfo(std::uint32_t bits) {
  namespace fli = platform::fli;
  return {
      {"value", static_cast<qint64>(bits)},
      {"doubleByteCharacterSet", (bits & fli::kDbcs) != 0},
      {"diacritics", (bits & fli::kDiacritic) != 0},
      {"nonDisplayingGlyphs", (bits & fli::kGlyphs) != 0},
      {"specialGlyphShapes", (bits & fli::kGlyphShape) != 0},
      {"kashidaGlyphs", (bits & fli::kKashida) != 0},
      {"ligatures", (bits & fli::kLigate) != 0},
      {"kerning", (bits & fli::kUseKerning) != 0},
      {"reordering", (bits & fli::kReorder) != 0},
  };
}

// fontconfig's tags for the face; only what a tag can hold is passed on.
QJsonValue Languages(const std::vector<std::string>& tags) {
  QJsonArray array;
  for (const std::string& tag : tags) {
    if (const std::string clean = NormalizeLanguageTag(tag); !clean.empty()) array.append(QString::fromStdString(clean));
  }
  return array;
}

}  // namespace

QByteArray DetailsJson(const QString& name, bool fromFile, const Details& details, const platform::FaceLocation& face,
                       const std::optional<platform::CoverageFacts>& coverage) {
  const bool read = details.fileRead;
  const QString faceFile = QString::fromStdString(face.file);
  const QString file = read ? details.file : faceFile;
  QJsonObject root{
      {"schemaVersion", kDetailsSchemaVersion},
      {"name", name},
      {"source", fromFile ? QStringLiteral("file") : QStringLiteral("installed")},
      {"lines", QJsonArray::fromStringList(details.lines)},
      {"pitchAndFamily", PitchAndFamily(details.facts.pitchAndFamily)},
      {"languageInfo", LanguageInfo(details.facts.languageInfo)},
      {"file", TextOrNull(!file.isEmpty(), file)},
      {"faceIndex", face.index},
      {"family", read && !details.familyName.isEmpty() ? details.familyName : face.family},
      {"fullName", TextOrNull(read, details.fullName)},
      {"version", TextOrNull(read, details.version)},
      {"installed", read ? QJsonValue(details.installed) : QJsonValue()},
      {"copyright", TextOrNull(read, details.copyright)},
      {"copyrightNotice", TextOrNull(read, details.copyrightNotice)},
      {"characterCount", coverage ? QJsonValue(static_cast<qint64>(coverage->characterCount)) : QJsonValue()},
      {"languages", coverage ? Languages(coverage->languages) : QJsonValue()},
  };
  return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace typeloom::app
