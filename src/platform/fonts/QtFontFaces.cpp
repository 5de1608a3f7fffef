#include "platform/fonts/FontFaces.h"

#include "platform/fonts/FaceResolver.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QSet>
#include <QString>

namespace typeloom::platform {

std::string StripFoundrySuffix(std::string family) {
  if (family.size() >= 3 && family.back() == ']') {
    const auto open = family.rfind(" [");
    if (open != std::string::npos && family.find(']', open) == family.size() - 1) family.resize(open);
  }
  return family;
}

namespace {

// Qt's families as QFontInfo names them (foundry suffix dropped), kept while the
// fonts stay the same.
const QSet<QString>& QtFamilies() {
  static std::size_t stampOf = 0;
  static QSet<QString> families;
  if (const std::size_t stamp = FontsStamp(); stamp != stampOf) {
    families.clear();
    for (const QString& family : QFontDatabase::families()) {
      families.insert(QString::fromStdString(StripFoundrySuffix(family.toStdString())));
    }
    stampOf = stamp;
  }
  return families;
}

}  // namespace

std::optional<std::string> QtFaceNameResolver::ResolveFace(std::string_view name) {
  if (name.empty()) return std::nullopt;
  const QString family = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  // A name spelled exactly as one of Qt's families resolves to that family: no font
  // engine needs loading to say so (loading one costs a fontconfig match).
  if (QtFamilies().contains(family)) return std::string(name);
  QFont font(family);
  // Without this Qt may answer with a family it merely substitutes for the name.
  font.setStyleStrategy(QFont::NoFontMerging);
  const QFontInfo info(font);
  return StripFoundrySuffix(info.family().toStdString());
}

}  // namespace typeloom::platform
